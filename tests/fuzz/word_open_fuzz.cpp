#include <cstddef>
#include <cstdint>
#include <string>

#include "automation/text.h"
#include "office/word/application.h"
#include "tests/fuzz/dispatch_support.h"

namespace ovc::word {
namespace {

using fuzz::Call;
using fuzz::Get;

// Reads the text of every item of a collection of bookmarks or fields,
// `member` leading from an item to its range.
void ReadEach(IDispatch* collection, const wchar_t* member) {
  const Variant count = Get(collection, L"Count");
  fuzz::Require(count.vt() == VT_I4, "a collection counts its items");
  for (int32_t i = 1; i <= count.i4(); ++i) {
    const Variant item = Get(collection, L"Item", {Variant(i)});
    fuzz::Require(item.vt() == VT_DISPATCH, "every counted item can be had");
    const Variant range = Get(item.dispatch(), member);
    fuzz::Require(range.vt() == VT_DISPATCH, "every item has a range");
    fuzz::Require(Get(range.dispatch(), L"Text").vt() == VT_BSTR, "every range has a text");
  }
}

// Opens the input read-only and reads what the library reads of a document:
// every bookmark's and field's text and the properties; then lifts and puts
// back its protection and tracking.
void OpenAndRead(std::string_view bytes) {
  fuzz::WriteScratch(bytes);
  ComPtr<Application> application = MakeObject<Application>(office::Services{});
  const Variant documents = Get(application.get(), L"Documents");
  Variant document;
  const Variant none = Variant::Missing();
  if (Failed(Call(documents.dispatch(), L"Open", DISPATCH_METHOD,
                  {Variant(FromUtf8(fuzz::ScratchFile())), none, Variant::Bool(true)},
                  &document))) {
    return;
  }
  IDispatch* opened = document.dispatch();
  ReadEach(Get(opened, L"Bookmarks").dispatch(), L"Range");
  ReadEach(Get(opened, L"Fields").dispatch(), L"Result");
  const Variant properties = Get(opened, L"BuiltinDocumentProperties");
  const Variant count = Get(properties.dispatch(), L"Count");
  for (int32_t i = 1; i <= count.i4(); ++i) {
    const Variant property = Get(properties.dispatch(), L"Item", {Variant(i)});
    fuzz::Require(property.vt() == VT_DISPATCH, "every counted property can be had");
    Get(property.dispatch(), L"Value");
  }
  const Variant type = Get(opened, L"ProtectionType");
  if (Succeeded(Call(opened, L"Unprotect", DISPATCH_METHOD, {}, nullptr))) {
    Call(opened, L"Protect", DISPATCH_METHOD, {type}, nullptr);
  }
  const Variant tracking = Get(opened, L"TrackRevisions");
  Call(opened, L"TrackRevisions", DISPATCH_PROPERTYPUT, {Variant::Bool(tracking.boolVal() == 0)},
       nullptr);
  fuzz::Require(Succeeded(Call(application.get(), L"Quit", DISPATCH_METHOD, {}, nullptr)),
                "an application with a read-only document quits");
}

}  // namespace
}  // namespace ovc::word

// Opens the input as a document through the automation interface: nothing may
// crash, every failure must say why, and the file is never written.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ovc::word::OpenAndRead(ovc::fuzz::Bytes(data, size));
  return 0;
}
