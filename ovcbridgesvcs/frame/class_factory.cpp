#include "ovcbridgesvcs/frame/class_factory.h"

#include "automation/com_object.h"
#include "ovcbridgesvcs/frame/server_module.h"

namespace ovc {
namespace {

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(ClassCreator create) : create_(create) {}

  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (create_ == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return create_(iid, object);
  }

  HRESULT LockServer(bool lock) override {
    if (lock) {
      ServerModule::Instance().Lock();
    } else {
      ServerModule::Instance().Unlock();
    }
    return S_OK;
  }

 private:
  ModuleLock module_lock_;
  const ClassCreator create_;
};

}  // namespace

ComPtr<IClassFactory> CreateClassFactory(ClassCreator create) {
  return MakeObject<ClassFactory>(create);
}

HRESULT GetLibraryClassObject(const CLSID& clsid, const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const LibraryClass* entry = FindCreatableClass(clsid);
  if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateClassFactory(entry->create)->QueryInterface(iid, object);
}

}  // namespace ovc
