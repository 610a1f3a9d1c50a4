#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/class_registry.h"
#include "automation/dom/dom.h"
#include "automation/error_info.h"
#include "automation/text.h"
#include "ovcbridgesvcs/bridge/bridge.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc {
namespace {

// Serves the library's classes in this process, so that a Bridge can make
// its LinkSets and Links by class.
bool RegisterLibrary() {
  for (const LibraryClass& entry : LibraryClasses().classes()) {
    uint32_t cookie = 0;
    CoRegisterClassObject(entry.coclass->clsid, CreateClassFactory(entry).get(),
                          CLSCTX_INPROC_SERVER, &cookie, {ProgId(*entry.coclass), {}, {}});
  }
  return true;
}

// The Bridge's document as text, or nothing when it cannot be written.
bool XmlOf(IBridge* bridge, std::wstring* xml) {
  Variant document;
  if (Failed(bridge->GetXML(&document))) return false;
  return Succeeded(ComPtr<IDispatch>(document.dispatch()).As<IXMLDOMNode>()->get_xml(xml));
}

}  // namespace
}  // namespace ovc

// Reads the input as Bridge XML: whatever it holds, reading never crashes,
// and a Bridge that was read writes a document that reads back as itself.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace ovc;
  static const bool registered = RegisterLibrary();
  (void)registered;
  const ComPtr<IBridge> bridge = MakeObject<bridge::CBridge>();
  std::wstring written;
  if (Succeeded(bridge->ReadXML(Variant(FromUtf8(fuzz::Bytes(data, size))))) &&
      XmlOf(bridge.get(), &written)) {
    const ComPtr<IBridge> copy = MakeObject<bridge::CBridge>();
    std::wstring rewritten;
    fuzz::Require(copy->ReadXML(Variant(written)) == S_OK, "a written Bridge reads back");
    fuzz::Require(XmlOf(copy.get(), &rewritten) && rewritten == written,
                  "a Bridge read back writes the same document");
    copy->FinalCleanUp();
  }
  bridge->FinalCleanUp();
  SetErrorInfo(nullptr);
  return 0;
}
