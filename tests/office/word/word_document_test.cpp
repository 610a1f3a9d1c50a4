#include "office/word/word_document.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/office/word/word_test_support.h"

namespace ovc::word {
namespace {

using testing::Para;
using testing::SnippetDocument;

const std::string kBegin = "<w:r><w:fldChar w:fldCharType='begin'/></w:r>";
const std::string kSeparate = "<w:r><w:fldChar w:fldCharType='separate'/></w:r>";
const std::string kEnd = "<w:r><w:fldChar w:fldCharType='end'/></w:r>";

std::string Field(const std::string& code, const std::string& result) {
  return kBegin + "<w:r><w:instrText>" + code + "</w:instrText></w:r>" + kSeparate +
         "<w:r><w:t>" + result + "</w:t></w:r>" + kEnd;
}

TEST(WordTextTest, ReadsWhatTheWordProcessorShows) {
  struct Case {
    std::string body;
    std::wstring text;
  } cases[] = {
      {Para("ab") + Para(" c "), L"ab\r c \r"},
      {"<w:p><w:r><w:t>a</w:t><w:tab/><w:br/><w:br w:type='page'/><w:br w:type='column'/>"
       "<w:noBreakHyphen/><w:softHyphen/><w:sym w:font='Wingdings' w:char='F04A'/></w:r></w:p>",
       L"a\t\v\f\x0E\x1E\x1F\xF04A\r"},
      {"<w:p><w:r><w:t>x</w:t></w:r>" + Field("REF Total \\h", "res") + "</w:p>", L"xres\r"},
      {"<w:p><w:fldSimple w:instr='DATE'><w:r><w:t>today</w:t></w:r></w:fldSimple></w:p>",
       L"today\r"},
      {"<w:p><w:ins w:id='1'><w:r><w:t>new</w:t></w:r></w:ins><w:del w:id='2'><w:r>"
       "<w:delText>old</w:delText></w:r></w:del><w:moveFrom w:id='3'><w:r><w:t>gone</w:t></w:r>"
       "</w:moveFrom><w:r><w:rPr><w:vanish/></w:rPr><w:t>hid</w:t></w:r></w:p>",
       L"newhid\r"},
      {"<w:p><w:r><w:footnoteReference w:id='1'/><w:drawing/></w:r></w:p>", L"\x02\x01\r"},
      {"<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:p/><w:p/></w:tc>"
       "</w:tr></w:tbl><w:p/>",
       L"a\r\a\r\r\a\r\a\r"},
  };
  for (const Case& test : cases) {
    SnippetDocument document(test.body);
    EXPECT_EQ(document.StoryText(), test.text) << test.body;
  }
}

TEST(WordTextTest, PutReplacesTheBookmarkedText) {
  struct Case {
    std::string body;
    std::wstring text;
    std::wstring story;
    std::wstring bookmark;  // the bookmark's text afterwards
  } cases[] = {
      // Over runs of different formatting, stretched over the new text.
      {"<w:p><w:r><w:t>a</w:t></w:r><w:bookmarkStart w:id='0' w:name='B'/><w:r><w:t>bc</w:t>"
       "</w:r><w:r><w:rPr><w:b/></w:rPr><w:t>d</w:t></w:r><w:bookmarkEnd w:id='0'/>"
       "<w:r><w:t>e</w:t></w:r></w:p>",
       L"XY", L"aXYe\r", L"XY"},
      // Collapsed: the new text goes inside.
      {"<w:p><w:r><w:t>ab</w:t></w:r><w:bookmarkStart w:id='0' w:name='B'/><w:bookmarkEnd "
       "w:id='0'/><w:r><w:t>c</w:t></w:r></w:p>",
       L"new", L"abnewc\r", L"new"},
      // Inside one run, with controls and paragraphs.
      {"<w:p><w:r><w:t>a</w:t></w:r><w:bookmarkStart w:id='0' w:name='B'/><w:r><w:t>bc</w:t>"
       "</w:r><w:bookmarkEnd w:id='0'/></w:p>",
       L"", L"a\r", L""},
      {"<w:p><w:r><w:t>ab</w:t></w:r><w:bookmarkStart w:id='0' w:name='B'/><w:r><w:t>cd</w:t>"
       "</w:r><w:bookmarkEnd w:id='0'/></w:p>",
       L"1\t2\v3\r4", L"ab1\t2\v3\r4\r", L"1\t2\v3\r4"},
      // A whole paragraph with its mark: the next paragraph joins.
      {"<w:bookmarkStart w:id='0' w:name='B'/>" + Para("one") + "<w:bookmarkEnd w:id='0'/>" +
           Para("two"),
       L"1", L"1two\r", L"1"},
  };
  for (const Case& test : cases) {
    SnippetDocument document(test.body);
    BookmarkInfo bookmark;
    ASSERT_TRUE(document->FindBookmark(L"b", &bookmark)) << test.body;
    std::string error;
    TextSpan span = bookmark.span;
    EXPECT_EQ(document->SetText(&span, test.text, &error), S_OK) << error;
    EXPECT_EQ(document.StoryText(), test.story) << test.body;
    EXPECT_EQ(document.BookmarkText(L"B"), test.bookmark) << test.body;
    EXPECT_EQ(document->Text(span), test.bookmark) << test.body;
  }
}

TEST(WordTextTest, NewRunTakesTheFirstReplacedRunsFormatting) {
  SnippetDocument document(
      "<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>ab</w:t></w:r><w:r><w:rPr><w:b/></w:rPr>"
      "<w:t>cd</w:t></w:r></w:p>");
  TextSpan span{0, 1, 3};
  std::string error;
  ASSERT_EQ(document->SetText(&span, L" x ", &error), S_OK) << error;
  EXPECT_EQ(document.BodyXml(),
            "<w:body><w:p><w:r><w:rPr><w:i/></w:rPr><w:t>a</w:t></w:r><w:r><w:rPr><w:i/>"
            "</w:rPr><w:t xml:space='preserve'> x </w:t></w:r><w:r><w:rPr><w:b/></w:rPr>"
            "<w:t>d</w:t></w:r></w:p></w:body>");
}

}  // namespace
}  // namespace ovc::word
