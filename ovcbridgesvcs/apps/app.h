#pragma once

#include <cstdint>
#include <string>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/xml/xml_part.h"

namespace ovc::apps {

// Size and last-modification time (whole seconds) of a file.
struct FileStats {
  uint64_t size = 0;
  int64_t modified = 0;
  friend bool operator==(const FileStats&, const FileStats&) = default;
};

// One application file of a Bridge, "OVCBridgeSvcs.App": a workbook or a
// document with its bookkeeping (path, name, description, host file record,
// linked / converted / checked-out state, the file's size and time when it
// was last marked clean) and the adapter that drives its office
// application.
//
// The adapter is made, by class (ExcelApp for .xlsx, .xlsm, .xls, WordApp
// for .docx, .doc, letter case ignored), when the first path is set, and is
// kept for every later path. Most members are handed to it unchanged; without
// one they report message 1205 and fail with E_FAIL. Paths are compared
// exactly, as the file system does. Persisted properties set Dirty only when
// their value changes. Failures follow the library's error convention (class
// App).
class CApp final : public ComObject<ReentryGuardedDispatch<IApp>, ISupportErrorInfo>,
                   public xml::XmlPart {
 public:
  CApp() = default;
  // FinalCleanUp when there is an adapter, then the adapter goes.
  ~CApp() override;

  CApp(const CApp&) = delete;
  CApp& operator=(const CApp&) = delete;

  // Bookkeeping kept by the App itself.
  HRESULT get_Enabled(VARIANT_BOOL* value) override;
  HRESULT put_Enabled(VARIANT_BOOL value) override;
  HRESULT get_Path(std::wstring* value) override;
  // Records the file's size and time first (fails with nothing else changed
  // when the file cannot be examined); the same path only refreshes them.
  // A new path closes the open file, needs an extension (message 1201),
  // sets Type, and Name when empty, makes the adapter when there is none
  // (E_POINTER for an extension no adapter takes, Path and Type kept) and
  // hands it the path.
  HRESULT put_Path(const std::wstring& value) override;
  HRESULT get_Name(std::wstring* value) override;
  HRESULT put_Name(const std::wstring& value) override;
  // The extension of Path with its dot.
  HRESULT get_Type(std::wstring* value) override;
  // Name followed by Type.
  HRESULT get_FullName(std::wstring* value) override;
  // The stored description, else the document's. Without adapter the
  // members that need the document fail with E_POINTER (message 1205).
  HRESULT get_Description(std::wstring* value) override;
  // A new description is also written to the document (its status ignored).
  HRESULT put_Description(const std::wstring& value) override;
  // The document's last author / save time, stored and handed out
  // (E_POINTER without adapter); put stores a text, or a VT_DATE or
  // VT_EMPTY (message 1216 for any other type).
  HRESULT get_ModifiedBy(std::wstring* value) override;
  HRESULT put_ModifiedBy(const std::wstring& value) override;
  HRESULT get_ModifiedTimeStamp(Variant* value) override;
  HRESULT put_ModifiedTimeStamp(const Variant& value) override;
  // Plain fields that never set Dirty. Linked is kept exactly as given; a
  // file whose Linked is VARIANT_TRUE is opened read-only and never saved.
  // CheckedOut put marks the App checked out whatever the value.
  HRESULT get_OID(int32_t* value) override;
  HRESULT put_OID(int32_t value) override;
  HRESULT get_Linked(VARIANT_BOOL* value) override;
  HRESULT put_Linked(VARIANT_BOOL value) override;
  HRESULT get_Converted(VARIANT_BOOL* value) override;
  HRESULT put_Converted(VARIANT_BOOL value) override;
  HRESULT get_CheckedOut(VARIANT_BOOL* value) override;
  HRESULT put_CheckedOut(VARIANT_BOOL value) override;
  // Dirty reads true when set, else when the document is not saved (so an
  // App without adapter reads dirty). Put false clears it and records the
  // file's size and time as the clean state; put true only sets it.
  HRESULT get_Dirty(VARIANT_BOOL* value) override;
  HRESULT put_Dirty(VARIANT_BOOL value) override;
  // Whether the file's size or time differs from the clean state; the
  // document is not opened.
  HRESULT get_FileDirty(VARIANT_BOOL* value) override;
  // Puts Path, Name, Description, ModifiedBy, the five macro names,
  // ModifiedTimeStamp, Enabled and Linked of another App (IApp) through this
  // App's setters, each failure skipped, and sets OID -1. Always succeeds.
  HRESULT CopyApp(IDispatch* source) override;
  // Closes the file without saving and undoes this App's check-out of its
  // host file record; failures are swallowed.
  HRESULT FinalCleanUp() override;
  // The App's XML "File" element as a DOM document / read from one ("File"
  // node, or the path of a local file holding one); reading takes the file
  // out of the host (app_xml.cpp).
  HRESULT GetXML(Variant* document) override;
  HRESULT ReadXML(const Variant& files) override;
  // GetXML's element appended to `parent` / ReadXML from a File element, so
  // that a Bridge writes and reads its files within its own tree.
  void WriteXml(CMethodFrame& frame, pugi::xml_node parent) override;
  void ReadXml(CMethodFrame& frame, pugi::xml_node element) override;

  // Handed to the adapter (app_adapter.cpp). Saved and LocationExists read
  // false without adapter; Save does nothing for a linked file. The macro
  // name puts set Dirty and forward only a changed name.
  HRESULT get_LocationCount(int32_t* value) override;
  HRESULT get_LocationList(Variant* value) override;
  HRESULT Activate(VARIANT_BOOL visible) override;
  HRESULT get_AppFileFilter(std::wstring* value) override;
  HRESULT TerminateApp(VARIANT_BOOL save) override;
  HRESULT get_Saved(VARIANT_BOOL* value) override;
  HRESULT DisplayLocation(const std::wstring& location) override;
  HRESULT SetValue(const std::wstring& location, const Variant& value) override;
  HRESULT GetValue(const std::wstring& location, Variant* value) override;
  HRESULT RefreshLocationMap() override;
  HRESULT PreImport() override;
  HRESULT PostImport() override;
  HRESULT PreExport() override;
  HRESULT PostExport() override;
  HRESULT RunMacro(const std::wstring& macro) override;
  HRESULT Save() override;
  HRESULT get_ReadOnly(VARIANT_BOOL* value) override;
  HRESULT get_LocationExists(const std::wstring& location, VARIANT_BOOL* value) override;
  HRESULT get_StringValuesOnly(VARIANT_BOOL* value) override;
  HRESULT get_MacroPreImport(std::wstring* value) override;
  HRESULT put_MacroPreImport(const std::wstring& value) override;
  HRESULT get_MacroPostImport(std::wstring* value) override;
  HRESULT put_MacroPostImport(const std::wstring& value) override;
  HRESULT get_MacroPreExport(std::wstring* value) override;
  HRESULT put_MacroPreExport(const std::wstring& value) override;
  HRESULT get_MacroPostExport(std::wstring* value) override;
  HRESULT put_MacroPostExport(const std::wstring& value) override;
  HRESULT get_MacroRelease(std::wstring* value) override;
  HRESULT put_MacroRelease(const std::wstring& value) override;
  HRESULT SetVectorValue(const std::wstring& location, const Variant& value,
                         VARIANT_BOOL column) override;
  HRESULT CloneLocation(const std::wstring& old_location, const std::wstring& new_location,
                        VARIANT_BOOL remove_old) override;
  HRESULT DeleteLocationName(const std::wstring& location) override;
  HRESULT SetValueAtSelection(const Variant& value) override;
  HRESULT SetVectorValueAtSelection(const Variant& value, VARIANT_BOOL column) override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == IApp::kIid ? S_OK : S_FALSE;
  }

