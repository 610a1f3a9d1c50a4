#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/com_ptr.h"
#include "automation/dom/dom.h"
#include "automation/text.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc {
namespace {

// The document's text, or "" when the input does not load.
std::wstring LoadAndWrite(const std::wstring& xml) {
  ComPtr<IXMLDOMDocument> document;
  if (Failed(CreateDomDocument(&document))) return L"";
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (Failed(document->loadXML(xml, &loaded)) || loaded != VARIANT_TRUE) return L"";
  std::wstring text;
  document->get_text(&text);
  std::wstring written;
  document->get_xml(&written);
  return written;
}

}  // namespace
}  // namespace ovc

// Loads the input, gathers its text and writes it out; what was written must
// load again and write the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring written = ovc::LoadAndWrite(ovc::FromUtf8(ovc::fuzz::Bytes(data, size)));
  if (written.empty()) return 0;
  ovc::fuzz::Require(ovc::LoadAndWrite(written) == written,
                     "a written document reloads as written");
  return 0;
}
