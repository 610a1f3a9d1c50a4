#include "ovcbridgesvcs/apps/app_collection.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "automation/class_registry.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/apps/working_copy.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/frame/working_folder.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {
namespace {

constexpr std::wstring_view kFileFilter =
    L"MS Excel Files (*.xlsx)|*.xlsx|MS Excel Macro-Enabled Files (*.xlsm)|*.xlsm|"
    L"MS Excel 97-2003 Files (*.xls)|*.xls|MS Word Files (*.docx)|*.docx|"
    L"MS Word 97-2003 Files (*.doc)|*.doc||";

// The key of a location name in the map: A-Z lowered, nothing else.
std::wstring LocationKey(const std::wstring& name) {
  std::wstring key = name;
  for (wchar_t& c : key) c = ToLowerAscii(c);
  return key;
}

// The names of a location list: an array of texts, or of variants holding
// texts (others are skipped).
std::vector<std::wstring> NamesOf(const Variant& list) {
  std::vector<std::wstring> names;
  if (!list.IsArray()) return names;
  for (const Variant& element : list.array().data()) {
    if (element.vt() == VT_BSTR) names.push_back(element.bstr());
  }
  return names;
}

std::wstring PathOf(IApp& app) {
  std::wstring path;
  if (Failed(app.get_Path(&path))) path.clear();
  return path;
}

}  // namespace

CAppCollection::~CAppCollection() { RemoveAll(); }

ComPtr<IApp> CAppCollection::NewApp(CMethodFrame& frame) {
  ComPtr<IApp> app;
  CheckAndRaise(frame,
                CoCreateInstance(CLSID_App, nullptr, CLSCTX_SERVER, IApp::kIid, app.ReceiveVoid()));
  return app;
}

ComPtr<IApp> CAppCollection::AppOf(IDispatch* app) {
  ComPtr<IApp> found;
  if (app == nullptr || Failed(ComPtr<IDispatch>(app).As(&found))) {
    ReportError(CLSID_AppCollection, msg::kOnlyAppsInCollection, IID_NULL, E_FAIL);
    return nullptr;
  }
  return found;
}

HRESULT CAppCollection::get_Item(const Variant& index, Variant* app) {
  CMethodFrame frame(L"CAppCollection::get_Item");
  return RunMethod(frame, [&] { return apps_.Item(index, msg::kAppIndexOutOfRange, app); });
}

HRESULT CAppCollection::get__NewEnum(IUnknown** enumerator) {
  CMethodFrame frame(L"CAppCollection::get__NewEnum");
  return RunMethod(frame, [&] { return apps_.NewEnum(enumerator); });
}

HRESULT CAppCollection::get_Count(int32_t* count) { return Give(count, apps_.count()); }

HRESULT CAppCollection::Add(IDispatch* app) {
  CMethodFrame frame(L"CAppCollection::Add");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IApp> added = AppOf(app);
    if (!added) return E_FAIL;
    apps_.items().push_back(std::move(added));
    dirty_ = true;
    return S_OK;
  });
}

HRESULT CAppCollection::Remove(int32_t index) {
  CMethodFrame frame(L"CAppCollection::Remove");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IApp> removed;
    if (HRESULT hr = apps_.Take(index, msg::kAppIndexOutOfRange, &removed, dirty_); Failed(hr))
      return hr;
    removed->TerminateApp(VARIANT_FALSE);
    return S_OK;
  });
}

HRESULT CAppCollection::InsertApp(IDispatch* app, int32_t index) {
  if (Failed(Add(app))) return E_FAIL;
  const int32_t last = apps_.count() - 1;
  if (index < 0 || index >= last) return S_OK;
  return SwapAppPosition(index, last);
}

HRESULT CAppCollection::SwapAppPosition(int32_t position1, int32_t position2) {
  CMethodFrame frame(L"CAppCollection::SwapAppPosition");
  return RunMethod(
      frame, [&] { return apps_.Swap(position1, position2, msg::kAppSwapOutOfRange, dirty_); });
}

