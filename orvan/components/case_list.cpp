#include "orvan/components/case_list.h"

#include <algorithm>
#include <memory>

#include "automation/text.h"
#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

namespace {

// The cases of `object` that the workspace defines: all when it names none.
std::vector<Case> CasesOf(const Catalog& catalog, const ObjectRecord& object) {
  if (object.cases.empty()) return catalog.cases;
  std::vector<Case> cases;
  for (int32_t oid : object.cases) {
    if (const Case* found = catalog.FindCase(oid)) cases.push_back(*found);
  }
  return cases;
}

Status ReadCases(Session& session, int32_t scope, std::vector<Case>* cases) {
  if (scope < -1) {
    return Status::Invalid("The case list scope " + std::to_string(scope) +
                           " is neither -1 (the workspace), 0 nor an object OID.");
  }
  const Catalog* catalog = nullptr;
  ORVAN_RETURN_IF_ERROR(session.GetCatalog(&catalog));
  if (scope == -1) {
    *cases = catalog->cases;
  } else if (scope == 0) {
    cases->clear();
  } else {
    Store* store = nullptr;
    ORVAN_RETURN_IF_ERROR(session.GetStore(&store));
    ObjectRecord object;
    ORVAN_RETURN_IF_ERROR(store->GetObject(scope, &object));
    *cases = CasesOf(*catalog, object);
  }
  std::sort(cases->begin(), cases->end(),
            [](const Case& a, const Case& b) { return a.oid < b.oid; });
  return Status::Ok();
}

}  // namespace

HRESULT CaseList::Initialize(int32_t scope, IDispatch* workspace) {
  initialized_ = false;
  cases_.clear();
  std::shared_ptr<Session> session;
  if (HRESULT hr = Report(SessionOf(workspace, &session)); Failed(hr)) return hr;
  if (HRESULT hr = Report(ReadCases(*session, scope, &cases_)); Failed(hr)) return hr;
  initialized_ = true;
  return S_OK;
}

HRESULT CaseList::NotInitialized() const {
  return Fail(E_UNEXPECTED, L"The case list is not initialized; call Initialize first.");
}

HRESULT CaseList::get_Count(int32_t* count) {
  if (count == nullptr) return E_POINTER;
  if (!initialized_) return NotInitialized();
  *count = static_cast<int32_t>(cases_.size());
  return S_OK;
}

HRESULT CaseList::At(int32_t k, const void* out, const Case** entry) const {
  if (out == nullptr) return E_POINTER;
  if (!initialized_) return NotInitialized();
  if (HRESULT hr = CheckPosition(L"case", k, cases_.size()); Failed(hr)) return hr;
  *entry = &cases_[k - 1];
  return S_OK;
}

HRESULT CaseList::CaseName(int32_t k, std::wstring* name) {
  const Case* entry = nullptr;
  if (HRESULT hr = At(k, name, &entry); Failed(hr)) return hr;
  *name = FromUtf8(entry->name);
  return S_OK;
}

HRESULT CaseList::CaseOID(int32_t k, int32_t* oid) {
  const Case* entry = nullptr;
  if (HRESULT hr = At(k, oid, &entry); Failed(hr)) return hr;
  *oid = entry->oid;
  return S_OK;
}

}  // namespace ovc::orvan::components
