#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/links/link_binding.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/xml/xml_part.h"

namespace ovc::links {

// One Link, "OVCBridgeSvcs.Link": maps a host attribute route of its
// LinkSet's class view to a read and a write location in the application
// files, with the formats used on the way, its unit selection, the values
// and flags of the last transfer and a status text.
//
// A Link holds a counted reference to its Parent LinkSet, which holds the
// Link: the LinkSet's FinalCleanUp (or Parent put null) breaks the cycle.
// Once it has a Parent and a route, the Link binds itself to the host
// attribute through the Parent's class view (SetDataModelSvcs); host
// failures while binding never reach the caller, they leave the Link
// unbound. Persisted properties set Dirty only when their value changes.
// Failures follow the library's error convention (class Link).
class CLink final : public ComObject<ReentryGuardedDispatch<ILink>, ISupportErrorInfo>,
                    public xml::XmlPart {
 public:
  CLink() = default;

  // Plain stored properties. The setters of the persisted ones (routes,
  // locations, formats, Description, Enabled, OID, CaseOID,
  // UnitSelectedID) set Dirty when the value changes (exact comparison).
  HRESULT get_AttribName(std::wstring* value) override;
  // Stores a new route, drops the binding and binds again.
  HRESULT put_AttribName(const std::wstring& value) override;
  HRESULT get_WriteLocation(std::wstring* value) override;
  HRESULT put_WriteLocation(const std::wstring& value) override;
  HRESULT get_ReadLocation(std::wstring* value) override;
  HRESULT put_ReadLocation(const std::wstring& value) override;
  // Whether WriteLocation / ReadLocation is set.
  HRESULT get_Export(VARIANT_BOOL* value) override;
  HRESULT get_Import(VARIANT_BOOL* value) override;
  HRESULT get_Enabled(VARIANT_BOOL* value) override;
  HRESULT put_Enabled(VARIANT_BOOL value) override;
  HRESULT get_Description(std::wstring* value) override;
  HRESULT put_Description(const std::wstring& value) override;
  HRESULT get_WriteFormat(std::wstring* value) override;
  HRESULT put_WriteFormat(const std::wstring& value) override;
  HRESULT get_ReadFormat(std::wstring* value) override;
  HRESULT put_ReadFormat(const std::wstring& value) override;
  HRESULT get_OID(int32_t* value) override;
  HRESULT put_OID(int32_t value) override;
  HRESULT get_CaseOID(int32_t* value) override;
  HRESULT put_CaseOID(int32_t value) override;
  HRESULT get_Dirty(VARIANT_BOOL* value) override;
  HRESULT put_Dirty(VARIANT_BOOL value) override;
  HRESULT get_ManualEntry(VARIANT_BOOL* value) override;
  HRESULT put_ManualEntry(VARIANT_BOOL value) override;

  // Values of a transfer. A value that cannot be copied is stored as a
  // VT_ERROR holding the failure. OrvanValue put also sets ReadFromOrvan.
  HRESULT get_OrvanValue(Variant* value) override;
  HRESULT put_OrvanValue(const Variant& value) override;
  // A one-element array of variants is stored as its element. AppValue put
  // turns a text into a double when the Link has a quantity type (left
  // empty when the text is no number); RawAppValue put marks the Link in
  // error when the value is, or holds, a VT_ERROR.
  HRESULT get_AppValue(Variant* value) override;
  HRESULT put_AppValue(const Variant& value) override;
  HRESULT get_RawAppValue(Variant* value) override;
  HRESULT put_RawAppValue(const Variant& value) override;
  HRESULT get_Prefix(Variant* value) override;
  HRESULT put_Prefix(const Variant& value) override;
  HRESULT get_Postfix(Variant* value) override;
  HRESULT put_Postfix(const Variant& value) override;
  HRESULT get_Substitution(Variant* value) override;
  HRESULT put_Substitution(const Variant& value) override;
  // Makes each of Prefix, Postfix, Substitution that is not empty an empty
  // text.
  HRESULT ResetLinkFormatData() override;

  // Flags of a transfer; ReadFromApp is any of the four read flags.
  HRESULT get_WrittenToApp(VARIANT_BOOL* value) override;
  HRESULT put_WrittenToApp(VARIANT_BOOL value) override;
  HRESULT get_ReadValueFromApp(VARIANT_BOOL* value) override;
  HRESULT put_ReadValueFromApp(VARIANT_BOOL value) override;
  HRESULT get_WrittenToOrvan(VARIANT_BOOL* value) override;
  HRESULT put_WrittenToOrvan(VARIANT_BOOL value) override;
  HRESULT get_ReadFromOrvan(VARIANT_BOOL* value) override;
  HRESULT put_ReadFromOrvan(VARIANT_BOOL value) override;
  HRESULT get_Error(VARIANT_BOOL* value) override;
  HRESULT put_Error(VARIANT_BOOL value) override;
  HRESULT get_PrefixReadFromApp(VARIANT_BOOL* value) override;
  HRESULT put_PrefixReadFromApp(VARIANT_BOOL value) override;
  HRESULT get_PostfixReadFromApp(VARIANT_BOOL* value) override;
  HRESULT put_PostfixReadFromApp(VARIANT_BOOL value) override;
  HRESULT get_SubstitutionReadFromApp(VARIANT_BOOL* value) override;
  HRESULT put_SubstitutionReadFromApp(VARIANT_BOOL value) override;
  HRESULT get_ReadFromApp(VARIANT_BOOL* value) override;

  // Status text: AppendStatus adds `line` (when not empty) and "\r\n".
  HRESULT get_Status(std::wstring* value) override;
  HRESULT put_Status(const std::wstring& value) override;
  HRESULT AppendStatus(const std::wstring& line) override;
  // Prepares the Link for operation `op`: clears flags, status and the
  // values the operation replaces, then writes its heading and the
  // LinkSet's object. Success also without Parent.
  HRESULT ResetStatus(OVCBRIDGETRANSFEROP op) override;
  // Marks a Link that was not written or read as operation `op` needed.
  // E_POINTER without Parent; nothing for an iterative Parent.
  HRESULT FinalStatus(OVCBRIDGETRANSFEROP op) override;

  // The owning LinkSet (a new reference); message 1106 without one. Put
  // takes an ILinkSet (else message 1107) or null, and binds again.
  HRESULT get_Parent(IDispatch** parent) override;
  HRESULT put_Parent(IDispatch* parent) override;
  // Binds the Link to the host attribute of its route. Always succeeds.
  HRESULT SetDataModelSvcs() override;
  // The bound host attribute and quantity type (new references), or null.
  HRESULT get_AttributeDisp(IDispatch** attribute) override;
  HRESULT get_QuantityTypeDisp(IDispatch** quantity_type) override;
  // Copies route, locations, unit selection, description, formats, case
  // and Enabled from another Link through this Link's setters; message
  // 1130 when `source` is no Link. Stops at the first failing call.
  HRESULT CopyLink(IDispatch* source) override;
  // Success, nothing reported.
  HRESULT get_Validate(std::wstring* report) override;
  HRESULT get_CaseNameList(Variant* names) override;

  // Units of measure (link_units.cpp). Selection identifiers: -1 none,
  // -10/-11/-12 the workspace's, Bridge's or LinkSet's unit standard,
  // 1..N a unit of the quantity type's units; indexes 0..N+2 list them
  // as -10, -11, -12, 1..N.
  HRESULT get_UnitSysName(std::wstring* value) override;
  HRESULT put_UnitSysName(const std::wstring& value) override;
  HRESULT get_UnitString(std::wstring* value) override;
  HRESULT put_UnitString(const std::wstring& value) override;
  HRESULT get_UnitCount(int32_t* count) override;
  HRESULT get_UnitSysNameResolved(std::wstring* value) override;
  HRESULT get_UnitStringResolved(std::wstring* value) override;
  HRESULT get_UOMCollDisp(IDispatch** units) override;
  HRESULT get_UnitStringByIndex(int32_t index, std::wstring* value) override;
  HRESULT get_UnitID(int32_t index, int32_t* id) override;
  HRESULT get_UnitSelectedID(int32_t* id) override;
  HRESULT put_UnitSelectedID(int32_t id) override;
  HRESULT get_UnitComboList(std::wstring* list) override;
  HRESULT get_UnitSetName(std::wstring* value) override;

  // The value for the application, formatted by WriteFormat
  // (link_publish.cpp).
  HRESULT get_PublishedValue(VARIANT_BOOL string_only, VARIANT_BOOL apply_format,
                             Variant* value) override;
  // Parses RawAppValue by ReadFormat into AppValue or the descriptive
  // texts, with a status line naming `app_name`.
  HRESULT ConvertAppValue(const std::wstring& app_name) override;

  // Case selection (link_case.cpp). CaseResolved is CaseOID, or what the
  // LinkSet or the Bridge resolves for a marker: message 1106 without a
  // Parent, 1111 when the Bridge cannot be reached. The names and the
  // combo list come from the LinkSet; E_POINTER without a Parent.
  HRESULT get_CaseResolved(int32_t* oid) override;
  HRESULT get_CaseResolvedName(std::wstring* name) override;
  HRESULT get_SelectedCaseName(std::wstring* name) override;
  HRESULT get_CaseComboList(std::wstring* list) override;

  // The Link as a document "<Link .../>" (link_xml.cpp): a new DOM document
  // handed out as VT_DISPATCH. Units holds the pending unit system name, or
  // else the UnitSysName selection text.
  HRESULT GetXML(Variant* document) override;
  // Reads a Link element: `link` names a local file holding one (a path or
  // "file://" URL) or is the element's DOM node. E_INVALIDARG, nothing
  // read, for any other value or node; a file that cannot be read, or holds
  // a DTD, fails with its reason. Dirty follows as for the setters; what
  // was read before a failure stays. A Units name waits as the pending unit
  // system name until binding finds the Link's units.
  HRESULT ReadXML(const Variant& link) override;
  // GetXML's element appended to `parent` / ReadXML from a Link element,
  // so that a LinkSet writes and reads its Links within its own tree.
  void WriteXml(CMethodFrame& frame, pugi::xml_node parent) override;
  void ReadXml(CMethodFrame& frame, pugi::xml_node element) override;

  // For a LinkSet making its own Links: a Link without a Parent joins
  // `parent` as put_Parent does, then reads its element as ReadXml does,
  // binding through `bindings` (when given) that the LinkSet's Links share.
  void JoinLinkSet(ComPtr<ILinkSet> parent);
  void ReadElement(pugi::xml_node element, BindingCache* bindings);
  // WriteXml for a LinkSet writing its own Links, resolving default unit
  // selections through `unit_texts` (when given) that they share.
  void WriteElement(CMethodFrame& frame, pugi::xml_node parent, DefaultUnitTexts* unit_texts);

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == ILink::kIid ? S_OK : S_FALSE;
  }

