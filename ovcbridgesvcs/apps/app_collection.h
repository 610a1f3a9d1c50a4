#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/child_list.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::apps {

// The application files of one Bridge, "OVCBridgeSvcs.AppCollection": an
// ordered list of Apps (0-based positions, one reference held on each),
// the map of the location names their files have, working copies of files
// in the library's working folder, and storing the files in the host.
//
// Apps are reached through IApp only and made by class (App). Paths are
// compared exactly, as the file system does. Dirty is set by every change of
// the list. Failures follow the library's error convention (class
// AppCollection).
class CAppCollection final
    : public ComObject<ReentryGuardedDispatch<IAppCollection>, ISupportErrorInfo> {
 public:
  CAppCollection() = default;
  // RemoveAll: every App is cleaned up before it goes.
  ~CAppCollection() override;

  CAppCollection(const CAppCollection&) = delete;
  CAppCollection& operator=(const CAppCollection&) = delete;

  // The list. Item takes a VT_I2 or VT_I4 index (message 1211, E_INVALIDARG
  // otherwise; 1212 with the range outside the list) and hands out the App
  // as VT_DISPATCH.
  HRESULT get_Item(const Variant& index, Variant* app) override;
  // An enumerator over a snapshot of the Apps.
  HRESULT get__NewEnum(IUnknown** enumerator) override;
  HRESULT get_Count(int32_t* count) override;
  // Appends an IApp (message 1215 for anything else).
  HRESULT Add(IDispatch* app) override;
  // Closes the App's file and drops it (message 1212 outside the list).
  HRESULT Remove(int32_t index) override;
  // Appends `app`, then swaps it with the App at `index` when that lies
  // before the last position: the App that was there moves to the end.
  HRESULT InsertApp(IDispatch* app, int32_t index) override;
  // Message 1245 with the range for a position outside the list.
  HRESULT SwapAppPosition(int32_t position1, int32_t position2) override;
  // A new App copying the one at `index` (App.CopyApp); not added.
  HRESULT CopyApp(const Variant& index, Variant* copy) override;
  // Adds copies of every App of `bridge` (an IBridge, message 1246): at the
  // end for a negative `index`, else each with InsertApp at index + i.
  HRESULT InsertApps(IDispatch* bridge, int32_t index) override;
  // Appends copies of every App of another IAppCollection.
  HRESULT CopyAppCollection(IDispatch* collection) override;
  // The position of the first App whose path is `path`, or is the
  // working-copy path of `path`, or has the same file name; -1 when none.
  HRESULT AppIndex(const std::wstring& path, int32_t* index) override;
  HRESULT get_IndexByOID(int32_t oid, int32_t* index) override;
  // E_FAIL without an error when no App has the OID.
  HRESULT get_AppByOID(int32_t oid, Variant* app) override;
  // A new App, added and handed out.
  HRESULT CreateApp(Variant* app) override;
  // FinalCleanUp on every App, then empties the list and the location map;
  // Dirty unchanged.
  HRESULT RemoveAll() override;
  // The file dialog filter of every kind of file an App takes.
  HRESULT get_AppFileFilter(std::wstring* filter) override;
  // Success when `path` could be an App's: an existing file with an
  // extension an adapter takes (*valid is true either way).
  HRESULT get_ValidFile(const std::wstring& path, VARIANT_BOOL* valid) override;
  // Set by any change of the list; reads true also when any App is dirty.
  // Put false clears every App's too.
  HRESULT get_Dirty(VARIANT_BOOL* dirty) override;
  HRESULT put_Dirty(VARIANT_BOOL dirty) override;

  // The location map: lower-cased name (A-Z only) to the name as the first
  // file in list order spells it, over the Apps (enabled ones only when
  // `filter_disabled`). Refresh makes each App read its names from its file
  // again; Update uses what each App knows. LocationList updates the map
  // and lists its names in key order; LocationCount tells its size as it is.
  HRESULT get_LocationCount(int32_t* count) override;
  HRESULT get_LocationList(VARIANT_BOOL filter_disabled, Variant* names) override;
  HRESULT RefreshLocationMap(VARIANT_BOOL filter_disabled) override;
  HRESULT UpdateLocationMap(VARIANT_BOOL filter_disabled) override;
  // Shows `location` in the file of the App whose path is `path` (message
  // 1244 when none).
  HRESULT DisplayLocation(const std::wstring& location, const std::wstring& path) override;

  // Working copies (app_collection_files.cpp): the file of `app` is copied
  // into the working folder under a name no other file there has, and the
  // App takes the copy's path. MakeCopyAndAdd then appends the App;
  // ConvertLinkedFile marks it Converted and not Linked.
  HRESULT MakeCopyAndAdd(IDispatch* app) override;
  HRESULT ConvertLinkedFile(IDispatch* linked_app) override;
  // Stores every App's file in the host in list order: saves it (a failed
  // save ends SaveFiles with that failure, before the file is stored), adds
  // a new file record, stores a converted file or checks the file in, and
  // checks it out again when `check_out`. A file added to the host that lies
  // in the working folder is deleted there.
  HRESULT SaveFiles(VARIANT_BOOL check_out) override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == IAppCollection::kIid ? S_OK : S_FALSE;
  }

 private:
  // Rebuilds the location map (see LocationList).
  void MaintainLocationMap(bool filter_disabled, bool refresh);
  // A new App, or raises.
  static ComPtr<IApp> NewApp(CMethodFrame& frame);
  // The App `app` must be (message 1215 otherwise), or null.
  static ComPtr<IApp> AppOf(IDispatch* app);
  // Copies the file of `app` into the working folder, puts the App's path to
  // the copy and returns true; false (reported) when it cannot be made.
  bool TakeWorkingCopy(CMethodFrame& frame, IApp& app);
  // Whether an App of the list has path `path`.
  bool PathInUse(const std::wstring& path) const;
  // Stores the file of `app` in the host (SaveFiles for one App).
  void SaveFile(CMethodFrame& frame, IApp& app, bool check_out);

  ModuleLock module_lock_;
  ChildList<IApp> apps_{CLSID_AppCollection};
  std::map<std::wstring, std::wstring> locations_;
  bool dirty_ = false;
};

}  // namespace ovc::apps
