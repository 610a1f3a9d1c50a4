#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/text.h"
#include "office/excel/application.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::excel {
namespace {

// Calls member `name` by name as late-bound clients do (arguments in natural
// order) and checks the error convention: a failure leaves a description.
HRESULT Call(IDispatch* object, const std::wstring& name, uint16_t flags,
             std::vector<Variant> args, Variant* result) {
  DISPID id = DISPID_UNKNOWN;
  fuzz::Require(Succeeded(object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)),
                "every member has a DISPID");
  std::vector<Variant> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
  if (Failed(hr)) {
    fuzz::Require(!DescriptionOf(GetErrorInfo().get()).empty(), "a failure says why");
  }
  return hr;
}

Variant Get(IDispatch* object, const wchar_t* member, std::vector<Variant> args = {}) {
  Variant value;
  Call(object, member, DISPATCH_PROPERTYGET, std::move(args), &value);
  return value;
}

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
