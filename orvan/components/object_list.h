#pragma once

#include <string>
#include <vector>

#include "orvan/components/component.h"
#include "orvan/storage/records.h"

namespace ovc::orvan::components {

// "Orvan.ObjectList": the objects of one class view in OID order, numbered
// from 1. Count, ObjectOID and ObjectName fail until Initialize succeeds.
class ObjectList final : public Component<IOVObjectList> {
 public:
  // Reads the objects of the class view (every object for an empty name).
  // E_INVALIDARG for a class view the workspace does not define or an
  // object that is not a workspace.
  HRESULT Initialize(const std::wstring& class_view, IDispatch* workspace) override;
  HRESULT get_Count(int32_t* count) override;
  // DISP_E_BADINDEX outside 1..Count.
  HRESULT ObjectOID(int32_t k, int32_t* oid) override;
  HRESULT ObjectName(int32_t k, std::wstring* name) override;

 private:
  HRESULT NotInitialized() const;
  // S_OK with *object set to object k, or the failure to report.
  HRESULT At(int32_t k, const void* out, const ObjectRecord** object) const;

  bool initialized_ = false;
  std::vector<ObjectRecord> objects_;
};

}  // namespace ovc::orvan::components
