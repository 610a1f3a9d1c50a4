#pragma once

#include <string>
#include <vector>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.CaseList": the cases of a workspace or of one object, in ascending
// OID order, numbered from 1. Count, CaseName and CaseOID fail until
// Initialize succeeds.
class CaseList final : public Component<IOVCaseList> {
 public:
  // scope -1: every case of the workspace; 0: no object, so no cases; an
  // object OID: the cases that apply to that object (all of them when the
  // object names none). E_INVALIDARG for an unknown object, another negative
  // scope or an object that is not a workspace. The list is read once, here.
  HRESULT Initialize(int32_t scope, IDispatch* workspace) override;
  HRESULT get_Count(int32_t* count) override;
  // DISP_E_BADINDEX outside 1..Count.
  HRESULT CaseName(int32_t k, std::wstring* name) override;
  HRESULT CaseOID(int32_t k, int32_t* oid) override;

 private:
  HRESULT NotInitialized() const;
  // S_OK with *entry set to case k, or the failure to report.
  HRESULT At(int32_t k, const void* out, const Case** entry) const;

  bool initialized_ = false;
  std::vector<Case> cases_;
};

}  // namespace ovc::orvan::components
