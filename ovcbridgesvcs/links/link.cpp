#include "ovcbridgesvcs/links/link.h"

#include <utility>

#include "automation/conversion.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
namespace {

constexpr bool Among(OVCBRIDGETRANSFEROP op, std::initializer_list<OVCBRIDGETRANSFEROP> ops) {
  for (OVCBRIDGETRANSFEROP each : ops) {
    if (each == op) return true;
  }
  return false;
}

// `message` when `shown`, else 0 (no heading).
uint32_t HeadingIf(bool shown, uint32_t message) { return shown ? message : 0; }

// The heading message of operation `op`, or 0 when the Link shows none
// (an operation that does not use the Link's locations).
uint32_t HeadingMessage(OVCBRIDGETRANSFEROP op, bool reads, bool writes) {
  switch (op) {
    case ovReadFromOrvan:
      return msg::kReadFromOrvanTitle;
    case ovWriteToOrvan:
      return msg::kWriteToOrvanTitle;
    case ovReadFromApp:
      return HeadingIf(reads, msg::kReadFromAppTitle);
    case ovWriteToApp:
      return HeadingIf(writes, msg::kWriteToAppTitle);
    case ovExportOrvanToApp:
      return HeadingIf(writes, msg::kExportTitle);
    case ovImportOrvanFromApp:
      return HeadingIf(reads, msg::kImportTitle);
    case ovAutorun:
    case ovAutorunPause:
      return HeadingIf(reads || writes, msg::kAutorunTitle);
    default:
      return 0;
  }
}

// A stored flag from a boolean of the interface: any non-zero is true.
HRESULT SetFlag(bool& flag, VARIANT_BOOL value) {
  flag = value != VARIANT_FALSE;
  return S_OK;
}

// Hands out a new reference to `object` as IDispatch (null when empty).
template <class I>
HRESULT GiveObject(IDispatch** out, const ComPtr<I>& object) {
  if (out == nullptr) return E_POINTER;
  *out = ComPtr<IDispatch>(object).Detach();
  return S_OK;
}

}  // namespace

HRESULT CLink::get_AttribName(std::wstring* value) { return Give(value, attrib_name_); }

HRESULT CLink::put_AttribName(const std::wstring& value) {
  SetRoute(value, nullptr);
  return S_OK;
}

void CLink::SetRoute(std::wstring route, BindingCache* bindings) {
  if (route == attrib_name_) return;
  attrib_name_ = std::move(route);
  DropBinding();
  binding_.units.Reset();
  binding_.units_quantity_type.clear();
  dirty_ = true;
  binding_failed_ = false;
  Bind(bindings);
}