HRESULT CAppCollection::CopyApp(const Variant& index, Variant* copy) {
  CMethodFrame frame(L"CAppCollection::CopyApp");
  return RunMethod(frame, [&]() -> HRESULT {
    if (copy == nullptr) return E_POINTER;
    Variant source;
    CheckAndRaise(frame, get_Item(index, &source));
    const ComPtr<IApp> made = NewApp(frame);
    CheckAndRaise(frame, made->CopyApp(source.dispatch()));
    *copy = Variant(static_cast<IDispatch*>(made.get()));
    return S_OK;
  });
}

HRESULT CAppCollection::InsertApps(IDispatch* bridge, int32_t index) {
  CMethodFrame frame(L"CAppCollection::InsertApps");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IBridge> source;
    if (bridge == nullptr || Failed(ComPtr<IDispatch>(bridge).As(&source))) {
      return ReportError(CLSID_AppCollection, msg::kInsertAppsNeedsBridge, IID_NULL, E_FAIL);
    }
    int32_t count = 0;
    CheckAndRaise(frame, source->get_CountApps(&count));
    for (int32_t i = 0; i < count; ++i) {
      Variant copy;
      CheckAndRaise(frame, source->CopyApp(Variant::I4(i), &copy));
      IDispatch* app = copy.vt() == VT_DISPATCH ? copy.dispatch() : nullptr;
      CheckAndRaise(frame, index < 0 ? Add(app) : InsertApp(app, index + i));
    }
    return S_OK;
  });
}

HRESULT CAppCollection::CopyAppCollection(IDispatch* collection) {
  CMethodFrame frame(L"CAppCollection::CopyAppCollection");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IAppCollection> source;
    if (collection == nullptr || Failed(ComPtr<IDispatch>(collection).As(&source))) {
      return ReportError(
          CLSID_AppCollection,
          L"AppCollection Error:  CopyAppCollection requires a dispatch pointer to an "
          L"AppCollection object.",
          IID_NULL, E_FAIL);
    }
    int32_t count = 0;
    CheckAndRaise(frame, source->get_Count(&count));
    for (int32_t i = 0; i < count; ++i) {
      Variant copy;
      CheckAndRaise(frame, source->CopyApp(Variant::I4(i), &copy));
      CheckAndRaise(frame, Add(copy.vt() == VT_DISPATCH ? copy.dispatch() : nullptr));
    }
    return S_OK;
  });
}

HRESULT CAppCollection::AppIndex(const std::wstring& path, int32_t* index) {
  if (HRESULT hr = Give(index, -1); Failed(hr)) return hr;
  namespace fs = std::filesystem;
  const fs::path wanted(ToUtf8(path));
  const std::optional<fs::path> folder = WorkingFolder();
  const std::wstring working_copy =
      folder ? FromUtf8(WorkingCopyPath(*folder, wanted).string()) : std::wstring();
  for (int32_t i = 0; i < apps_.count(); ++i) {
    const std::wstring own = PathOf(*apps_.items()[static_cast<size_t>(i)]);
    if (own == path || own == working_copy ||
        fs::path(ToUtf8(own)).filename() == wanted.filename()) {
      *index = i;
      return S_OK;
    }
  }
  return S_OK;
}

HRESULT CAppCollection::get_IndexByOID(int32_t oid, int32_t* index) {
  if (index == nullptr) return E_POINTER;
  for (size_t i = 0; i < apps_.items().size(); ++i) {
    int32_t own = -1;
    if (Succeeded(apps_.items()[i]->get_OID(&own)) && own == oid) {
      *index = static_cast<int32_t>(i);
      return S_OK;
    }
  }
  return E_FAIL;
}

HRESULT CAppCollection::get_AppByOID(int32_t oid, Variant* app) {
  int32_t index = -1;
  if (Failed(get_IndexByOID(oid, &index))) return E_FAIL;
  return get_Item(Variant::I4(index), app);
}

HRESULT CAppCollection::CreateApp(Variant* app) {
  CMethodFrame frame(L"CAppCollection::CreateApp");
  return RunMethod(frame, [&]() -> HRESULT {
    if (app == nullptr) return E_POINTER;
    const ComPtr<IApp> made = NewApp(frame);
    CheckAndRaise(frame, Add(made.get()));
    *app = Variant(static_cast<IDispatch*>(made.get()));
    return S_OK;
  });
}

