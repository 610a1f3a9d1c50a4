#include "office/word/word_document.h"

#include <string>

#include <gtest/gtest.h>

#include "automation/text.h"
#include "tests/office/word/word_test_support.h"

namespace ovc::word {
namespace {

using testing::Field;
using testing::Para;
using testing::SnippetDocument;

// A span of the body, in characters.
TextSpan Body(int32_t start, int32_t end) { return {0, start, end}; }

TEST(WordTextTest, ReadsWhatTheWordProcessorShows) {
  struct Case {
    std::string body;
    std::wstring text;
  } cases[] = {
      {Para("ab") + Para(" c "), L"ab\r c \r"},
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

// A run of plain text.
std::string PlainRun(const std::string& text) { return "<w:r><w:t>" + text + "</w:t></w:r>"; }

// `content` inside the bookmark "B".
std::string Marked(const std::string& content) {
  return "<w:bookmarkStart w:id='0' w:name='B'/>" + content + "<w:bookmarkEnd w:id='0'/>";
}

// The bookmark's text afterwards is the text put.
TEST(WordTextTest, PutReplacesTheBookmarkedText) {
  struct Case {
    std::string body;
    std::wstring text;
    std::wstring story;
  } cases[] = {
      // Over runs of different formatting, stretched over the new text.
      {"<w:p>" + PlainRun("a") +
           Marked(PlainRun("bc") + "<w:r><w:rPr><w:b/></w:rPr><w:t>d</w:t></w:r>") + PlainRun("e") +
           "</w:p>",
       L"XY", L"aXYe\r"},
      // Collapsed: the new text goes inside.
      {"<w:p>" + PlainRun("ab") + Marked("") + PlainRun("c") + "</w:p>", L"new", L"abnewc\r"},
      // Inside one run, with controls and paragraphs.
      {"<w:p>" + PlainRun("a") + Marked(PlainRun("bc")) + "</w:p>", L"", L"a\r"},
      {"<w:p>" + PlainRun("ab") + Marked(PlainRun("cd")) + "</w:p>", L"1\t2\v3\r4",
       L"ab1\t2\v3\r4\r"},
      // A whole paragraph with its mark: the next paragraph joins.
      {Marked(Para("one")) + Para("two"), L"1", L"1two\r"},
      // A body that ends with a table, as many writers leave it.
      {"<w:p>" + Marked(PlainRun("ab")) + "</w:p><w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>",
       L"new", L"new\r\r\a\r\a"},
  };
  for (const Case& test : cases) {
    SnippetDocument document(test.body);
    BookmarkInfo bookmark;
    ASSERT_TRUE(document->FindBookmark(L"b", &bookmark)) << test.body;
    std::string error;
    TextSpan span = bookmark.span;
    EXPECT_EQ(document->SetText(&span, test.text, &error), S_OK) << error;
    EXPECT_EQ(document.StoryText(), test.story) << test.body;
    EXPECT_EQ(document.BookmarkText(L"B"), test.text) << test.body;
    EXPECT_EQ(document->Text(span), test.text) << test.body;
  }
}

// The XML a put writes: the new run takes the first replaced run's formatting,
// a paragraph mark inside a tracked insertion splits it under a new id, a
// merged paragraph keeps the properties of the mark that survives (the
// paragraph's, the mark's own w:rPr, a section break of the removed mark),
// and what follows the span and takes no position (LibreOffice's empty run
// and comment reference after the end of a bookmarked, commented text) stays.
TEST(WordTextTest, PutWritesRunsAndParagraphs) {
  const std::string reference = "<w:r><w:commentReference w:id='0'/></w:r>";
  const std::string comment_end = "<w:r><w:rPr/></w:r><w:commentRangeEnd w:id='0'/>" + reference;
  const std::string start = "<w:bookmarkStart w:id='0' w:name='B'/>";
  const std::string end = "<w:bookmarkEnd w:id='0'/>";
  const std::string right = "<w:pPr><w:jc w:val='right'/><w:rPr><w:b/></w:rPr>";
  const std::string merged =
      "<w:r><w:t>a</w:t></w:r><w:r><w:t>Q</w:t></w:r><w:r><w:t>d</w:t></w:r>";
  const std::string table = "<w:tbl><w:tr><w:tc><w:p/></w:tc></w:tr></w:tbl>";
  const auto two = [](const std::string& first, const std::string& last) {
    return "<w:p>" + first + "<w:r><w:t>ab</w:t></w:r></w:p><w:p>" + last +
           "<w:r><w:t>cd</w:t></w:r></w:p><w:p/>";
  };
  const struct {
    std::string body;
    TextSpan span;
    std::wstring text;
    std::string after;
  } cases[] = {
      {"<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>ab</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>cd</w:t>"
       "</w:r></w:p>",
       Body(1, 3), L" x ",
       "<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>a</w:t></w:r><w:r><w:rPr><w:i/></w:rPr><w:t "
       "xml:space='preserve'> x </w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>d</w:t></w:r></w:p>"},
      {"<w:p><w:ins w:id='1' w:author='A'><w:r><w:t>ab</w:t></w:r></w:ins></w:p>", Body(0, 2),
       L"x\ry",
       "<w:p><w:ins w:id='1' w:author='A'><w:r><w:t>x</w:t></w:r></w:ins></w:p><w:p><w:ins "
       "w:id='2' w:author='A'><w:r><w:t>y</w:t></w:r></w:ins></w:p>"},
      {two("<w:pPr><w:jc/></w:pPr>", right + "</w:pPr>"), Body(1, 4), L"Q",
       "<w:p>" + right + "</w:pPr>" + merged + "</w:p><w:p/>"},
      // The mark before a table stays: a paragraph does not merge into a table.
      {Para("x") + table, Body(0, 2), L"z", "<w:p><w:r><w:t>z</w:t></w:r></w:p>" + table},
      {two("<w:pPr><w:jc/></w:pPr>", ""), Body(1, 4), L"Q", "<w:p>" + merged + "</w:p><w:p/>"},
      {two("<w:pPr><w:sectPr/></w:pPr>", right + "</w:pPr>"), Body(1, 4), L"Q",
       "<w:p>" + right + "<w:sectPr/></w:pPr>" + merged + "</w:p><w:p/>"},
      {"<w:p>" + PlainRun("a") + start + "<w:commentRangeStart w:id='0'/>" + PlainRun("bc") + end +
           comment_end + PlainRun("d") + "</w:p>",
       Body(1, 3), L"XY",
       "<w:p>" + PlainRun("a") + start + "<w:commentRangeStart w:id='0'/>" + PlainRun("XY") + end +
           comment_end + PlainRun("d") + "</w:p>"},
      {"<w:p>" + start + PlainRun("bc") + end + reference + "</w:p>", Body(0, 2), L"",
       "<w:p>" + start + end + reference + "</w:p>"},
      // A whole paragraph: the next one joins with what it begins with.
      {"<w:p>" + start + PlainRun("one") + "</w:p><w:p>" + end + reference + PlainRun("two") +
           "</w:p>",
       Body(0, 4), L"1",
       "<w:p>" + start + PlainRun("1") + end + reference + PlainRun("two") + "</w:p>"},
  };
  for (const auto& test : cases) {
    SnippetDocument document(test.body);
    TextSpan span = test.span;
    std::string error;
    ASSERT_EQ(document->SetText(&span, test.text, &error), S_OK) << error;
    EXPECT_EQ(document.BodyXml(), "<w:body>" + test.after + "</w:body>") << test.body;
  }
}

TEST(WordTextTest, RefusedPutsChangeNothing) {
  const std::string form =
      Field(" FORMTEXT ", "res", "<w:ffData><w:name w:val='F'/><w:textInput/></w:ffData>");
  const std::string table =
      "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p></w:tc><w:tc><w:p><w:r><w:t>b</w:t>"
      "</w:r></w:p></w:tc></w:tr></w:tbl>";
  const std::string section = "<w:p><w:pPr><w:sectPr/></w:pPr></w:p>";
  struct Case {
    std::string body;
    TextSpan span;
    std::wstring text;
    HRESULT code;
  } cases[] = {
      {Para("abc"), Body(0, 1), L"a\a", E_INVALIDARG},
      {Para("abc"), {0, 0, 1}, std::wstring(1, wchar_t(0xD800)), E_INVALIDARG},
      {table + Para("x"), Body(0, 3), L"z", E_ACCESSDENIED},  // a cell's end
      {Para("x") + table, Body(0, 3), L"z", E_ACCESSDENIED},  // into a table
      {Para("x") + "<w:tbl><w:tblPr/></w:tbl>" + Para("y"), Body(0, 3), L"z", E_ACCESSDENIED},
      {"<w:p>" + form + "</w:p>", Body(0, 5), L"z", E_ACCESSDENIED},
      {"<w:p><w:r><w:t>a</w:t></w:r>" + Field("DATE", "d") + "</w:p>", Body(0, 3), L"z",
       E_ACCESSDENIED},  // part of a field
      {"<w:p><w:r><w:t>a</w:t><w:drawing/></w:r></w:p>", Body(0, 2), L"z", E_ACCESSDENIED},
      {"<w:p><w:r><w:t>a</w:t><w:footnoteReference w:id='1'/></w:r></w:p>", Body(1, 2), L"",
       E_ACCESSDENIED},
      // A section break the surviving mark cannot take: it has one, it ends the story.
      {section + section + "<w:p/>", Body(0, 1), L"", E_ACCESSDENIED},
      {section + Para("x"), Body(0, 1), L"", E_ACCESSDENIED},
      {"<w:p><w:r><w:t>a</w:t></w:r><w:sdt><w:sdtContent><w:r><w:t>b</w:t></w:r></w:sdtContent>"
       "</w:sdt></w:p>",
       Body(0, 2), L"z", E_ACCESSDENIED},
  };
  for (const Case& test : cases) {
    SnippetDocument document(test.body);
    const std::string before = document.BodyXml();
    TextSpan span = test.span;
    std::string error;
    EXPECT_EQ(document->SetText(&span, test.text, &error), test.code) << test.body;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(document.BodyXml(), before);
  }
}

TEST(WordTextTest, WholeFieldsAndMarksInsideGoWithTheText) {
  SnippetDocument document(
      "<w:p><w:r><w:t>a</w:t></w:r>" + Field("DATE", "d") +
      "<w:bookmarkStart w:id='1' w:name='Near'/><w:bookmarkEnd w:id='1'/><w:r><w:t>bcdef</w:t>"
      "</w:r><w:bookmarkStart w:id='2' w:name='Far'/><w:bookmarkEnd w:id='2'/><w:r><w:t>g</w:t>"
      "</w:r></w:p>");
  TextSpan span{0, 1, 10};
  std::string error;
  ASSERT_EQ(document->SetText(&span, L"XY", &error), S_OK) << error;
  EXPECT_EQ(document.StoryText(), L"aXYg\r");
  BookmarkInfo near;
  BookmarkInfo far;
  ASSERT_TRUE(document->FindBookmark(L"near", &near));
  ASSERT_TRUE(document->FindBookmark(L"FAR", &far));
  EXPECT_EQ(near.span.start, 1);
  EXPECT_EQ(far.span.start, 3);
  EXPECT_TRUE(document->FieldsIn({0, 0, 5}).empty());
}

TEST(WordTextTest, LiveSpansFollowEdits) {
  SnippetDocument document(Para("abcdef") + Para("gh"));
  const auto before = document->Track({0, 0, 1});
  const auto after = document->Track({0, 7, 9});
  const auto around = document->Track({0, 0, 6});
  const auto inside = document->Track({0, 3, 5});
  TextSpan span{0, 2, 4};
  std::string error;
  ASSERT_EQ(document->SetText(&span, L"XYZW\rV", &error), S_OK) << error;
  EXPECT_EQ(document.StoryText(), L"abXYZW\rVef\rgh\r");
  EXPECT_EQ(document->Text(span), L"XYZW\rV");
  EXPECT_EQ(document->Text(before->span), L"a");
  EXPECT_EQ(document->Text(after->span), L"gh");
  EXPECT_EQ(document->Text(around->span), L"abXYZW\rVef");
  EXPECT_EQ(document->Text(inside->span), L"e");
  TextSpan at_edge{0, 1, 1};
  ASSERT_EQ(document->SetText(&at_edge, L"+", &error), S_OK) << error;
  EXPECT_EQ(document->Text(before->span), L"a");
}

TEST(WordBookmarkTest, AddOverCellsOfOneTableMarksTheBlock) {
  SnippetDocument document(
      "<w:tbl><w:tr><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc></w:tr><w:tr>"
      "<w:tc><w:p/></w:tc><w:tc><w:p/></w:tc><w:tc><w:p/></w:tc></w:tr></w:tbl><w:p/>");
  std::string error;
  ASSERT_EQ(document->AddBookmark(L"Block", {0, 1, 7}, &error), S_OK) << error;
  BookmarkInfo block;
  ASSERT_TRUE(document->FindBookmark(L"block", &block));
  EXPECT_EQ(block.first_column, 1);
  EXPECT_EQ(block.last_column, 2);
  EXPECT_EQ(document->Text(block.span), L"\r\a\r\a\r\a\r\a\r\a\r\a\r\a");
}

// A new bookmark takes one past the largest id, or, once the largest id there
// can be is used, the smallest free one; ids that are no such number are
// passed over.
TEST(WordBookmarkTest, NewIdsStayWithinTheirRange) {
  const struct {
    std::string ids[2];
    std::string added[2];
  } cases[] = {
      {{"4", "7"}, {"8", "9"}},
      {{"0", "2147483646"}, {"2147483647", "1"}},
      {{"2147483648", "-3"}, {"0", "1"}},
  };
  for (const auto& c : cases) {
    std::string body = "<w:p>";
    for (const std::string& id : c.ids) {
      body += "<w:bookmarkStart w:id='" + id + "' w:name='B" + id + "'/><w:bookmarkEnd w:id='" +
              id + "'/>";
    }
    SnippetDocument document(body + PlainRun("x") + "</w:p>");
    for (const std::string& id : c.added) {
      const std::wstring name = L"New" + FromUtf8(id);
      std::string error;
      ASSERT_EQ(document->AddBookmark(name, Body(0, 1), &error), S_OK) << error;
      BookmarkInfo added;
      ASSERT_TRUE(document->FindBookmark(name, &added));
      EXPECT_STREQ(added.start.attribute("w:id").value(), id.c_str()) << c.ids[1];
    }
  }
}

TEST(WordStoryTest, TextBoxEditsRewriteTheFallbackCopyWithoutBookmarks) {
  const std::string box =
      "<w:txbxContent><w:p><w:bookmarkStart w:id='1' w:name='Box'/><w:r><w:t>old</w:t></w:r>"
      "<w:bookmarkEnd w:id='1'/></w:p></w:txbxContent>";
  SnippetDocument document(
      "<w:p><w:r><mc:AlternateContent><mc:Choice Requires='wps'>"
      "<w:drawing>" +
      box + "</w:drawing></mc:Choice><mc:Fallback><w:pict>" + box +
      "</w:pict></mc:Fallback></mc:AlternateContent></w:r></w:p>");
  ASSERT_EQ(document->story_count(), 2);
  EXPECT_EQ(document->story_kind(1), StoryKind::kTextBox);
  EXPECT_EQ(document.StoryText(), L"\x01\r");
  BookmarkInfo bookmark;
  ASSERT_TRUE(document->FindBookmark(L"box", &bookmark));
  std::string error;
  ASSERT_EQ(document->SetText(&bookmark.span, L"new", &error), S_OK) << error;
  EXPECT_EQ(document.StoryText(1), L"new\r");
  const std::string xml = document.BodyXml();
  EXPECT_NE(xml.find("<mc:Fallback><w:pict><w:txbxContent><w:p><w:r><w:t>new</w:t></w:r></w:p>"),
            std::string::npos)
      << xml;
}

}  // namespace
}  // namespace ovc::word
