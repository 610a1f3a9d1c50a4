#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/child_list.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/xml/xml_part.h"

namespace ovc::links {

// One LinkSet, "OVCBridgeSvcs.LinkSet": an ordered collection of Links
// (0-based positions) bound to a host class view (Class) and to one object
// of it or, when Iterative, to a list of objects (parallel lists of OIDs
// and names).
//
// The LinkSet holds one reference to each Link and makes itself the Link's
// Parent; a Link leaving the collection gets a null Parent. It holds its
// Parent Bridge, which holds it: FinalCleanUp breaks both cycles. Dirty is
// the LinkSet's own flag or any Link's. Failures follow the library's error
// convention (class LinkSet).
class CLinkSet final : public ComObject<ReentryGuardedDispatch<ILinkSet>, ISupportErrorInfo>,
                       public xml::XmlPart {
 public:
  CLinkSet() = default;

  // The collection. Item takes a VT_I2 or VT_I4 index (message 1211
  // otherwise, 1104 out of range) and hands out the Link as VT_DISPATCH.
  HRESULT get_Item(const Variant& index, Variant* link) override;
  // An enumerator over a snapshot of the Links.
  HRESULT get__NewEnum(IUnknown** enumerator) override;
  HRESULT get_Count(int32_t* count) override;
  // Appends `link` (an ILink; messages 1123 null, 1103 other) and becomes
  // its Parent.
  HRESULT Add(IDispatch* link) override;
  // Adds `link` at `index`: negative or past the end appends, 0 prepends.
  HRESULT InsertLink(IDispatch* link, int32_t index) override;
  // Adds copies of every Link of `link_set` (an ILinkSet, message 1127)
  // in order from `index`, or at the end for -1.
  HRESULT InsertLinks(IDispatch* link_set, int32_t index) override;
  // Message 1126 with the range for a position outside the collection.
  HRESULT SwapLinkPosition(int32_t position1, int32_t position2) override;
  // Message 1104 with the range outside the collection.
  HRESULT Remove(int32_t index) override;
  // Releases every Link (null Parent); Dirty unchanged.
  HRESULT RemoveAll() override;
  // A new Link with this Parent copying the Link at `index`; not added.
  HRESULT CopyLink(const Variant& index, Variant* link) override;
  // New Links, added; AddLink hands it out when `link` is given.
  HRESULT AddLink(Variant* link) override;
  HRESULT CreateLink(Variant* link) override;
  // Copies the persisted properties (through the setters), the object
  // lists and copies of the Links of `link_set` (message 1131 when it is no
  // LinkSet); OID, IterativeCopy, Parent and existing Links are kept.
  HRESULT CopyLinkSet(IDispatch* link_set) override;
  HRESULT get_LinkErrorCount(int32_t* count) override;

  // Persisted properties; the setters set Dirty when the value changes.
  HRESULT get_Name(std::wstring* value) override;
  HRESULT put_Name(const std::wstring& value) override;
  // Put binds the class view of the new name (SetDataModelSvcs) and the
  // Links through it; without a valid class view the Links have no attribute.
  HRESULT get_Class(std::wstring* value) override;
  HRESULT put_Class(const std::wstring& value) override;
  HRESULT get_Description(std::wstring* value) override;
  HRESULT put_Description(const std::wstring& value) override;
  HRESULT get_Enabled(VARIANT_BOOL* value) override;
  HRESULT put_Enabled(VARIANT_BOOL value) override;
  HRESULT get_UnitStdSelected(std::wstring* value) override;
  HRESULT put_UnitStdSelected(const std::wstring& value) override;
  HRESULT get_OID(int32_t* value) override;
  HRESULT put_OID(int32_t value) override;
  HRESULT get_CaseOID(int32_t* value) override;
  HRESULT put_CaseOID(int32_t value) override;
  // Get: the own flag or any Link's; put false clears the Links' too.
  HRESULT get_Dirty(VARIANT_BOOL* value) override;
  HRESULT put_Dirty(VARIANT_BOOL value) override;
  HRESULT get_Error(VARIANT_BOOL* value) override;

  // The owning Bridge (message 1101 without one); put takes an IBridge
  // (message 1102 otherwise) or null, and binds the class view.
  HRESULT get_Parent(IDispatch** parent) override;
  HRESULT put_Parent(IDispatch* parent) override;
  // Looks the class view up in the host cache; when it changed, every Link
  // binds again.
  HRESULT SetDataModelSvcs() override;
  // The bound class view (a new reference) or null.
  HRESULT get_ClassViewDisp(IDispatch** view) override;
  // Releases the Links, the Parent and the class view. Always succeeds.
  HRESULT FinalCleanUp() override;

  // Transfer status: ResetStatus clears Error first; both pass `op` to
  // every Link in order.
  HRESULT ResetStatus(OVCBRIDGETRANSFEROP op) override;
  HRESULT FinalStatus(OVCBRIDGETRANSFEROP op) override;
  // The report of what keeps this LinkSet from a transfer (empty when
  // nothing does); sets Error (link_set_validate.cpp).
  HRESULT get_Validate(VARIANT_BOOL transfer, std::wstring* report) override;
  // A <ProfileAttr> entry with route and case for each enabled Link.
  HRESULT GetLinkProfile(std::wstring* profile) override;

  // Object binding and working copies (link_set_objects.cpp).
  HRESULT get_ObjectName(std::wstring* value) override;
  HRESULT put_ObjectName(const std::wstring& value) override;
  HRESULT get_ObjectOID(int32_t* value) override;
  HRESULT put_ObjectOID(int32_t value) override;
  HRESULT ClearObject() override;
  HRESULT get_ObjectCount(int32_t* count) override;
  HRESULT get_ObjectNameList(Variant* names) override;
  HRESULT put_ObjectNameList(const Variant& names) override;
  HRESULT get_ObjectOIDList(Variant* oids) override;
  HRESULT put_ObjectOIDList(const Variant& oids) override;
  HRESULT get_Iterative(VARIANT_BOOL* value) override;
  HRESULT put_Iterative(VARIANT_BOOL value) override;
  HRESULT get_IterativeCopy(VARIANT_BOOL* value) override;
  HRESULT put_IterativeCopy(VARIANT_BOOL value) override;
  HRESULT get_FirstObjectOID(int32_t* oid) override;
  // A non-iterative copy bound to object `index` of the lists, holding
  // copies of the Links (message 1271 for an index outside the lists).
  HRESULT CreateWorkingCopy(int32_t index, Variant* link_set) override;

  // Case and unit-standard selection, through the Parent Bridge with the
  // first object (-1 without objects); link_set_case.cpp. Without a
  // Parent: CaseName and SetCaseInfo succeed without a value,
  // CaseComboList and GetUnitDefaultFormat answer E_POINTER, the others
  // message 1101.
  HRESULT get_CaseName(int32_t case_oid, std::wstring* name) override;
  HRESULT SetCaseInfo(OVCBRIDGESVCSOBJ kind, int32_t case_oid, std::wstring* case_name,
                      std::wstring* combo_list) override;
  HRESULT GetUnitDefaultFormat(const std::wstring& unit, std::wstring* format) override;
  // Success without a value.
  HRESULT get_CaseNameList(Variant* names) override;
  HRESULT get_SelectedCaseName(std::wstring* name) override;
  HRESULT get_CaseComboList(std::wstring* list) override;
  // The Bridge's list for a LinkSet: two markers, then the unit standards.
  HRESULT get_UnitStdSelectionList(Variant* names) override;
  // UnitStdSelected, or what the Bridge resolves for a marker (letter case
  // ignored).
  HRESULT get_UnitStdResolved(std::wstring* name) override;
  // CaseOID, or what the Bridge resolves for a marker.
  HRESULT get_CaseResolved(int32_t* oid) override;

  // The LinkSet as a document "<Linkset ...>" with its bound objects and
  // Links (link_set_xml.cpp), handed out as a VT_DISPATCH DOM document.
  HRESULT GetXML(Variant* document) override;
  // Reads a Linkset element: `link_set` is XML text holding exactly one, or
  // the element's DOM node. E_INVALIDARG, nothing read, for anything else;
  // text that does not parse or holds a DTD fails with its reason. Reading
  // appends the objects and Links; what was read before a failure stays.
  HRESULT ReadXML(const Variant& link_set) override;
  // Appends the OID and ObjectName of each ClassViewObjects/Object under
  // `node` to the object lists (an OID without digits reads as -1).
  HRESULT ReadObjects(IDispatch* node) override;
  // GetXML's element appended to `parent` / ReadXML from a Linkset element,
  // so that a Bridge writes and reads its LinkSets within its own tree.
  void WriteXml(CMethodFrame& frame, pugi::xml_node parent) override;
  void ReadXml(CMethodFrame& frame, pugi::xml_node element) override;

  HRESULT InterfaceSupportsErrorInfo(const IID& iid) override {
    return iid == ILinkSet::kIid ? S_OK : S_FALSE;
  }

 private:
  ComPtr<ILink> NewLink(CMethodFrame& frame);
  // Adds `link`, whose Parent this LinkSet already is.
  void Append(ComPtr<ILink> link);
  // ReadObjects over the tree under `element`.
  void ReadObjectsOf(pugi::xml_node element);
  HRESULT NewLinkAdded(Variant* link, std::wstring_view method);
  HRESULT CheckObjectListLength(size_t count) const;
  HRESULT CopyLinkAt(int32_t index, Variant* link);
  // The first object's OID, or -1.
  int32_t FirstObject() const;
  // Validation (link_set_validate.cpp).
  std::wstring MissingObjects(CMethodFrame& frame);
  std::wstring MissingAttributes();

  ModuleLock module_lock_;
  ChildList<ILink> links_{CLSID_LinkSet};
  std::wstring name_;
  std::wstring class_;
  std::wstring description_;
  std::wstring unit_std_selected_ = L"<Bridge Default>";
  bool enabled_ = true;
  int32_t oid_ = -1;
  int32_t case_oid_ = ovBridgeDefault;
  bool iterative_ = false;
  std::vector<int32_t> object_oids_;
  std::vector<std::wstring> object_names_;
  ComPtr<IBridge> parent_;
  ComPtr<IOVClassView> class_view_;
  bool dirty_ = false;
  bool error_ = false;
  bool iterative_copy_ = false;
};

}  // namespace ovc::links
