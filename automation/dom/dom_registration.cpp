// The public entry points of the document object model: direct creation and
// the class registration.
#include <mutex>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/dom/dom.h"
#include "automation/dom/dom_document.h"

namespace ovc {

namespace {

class DomDocumentFactory final : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object != nullptr) *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<dom::DomDocument>(iid, object);
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

}  // namespace

void RegisterDomClasses() {
  static std::once_flag registered;
  std::call_once(registered, [] {
    uint32_t cookie = 0;
    CoRegisterClassObject(
        CLSID_DOMDocument60, MakeObject<DomDocumentFactory>().get(), CLSCTX_INPROC_SERVER, &cookie,
        {L"Msxml2.DOMDocument", L"Msxml2.DOMDocument.6.0", L"XML document object, version 6.0"});
  });
}

HRESULT CreateDomDocument(ComPtr<IXMLDOMDocument>* document) {
  if (document == nullptr) return E_POINTER;
  return CreateObject<dom::DomDocument>(IXMLDOMDocument::kIid, document->ReceiveVoid());
}

}  // namespace ovc
