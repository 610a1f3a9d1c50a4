// The Bridge's application files: every member hands its call to the
// AppCollection.
#include "automation/class_registry.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::bridge {
HRESULT CBridge::WithApps(std::wstring_view method,
                          const std::function<HRESULT(IAppCollection&)>& call) {
  const CMethodFrame frame(method);
  if (!apps_) return ReportError(CLSID_Bridge, msg::kAppsNull, IID_NULL, E_FAIL);
  return call(*apps_);
}

HRESULT CBridge::get_AppCollection(Variant* collection) {
  if (collection == nullptr) return E_POINTER;
  if (!apps_) return ReportError(CLSID_Bridge, msg::kNoAppCollection, IID_NULL, E_FAIL);
  *collection = Variant(static_cast<IDispatch*>(apps_.get()));
  return S_OK;
}

HRESULT CBridge::get_ItemApp(const Variant& index, Variant* app) {
  return apps_ ? apps_->get_Item(index, app) : E_POINTER;
}

HRESULT CBridge::get_CountApps(int32_t* count) {
  return apps_ ? apps_->get_Count(count) : E_POINTER;
}

HRESULT CBridge::AddApp(const std::wstring& path, Variant* app) {
  CMethodFrame frame(L"CBridge::AddApp");
  return RunMethod(frame, [&]() -> HRESULT {
    if (!apps_ || app == nullptr) return E_POINTER;
    // Only a file the App opens joins the collection.
    ComPtr<IApp> new_app;
    CheckAndRaise(frame, CoCreateInstance(CLSID_App, nullptr, CLSCTX_SERVER, IApp::kIid,
                                          new_app.ReceiveVoid()));
    CheckAndRaise(frame, new_app->put_Path(path));
    CheckAndRaise(frame, apps_->Add(new_app.get()));
    *app = Variant(static_cast<IDispatch*>(new_app.get()));
    return S_OK;
  });
}

HRESULT CBridge::RemoveApp(int32_t index) {
  return WithApps(L"CBridge::RemoveApp", [&](IAppCollection& apps) { return apps.Remove(index); });
}

HRESULT CBridge::CopyApp(const Variant& index, Variant* app) {
  return WithApps(L"CBridge::CopyApp",
                  [&](IAppCollection& apps) { return apps.CopyApp(index, app); });
}

HRESULT CBridge::SwapAppPosition(int32_t position1, int32_t position2) {
  return WithApps(L"CBridge::SwapAppPosition",
                  [&](IAppCollection& apps) { return apps.SwapAppPosition(position1, position2); });
}

HRESULT CBridge::InsertApp(IDispatch* app, int32_t index) {
  return WithApps(L"CBridge::InsertApp",
                  [&](IAppCollection& apps) { return apps.InsertApp(app, index); });
}

HRESULT CBridge::InsertApps(IDispatch* bridge, int32_t index) {
  return WithApps(L"CBridge::InsertApps",
                  [&](IAppCollection& apps) { return apps.InsertApps(bridge, index); });
}

HRESULT CBridge::RemoveAllApps() {
  return WithApps(L"CBridge::RemoveAllApps", [](IAppCollection& apps) { return apps.RemoveAll(); });
}

HRESULT CBridge::get_AppFileFilter(std::wstring* filter) {
  CMethodFrame frame(L"CBridge::get_AppFileFilter");
  return RunMethod(frame, [&] {
    ComPtr<IAppCollection> apps;
    CheckAndRaise(frame, CoCreateInstance(CLSID_AppCollection, nullptr, CLSCTX_ALL,
                                          IAppCollection::kIid, apps.ReceiveVoid()));
    CheckAndRaise(frame, apps->get_AppFileFilter(filter));
  });
}

}  // namespace ovc::bridge
