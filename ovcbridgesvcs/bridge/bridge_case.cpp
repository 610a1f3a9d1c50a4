// Case and unit-standard selection of the Bridge, and the workspace's
// default number format per unit.
#include <array>
#include <string_view>

#include "automation/dom/dom.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::bridge {
namespace {

constexpr std::wstring_view kNoUnitStandards =
    L"There are no Unit Standards in the Workspace.\n\n"
    L"Is UOMDefinitions.xml missing in the ClassLibraries?";
constexpr std::wstring_view kNoWorkspaceForCaseName =
    L"Invalid workspace.\nFailed to get the name of the case.";

// The default markers, in the order of their numbers -10, -11, -12.
constexpr std::array<std::wstring_view, 3> kMarkerTexts = {
    L"<Workspace Default>", L"<Bridge Default>", L"<LinkSet Default>"};

bool IsMarker(int32_t number) { return number <= ovWorkspaceDefault && number >= ovLinkSetDefault; }

std::wstring_view MarkerText(int32_t number) {
  return kMarkerTexts[static_cast<size_t>(ovWorkspaceDefault - number)];
}

// Case mapping keeps the length, so a text of another length is no marker;
// the usual text is the marker as written, which needs no mapping.
bool IsWorkspaceMarker(std::wstring_view text) {
  const std::wstring_view marker = kMarkerTexts[0];
  return text == marker || (text.size() == marker.size() && ToLower(text) == ToLower(marker));
}

// How many markers level `kind` may use: a level refers only to levels above
// it, and to itself for the two lower ones.
size_t MarkerCount(OVCBRIDGESVCSOBJ kind) {
  if (kind == ovLink) return 3;
  return kind == ovLinkSet ? 2 : 1;
}

void AppendComboEntry(std::wstring& list, int32_t oid, std::wstring_view name) {
  if (!list.empty()) list += L'|';
  list.append(L"#").append(std::to_wstring(oid)).append(L";").append(name);
}

}  // namespace

HRESULT CBridge::get_DefaultStrings(Variant* texts) {
  if (texts == nullptr) return E_POINTER;
  SafeArray array = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(kMarkerTexts.size()));
  for (size_t i = 0; i < kMarkerTexts.size(); ++i) {
    array.data()[i] = Variant(std::wstring(kMarkerTexts[i]));
  }
  *texts = Variant(std::move(array));
  return S_OK;
}

HRESULT CBridge::get_DefaultString(OVCBRIDGEDEFAULTS marker, std::wstring* text) {
  if (!IsMarker(marker)) return E_INVALIDARG;
  return Give(text, std::wstring(MarkerText(marker)));
}

HRESULT CBridge::IsDefaultString(const std::wstring& text, VARIANT_BOOL* is_default) {
  const std::wstring lower = ToLower(text);
  bool found = false;
  for (std::wstring_view marker : kMarkerTexts) found = found || lower == ToLower(marker);
  return GiveFlag(is_default, found);
}

HRESULT CBridge::get_CaseOID(int32_t* value) { return Give(value, case_oid_); }
HRESULT CBridge::put_CaseOID(int32_t value) {
  SetPersisted(case_oid_, value, dirty_);
  return S_OK;
}

HRESULT CBridge::get_CaseResolved(int32_t* oid) {
  if (case_oid_ == ovWorkspaceDefault) return get_WorkspaceDefaultCase(oid);
  return Give(oid, case_oid_);
}

HRESULT CBridge::get_WorkspaceDefaultCase(int32_t* oid) {
  CMethodFrame frame(L"CBridge::get_WorkspaceDefaultCase");
  return RunMethod(frame, [&]() -> HRESULT {
    if (oid == nullptr) return E_POINTER;
    *oid = HostState::Current().case_cache().GoverningCase(frame);
    return S_OK;
  });
}

HRESULT CBridge::get_CaseName(int32_t case_oid, int32_t, std::wstring* name) {
  if (name == nullptr) return E_POINTER;
  if (!HostState::Current().workspace()) {
    return ReportError(CLSID_Bridge, kNoWorkspaceForCaseName, IID_NULL, E_FAIL);
  }
  if (IsMarker(case_oid)) {
    *name = MarkerText(case_oid);
    return S_OK;
  }
  return HostState::Current().case_cache().CaseName(case_oid, name);
}

HRESULT CBridge::get_SelectedCaseName(std::wstring* name) {
  return get_CaseName(case_oid_, -1, name);
}

HRESULT CBridge::CaseComboListOf(CMethodFrame& frame, OVCBRIDGESVCSOBJ kind, int32_t object_oid,
                                 std::wstring* combo_list) {
  const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  if (!workspace) return ReportError(CLSID_Bridge, msg::kNoWorkspaceForCase, IID_NULL, E_FAIL);
  CCaseCache object_cases;
  HostState::Current().case_cache().LoadObjectCases(frame, workspace.get(), object_oid,
                                                    object_cases);
  std::wstring list;
  for (const CaseEntry& entry : object_cases.entries()) {
    AppendComboEntry(list, entry.oid, entry.name);
  }
  for (size_t i = 0; i < MarkerCount(kind); ++i) {
    const auto marker = static_cast<int32_t>(ovWorkspaceDefault - static_cast<int32_t>(i));
    AppendComboEntry(list, marker, MarkerText(marker));
  }
  *combo_list = std::move(list);
  return S_OK;
}

