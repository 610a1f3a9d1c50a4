#include "office/word/table_lookup.h"

#include <string>

#include <gtest/gtest.h>

#include "automation/text.h"
#include "office/word/word_document.h"
#include "tests/office/office_test_support.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using office::testing::TempDir;

// The texts of nodes without their end marks, joined by "|".
std::wstring Texts(const WordDocument& document, const std::vector<pugi::xml_node>& nodes) {
  std::wstring joined;
  for (const pugi::xml_node& node : nodes) {
    std::wstring text = document.Text(document.SpanOf(node));
    while (!text.empty() && (text.back() == L'\a' || text.back() == L'\r')) text.pop_back();
    joined += (joined.empty() ? L"" : L"|") + text;
  }
  return joined;
}

TEST(TableLookupTest, TablesAndCellsOfBookmarks) {
  TempDir dir;
  std::string error;
  HRESULT code = S_OK;
  for (const char* fixture : {"bookmarks.docx", "tables.docx"}) {
    const std::unique_ptr<WordDocument> document =
        WordDocument::Open(CopyFixture(dir, fixture), {}, &error, &code);
    ASSERT_NE(document, nullptr) << error;
    const struct {
      const wchar_t* bookmark;
      size_t tables;
      std::wstring cells;
    } cases[] = {
        {L"OneCell", 1, L"b1"},
        {L"Nested", 1, L"n2"},
        {L"WholeTable", 1, L"t1|t2"},
        {L"Runs", 0, L""},
        {L"InLastRow", 1, L"z1z1"},
        {L"InNested", 1, L"i4"},
        {L"TwoTables", 2, L"x1|x2|y1|y2|z1z1|z2\rnest"},
    };
    for (const auto& c : cases) {
      BookmarkInfo bookmark;
      if (!document->FindBookmark(c.bookmark, &bookmark)) continue;
      SCOPED_TRACE(::testing::Message() << fixture << " " << ToUtf8(c.bookmark));
      EXPECT_EQ(TablesOfSpan(*document, bookmark.span).size(), c.tables);
      std::wstring cells = Texts(*document, CellsOfSpan(*document, bookmark.span));
      EXPECT_EQ(ToUtf8(cells), ToUtf8(c.cells));
    }
  }
}

}  // namespace
}  // namespace ovc::word