HRESULT CAppCollection::RemoveAll() {
  for (const ComPtr<IApp>& app : apps_.items()) app->FinalCleanUp();
  apps_.items().clear();
  locations_.clear();
  return S_OK;
}

HRESULT CAppCollection::get_AppFileFilter(std::wstring* filter) {
  return Give(filter, std::wstring(kFileFilter));
}

HRESULT CAppCollection::get_ValidFile(const std::wstring& path, VARIANT_BOOL* valid) {
  CMethodFrame frame(L"CAppCollection::get_ValidFile");
  return RunMethod(frame, [&]() -> HRESULT {
    if (HRESULT hr = GiveFlag(valid, true); Failed(hr)) return hr;
    const ComPtr<IApp> scratch = NewApp(frame);
    CheckAndRaise(frame, scratch->put_Path(path));
    return S_OK;
  });
}

HRESULT CAppCollection::get_Dirty(VARIANT_BOOL* dirty) {
  return GiveFlag(dirty, dirty_ || apps_.AnyDirty());
}

HRESULT CAppCollection::put_Dirty(VARIANT_BOOL dirty) {
  dirty_ = dirty != VARIANT_FALSE;
  if (!dirty_) apps_.ClearDirty();
  return S_OK;
}

void CAppCollection::MaintainLocationMap(bool filter_disabled, bool refresh) {
  locations_.clear();
  for (const ComPtr<IApp>& app : apps_.items()) {
    VARIANT_BOOL enabled = VARIANT_TRUE;
    if (filter_disabled && Succeeded(app->get_Enabled(&enabled)) && enabled == VARIANT_FALSE) {
      continue;
    }
    if (refresh) app->RefreshLocationMap();
    Variant list;
    if (Failed(app->get_LocationList(&list))) continue;
    for (std::wstring& name : NamesOf(list)) locations_.try_emplace(LocationKey(name), name);
  }
  SetErrorInfo(nullptr);
}

HRESULT CAppCollection::get_LocationCount(int32_t* count) {
  return Give(count, static_cast<int32_t>(locations_.size()));
}

HRESULT CAppCollection::get_LocationList(VARIANT_BOOL filter_disabled, Variant* names) {
  CMethodFrame frame(L"CAppCollection::get_LocationList");
  return RunMethod(frame, [&]() -> HRESULT {
    if (names == nullptr) return E_POINTER;
    MaintainLocationMap(filter_disabled != VARIANT_FALSE, false);
    std::vector<Variant> values;
    values.reserve(locations_.size());
    for (const auto& [key, name] : locations_) values.emplace_back(name);
    *names = Variant(SafeArray::FromValues(std::move(values), VT_BSTR));
    return S_OK;
  });
}

HRESULT CAppCollection::RefreshLocationMap(VARIANT_BOOL filter_disabled) {
  CMethodFrame frame(L"CAppCollection::RefreshLocationMap");
  return RunMethod(frame, [&] { MaintainLocationMap(filter_disabled != VARIANT_FALSE, true); });
}

HRESULT CAppCollection::UpdateLocationMap(VARIANT_BOOL filter_disabled) {
  CMethodFrame frame(L"CAppCollection::UpdateLocationMap");
  return RunMethod(frame, [&] { MaintainLocationMap(filter_disabled != VARIANT_FALSE, false); });
}

HRESULT CAppCollection::DisplayLocation(const std::wstring& location, const std::wstring& path) {
  CMethodFrame frame(L"CAppCollection::DisplayLocation");
  return RunMethod(frame, [&]() -> HRESULT {
    for (const ComPtr<IApp>& app : apps_.items()) {
      if (PathOf(*app) != path) continue;
      if (HRESULT hr = app->DisplayLocation(location); Failed(hr)) return hr;
      return app->Activate(VARIANT_TRUE);
    }
    return ReportError(CLSID_AppCollection, LoadMessage(msg::kPathNotFound) + path, IID_NULL,
                       E_FAIL);
  });
}

bool CAppCollection::PathInUse(const std::wstring& path) const {
  for (const ComPtr<IApp>& app : apps_.items()) {
    if (PathOf(*app) == path) return true;
  }
  return false;
}

}  // namespace ovc::apps
