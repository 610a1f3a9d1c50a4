#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "automation/text.h"
#include "office/excel/application.h"
#include "tests/fuzz/dispatch_support.h"

namespace ovc::excel {
namespace {

using fuzz::Call;
using fuzz::Get;

// Reads a name and the cells it refers to, as the library does.
void ReadName(IDispatch* application, IDispatch* name) {
  const Variant text = Get(name, L"Name");
  Get(name, L"RefersTo");
  if (text.vt() != VT_BSTR) return;
  const Variant range = Get(application, L"Range", {text});
  if (range.vt() != VT_DISPATCH || range.dispatch() == nullptr) return;
  const Variant none = Variant::Missing();
  Get(range.dispatch(), L"Address", {none, none, none, Variant::Bool(true)});
  Get(range.dispatch(), L"Count");
  Get(range.dispatch(), L"Value");
}

void OpenAndReadEveryName(std::string_view bytes) {
  fuzz::WriteScratch(bytes);
  ComPtr<Application> application = MakeObject<Application>(office::Services{});
  const Variant workbooks = Get(application.get(), L"Workbooks");
  Variant workbook;
  if (Failed(Call(workbooks.dispatch(), L"Open", DISPATCH_METHOD,
                  {Variant(FromUtf8(fuzz::ScratchFile())), Variant::Missing(), Variant::Bool(true)},
                  &workbook))) {
    return;
  }
  const Variant names = Get(workbook.dispatch(), L"Names");
  const Variant count = Get(names.dispatch(), L"Count");
  for (int32_t i = 1; i <= count.i4(); ++i) {
    const Variant name = Get(names.dispatch(), L"Item", {Variant(i)});
    fuzz::Require(name.vt() == VT_DISPATCH, "every counted name can be had");
    ReadName(application.get(), name.dispatch());
  }
  fuzz::Require(Succeeded(Call(application.get(), L"Quit", DISPATCH_METHOD, {}, nullptr)),
                "an application with a read-only workbook quits");
}

}  // namespace
}  // namespace ovc::excel

// Opens the input as a workbook through the automation interface and reads
// every defined name and what it refers to: nothing may crash, every failure
// must say why, and the file is never written.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ovc::excel::OpenAndReadEveryName(ovc::fuzz::Bytes(data, size));
  return 0;
}
