// Opens a document with 2,000 bookmarks (a third over plain text, a third in
// table cells, a third around text form fields), writes a text to each
// through the automation interface as the library does (Range.Text for
// text, Range.Select and Selection.FormFields(1).Result for form fields)
// and saves; against the floor (open the package, parse document.xml, write
// it back, save) and against python-docx doing the same edits through its
// XML layer. Prints the times (the engine and the floor the best of five
// runs) and the ratios.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "automation/late_call.h"
#include "automation/text.h"
#include "bench/excel_bench_support.h"
#include "bench/word_bench_support.h"
#include "office/package/archive.h"
#include "office/word/application.h"

namespace ovc::word::bench {
namespace {

using excel::bench::Seconds;

constexpr int kBookmarks = 2000;

std::wstring ValueOf(int i) { return L"value " + std::to_wstring(i); }

ComPtr<IDispatch> Get(IDispatch* object, const wchar_t* member, std::vector<Variant> args = {}) {
  Variant value;
  if (Failed(CallByName(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args),
                        &value)) ||
      value.vt() != VT_DISPATCH) {
    return nullptr;
  }
  return ComPtr<IDispatch>(value.dispatch());
}

bool Put(IDispatch* object, const wchar_t* member, const std::wstring& value) {
  return object != nullptr &&
         Succeeded(CallByName(object, member, DISPATCH_PROPERTYPUT, {Variant(value)}, nullptr));
}

// Writes one bookmark's value the way the library does.
bool Fill(IDispatch* application, IDispatch* bookmarks, int i) {
  const ComPtr<IDispatch> range =
      Get(Get(bookmarks, L"Item", {Variant(FromUtf8(BookmarkName(i)))}).get(), L"Range");
  if (range == nullptr) return false;
  if (KindOf(i) != BookmarkKind::kField) return Put(range.get(), L"Text", ValueOf(i));
  if (Failed(CallByName(range.get(), L"Select", DISPATCH_METHOD, {}, nullptr))) return false;
  const ComPtr<IDispatch> fields = Get(Get(application, L"Selection").get(), L"FormFields");
  return Put(Get(fields.get(), L"Item", {Variant::I4(1)}).get(), L"Result", ValueOf(i));
}

bool FillBookmarks(const std::string& path) {
  ComPtr<IDispatch> application = MakeObject<Application>(office::Services{});
  const ComPtr<IDispatch> document =
      Get(Get(application.get(), L"Documents").get(), L"Open", {Variant(FromUtf8(path))});
  const ComPtr<IDispatch> bookmarks = Get(document.get(), L"Bookmarks");
  if (bookmarks == nullptr) {
    std::fprintf(stderr, "the document's bookmarks could not be reached\n");
    return false;
  }
  for (int i = 0; i < kBookmarks; ++i) {
    if (!Fill(application.get(), bookmarks.get(), i)) {
      std::fprintf(stderr, "bookmark %s could not be written\n", BookmarkName(i).c_str());
      return false;
    }
  }
  return Succeeded(CallByName(document.get(), L"Save", DISPATCH_METHOD, {}, nullptr)) &&
         Succeeded(CallByName(application.get(), L"Quit", DISPATCH_METHOD, {}, nullptr));
}

}  // namespace
}  // namespace ovc::word::bench

int main() {
  using namespace ovc::word::bench;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("word-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string file = (folder / "Bookmarks.docx").string();
  // A fresh copy of the document before each run, written outside the timing.
  auto fresh = [&] { return WriteBookmarkDocument(file, kBookmarks); };
  const double floor = ovc::excel::bench::BestOf(
      5, fresh, [&] { return ovc::excel::bench::RewriteParts(file, {"/word/document.xml"}); });
  const double engine = ovc::excel::bench::BestOf(5, fresh, [&] { return FillBookmarks(file); });
  fresh();
  const std::string script = std::string(OVC_SOURCE_DIR) + "/bench/fill_bookmarks_python_docx.py";
  const double peer = Seconds([&] {
    return std::system(("cd / && /usr/bin/python3 " + script + " " + file + " " +
                        std::to_string(kBookmarks))
                           .c_str()) == 0;
  });
  std::filesystem::remove_all(folder);
  std::printf(
      "2,000 bookmarks filled and saved (a third in table cells, a third form fields; rewritten "
      "parts deflated at zlib level %d; engine and floor best of 5):\n  engine      %.3f s\n"
      "  floor       %.3f s\n"
      "  python-docx %.3f s\n",
      ovc::office::kDeflateLevel, engine, floor, peer);
  std::printf(
      "ratios: python-docx / engine = %.1f (goal >= 10), engine / floor = %.2f (goal <= 3)\n",
      peer / engine, engine / floor);
  return engine > 0 && floor > 0 ? 0 : 1;
}
