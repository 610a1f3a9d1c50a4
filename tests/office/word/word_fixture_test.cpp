#include <string>

#include <gtest/gtest.h>

#include "office/word/word_document.h"
#include "tests/office/office_test_support.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using office::testing::TempDir;

std::unique_ptr<WordDocument> OpenFixture(const TempDir& dir, const std::string& name) {
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<WordDocument> document =
      WordDocument::Open(CopyFixture(dir, name), {}, &error, &code);
  EXPECT_NE(document, nullptr) << error;
  return document;
}

std::wstring BookmarkText(WordDocument& document, const std::wstring& name) {
  BookmarkInfo bookmark;
  return document.FindBookmark(name, &bookmark) ? document.Text(bookmark.span) : L"<absent>";
}

TEST(WordFixtureTest, BookmarksOfEveryStoryAndShape) {
  TempDir dir;
  std::unique_ptr<WordDocument> document = OpenFixture(dir, "bookmarks.docx");
  ASSERT_NE(document, nullptr);
  const struct {
    const wchar_t* name;
    std::wstring text;
  } cases[] = {
      {L"Runs", L"bold italic"},
      {L"Collapsed", L""},
      {L"Paragraphs", L"First line\rSecond"},
      {L"WholePara", L"Whole paragraph\r"},
      {L"InLink", L"link text"},
      {L"InControl", L"control text"},
      {L"InInsertion", L"inserted"},
      {L"Outer", L"one two three "},
      {L"Overlap", L"three four"},
      {L"_GoBack", L""},
      {L"_ref1", L"four"},
      {L"Case", L"first"},
      {L"shared", L"shared"},
      {L"Orphan", L"<absent>"},
      {L"Specials",
       L"a\tb\vc\fd\x0e"
       L"e\x1e"
       L"f\x1fg\x2014hi"},
      {L"OneCell", L"b1"},
      {L"Nested", L"n2"},
      {L"InHeader", L"header text"},
      {L"InFooter", L"footer text"},
      {L"InFootnote", L"note text"},
      {L"InEndnote", L"end text"},
      {L"InTextBox", L"box text"},
  };
  for (const auto& test : cases)
    EXPECT_EQ(BookmarkText(*document, test.name), test.text) << test.name;
  BookmarkInfo column;
  ASSERT_TRUE(document->FindBookmark(L"column", &column));
  EXPECT_EQ(column.first_column, 1);
  EXPECT_EQ(column.last_column, 1);
}

}  // namespace
}  // namespace ovc::word
