#include "bench/word_bench_support.h"

#include "bench/excel_bench_support.h"

namespace ovc::word::bench {
namespace {

std::string Marked(int i, const std::string& content) {
  const std::string id = std::to_string(i);
  return "<w:bookmarkStart w:id=\"" + id + "\" w:name=\"" + BookmarkName(i) + "\"/>" + content +
         "<w:bookmarkEnd w:id=\"" + id + "\"/>";
}

std::string Run(const std::string& content) { return "<w:r>" + content + "</w:r>"; }

std::string TextField(int i) {
  return Run("<w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"" + BookmarkName(i) +
             "\"/><w:enabled/><w:textInput/></w:ffData></w:fldChar>") +
         Run("<w:instrText xml:space=\"preserve\"> FORMTEXT </w:instrText>") +
         Run("<w:fldChar w:fldCharType=\"separate\"/>") + Run("<w:t>old</w:t>") +
         Run("<w:fldChar w:fldCharType=\"end\"/>");
}

std::string Body(int count) {
  std::string paragraphs, rows;
  for (int i = 0; i < count; ++i) {
    switch (KindOf(i)) {
      case BookmarkKind::kPlain:
        paragraphs += "<w:p>" + Marked(i, Run("<w:t>old</w:t>")) + "</w:p>";
        break;
      case BookmarkKind::kCell:
        rows += "<w:tr><w:tc><w:tcPr><w:tcW w:w=\"4000\" w:type=\"dxa\"/></w:tcPr><w:p>" +
                Marked(i, Run("<w:t>old</w:t>")) + "</w:p></w:tc></w:tr>";
        break;
      case BookmarkKind::kField:
        paragraphs += "<w:p>" + Marked(i, TextField(i)) + "</w:p>";
        break;
    }
  }
  return paragraphs + "<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid>" + rows +
         "</w:tbl><w:p/>";
}

}  // namespace

BookmarkKind KindOf(int i) {
  return i % 3 == 0   ? BookmarkKind::kPlain
         : i % 3 == 1 ? BookmarkKind::kCell
                      : BookmarkKind::kField;
}

std::string BookmarkName(int i) { return "Mark_" + std::to_string(i); }

bool WriteBookmarkDocument(const std::string& path, int count) {
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
            Body(count) + "</w:body></w:document>"}});
}

}  // namespace ovc::word::bench