 private:
  class Facts;
  class Reader;

  // The flags a Link keeps about the last transfer.
  struct TransferFlags {
    bool read_value_from_app = false;
    bool prefix_read_from_app = false;
    bool postfix_read_from_app = false;
    bool substitution_read_from_app = false;
    bool written_to_app = false;
    bool read_from_orvan = false;
    bool written_to_orvan = false;
  };
  // Which text of a unit a selection or resolution shows.
  enum class UnitText { kSystemName, kDisplay };

  // put_AttribName, binding through `bindings` when given.
  void SetRoute(std::wstring route, BindingCache* bindings);
  void LeaveLinkSet();
  void Bind(BindingCache* bindings = nullptr);
  void BindAttribute(CMethodFrame& frame, BindingCache* bindings);
  // Looks the route up in `view` and the host's `cache`, each part of the
  // binding set as it is found.
  void LookUpBinding(CMethodFrame& frame, const ComPtr<IDispatch>& view, IOVCache* cache);
  void DropBinding();
  bool HasReadFlag() const;
  void AppendLine(std::wstring_view line);
  void WriteHeading(OVCBRIDGETRANSFEROP op);
  void WriteSynchronisationHeading(OVCBRIDGETRANSFEROP op);
  ComPtr<IBridge> ParentBridge() const;

