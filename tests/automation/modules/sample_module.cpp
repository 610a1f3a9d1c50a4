// A shared library serving one class through DllGetClassObject, loaded by
// the class registry tests by path.
#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "tests/automation/modules/sample_class.h"
#include "tests/automation/value_object.h"

namespace ovc::objects_testing {
namespace {

class SampleObject final : public values_testing::ValueObject {
 public:
  SampleObject() : ValueObject(Variant()) {}
};

}  // namespace
}  // namespace ovc::objects_testing

extern "C" __attribute__((visibility("default"))) ovc::HRESULT DllGetClassObject(
    const ovc::CLSID& clsid, const ovc::IID& iid, void** object) {
  using namespace ovc;
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != objects_testing::kSampleClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateObject<values_testing::ClassObject<objects_testing::SampleObject>>(iid, object);
}
