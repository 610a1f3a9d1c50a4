// The unit-of-measure members of CLink.
#include <array>
#include <string>
#include <utility>

#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/link_values.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::links {
namespace {

struct DefaultSelection {
  int32_t id;
  std::wstring_view text;
};
// In the order a text is matched against them.
constexpr std::array<DefaultSelection, 3> kDefaults = {{
    {ovWorkspaceDefault, L"<Workspace Default>"},
    {ovBridgeDefault, L"<Bridge Default>"},
    {ovLinkSetDefault, L"<LinkSet Default>"},
}};

const DefaultSelection* FindDefault(int32_t id) {
  for (const DefaultSelection& selection : kDefaults) {
    if (selection.id == id) return &selection;
  }
  return nullptr;
}

// The identifier a unit index stands for: 0, 1, 2 the defaults, then the
// units from 1.
int32_t IdOfIndex(int32_t index) { return index < 3 ? ovWorkspaceDefault - index : index - 2; }

}  // namespace

int32_t CLink::UnitTotal() const {
  int32_t count = 0;
  if (binding_.units && Failed(binding_.units->get_Count(&count))) {
    SetErrorInfo(nullptr);
    return 0;
  }
  return count;
}

std::wstring CLink::UnitTextAt(int32_t position, UnitText kind) const {
  ComPtr<IDispatch> item;
  std::wstring text;
  if (!binding_.units || Failed(binding_.units->get_Item(position, item.Receive()))) {
    SetErrorInfo(nullptr);
    return text;
  }
  const ComPtr<IOVUnit> unit = item.As<IOVUnit>();
  const HRESULT hr = !unit                           ? E_NOINTERFACE
                     : kind == UnitText::kSystemName ? unit->get_UnitSystemName(&text)
                                                     : unit->get_UnitText(&text);
  if (Failed(hr)) SetErrorInfo(nullptr);
  return text;
}

// The text showing selection `id`: a default's name with the unit it
// resolves to, a unit's text, or nothing.
std::wstring CLink::SelectionText(int32_t id, UnitText kind, DefaultUnitTexts* unit_texts) {
  const DefaultSelection* selection = FindDefault(id);
  if (selection == nullptr) return id > 0 && binding_.units ? UnitTextAt(id, kind) : std::wstring();
  const bool shared =
      unit_texts != nullptr && binding_.quantity_type && !binding_.units_quantity_type.empty();
  if (shared) {
    if (const std::wstring* kept = unit_texts->Find(binding_.units_quantity_type, id)) return *kept;
  }
  std::wstring resolved;
  if (Failed(Resolve(id, UnitText::kDisplay, &resolved))) SetErrorInfo(nullptr);
  std::wstring text = std::wstring(selection->text).append(L" - ").append(resolved);
  if (shared) unit_texts->Keep(binding_.units_quantity_type, id, text);
  return text;
}

HRESULT CLink::GetSelection(UnitText kind, std::wstring* value, std::wstring_view method) {
  CMethodFrame frame(method);
  return RunMethod(frame, [&]() -> HRESULT {
    if (value == nullptr) return E_POINTER;
    if (!parent_) return ReportError(CLSID_Link, msg::kLinkNoParent, IID_NULL, E_FAIL);
    if (!binding_.units && !pending_unit_sys_name_.empty()) {
      // Binding applies the pending name; that is no change of the user's.
      const bool dirty = dirty_;
      Bind();
      dirty_ = dirty;
    }
    *value = SelectionText(unit_selected_id_, kind);
    return S_OK;
  });
}

HRESULT CLink::SelectByText(const std::wstring& text, UnitText kind, std::wstring_view method) {
  CMethodFrame frame(method);
  return RunMethod(frame, [&]() -> HRESULT {
    if (text.empty()) return S_OK;
    for (const DefaultSelection& selection : kDefaults) {
      if (text.find(selection.text) != std::wstring::npos) return put_UnitSelectedID(selection.id);
    }
    if (!binding_.units) return ReportError(CLSID_Link, msg::kNoUnits, IID_NULL, E_FAIL);
    const int32_t count = UnitTotal();
    for (int32_t position = 1; position <= count; ++position) {
      if (UnitTextAt(position, kind) == text) return put_UnitSelectedID(position);
    }
    if (text.find(L"Default") != std::wstring::npos) {
      for (int32_t position = 1; position <= count; ++position) {
        const std::wstring name = UnitTextAt(position, kind);
        if (!name.empty() && text.find(name) != std::wstring::npos) {
          return put_UnitSelectedID(position);
        }
      }
    }
    error_ = true;
    status_ = LoadMessage(msg::kUnitNotFound) + text + L"\r\n";
    RaiseOwnError(frame, SourceLocation::Current(), E_FAIL, status_);
  });
}

HRESULT CLink::get_UnitSysName(std::wstring* value) {
  return GetSelection(UnitText::kSystemName, value, L"CLink::get_UnitSysName");
}
HRESULT CLink::put_UnitSysName(const std::wstring& value) {
  return SelectByText(value, UnitText::kSystemName, L"CLink::put_UnitSysName");
}
HRESULT CLink::get_UnitString(std::wstring* value) {
  return GetSelection(UnitText::kDisplay, value, L"CLink::get_UnitString");
}
HRESULT CLink::put_UnitString(const std::wstring& value) {
  return SelectByText(value, UnitText::kDisplay, L"CLink::put_UnitString");
}

HRESULT CLink::get_UnitCount(int32_t* count) {
  return Give(count, binding_.units ? UnitTotal() + 3 : 0);
}