  // Units (link_units.cpp).
  int32_t UnitTotal() const;
  std::wstring UnitTextAt(int32_t position, UnitText kind) const;
  // `unit_texts`, when given, keeps and gives the texts of default selections.
  std::wstring SelectionText(int32_t id, UnitText kind, DefaultUnitTexts* unit_texts = nullptr);
  HRESULT GetSelection(UnitText kind, std::wstring* value, std::wstring_view method);
  HRESULT SelectByText(const std::wstring& text, UnitText kind, std::wstring_view method);
  HRESULT Resolve(int32_t id, UnitText kind, std::wstring* value);
  std::wstring StandardOf(int32_t id, IBridge* bridge) const;
  HRESULT CheckUnitIndex(int32_t index, uint32_t range_message) const;
  // Lists the defaults and the units for the combo box; built when first
  // read after binding to a quantity type, kept while the Link stays bound
  // to that type.
  void BuildUnitComboList();
  // Selects the pending unit system name, if any, among the units and
  // forgets it; a name not found is left on the Link's status.
  void ApplyPendingUnitName();

  ModuleLock module_lock_;
  int32_t oid_ = -1;
  int32_t unit_selected_id_ = -1;
  int32_t case_oid_ = ovLinkSetDefault;
  bool enabled_ = true;
  ComPtr<ILinkSet> parent_;
  AttributeBinding binding_;
  TransferFlags flags_;
  bool manual_entry_ = false;
  bool error_ = false;
  bool dirty_ = false;
  bool binding_enabled_ = true;
  bool binding_failed_ = false;
  std::wstring status_;
  std::wstring unit_combo_list_;
  std::wstring pending_unit_sys_name_;
  Variant orvan_value_;
  Variant raw_app_value_;
  Variant app_value_;
  Variant prefix_;
  Variant postfix_;
  Variant substitution_;
  std::wstring write_format_;
  std::wstring read_format_;
  std::wstring description_;
  std::wstring attrib_name_;
  std::wstring read_location_;
  std::wstring write_location_;
};

// `link` as a Link of this library, or null for one of another origin.
// CLink is final, so its dynamic type alone tells, without the search of the
// bases a cross cast makes.
inline CLink* AsOwnLink(ILink* link) {
  return typeid(*link) == typeid(CLink) ? static_cast<CLink*>(link) : nullptr;
}

}  // namespace ovc::links
