#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/child_list.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/transfer/auto_run.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"

namespace ovc::bridge {

// One Bridge, "OVCBridgeSvcs.Bridge": the root of the object model. It owns
// an ordered collection of LinkSets (0-based positions) and one
// AppCollection of application files, and is the unit stored in the host
// database.
//
// Ownership: the Bridge holds one reference to each LinkSet and makes itself
// the LinkSet's Parent; the LinkSet holds its Parent too, so FinalCleanUp
// must be called before the last release to break the cycles. The
// AppCollection and the host object are made by FinalConstruct, found by
// class through the registry, and kept for the Bridge's whole life.
// Failures follow the library's error convention (class Bridge).
class CBridge final : public ComObject<ReentryGuardedDispatch<IBridge>, ISupportErrorInfo> {
 public:
  CBridge() = default;

  // Makes the AppCollection and the host object ("OVCBridgeSvcs.Orvan") and
  // reads the workspace's unit default formats. Returns the first failure of
  // the two creations; a failure to read the formats is not one. Called once
  // by the class's creator before the Bridge is handed out.
  HRESULT FinalConstruct();

  // The collection. Item takes a VT_I2 or VT_I4 index (message 1211 and
  // E_INVALIDARG otherwise, 1108 with the range out of range) and hands out
  // the LinkSet as VT_DISPATCH.
  HRESULT get_Item(const Variant& index, Variant* link_set) override;
  // An enumerator over a snapshot of the LinkSets.
  HRESULT get__NewEnum(IUnknown** enumerator) override;
  HRESULT get_Count(int32_t* count) override;
  // Appends `link_set` (an ILinkSet; message 1105 otherwise) and becomes its
  // Parent.
  HRESULT Add(IDispatch* link_set) override;
  // Message 1108 with the range outside the collection; the LinkSet removed
  // is cleaned up (FinalCleanUp).
  HRESULT Remove(int32_t index) override;
  // Cleans up and releases every LinkSet; Dirty unchanged. Always succeeds.
  HRESULT RemoveAll() override;
  // Adds `link_set` at `index`: negative or past the end appends, 0
  // prepends. Any failure is E_FAIL.
  HRESULT InsertLinkSet(IDispatch* link_set, int32_t index) override;
  // Message 1128 with the range for a position outside the collection;
  // equal positions change nothing.
  HRESULT SwapLinkSetPosition(int32_t position1, int32_t position2) override;
  // Adds copies of every LinkSet of `bridge` (an IBridge, message 1129) in
  // order from `index`, or at the end for a negative one. Copies added
  // before a failure stay.
  HRESULT InsertLinkSets(IDispatch* bridge, int32_t index) override;
  // A new LinkSet copying the one at `index`; not added anywhere.
  HRESULT CopyLinkSet(const Variant& index, Variant* link_set) override;
  // New LinkSets, appended; AddLinkSet hands it out when `link_set` is
  // given, CreateLinkSet always.
  HRESULT AddLinkSet(Variant* link_set) override;
  HRESULT CreateLinkSet(Variant* link_set) override;
  // Copies the persisted properties of `bridge` (an IBridge, message 1132)
  // through the setters, then appends copies of its LinkSets and files. OID,
  // lock and status are not copied.
  HRESULT CopyBridge(IDispatch* bridge) override;
  // RemoveAll, then RemoveAllApps. Always succeeds.
  HRESULT FinalCleanUp() override;

  // Persisted properties; the setters set Dirty when the value changes
  // (texts compare exactly), except OptimizePerformance, which always does.
  HRESULT get_Name(std::wstring* value) override;
  HRESULT put_Name(const std::wstring& value) override;
  HRESULT get_Description(std::wstring* value) override;
  HRESULT put_Description(const std::wstring& value) override;
  HRESULT get_CreatedBy(std::wstring* value) override;
  HRESULT put_CreatedBy(const std::wstring& value) override;
  HRESULT get_ModifiedBy(std::wstring* value) override;
  HRESULT put_ModifiedBy(const std::wstring& value) override;
  // Time stamps are VT_EMPTY or VT_DATE; any other type is refused
  // (messages 1217 and 1216) and the value kept. An accepted put sets Dirty.
  HRESULT get_CreatedTimeStamp(Variant* value) override;
  HRESULT put_CreatedTimeStamp(const Variant& value) override;
  HRESULT get_ModifiedTimeStamp(Variant* value) override;
  HRESULT put_ModifiedTimeStamp(const Variant& value) override;
  HRESULT get_OptimizePerformance(VARIANT_BOOL* value) override;
  HRESULT put_OptimizePerformance(VARIANT_BOOL value) override;
  HRESULT get_OID(int32_t* value) override;
  HRESULT put_OID(int32_t value) override;
  // Get: the own flag, else any LinkSet's, else the AppCollection's. Put
  // true sets the own flag only; put false clears all of them.
  HRESULT get_Dirty(VARIANT_BOOL* value) override;
  HRESULT put_Dirty(VARIANT_BOOL value) override;