// The unit standard that default selection `id` follows; empty when it
// cannot be had.
std::wstring CLink::StandardOf(int32_t id, IBridge* bridge) const {
  std::wstring standard;
  const HRESULT hr = id == ovLinkSetDefault  ? parent_->get_UnitStdResolved(&standard)
                     : id == ovBridgeDefault ? bridge->get_UnitStdResolved(&standard)
                                             : bridge->get_WorkspaceDefaultUnitStd(&standard);
  if (Failed(hr)) {
    SetErrorInfo(nullptr);
    standard.clear();
  }
  return standard;
}

HRESULT CLink::Resolve(int32_t id, UnitText kind, std::wstring* value) {
  if (value == nullptr) return E_POINTER;
  value->clear();
  if (!parent_) return ReportError(CLSID_Link, msg::kLinkNoParent, IID_NULL, E_FAIL);
  const ComPtr<IBridge> bridge = ParentBridge();
  if (!bridge) return S_OK;
  if (!binding_.quantity_type) Bind();
  if (!binding_.quantity_type) return S_OK;
  if (FindDefault(id) == nullptr) {
    if (id > 0) *value = UnitTextAt(id, kind);
    return S_OK;
  }
  const std::wstring standard = StandardOf(id, bridge.get());
  if (standard.empty()) return S_OK;
  CMethodFrame frame(L"CLink::Resolve");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> item;
    CheckAndRaise(frame, binding_.quantity_type->UnitForStandard(standard, item.Receive()));
    const ComPtr<IOVUnit> unit = item.As<IOVUnit>();
    if (!unit) RaiseOwnError(frame, SourceLocation::Current(), E_NOINTERFACE);
    CheckAndRaise(frame, kind == UnitText::kSystemName ? unit->get_UnitSystemName(value)
                                                       : unit->get_UnitText(value));
  });
}

HRESULT CLink::get_UnitSysNameResolved(std::wstring* value) {
  return Resolve(unit_selected_id_, UnitText::kSystemName, value);
}
HRESULT CLink::get_UnitStringResolved(std::wstring* value) {
  return Resolve(unit_selected_id_, UnitText::kDisplay, value);
}

HRESULT CLink::get_UOMCollDisp(IDispatch** units) {
  if (units == nullptr) return E_POINTER;
  if (!binding_.units) Bind();
  *units = ComPtr<IDispatch>(binding_.units).Detach();
  return S_OK;
}

HRESULT CLink::CheckUnitIndex(int32_t index, uint32_t range_message) const {
  const int32_t last = UnitTotal() + 2;
  if (index < 0 || (binding_.units && index > last)) {
    return ReportOutOfRange(CLSID_Link, range_message, index, last);
  }
  if (!binding_.units && index > 2) return ReportError(CLSID_Link, msg::kNoUnits, IID_NULL, E_FAIL);
  return S_OK;
}

HRESULT CLink::get_UnitStringByIndex(int32_t index, std::wstring* value) {
  if (value == nullptr) return E_POINTER;
  const HRESULT hr = CheckUnitIndex(index, msg::kUnitStringIndexOutOfRange);
  if (Succeeded(hr)) *value = SelectionText(IdOfIndex(index), UnitText::kDisplay);
  return hr;
}

HRESULT CLink::get_UnitID(int32_t index, int32_t* id) {
  if (id == nullptr) return E_POINTER;
  const HRESULT hr = CheckUnitIndex(index, msg::kUnitIdIndexOutOfRange);
  if (Succeeded(hr)) *id = IdOfIndex(index);
  return hr;
}

HRESULT CLink::get_UnitSelectedID(int32_t* id) { return Give(id, unit_selected_id_); }
HRESULT CLink::put_UnitSelectedID(int32_t id) {
  SetPersisted(unit_selected_id_, id, dirty_);
  return S_OK;
}

HRESULT CLink::get_UnitComboList(std::wstring* list) {
  if (list == nullptr) return E_POINTER;
  if (unit_combo_list_.empty() && binding_.units) BuildUnitComboList();
  *list = unit_combo_list_;
  return S_OK;
}

void CLink::BuildUnitComboList() {
  auto add = [&](int32_t id, const std::wstring& text) {
    if (!unit_combo_list_.empty()) unit_combo_list_ += L'|';
    unit_combo_list_.append(L"#").append(std::to_wstring(id)).append(L";").append(text);
  };
  for (const DefaultSelection& selection : kDefaults) {
    add(selection.id, SelectionText(selection.id, UnitText::kDisplay));
  }
  const int32_t count = UnitTotal();
  for (int32_t position = 1; position <= count; ++position) {
    add(position, UnitTextAt(position, UnitText::kDisplay));
  }
}

void CLink::ApplyPendingUnitName() {
  if (pending_unit_sys_name_.empty() || !binding_.units) return;
  if (Failed(put_UnitSysName(std::exchange(pending_unit_sys_name_, std::wstring())))) {
    SetErrorInfo(nullptr);
  }
}

HRESULT CLink::get_UnitSetName(std::wstring* value) {
  if (value == nullptr) return E_POINTER;
  if (!parent_) return ReportError(CLSID_Link, msg::kLinkNoParent, IID_NULL, E_FAIL);
  const ComPtr<IBridge> bridge = ParentBridge();
  if (!bridge) return ReportError(CLSID_Link, msg::kLinkNoBridge, IID_NULL, E_FAIL);
  for (const DefaultSelection& selection : kDefaults) {
    if (pending_unit_sys_name_.starts_with(selection.text)) {
      *value = StandardOf(selection.id, bridge.get());
      return S_OK;
    }
  }
  *value = pending_unit_sys_name_;
  return S_OK;
}

}  // namespace ovc::links
