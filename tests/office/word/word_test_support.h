#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "office/word/word_document.h"
#include "tests/office/common/xml_part.h"
#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

// Documents made from XML snippets for the word engine's tests.
namespace ovc::word::testing {

inline constexpr char kWordNamespaces[] =
    "xmlns:w='http://schemas.openxmlformats.org/wordprocessingml/2006/main' "
    "xmlns:mc='http://schemas.openxmlformats.org/markup-compatibility/2006'";

// A document whose body holds `body`, with `extra` parts related to it by
// `relationships` (Relationship elements of the main part).
class SnippetDocument {
 public:
  explicit SnippetDocument(const std::string& body,
                           const std::vector<office::testing::ZipEntry>& extra = {},
                           const std::string& relationships = "") {
    using namespace office::testing;
    std::vector<ZipEntry> entries = {
        {"[Content_Types].xml",
         ContentTypes("<Override PartName='/word/document.xml' ContentType='application/"
                      "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml'/>")},
        {"_rels/.rels", Relationships(Relationship("rId1", "officeDocument", "word/document.xml"))},
        {"word/_rels/document.xml.rels", Relationships(relationships)},
        {"word/document.xml", std::string("<w:document ") + kWordNamespaces + "><w:body>" + body +
                                  "</w:body></w:document>"}};
    entries.insert(entries.end(), extra.begin(), extra.end());
    office::testing::WriteZip(path_, entries);
    std::string error;
    HRESULT code = S_OK;
    document_ = WordDocument::Open(path_, {}, &error, &code);
    EXPECT_NE(document_, nullptr) << error;
  }

  WordDocument& operator*() { return *document_; }
  WordDocument* operator->() { return document_.get(); }
  const std::string& path() const { return path_; }

  // The whole text of a story.
  std::wstring StoryText(StoryIndex story = 0) {
    return document_->Text({story, 0, document_->story_length(story)});
  }
  // The body as it would be saved, attribute values in single quotes.
  std::string BodyXml() { return office::testing::XmlOf(document_->story_root(0)); }
  // The text of a bookmark, or "<absent>".
  std::wstring BookmarkText(const std::wstring& name) {
    BookmarkInfo bookmark;
    return document_->FindBookmark(name, &bookmark) ? document_->Text(bookmark.span) : L"<absent>";
  }

 private:
  office::testing::TempDir dir_;
  std::string path_ = dir_.File("snippet.docx");
  std::unique_ptr<WordDocument> document_;
};

// A complex field of `code` showing `result`; `field_data` goes inside its
// begin character (w:ffData of a form field).
inline std::string Field(const std::string& code, const std::string& result,
                         const std::string& field_data = "") {
  return "<w:r><w:fldChar w:fldCharType='begin'>" + field_data +
         "</w:fldChar></w:r><w:r><w:instrText xml:space='preserve'>" + code +
         "</w:instrText></w:r><w:r><w:fldChar w:fldCharType='separate'/></w:r><w:r><w:t>" + result +
         "</w:t></w:r><w:r><w:fldChar w:fldCharType='end'/></w:r>";
}

// A paragraph of one plain run.
inline std::string Para(const std::string& text) {
  return "<w:p><w:r><w:t xml:space='preserve'>" + text + "</w:t></w:r></w:p>";
}

}  // namespace ovc::word::testing
