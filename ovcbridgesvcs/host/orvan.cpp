#include "ovcbridgesvcs/host/orvan.h"

#include <string>
#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/conversion.h"
#include "automation/safe_array.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/frame/source_location.h"
#include "ovcbridgesvcs/host/bridge_list.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/host/own_error.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc {
namespace {

constexpr std::wstring_view kNoWorkspaceForList =
    L"Invalid workspace.\nFailed to get list for Bridges.";
constexpr DataServiceFailureTexts kListBridgesTexts = {
    L"NewDataServiceCall error.\nFailed to list for Bridges.",
    L"Service call Execute Error.\nFailed to get Bridge list.",
    L"Invalid server response.\nFailed to get Bridge list.",
};

// Stores a new reference to `object` (null when empty) as IDispatch in *out.
template <class I>
HRESULT HandOut(const ComPtr<I>& object, IDispatch** out) {
  if (out == nullptr) return E_POINTER;
  *out = ComPtr<IDispatch>(object).Detach();
  return S_OK;
}

HRESULT NewFieldFormatter(IOVWorkspace* workspace, ComPtr<IOVFieldFormatter>* formatter) {
  HRESULT hr = CoCreateInstance(CLSID_FieldFormatter, nullptr, CLSCTX_ALL, IOVFieldFormatter::kIid,
                                formatter->ReceiveVoid());
  if (Succeeded(hr)) hr = (*formatter)->put_Workspace(workspace);
  return hr;
}

// The cache's unit standard names: an array of texts, or empty for none.
HRESULT ReadUnitStandardNames(IOVCache* cache, std::vector<std::wstring>* names) {
  Variant list;
  HRESULT hr = cache->get_UnitStandardNames(&list);
  if (Failed(hr) || list.IsEmpty()) return hr;
  if (!list.IsArray()) return DISP_E_TYPEMISMATCH;
  for (const Variant& element : list.array().data()) {
    Variant text;
    if (Failed(hr = VariantChangeType(&text, element, 0, VT_BSTR))) return hr;
    names->push_back(text.bstr());
  }
  return S_OK;
}

// Makes the host objects of `workspace` and `cache` into `host`, one after
// the other, so that what was made before a failure is kept.
HRESULT Connect(CMethodFrame& frame, IDispatch* workspace, IDispatch* cache, HostObjects& host) {
  if (workspace == nullptr) return S_OK;
  if (Failed(ComPtr<IDispatch>(workspace).As(&host.workspace))) {
    return ReportError(CLSID_Orvan, msg::kWorkspaceRefused, IID_NULL, E_FAIL);
  }
  if (Failed(ComPtr<IDispatch>(cache).As(&host.cache))) {
    return ReportError(CLSID_Orvan, msg::kHostServiceFailed, IID_NULL, E_FAIL);
  }
  HRESULT hr = NewFieldFormatter(host.workspace.get(), &host.field_formatter);
  if (Failed(hr)) {
    host.field_formatter.Reset();
    return ReportError(CLSID_Orvan, msg::kHostServiceFailed, IID_NULL, hr);
  }
  host.case_cache.Fill(frame, host.workspace.get());
  hr = ReadUnitStandardNames(host.cache.get(), &host.unit_standard_names);
  if (Failed(hr)) {
    host.unit_standard_names.clear();
    return ReportError(CLSID_Orvan, msg::kHostServiceFailed, IID_NULL, hr);
  }
  return S_OK;
}

Variant TextArray(const std::vector<std::wstring>& texts) {
  SafeArray array = SafeArray::Vector(VT_BSTR, static_cast<uint32_t>(texts.size()));
  for (size_t i = 0; i < texts.size(); ++i) array.data()[i] = Variant(texts[i]);
  return Variant(std::move(array));
}

}  // namespace

HRESULT COrvan::Initialize(IDispatch* workspace, IDispatch* cache) {
  CMethodFrame frame(L"COrvan::Initialize");
  HostObjects host;
  const HRESULT hr = RunMethod(frame, [&] { return Connect(frame, workspace, cache, host); });
  HostState::Current().Replace(std::move(host));
  return hr;
}

HRESULT COrvan::get_Workspace(IDispatch** workspace) {
  CMethodFrame frame(L"COrvan::get_Workspace");
  return RunMethod(frame, [&] { return HandOut(HostState::Current().workspace(), workspace); });
}

HRESULT COrvan::get_OVCCache(IDispatch** cache) {
  CMethodFrame frame(L"COrvan::get_OVCCache");
  return RunMethod(frame, [&] { return HandOut(HostState::Current().cache(), cache); });
}

HRESULT COrvan::get_FieldFormatter(IDispatch** formatter) {
  CMethodFrame frame(L"COrvan::get_FieldFormatter");
  return RunMethod(frame,
                   [&] { return HandOut(HostState::Current().field_formatter(), formatter); });
}

HRESULT COrvan::get_BridgeList(Variant* list) {
  CMethodFrame frame(L"COrvan::get_BridgeList");
  return RunMethod(frame, [&]() -> HRESULT {
    if (list == nullptr) return E_POINTER;
    const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
    if (!workspace) return ReportError(CLSID_Orvan, kNoWorkspaceForList, IID_NULL, E_FAIL);

    std::wstring response;
    DataServiceStep step = DataServiceStep::kNone;
    const HRESULT hr = RunDataServiceCall(
        workspace.get(), {.service = kBridgeService, .method = L"ListBridges"}, &response, &step);
    if (Failed(hr))
      return ReportDataServiceFailure(frame, CLSID_Orvan, hr, step, kListBridgesTexts);

    std::vector<std::wstring> texts;
    const HRESULT read = ReadBridgeList(response, &texts);
    if (read == E_FAIL) {
      return ReportError(CLSID_Orvan, kListBridgesTexts.response, IID_NULL, E_FAIL);
    }
    if (Failed(read)) RaiseOwnError(frame, SourceLocation::Current(), read);
    *list = TextArray(texts);
    return S_OK;
  });
}

HRESULT COrvan::FinalCleanUp() {
  CMethodFrame frame(L"COrvan::FinalCleanUp");
  return RunMethod(frame, [] { HostState::Current().Clear(); });
}

}  // namespace ovc