HRESULT CLink::get_WriteLocation(std::wstring* value) { return Give(value, write_location_); }
HRESULT CLink::put_WriteLocation(const std::wstring& value) {
  SetPersisted(write_location_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_ReadLocation(std::wstring* value) { return Give(value, read_location_); }
HRESULT CLink::put_ReadLocation(const std::wstring& value) {
  SetPersisted(read_location_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_Export(VARIANT_BOOL* value) { return GiveFlag(value, !write_location_.empty()); }
HRESULT CLink::get_Import(VARIANT_BOOL* value) { return GiveFlag(value, !read_location_.empty()); }
HRESULT CLink::get_Enabled(VARIANT_BOOL* value) { return GiveFlag(value, enabled_); }
HRESULT CLink::put_Enabled(VARIANT_BOOL value) {
  SetPersisted(enabled_, value != VARIANT_FALSE, dirty_);
  return S_OK;
}
HRESULT CLink::get_Description(std::wstring* value) { return Give(value, description_); }
HRESULT CLink::put_Description(const std::wstring& value) {
  SetPersisted(description_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_WriteFormat(std::wstring* value) { return Give(value, write_format_); }
HRESULT CLink::put_WriteFormat(const std::wstring& value) {
  SetPersisted(write_format_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_ReadFormat(std::wstring* value) { return Give(value, read_format_); }
HRESULT CLink::put_ReadFormat(const std::wstring& value) {
  SetPersisted(read_format_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_OID(int32_t* value) { return Give(value, oid_); }
HRESULT CLink::put_OID(int32_t value) {
  SetPersisted(oid_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_CaseOID(int32_t* value) { return Give(value, case_oid_); }
HRESULT CLink::put_CaseOID(int32_t value) {
  SetPersisted(case_oid_, value, dirty_);
  return S_OK;
}
HRESULT CLink::get_Dirty(VARIANT_BOOL* value) { return GiveFlag(value, dirty_); }
HRESULT CLink::put_Dirty(VARIANT_BOOL value) { return SetFlag(dirty_, value); }
HRESULT CLink::get_ManualEntry(VARIANT_BOOL* value) { return GiveFlag(value, manual_entry_); }
HRESULT CLink::put_ManualEntry(VARIANT_BOOL value) { return SetFlag(manual_entry_, value); }

HRESULT CLink::get_OrvanValue(Variant* value) { return Give(value, CopyOrError(orvan_value_)); }
HRESULT CLink::put_OrvanValue(const Variant& value) {
  orvan_value_ = CopyOrError(value);
  flags_.read_from_orvan = true;
  return S_OK;
}

HRESULT CLink::get_AppValue(Variant* value) { return Give(value, CopyOrError(app_value_)); }
HRESULT CLink::put_AppValue(const Variant& value) {
  app_value_.Clear();
  if (binding_.quantity_type && value.vt() == VT_BSTR) {
    Variant number;
    if (Succeeded(VariantChangeType(&number, value, VARIANT_ALPHABOOL, VT_R8))) {
      app_value_ = std::move(number);
    }
    return S_OK;
  }
  app_value_ = UnwrapSingleElement(value);
  return S_OK;
}

HRESULT CLink::get_RawAppValue(Variant* value) { return Give(value, CopyOrError(raw_app_value_)); }
HRESULT CLink::put_RawAppValue(const Variant& value) {
  raw_app_value_.Clear();
  raw_app_value_ = UnwrapSingleElement(value);
  if (HoldsError(raw_app_value_)) {
    error_ = true;
    AppendLine(L"Error in application value");
  }
  return S_OK;
}

HRESULT CLink::get_Prefix(Variant* value) { return Give(value, CopyOrError(prefix_)); }
HRESULT CLink::put_Prefix(const Variant& value) {
  prefix_.Clear();
  prefix_ = UnwrapSingleElement(value);
  return S_OK;
}
HRESULT CLink::get_Postfix(Variant* value) { return Give(value, CopyOrError(postfix_)); }
HRESULT CLink::put_Postfix(const Variant& value) {
  postfix_.Clear();
  postfix_ = UnwrapSingleElement(value);
  return S_OK;
}
HRESULT CLink::get_Substitution(Variant* value) { return Give(value, CopyOrError(substitution_)); }
HRESULT CLink::put_Substitution(const Variant& value) {
  substitution_.Clear();
  substitution_ = UnwrapSingleElement(value);
  return S_OK;
}

HRESULT CLink::ResetLinkFormatData() {
  for (Variant* text : {&prefix_, &postfix_, &substitution_}) {
    if (!text->IsEmpty()) *text = Variant(std::wstring());
  }
  return S_OK;
}

HRESULT CLink::get_WrittenToApp(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.written_to_app);
}
HRESULT CLink::put_WrittenToApp(VARIANT_BOOL value) {
  return SetFlag(flags_.written_to_app, value);
}
HRESULT CLink::get_ReadValueFromApp(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.read_value_from_app);
}
HRESULT CLink::put_ReadValueFromApp(VARIANT_BOOL value) {
  return SetFlag(flags_.read_value_from_app, value);
}
HRESULT CLink::get_WrittenToOrvan(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.written_to_orvan);
}
HRESULT CLink::put_WrittenToOrvan(VARIANT_BOOL value) {
  return SetFlag(flags_.written_to_orvan, value);
}
HRESULT CLink::get_ReadFromOrvan(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.read_from_orvan);
}
HRESULT CLink::put_ReadFromOrvan(VARIANT_BOOL value) {
  return SetFlag(flags_.read_from_orvan, value);
}
HRESULT CLink::get_Error(VARIANT_BOOL* value) { return GiveFlag(value, error_); }
HRESULT CLink::put_Error(VARIANT_BOOL value) { return SetFlag(error_, value); }
HRESULT CLink::get_PrefixReadFromApp(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.prefix_read_from_app);
}
HRESULT CLink::put_PrefixReadFromApp(VARIANT_BOOL value) {
  return SetFlag(flags_.prefix_read_from_app, value);
}
HRESULT CLink::get_PostfixReadFromApp(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.postfix_read_from_app);
}
HRESULT CLink::put_PostfixReadFromApp(VARIANT_BOOL value) {
  return SetFlag(flags_.postfix_read_from_app, value);
}
HRESULT CLink::get_SubstitutionReadFromApp(VARIANT_BOOL* value) {
  return GiveFlag(value, flags_.substitution_read_from_app);
}
HRESULT CLink::put_SubstitutionReadFromApp(VARIANT_BOOL value) {
  return SetFlag(flags_.substitution_read_from_app, value);
}
HRESULT CLink::get_ReadFromApp(VARIANT_BOOL* value) { return GiveFlag(value, HasReadFlag()); }

bool CLink::HasReadFlag() const {
  return flags_.read_value_from_app || flags_.prefix_read_from_app ||
         flags_.postfix_read_from_app || flags_.substitution_read_from_app;
}

HRESULT CLink::get_Status(std::wstring* value) { return Give(value, status_); }
HRESULT CLink::put_Status(const std::wstring& value) {
  status_ = value;
  return S_OK;
}
HRESULT CLink::AppendStatus(const std::wstring& line) {
  AppendLine(line);
  return S_OK;
}

void CLink::AppendLine(std::wstring_view line) { status_.append(line).append(L"\r\n"); }

HRESULT CLink::ResetStatus(OVCBRIDGETRANSFEROP op) {
  CMethodFrame frame(L"CLink::ResetStatus");
  return RunMethod(frame, [&] {
    status_.clear();
    flags_.written_to_app = flags_.written_to_orvan = error_ = false;
    if (Among(op, {ovExportOrvanToApp, ovAutorun, ovAutorunPause})) raw_app_value_.Clear();
    if (Among(op, {ovReadFromOrvan, ovExportOrvanToApp, ovAutorun, ovAutorunPause})) {
      orvan_value_.Clear();
      flags_.read_from_orvan = false;
    }
    if (Among(op, {ovReadFromApp, ovImportOrvanFromApp, ovAutorun, ovAutorunPause})) {
      raw_app_value_.Clear();
      app_value_.Clear();
      flags_.read_value_from_app = false;
    }
    if (!parent_) return;
    if (Among(op, {ovSynchNamesAdd, ovSynchNamesReplace})) {
      WriteSynchronisationHeading(op);
    } else {
      WriteHeading(op);
    }
  });
}

void CLink::WriteSynchronisationHeading(OVCBRIDGETRANSFEROP op) {
  if (attrib_name_.empty() || (read_location_.empty() && write_location_.empty())) return;
  status_ = L"Location Name Synchronization (";
  status_ += op == ovSynchNamesAdd ? L"Add Name" : L"Replace With";
  status_ += L"):  Attribute Name: ";
  AppendLine(attrib_name_);
  if (!read_location_.empty()) {
    status_ += L"  Original Read Location: ";
    AppendLine(read_location_);
  }
  if (!write_location_.empty()) {
    status_ += L"  Original Write Location: ";
    AppendLine(write_location_);
  }
}

void CLink::WriteHeading(OVCBRIDGETRANSFEROP op) {
  VARIANT_BOOL iterative = VARIANT_FALSE;
  VARIANT_BOOL set_enabled = VARIANT_TRUE;
  if (Succeeded(parent_->get_Iterative(&iterative)) && iterative != VARIANT_FALSE) return;
  parent_->get_Enabled(&set_enabled);
  if (!enabled_ || set_enabled == VARIANT_FALSE) {
    raw_app_value_.Clear();
    app_value_.Clear();
    orvan_value_.Clear();
    flags_.read_value_from_app = false;
    return;
  }
  const uint32_t heading = HeadingMessage(op, !read_location_.empty(), !write_location_.empty());
  status_ = heading == 0 ? std::wstring() : LoadMessage(heading);
  std::wstring object;
  parent_->get_ObjectName(&object);
  if (object.empty()) {
    AppendLine(L"  Object Not Defined");
  } else {
    status_ += L"  Object = ";
    AppendLine(object);
  }
}

HRESULT CLink::FinalStatus(OVCBRIDGETRANSFEROP op) {
  CMethodFrame frame(L"CLink::FinalStatus");
  return RunMethod(frame, [&]() -> HRESULT {
    if (!parent_) return E_POINTER;
    VARIANT_BOOL iterative = VARIANT_FALSE;
    if (Succeeded(parent_->get_Iterative(&iterative)) && iterative != VARIANT_FALSE) return S_OK;
    if (!enabled_) return S_OK;
    if (!write_location_.empty() && !flags_.written_to_app &&
        Among(op, {ovWriteToApp, ovExportOrvanToApp, ovAutorun, ovAutorunPause})) {
      AppendLine(L"Value never written to Application(s)");
      if (op != ovExportOrvanToApp || flags_.read_from_orvan) error_ = true;
    }
    if (!read_location_.empty() && !HasReadFlag() &&
        Among(op, {ovReadFromApp, ovImportOrvanFromApp, ovAutorun, ovAutorunPause})) {
      error_ = true;
      AppendLine(L"Value never read from Application(s)");
    }
    return S_OK;
  });
}

HRESULT CLink::get_Parent(IDispatch** parent) {
  CMethodFrame frame(L"CLink::get_Parent");
  return RunMethod(frame, [&]() -> HRESULT {
    if (parent == nullptr) return E_POINTER;
    if (!parent_) return ReportError(CLSID_Link, msg::kLinkNoParent, IID_NULL, E_FAIL);
    return GiveObject(parent, parent_);
  });
}

HRESULT CLink::put_Parent(IDispatch* parent) {
  if (parent == nullptr) {
    LeaveLinkSet();
    return S_OK;
  }
  CMethodFrame frame(L"CLink::put_Parent");
  return RunMethod(frame, [&]() -> HRESULT {
    if (IsSameObject(parent, parent_.get())) return S_OK;
    LeaveLinkSet();
    ComPtr<ILinkSet> link_set;
    if (Failed(ComPtr<IDispatch>(parent).As(&link_set))) {
      return ReportError(CLSID_Link, msg::kLinkParentNotLinkSet, IID_NULL, E_FAIL);
    }
    JoinLinkSet(std::move(link_set));
    return S_OK;
  });
}

void CLink::JoinLinkSet(ComPtr<ILinkSet> parent) {
  parent_ = std::move(parent);
  binding_failed_ = false;
  Bind();
}

void CLink::LeaveLinkSet() {
  parent_.Reset();
  DropBinding();
}

void CLink::DropBinding() {
  binding_.attribute.Reset();
  binding_.quantity_type.Reset();
}

HRESULT CLink::SetDataModelSvcs() {
  Bind();
  return S_OK;
}

void CLink::Bind(BindingCache* bindings) {
  if (!binding_enabled_ || binding_failed_ || attrib_name_.empty() || !parent_) return;
  CMethodFrame frame(L"CLink::SetDataModelSvcs");
  const HRESULT hr = RunMethod(frame, [&] { BindAttribute(frame, bindings); });
  if (Failed(hr)) {
    unit_selected_id_ = -1;
    binding_failed_ = true;
    SetErrorInfo(nullptr);
  }
}

void CLink::BindAttribute(CMethodFrame& frame, BindingCache* bindings) {
  const std::wstring remembered = std::exchange(binding_.units_quantity_type, std::wstring());
  std::wstring remembered_list = std::exchange(unit_combo_list_, std::wstring());
  binding_.quantity_type.Reset();
  binding_.units.Reset();
  ComPtr<IDispatch> view;
  CheckAndRaise(frame, parent_->get_ClassViewDisp(view.Receive()));
  if (!view) return;
  const ComPtr<IOVCache> cache = HostState::Current().cache();
  const AttributeBinding* known =
      bindings != nullptr ? bindings->Find(view.get(), cache.get(), attrib_name_) : nullptr;
  if (known != nullptr) {
    binding_ = *known;
  } else {
    LookUpBinding(frame, view, cache.get());
    if (bindings != nullptr) bindings->Keep(view.get(), cache.get(), attrib_name_, binding_);
  }
  if (!binding_.quantity_type) {
    unit_selected_id_ = -1;
    return;
  }
  // The host may hand out a new collection object each time: a collection of
  // the same quantity type is the one the selection was made in.
  if (binding_.units_quantity_type == remembered) {
    unit_combo_list_ = std::move(remembered_list);
    return;
  }
  put_UnitSelectedID(ovLinkSetDefault);
  ApplyPendingUnitName();
}

void CLink::LookUpBinding(CMethodFrame& frame, const ComPtr<IDispatch>& view, IOVCache* cache) {
  ComPtr<IDispatch> attribute;
  CheckAndRaise(frame, view.As<IOVClassView>()->Attribute(attrib_name_, attribute.Receive()));
  CheckAndRaise(frame, attribute.As(&binding_.attribute));
  std::wstring quantity_name;
  CheckAndRaise(frame, binding_.attribute->get_QuantityTypeName(&quantity_name));
  if (cache != nullptr && !quantity_name.empty()) {
    ComPtr<IDispatch> quantity_type;
    CheckAndRaise(frame, cache->QuantityType(quantity_name, quantity_type.Receive()));
    CheckAndRaise(frame, quantity_type.As(&binding_.quantity_type));
  }
  if (!binding_.quantity_type) return;
  ComPtr<IDispatch> units;
  CheckAndRaise(frame, binding_.quantity_type->get_Units(units.Receive()));
  CheckAndRaise(frame, units.As(&binding_.units));
  binding_.units_quantity_type = std::move(quantity_name);
}

HRESULT CLink::get_AttributeDisp(IDispatch** attribute) {
  return GiveObject(attribute, binding_.attribute);
}
HRESULT CLink::get_QuantityTypeDisp(IDispatch** quantity_type) {
  return GiveObject(quantity_type, binding_.quantity_type);
}

HRESULT CLink::CopyLink(IDispatch* source) {
  CMethodFrame frame(L"CLink::CopyLink");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<ILink> link;
    if (source == nullptr || Failed(ComPtr<IDispatch>(source).As(&link))) {
      return ReportError(CLSID_Link, msg::kCopyLinkNeedsLink, IID_NULL, E_FAIL);
    }
    binding_enabled_ = true;
    using Text = HRESULT (ILink::*)(std::wstring*);
    using PutText = HRESULT (CLink::*)(const std::wstring&);
    const std::pair<Text, PutText> texts[] = {
        {&ILink::get_AttribName, &CLink::put_AttribName},
        {&ILink::get_WriteLocation, &CLink::put_WriteLocation},
        {&ILink::get_ReadLocation, &CLink::put_ReadLocation},
        {&ILink::get_UnitSysName, &CLink::put_UnitSysName},
        {&ILink::get_Description, &CLink::put_Description},
        {&ILink::get_ReadFormat, &CLink::put_ReadFormat},
        {&ILink::get_WriteFormat, &CLink::put_WriteFormat},
    };
    for (const auto& [get, put] : texts) {
      std::wstring text;
      CheckAndRaise(frame, (link.get()->*get)(&text));
      CheckAndRaise(frame, (this->*put)(text));
    }
    int32_t case_oid = 0;
    VARIANT_BOOL enabled = VARIANT_TRUE;
    CheckAndRaise(frame, link->get_CaseOID(&case_oid));
    CheckAndRaise(frame, put_CaseOID(case_oid));
    CheckAndRaise(frame, link->get_Enabled(&enabled));
    return put_Enabled(enabled);
  });
}

HRESULT CLink::get_Validate(std::wstring*) { return S_OK; }
HRESULT CLink::get_CaseNameList(Variant*) { return S_OK; }

ComPtr<IBridge> CLink::ParentBridge() const {
  ComPtr<IDispatch> bridge;
  if (!parent_ || Failed(parent_->get_Parent(bridge.Receive()))) {
    SetErrorInfo(nullptr);
    return nullptr;
  }
  return bridge.As<IBridge>();
}

}  // namespace ovc::links