HRESULT CBridge::get_CaseComboList(std::wstring* list) {
  CMethodFrame frame(L"CBridge::get_CaseComboList");
  return RunMethod(frame, [&]() -> HRESULT {
    if (list == nullptr) return E_POINTER;
    return CaseComboListOf(frame, ovBridge, -1, list);
  });
}

HRESULT CBridge::SetCaseInfo(OVCBRIDGESVCSOBJ kind, int32_t object_oid, int32_t case_oid,
                             std::wstring* case_name, std::wstring* combo_list) {
  CMethodFrame frame(L"CBridge::SetCaseInfo");
  return RunMethod(frame, [&]() -> HRESULT {
    if (case_name == nullptr || combo_list == nullptr) return E_POINTER;
    const HRESULT listed = CaseComboListOf(frame, kind, object_oid, combo_list);
    if (Failed(listed)) return listed;
    return get_CaseName(case_oid, object_oid, case_name);
  });
}

HRESULT CBridge::get_CaseNameList(Variant*) { return S_OK; }

HRESULT CBridge::get_UnitStdSelected(std::wstring* value) {
  return Give(value, unit_std_selected_);
}
HRESULT CBridge::put_UnitStdSelected(const std::wstring& value) {
  SetPersisted(unit_std_selected_, value, dirty_);
  return S_OK;
}

HRESULT CBridge::UnitStdSelectionListByType(OVCBRIDGESVCSOBJ kind, Variant* names) {
  CMethodFrame frame(L"CBridge::UnitStdSelectionListByType");
  return RunMethod(frame, [&]() -> HRESULT {
    if (names == nullptr) return E_POINTER;
    std::vector<std::wstring> texts(
        kMarkerTexts.begin(), kMarkerTexts.begin() + static_cast<ptrdiff_t>(MarkerCount(kind)));
    if (kind != ovLink) {
      const std::vector<std::wstring>& standards = HostState::Current().unit_standard_names();
      texts.insert(texts.end(), standards.begin(), standards.end());
    }
    SafeArray array = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(texts.size()));
    for (size_t i = 0; i < texts.size(); ++i) array.data()[i] = Variant(texts[i]);
    *names = Variant(std::move(array));
    return S_OK;
  });
}

HRESULT CBridge::get_UnitStdSelectionList(Variant* names) {
  return UnitStdSelectionListByType(ovBridge, names);
}

HRESULT CBridge::get_UnitStdResolved(std::wstring* name) {
  if (IsWorkspaceMarker(unit_std_selected_)) return get_WorkspaceDefaultUnitStd(name);
  return Give(name, unit_std_selected_);
}

HRESULT CBridge::get_WorkspaceDefaultUnitStd(std::wstring* name) {
  if (name == nullptr) return E_POINTER;
  const std::vector<std::wstring>& standards = HostState::Current().unit_standard_names();
  if (standards.empty()) return ReportError(CLSID_Bridge, kNoUnitStandards, IID_NULL, E_FAIL);
  *name = standards.front();
  return S_OK;
}

HRESULT CBridge::GetUnitDefaultFormat(const std::wstring& unit, std::wstring* format) {
  const auto found = unit_formats_.find(unit);
  if (found == unit_formats_.end()) return S_FALSE;
  return Give(format, found->second);
}

void CBridge::ReadDefaultUnits(CMethodFrame& frame) {
  const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  if (!workspace) return;
  const std::wstring response =
      CallDataService(frame, workspace.get(), {kBridgeService, L"UnitDefaults"});
  ComPtr<IXMLDOMDocument> document;
  CheckAndRaise(frame, CreateDomDocument(&document));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  CheckAndRaise(frame, document->loadXML(response, &loaded));
  if (loaded != VARIANT_TRUE) return;
  ComPtr<IDispatch> root;
  CheckAndRaise(frame, document->get_documentElement(root.Receive()));
  ComPtr<IDispatch> children;
  CheckAndRaise(frame, root.As<IXMLDOMNode>()->get_childNodes(children.Receive()));
  const ComPtr<IXMLDOMNodeList> list = children.As<IXMLDOMNodeList>();
  int32_t count = 0;
  CheckAndRaise(frame, list->get_length(&count));
  for (int32_t i = 0; i < count; ++i) {
    ComPtr<IDispatch> node;
    CheckAndRaise(frame, list->get_item(i, node.Receive()));
    ComPtr<IXMLDOMElement> entry;
    CheckAndRaise(frame, node.As(&entry));
    Variant unit;
    Variant unit_format;
    CheckAndRaise(frame, entry->getAttribute(L"Unit", &unit));
    CheckAndRaise(frame, entry->getAttribute(L"Format", &unit_format));
    if (unit.vt() != VT_BSTR || unit_format.vt() != VT_BSTR) {
      RaiseError(frame, SourceLocation::Current(), E_FAIL);
    }
    unit_formats_[unit.bstr()] = unit_format.bstr();
  }
}

}  // namespace ovc::bridge
