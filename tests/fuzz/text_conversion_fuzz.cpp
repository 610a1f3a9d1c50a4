#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/conversion.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc {
namespace {

// Converts text to `vt`; when that succeeds, the value's own text must read
// back as a value of that type.
void RoundTrip(const Variant& text, VARTYPE vt) {
  Variant value;
  if (Failed(VariantChangeType(&value, text, 0, vt))) return;
  Variant written;
  fuzz::Require(Succeeded(VariantChangeType(&written, value, 0, VT_BSTR)), "a value has a text");
  Variant reread;
  fuzz::Require(Succeeded(VariantChangeType(&reread, written, 0, vt)),
                "the text of a value reads back");
}

}  // namespace
}  // namespace ovc

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring decoded = ovc::FromUtf8(ovc::fuzz::Bytes(data, size));
  ovc::fuzz::Require(ovc::FromUtf8(ovc::ToUtf8(decoded)) == decoded,
                     "decoded text encodes and decodes unchanged");
  ovc::Variant text(decoded);
  ovc::RoundTrip(text, ovc::VT_R8);
  ovc::RoundTrip(text, ovc::VT_DATE);
  return 0;
}