  // The application files: the AppCollection itself (message 1248 when
  // absent) and its members, called with the same arguments. Without an
  // AppCollection ItemApp, CountApps and AddApp answer E_POINTER and the
  // others message 1250.
  HRESULT get_AppCollection(Variant* collection) override;
  HRESULT get_ItemApp(const Variant& index, Variant* app) override;
  HRESULT get_CountApps(int32_t* count) override;
  // A new App appended by the AppCollection, its Path set to `path` (which
  // the App validates).
  HRESULT AddApp(const std::wstring& path, Variant* app) override;
  HRESULT RemoveApp(int32_t index) override;
  HRESULT CopyApp(const Variant& index, Variant* app) override;
  HRESULT SwapAppPosition(int32_t position1, int32_t position2) override;
  HRESULT InsertApp(IDispatch* app, int32_t index) override;
  HRESULT InsertApps(IDispatch* bridge, int32_t index) override;
  HRESULT RemoveAllApps() override;
  // The file filter of a new AppCollection.
  HRESULT get_AppFileFilter(std::wstring* filter) override;

  // Case and unit-standard selection (bridge_case.cpp). The markers -10,
  // -11, -12 and their texts stand for the workspace's, the Bridge's and the
  // LinkSet's selection.
  HRESULT get_DefaultStrings(Variant* texts) override;
  // E_INVALIDARG, without an error, for a number that is not a marker.
  HRESULT get_DefaultString(OVCBRIDGEDEFAULTS marker, std::wstring* text) override;
  // Whether `text` is a marker text, ignoring letter case.
  HRESULT IsDefaultString(const std::wstring& text, VARIANT_BOOL* is_default) override;
  HRESULT get_CaseOID(int32_t* value) override;
  HRESULT put_CaseOID(int32_t value) override;
  // CaseOID, or the workspace's default case for the workspace marker.
  HRESULT get_CaseResolved(int32_t* oid) override;
  HRESULT get_WorkspaceDefaultCase(int32_t* oid) override;
  // The marker text, or the host's name of the case (E_FAIL without a
  // workspace).
  HRESULT get_CaseName(int32_t case_oid, int32_t object_oid, std::wstring* name) override;
  HRESULT get_SelectedCaseName(std::wstring* name) override;
  // "#oid;name" entries joined by "|": the cases of the object, then the
  // markers the level `kind` may use. Message 1268 without a workspace.
  HRESULT get_CaseComboList(std::wstring* list) override;
  HRESULT SetCaseInfo(OVCBRIDGESVCSOBJ kind, int32_t object_oid, int32_t case_oid,
                      std::wstring* case_name, std::wstring* combo_list) override;
  // Success without a value.
  HRESULT get_CaseNameList(Variant* names) override;
  HRESULT get_UnitStdSelected(std::wstring* value) override;
  HRESULT put_UnitStdSelected(const std::wstring& value) override;
  // The markers the level `kind` may use, then (except for a Link) the
  // workspace's unit standards.
  HRESULT UnitStdSelectionListByType(OVCBRIDGESVCSOBJ kind, Variant* names) override;
  HRESULT get_UnitStdSelectionList(Variant* names) override;
  // UnitStdSelected, or the workspace's default for the workspace marker.
  HRESULT get_UnitStdResolved(std::wstring* name) override;
  // The workspace's first unit standard; E_FAIL when it has none.
  HRESULT get_WorkspaceDefaultUnitStd(std::wstring* name) override;
  // The workspace's default format of `unit` (exact match) and S_OK, or
  // S_FALSE with *format untouched.
  HRESULT GetUnitDefaultFormat(const std::wstring& unit, std::wstring* format) override;

  // Transfer results kept on the Bridge.
  HRESULT get_LinkErrorCount(int32_t* count) override;
  HRESULT get_AutorunStatus(std::wstring* status) override;
  // The change report's texts, a copy, as a VT_ARRAY | VT_BSTR from 0.
  HRESULT GetChangeReport(Variant* report) override;
  HRESULT ClearChangeReport() override;

