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
#include "office/package/archive.h"
#include "office/word/application.h"

namespace ovc::word::bench {
namespace {

using excel::bench::Seconds;

constexpr int kBookmarks = 2000;

enum class Kind { kPlain, kCell, kField };

Kind KindOf(int i) { return i % 3 == 0 ? Kind::kPlain : i % 3 == 1 ? Kind::kCell : Kind::kField; }
std::string NameOf(int i) { return "Mark_" + std::to_string(i); }
std::wstring ValueOf(int i) { return L"value " + std::to_wstring(i); }

std::string Marked(int i, const std::string& content) {
  const std::string id = std::to_string(i);
  return "<w:bookmarkStart w:id=\"" + id + "\" w:name=\"" + NameOf(i) + "\"/>" + content +
         "<w:bookmarkEnd w:id=\"" + id + "\"/>";
}

std::string Run(const std::string& content) { return "<w:r>" + content + "</w:r>"; }

std::string TextField(int i) {
  return Run("<w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"" + NameOf(i) +
             "\"/><w:enabled/><w:textInput/></w:ffData></w:fldChar>") +
         Run("<w:instrText xml:space=\"preserve\"> FORMTEXT </w:instrText>") +
         Run("<w:fldChar w:fldCharType=\"separate\"/>") + Run("<w:t>old</w:t>") +
         Run("<w:fldChar w:fldCharType=\"end\"/>");
}

// The body: plain and form field bookmarks in paragraphs of their own, the
// cell ones in a one-column table in the middle.
std::string Body() {
  std::string paragraphs, rows;
  for (int i = 0; i < kBookmarks; ++i) {
    switch (KindOf(i)) {
      case Kind::kPlain:
        paragraphs += "<w:p>" + Marked(i, Run("<w:t>old</w:t>")) + "</w:p>";
        break;
      case Kind::kCell:
        rows += "<w:tr><w:tc><w:tcPr><w:tcW w:w=\"4000\" w:type=\"dxa\"/></w:tcPr><w:p>" +
                Marked(i, Run("<w:t>old</w:t>")) + "</w:p></w:tc></w:tr>";
        break;
      case Kind::kField:
        paragraphs += "<w:p>" + Marked(i, TextField(i)) + "</w:p>";
        break;
    }
  }
  return paragraphs + "<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid>" + rows +
         "</w:tbl><w:p/>";
}

bool WriteDocument(const std::string& path) {
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string package = "http://schemas.openxmlformats.org/package/2006/";
  return excel::bench::WritePackage(
      path,
      {{"[Content_Types].xml",
        declaration + "<Types xmlns=\"" + package +
            "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
            "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
            "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml."
            "document.main+xml\"/></Types>"},
       {"_rels/.rels", declaration + "<Relationships xmlns=\"" + package +
                           "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas."
                           "openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                           "Target=\"word/document.xml\"/></Relationships>"},
       {"word/document.xml",
        declaration +
            "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
            "main\"><w:body>" +
            Body() + "</w:body></w:document>"}});
}

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
      Get(Get(bookmarks, L"Item", {Variant(FromUtf8(NameOf(i)))}).get(), L"Range");
  if (range == nullptr) return false;
  if (KindOf(i) != Kind::kField) return Put(range.get(), L"Text", ValueOf(i));
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
      std::fprintf(stderr, "bookmark %s could not be written\n", NameOf(i).c_str());
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
  auto fresh = [&] { return WriteDocument(file); };
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
