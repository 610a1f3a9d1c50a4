#include "orvan/components/object_list.h"

#include <algorithm>
#include <memory>

#include "automation/text.h"
#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

namespace {

Status ReadObjects(Session& session, const std::string& class_view,
                   std::vector<ObjectRecord>* objects) {
  const Catalog* catalog = nullptr;
  ORVAN_RETURN_IF_ERROR(session.GetCatalog(&catalog));
  if (!class_view.empty() && catalog->FindClassView(class_view) == nullptr) {
    return Status::NotFound("There is no class view '" + class_view + "'.");
  }
  Store* store = nullptr;
  ORVAN_RETURN_IF_ERROR(session.GetStore(&store));
  ORVAN_RETURN_IF_ERROR(store->ListObjects(class_view, objects));
  std::sort(objects->begin(), objects->end(),
            [](const ObjectRecord& a, const ObjectRecord& b) { return a.oid < b.oid; });
  return Status::Ok();
}

}  // namespace

HRESULT ObjectList::Initialize(const std::wstring& class_view, IDispatch* workspace) {
  initialized_ = false;
  objects_.clear();
  std::shared_ptr<Session> session;
  if (HRESULT hr = Report(SessionOf(workspace, &session)); Failed(hr)) return hr;
  if (HRESULT hr = Report(ReadObjects(*session, ToUtf8(class_view), &objects_)); Failed(hr)) {
    return hr;
  }
  initialized_ = true;
  return S_OK;
}

HRESULT ObjectList::NotInitialized() const {
  return Fail(E_UNEXPECTED, L"The object list is not initialized; call Initialize first.");
}

HRESULT ObjectList::get_Count(int32_t* count) {
  if (count == nullptr) return E_POINTER;
  if (!initialized_) return NotInitialized();
  *count = static_cast<int32_t>(objects_.size());
  return S_OK;
}

HRESULT ObjectList::At(int32_t k, const void* out, const ObjectRecord** object) const {
  if (out == nullptr) return E_POINTER;
  if (!initialized_) return NotInitialized();
  if (HRESULT hr = CheckPosition(L"object", k, objects_.size()); Failed(hr)) return hr;
  *object = &objects_[k - 1];
  return S_OK;
}

HRESULT ObjectList::ObjectOID(int32_t k, int32_t* oid) {
  const ObjectRecord* object = nullptr;
  if (HRESULT hr = At(k, oid, &object); Failed(hr)) return hr;
  *oid = object->oid;
  return S_OK;
}

HRESULT ObjectList::ObjectName(int32_t k, std::wstring* name) {
  const ObjectRecord* object = nullptr;
  if (HRESULT hr = At(k, name, &object); Failed(hr)) return hr;
  *name = FromUtf8(object->name);
  return S_OK;
}

}  // namespace ovc::orvan::components