  // The Bridge document and its storage in the host database
  // (bridge_xml.cpp, bridge_storage.cpp).
  HRESULT GetXML(Variant* document) override;
  HRESULT ReadXML(const Variant& bridge) override;
  HRESULT WriteToXML(const Variant& file) override;
  HRESULT Create() override;
  HRESULT Delete() override;
  HRESULT Open(int32_t oid) override;
  HRESULT Save(VARIANT_BOOL check_out_files) override;
  HRESULT SaveAs(VARIANT_BOOL check_out_files) override;
  HRESULT get_UserName(std::wstring* name) override;
  HRESULT IsLocked(VARIANT_BOOL* locked) override;
  HRESULT ReleaseLock() override;
  HRESULT CanModifyBridge(VARIANT_BOOL* can_modify) override;
  HRESULT CanUseBridge(VARIANT_BOOL* can_use) override;

  // Validation and reports, made by the transfer engine
  // (bridge_reports.cpp). Validate resets the Links' statuses for `op` and
  // the stored report texts, then checks the definition for `op`: ovOK and
  // an empty report, or the findings (ovError when `op` cannot run). The
  // status and error reports are the stored text when one was kept (by the
  // copying of object bindings), else a heading and the statuses of the
  // enabled Links (those in error only, for the error report).
  HRESULT get_Validate(OVCBRIDGETRANSFEROP op, OVCBRIDGEVALIDATE* result,
                       std::wstring* report) override;
  HRESULT get_StatusReport(std::wstring* report) override;
  HRESULT get_ErrorReport(std::wstring* report) override;
  // Each bound object of each LinkSet with its class view and Link routes.
  HRESULT GetBridgeProfile(std::wstring* profile) override;

  // Name synchronisation (bridge_synch_names.cpp): the Links' locations
  // named after their routes in the files, of every enabled LinkSet or of
  // the one at `link_set_index` (message 1108 with the range outside the
  // collection), with `suffix`; the status is reset first and the location
  // maps are refreshed afterwards. `replace` removes the old names.
  HRESULT LinksetSynchNames(VARIANT_BOOL replace, int32_t link_set_index,
                            const std::wstring& suffix) override;
  HRESULT BridgeSynchNames(VARIANT_BOOL replace) override;
  // Bound LinkSets made from the template LinkSets, after the LinkSets of
  // the stored Bridge `source_bridge_oid` or one per object of each
  // template's class view (bridge_bindings.cpp); the log is added to both
  // stored report texts.
  HRESULT CopyBrObjectBindings(int32_t source_bridge_oid) override;
  HRESULT AutoCreateObjectBindings() override;

  // The transfer operations (bridge_operations.cpp, bridge_host_transfer.cpp),
  // carried out by the transfer engine. ResetStatus empties the report texts
  // and resets every LinkSet, always successfully.
  HRESULT ResetStatus(OVCBRIDGETRANSFEROP op) override;
  HRESULT FinalStatus(OVCBRIDGETRANSFEROP op) override;
  HRESULT WriteToApps(VARIANT_BOOL change_report) override;
  HRESULT ReadFromApps(VARIANT_BOOL change_report) override;
  HRESULT ReadFromApp(int32_t file_index, VARIANT_BOOL change_report) override;
  HRESULT WriteToApp(int32_t file_index, VARIANT_BOOL change_report) override;
  HRESULT ExportOrvanToApp(VARIANT_BOOL change_report) override;
  HRESULT ImportOrvanFromApp(VARIANT_BOOL change_report) override;
  HRESULT AutoRun(VARIANT_BOOL change_report) override;
  HRESULT StartAutoRunWithPause(VARIANT_BOOL change_report) override;
  HRESULT ResumeAutoRunWithPause(VARIANT_BOOL change_report, VARIANT_BOOL* finished) override;
  HRESULT CancelAutoRunWithPause() override;
  HRESULT WriteToOrvan(VARIANT_BOOL change_report) override;
  HRESULT ReadFromOrvan(VARIANT_BOOL transferring_data, VARIANT_BOOL change_report) override;
  HRESULT ReadFromAppsIterative(VARIANT_BOOL change_report) override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == IBridge::kIid ? S_OK : S_FALSE;
  }

