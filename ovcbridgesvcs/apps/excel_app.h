#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "automation/com_object.h"
#include "automation/connection_point.h"
#include "automation/error_info.h"
#include "ovcbridgesvcs/apps/macro_names.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::apps {

class WorkbookCloseSink;  // workbook_close_sink.h

// "OVCBridgeSvcs.ExcelApp": one workbook of a spreadsheet application
// started by name ("Excel.Application") and driven late-bound. Locations
// are the workbook-level range names. Excel and the workbook start on first
// need and again after the user (or anything else) closed them.
//
// Failures follow the library's error convention with class ExcelApp as
// source; the application's own error descriptions are passed on where the
// adapter has nothing better to say.
class CExcelApp final : public ComObject<MacroNames, ISupportErrorInfo> {
 public:
  CExcelApp();
  ~CExcelApp() override;

  // Starts Excel and opens Path when needed (read-only when the App's
  // Linked flag is set); shows Excel when `visible`.
  HRESULT Activate(VARIANT_BOOL visible) override;
  // The workbook-level names in lower-case order, refreshed first when none
  // are known: a one-dimensional array of strings from 0.
  HRESULT get_LocationList(Variant* list) override;
  HRESULT get_Path(std::wstring* path) override;
  // Stores the path only; an open workbook stays open.
  HRESULT put_Path(const std::wstring& path) override;
  HRESULT get_AppFileFilter(std::wstring* filter) override;
  // Closes the workbook without saving (marked saved) unless `save` and it
  // has changes, in which case Excel is shown and left to ask; then quits
  // Excel. Always succeeds and leaves the adapter without Excel.
  HRESULT TerminateApp(VARIANT_BOOL save) override;
  // True without a workbook; a workbook that cannot answer has been closed:
  // the adapter lets Excel go and fails with message 1229.
  HRESULT get_Saved(VARIANT_BOOL* saved) override;
  // Selects `location` and writes `value` there (SetValueAtSelection).
  HRESULT SetValue(const std::wstring& location, const Variant& value) override;
  // One cell's value as Excel gives it, or a one-dimensional array from 0 of
  // the block's values column by column. Message 1224 for an unknown name.
  HRESULT GetValue(const std::wstring& location, Variant* value) override;
  HRESULT RefreshLocationMap() override;
  // The transfer brackets: screen updating off, manual calculation and
  // change history off in between, macros around, Saved kept. A failure
  // after the settings were changed restores them before returning; the
  // Post members run every step and return the first failure.
  HRESULT PreImport() override;
  HRESULT PostImport() override;
  HRESULT PreExport() override;
  HRESULT PostExport() override;
  HRESULT get_LocationCount(int32_t* count) override;
  HRESULT RunMacro(const std::wstring& macro) override;
  // Saves an open workbook; message 1241 for a read-only one.
  HRESULT Save() override;
  HRESULT get_ReadOnly(VARIANT_BOOL* read_only) override;
  // Whether `location` names a range of this workbook (selecting it); a
  // missing name answers false with success.
  HRESULT LocationExists(const std::wstring& location, VARIANT_BOOL* exists) override;
  HRESULT get_StringValuesOnly(VARIANT_BOOL* strings_only) override;
  // Selects `location` and shows Excel.
  HRESULT DisplayLocation(const std::wstring& location) override;
  HRESULT DeleteLocationName(const std::wstring& location) override;
  // Selects `location` and writes a vector there (SetVectorValueAtSelection).
  HRESULT SetVectorValue(const std::wstring& location, const Variant& values,
                         VARIANT_BOOL column) override;
  // Names the cells of `old_location` `new_location` too, refused when
  // that name already names other cells; with `remove_old` the old name is
  // deleted then, unless a formula of the workbook uses it: it is kept and
  // the answer is S_FALSE.
  HRESULT CloneLocation(const std::wstring& old_location, const std::wstring& new_location,
                        VARIANT_BOOL remove_old) override;
  // Document properties "Comments", "Last Author", "Last Save Time".
  HRESULT get_Description(std::wstring* description) override;
  HRESULT put_Description(const std::wstring& description) override;
  HRESULT get_ModifiedBy(std::wstring* author) override;
  HRESULT get_ModifiedTimeStamp(Variant* time) override;
  // The App's Linked flag, read when the workbook is opened; the App owns it
  // and outlives the adapter.
  HRESULT putLinkedPtr(VARIANT_BOOL* linked) override;
  // Writes `value` into the selected range; texts (also inside arrays) get
  // a leading apostrophe so that Excel keeps them as text.
  HRESULT SetValueAtSelection(const Variant& value) override;
  // Writes a one-dimensional array of variants as a row (or a `column`)
  // from the selected range's top-left cell and redefines the name over the
  // written cells; an empty array clears the range's cells.
  HRESULT SetVectorValueAtSelection(const Variant& values, VARIANT_BOOL column) override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == IExternalApp::kIid ? S_OK : S_FALSE;
  }

  // Called by the event sink when `closing` is about to close: lets Excel
  // go when it is this adapter's workbook, so that the next call starts
  // again.
  void OnWorkbookClosing(IDispatch* closing);

 private:
  HRESULT EnsureRunning() { return ActivateWith(false); }
  HRESULT ActivateWith(bool visible);
  HRESULT StartApp();
  HRESULT OpenFile();
  HRESULT MakeAppVisible();
  void ConnectEvents();
  void DisconnectEvents();
  void LetExcelGo();
  HRESULT ReadSaved(bool* saved);
  HRESULT RefreshMap();
  // Resolves and selects `location` into current_range_; with `report`
  // false a missing name fails without an error report. GetRange first
  // ensures Excel runs, FindRange expects it running.
  HRESULT GetRange(const std::wstring& location, bool report = true);
  HRESULT FindRange(const std::wstring& location, bool report);
  HRESULT RangeStats(IDispatch* range, int32_t* rows, int32_t* columns);
  // Fails, reported, when `name` is a workbook name already that does not
  // name the cells of `source`: adding it would repoint it.
  HRESULT CheckCloneTarget(IDispatch* source, const std::wstring& name);
  HRESULT AddLocation(IDispatch* range, const std::wstring& name);
  // Whether a cell formula of any sheet, or another name's RefersTo, uses
  // the workbook name `name`; true when the workbook cannot be searched.
  bool NameInUse(const std::wstring& name);
  bool SheetsUseName(const std::wstring& name, HRESULT* status);
  bool NamesUseName(const std::wstring& name, HRESULT* status);
  HRESULT WriteFailed(IDispatch* target, std::wstring_view fallback);
  // The workbook's built-in document property `name`, opening it first.
  HRESULT DocumentProperty(std::wstring_view name, ComPtr<IDispatch>* property);
  HRESULT ReadProperty(std::wstring_view name, Variant* value);
  HRESULT ReadTextProperty(std::wstring_view name, std::wstring* text);
  HRESULT PreBoth();
  HRESULT PostBoth();
  HRESULT OpenBracket(const std::wstring& macro, bool calculate);
  HRESULT CloseBracket(const std::wstring& macro, bool calculate);
  // Runs `macro` unless it is empty.
  HRESULT RunIfSet(const std::wstring& macro);
  // Marks the workbook saved again when it was before a bracket step.
  HRESULT KeepSaved(bool was_saved);

  ComPtr<IConnectionPoint> events_;
  uint32_t events_cookie_ = 0;
  ComPtr<WorkbookCloseSink> sink_;
  ComPtr<IDispatch> application_;
  ComPtr<IDispatch> workbook_;
  ComPtr<IDispatch> current_range_;
  std::wstring current_location_;
  std::wstring path_;
  std::map<std::wstring, std::wstring> locations_;  // lower-case name -> name
  Variant saved_calculation_ = Variant::I4(-4105);
  Variant saved_change_history_ = Variant::Bool(false);
  VARIANT_BOOL* linked_ = nullptr;
  ModuleLock module_lock_;
};

}  // namespace ovc::apps
