#include "office/excel/registration.h"

#include <mutex>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "office/excel/application.h"

namespace ovc::excel {
namespace {

class ApplicationFactory final : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object != nullptr) *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<Application>(iid, object, office::DefaultServices());
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

}  // namespace

HRESULT RegisterExcelClasses() {
  static std::once_flag once;
  static HRESULT result = S_OK;
  std::call_once(once, [] {
    uint32_t cookie = 0;
    result = CoRegisterClassObject(CLSID_ExcelApplication, MakeObject<ApplicationFactory>().get(),
                                   CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, &cookie,
                                   {L"Excel.Application", L"", L"Spreadsheet application"});
  });
  return result;
}

}  // namespace ovc::excel