 private:
  // Runs `call` on the AppCollection, or reports message 1250 without one.
  HRESULT WithApps(std::wstring_view method, const std::function<HRESULT(IAppCollection&)>& call);
  // A new LinkSet made through the registry.
  ComPtr<ILinkSet> NewLinkSet(CMethodFrame& frame, uint32_t context);
  HRESULT NewLinkSetAdded(Variant* link_set, std::wstring_view method, uint32_t context);
  HRESULT PutTimeStamp(Variant& field, const Variant& value, uint32_t message);
  // The case combo list of level `kind` for `object_oid` in *combo_list;
  // reports message 1268 without a workspace, raises the host's failures
  // (bridge_case.cpp).
  HRESULT CaseComboListOf(CMethodFrame& frame, OVCBRIDGESVCSOBJ kind, int32_t object_oid,
                          std::wstring* combo_list);
  // Reads the workspace's unit default formats into unit_formats_; raises
  // the host's failures, keeping what was read before (bridge_case.cpp).
  void ReadDefaultUnits(CMethodFrame& frame);
  // Storage (bridge_storage.cpp): the workspace a save needs (raises
  // without one); the files stored as new records; the document stored and
  // the host's OIDs taken from its answer; a privilege request.
  ComPtr<IOVWorkspace> StorageWorkspace(CMethodFrame& frame);
  void SaveAppFilesAs(CMethodFrame& frame, IOVWorkspace* workspace, bool check_out);
  void StoreDocument(CMethodFrame& frame, IOVWorkspace* workspace);
  // GetXML's document written into the empty `tree` / ReadXML from a Bridge
  // element (bridge_xml.cpp).
  void WriteXml(CMethodFrame& frame, pugi::xml_document* tree);
  void ReadXml(CMethodFrame& frame, pugi::xml_node element);
  HRESULT AskPrivilege(std::wstring_view method, std::wstring_view request, VARIANT_BOOL* granted);
  // The steps of the transfer operations on this Bridge
  // (bridge_operations.cpp).
  class OperationSteps;
  // What a transfer works on: the LinkSets, files and name, its changes
  // going to the change report (bridge_host_transfer.cpp).
  transfer::HostTransfer HostTransfer();
  // Transfers between the Links and the application files, carried out by
  // the transfer engine; changes are reported when `change_report`
  // (bridge_app_transfer.cpp).
  HRESULT AppsTransfer(bool write, bool activate, bool change_report);
  HRESULT AppTransfer(int32_t file_index, bool write, bool change_report);
  HRESULT TransferToApp(IApp* app, bool change_report);
  HRESULT TransferFromApp(IApp* app, bool change_report);
  transfer::HostTransfer FileTransfer(bool change_report);
  // Appends the texts of `entry` to the change report.
  void AddChangeReportEntry(transfer::ChangeEntry entry);
  // `stored` when not empty, else `heading` and the Links' statuses.
  std::wstring StoredOrLinkReport(CMethodFrame& frame, const std::wstring& stored,
                                  std::wstring_view heading, bool errors_only);
  // Synchronises the names of `link_set`'s Links in the files; refreshes
  // the files' location maps (bridge_synch_names.cpp).
  void SynchNames(CMethodFrame& frame, ILinkSet* link_set, VARIANT_BOOL replace,
                  const std::wstring& suffix);
  void RefreshLocations(CMethodFrame& frame);
  // Appends the log of a binding copy to both stored report texts
  // (bridge_bindings.cpp).
  void AppendBindingLog(const std::wstring& log);

  ModuleLock module_lock_;
  ChildList<ILinkSet> link_sets_{CLSID_Bridge};
  int32_t oid_ = -1;
  // The host's version of the stored Bridge this one was read or saved as;
  // empty when unknown. It belongs to oid_.
  std::string version_;
  bool locked_ = false;
  int32_t case_oid_ = ovWorkspaceDefault;
  std::wstring name_;
  std::wstring user_name_;
  std::wstring description_;
  std::wstring created_by_;
  std::wstring modified_by_;
  std::wstring unit_std_selected_ = L"<Workspace Default>";
  Variant created_time_stamp_;
  Variant modified_time_stamp_;
  bool optimize_performance_ = true;
  ComPtr<IOrvan> host_;
  ComPtr<IAppCollection> apps_;
  bool dirty_ = false;
  transfer::PausedRun paused_run_;
  std::vector<std::wstring> change_report_;
  std::map<std::wstring, std::wstring, std::less<>> unit_formats_;
  std::wstring error_text_;
  std::wstring status_text_;
};

}  // namespace ovc::bridge
