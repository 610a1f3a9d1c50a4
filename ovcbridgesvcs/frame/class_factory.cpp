#include "ovcbridgesvcs/frame/class_factory.h"

#include <string>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "automation/exception_guard.h"
#include "ovcbridgesvcs/frame/server_module.h"

namespace ovc {
namespace {

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(const LibraryClass& entry)
      : create_(entry.create), prog_id_(VersionedProgId(*entry.coclass)) {}

  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    return GuardedCall(prog_id_, [&] { return MakeInstance(outer, iid, object); });
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
  HRESULT MakeInstance(IUnknown* outer, const IID& iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (create_ == nullptr) {
      return SetErrorResult(CLASS_E_CLASSNOTAVAILABLE,
                            L"The class " + prog_id_ + L" is not implemented yet", prog_id_);
    }
    return create_(iid, object);
  }

  ModuleLock module_lock_;
  const ClassCreator create_;
  const std::wstring prog_id_;
};

}  // namespace

ComPtr<IClassFactory> CreateClassFactory(const LibraryClass& entry) {
  return MakeObject<ClassFactory>(entry);
}

HRESULT GetLibraryClassObject(const CLSID& clsid, const IID& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const LibraryClass* entry = LibraryClasses().Find(clsid);
  if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateClassFactory(*entry)->QueryInterface(iid, object);
}

}  // namespace ovc