 private:
  using MacroGet = HRESULT (IExternalApp::*)(std::wstring*);
  using MacroPut = HRESULT (IExternalApp::*)(const std::wstring&);

  // Message 1205 (no file set) with `code`.
  static HRESULT ReportNoFile(HRESULT code = E_FAIL);
  // `call` on the adapter, or ReportNoFile without one.
  template <class Call>
  HRESULT Forward(Call&& call);
  HRESULT PutMacro(const std::wstring& value, MacroGet get, MacroPut put);
  // Makes the adapter that takes files of Type; message 1203 or 1206 when it
  // cannot be made; raises E_POINTER for a type no adapter takes.
  HRESULT MakeAdapter(CMethodFrame& frame);
  // Checks the file of record `oid` out of the host (or copies it when
  // another user holds it) and gives its local path (app_xml.cpp).
  std::wstring TakeHostFile(CMethodFrame& frame, int32_t oid);

  ModuleLock module_lock_;
  std::wstring name_;
  std::wstring path_;
  std::wstring type_;
  std::wstring description_;
  std::wstring modified_by_;
  Variant modified_time_stamp_;
  int32_t oid_ = -1;
  VARIANT_BOOL linked_ = VARIANT_FALSE;
  bool enabled_ = true;
  bool converted_ = false;
  bool checked_out_ = false;
  bool dirty_ = false;
  FileStats baseline_;
  ComPtr<IExternalApp> adapter_;
};

}  // namespace ovc::apps
