// A shared library serving one class through DllGetClassObject, loaded by
// the class registry tests by path.
#include <atomic>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "tests/automation/modules/sample_class.h"
#include "tests/automation/value_object.h"

namespace ovc::objects_testing {
namespace {

std::atomic<int> live_objects{0};

class Counted {
 protected:
  Counted() { ++live_objects; }
  ~Counted() { --live_objects; }
};

class SampleObject final : public values_testing::ValueObject, Counted {
 public:
  SampleObject() : ValueObject(Variant::I4(kSampleValue)) {}
};

class SampleFactory final : public ComObject<IClassFactory>, Counted {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<SampleObject>(iid, object);
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

}  // namespace
}  // namespace ovc::objects_testing

extern "C" __attribute__((visibility("default"))) ovc::HRESULT DllGetClassObject(
    const ovc::CLSID& clsid, const ovc::IID& iid, void** object) {
  using namespace ovc;
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (clsid != objects_testing::kSampleClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateObject<objects_testing::SampleFactory>(iid, object);
}

extern "C" __attribute__((visibility("default"))) int SampleModuleLiveObjects() {
  return ovc::objects_testing::live_objects.load();
}
