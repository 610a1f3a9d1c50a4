#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "office/word/document.h"
#include "tests/office/word/word_automation.h"
#include "tests/office/word/word_test_support.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using testing::BookmarkRange;
using testing::Call;
using testing::Field;
using testing::Object;
using testing::Para;
using testing::SnippetDocument;
using testing::WordTest;

class RangeTest : public WordTest {
 protected:
  Variant SelectionText() { return Call(SelectionRange().get(), L"Text"); }
  Variant Move(const wchar_t* how, int32_t unit, int32_t count, int32_t extend) {
    return Call(Selection().get(), how,
                {Variant::I4(unit), Variant::I4(count), Variant::I4(extend)}, DISPATCH_METHOD);
  }
};

TEST_F(RangeTest, TextPutFollowsTheRangeOrIsRefusedWhileProtectedOrTracking) {
  const struct {
    const char* fixture;
    HRESULT status;
    const char* reason;
  } cases[] = {
      {"fields.docx", S_OK, ""},
      {"protected_forms.docx", E_ACCESSDENIED,
       "protected_forms.docx: Range: the document is protected"},
      {"tracking.docx", E_ACCESSDENIED, "tracking.docx: Range: document tracks revisions"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    ComPtr<IDispatch> document = Open(CopyFixture(folder_, c.fixture));
    ASSERT_TRUE(document);
    ASSERT_EQ(Move(L"MoveRight", 1, 3, 1), Variant::I4(3));
    const Variant before = SelectionText();
    ComPtr<IDispatch> range = SelectionRange();
    ASSERT_EQ(Call(range.get(), L"Select", {}, DISPATCH_METHOD), Variant());
    EXCEPINFO error;
    EXPECT_EQ(
        CallByName(range.get(), L"Text", DISPATCH_PROPERTYPUT, {Variant(L"WXYZ")}, nullptr, &error),
        c.status);
    EXPECT_EQ(ToUtf8(error.description), c.reason);
    const bool written = Succeeded(c.status);
    // The range and the selection over it both cover exactly the new text.
    EXPECT_EQ(Call(range.get(), L"Text"), written ? Variant(L"WXYZ") : before);
    EXPECT_EQ(SelectionText(), written ? Variant(L"WXYZ") : before);
    EXPECT_EQ(Call(range.get(), L"End"), Variant::I4(written ? 4 : 3));
    EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Bool(!written));

    EXPECT_EQ(Call(document.get(), L"Close", {Variant::I4(0)}, DISPATCH_METHOD), Variant());
    EXPECT_EQ(Call(range.get(), L"Text"), Variant::Error(RPC_E_DISCONNECTED));
    EXPECT_EQ(Call(Selection().get(), L"Range"), Variant::Error(DISP_E_BADINDEX));
  }
}

TEST_F(RangeTest, SelectionStepsOverCellsAndText) {
  const std::string row1 =
      "<w:tr><w:tc>" + Para("a1") + "</w:tc><w:tc>" + Para("a2") + "</w:tc></w:tr>";
  const std::string row2 =
      "<w:tr><w:tc>" + Para("b1") + "</w:tc><w:tc>" + Para("b2") + "</w:tc></w:tr>";
  SnippetDocument snippet(Para("one") + Para("two") + "<w:tbl>" + row1 + row2 + "</w:tbl>" +
                          Para("end"));
  ASSERT_TRUE(Open(snippet.path()));
  const struct {
    const wchar_t* how;
    int32_t unit;
    int32_t count;
    int32_t extend;
    Variant moved;
    std::wstring text;
  } steps[] = {
      {L"MoveRight", 1, 2, 0, Variant::I4(2), L""},
      {L"MoveRight", 1, 2, 1, Variant::I4(2), L"e\r"},
      {L"MoveDown", 4, 1, 0, Variant::I4(1), L""},
      {L"MoveRight", 1, 3, 1, Variant::I4(3), L"a1\r\a"},
      {L"MoveRight", 12, 1, 0, Variant::I4(1), L"a2\r\a"},
      {L"MoveDown", 5, 1, 1, Variant::I4(1), L"a2\r\a\r\ab1\r\ab2\r\a"},
      {L"MoveRight", 12, 1, 0, Variant::I4(0), L"b2\r\a"},
      {L"MoveRight", 7, 1, 0, Variant::Error(E_NOTIMPL), L"b2\r\a"},
      {L"MoveRight", 2, -1, 0, Variant::Error(E_INVALIDARG), L"b2\r\a"},
      {L"MoveDown", 10, 1, 2, Variant::Error(E_INVALIDARG), L"b2\r\a"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(ToUtf8(step.how) + " " + std::to_string(step.unit));
    EXPECT_EQ(Move(step.how, step.unit, step.count, step.extend), step.moved);
    EXPECT_EQ(SelectionText(), Variant(step.text));
  }
  EXPECT_EQ(Call(Selection().get(), L"MoveRight", {Variant(L"cell")}, DISPATCH_METHOD),
            Variant::Error(DISP_E_TYPEMISMATCH));
}

TEST_F(RangeTest, FieldsListResultsAndUpdateReferences) {
  SnippetDocument snippet(
      "<w:p><w:bookmarkStart w:id='1' w:name='B'/><w:r><w:t>alpha</w:t></w:r>"
      "<w:bookmarkEnd w:id='1'/>" +
      Field(" REF B \\h ", "old") + Field(" REF Missing ", "kept") + "</w:p>");
  ComPtr<IDispatch> document = Open(snippet.path());
  ComPtr<IDispatch> fields = Object(document.get(), L"Fields");
  ASSERT_TRUE(fields);
  EXPECT_EQ(Call(fields.get(), L"Count"), Variant::I4(2));
  ComPtr<IDispatch> first =
      Object(Object(fields.get(), L"Item", {Variant::I4(1)}).get(), L"Result");
  EXPECT_EQ(Call(first.get(), L"Text"), Variant(L"old"));
  for (int32_t absent : {0, 3}) {
    EXPECT_EQ(Call(fields.get(), L"Item", {Variant::I4(absent)}), Variant::Error(DISP_E_BADINDEX));
  }
  EXPECT_EQ(Call(fields.get(), L"Update", {}, DISPATCH_METHOD), Variant::I4(2));
  EXPECT_EQ(Call(first.get(), L"Text"), Variant(L"alpha"));
  EXPECT_EQ(
      Call(Object(Object(fields.get(), L"Item", {Variant::I4(2)}).get(), L"Result").get(), L"Text"),
      Variant(L"kept"));
  EXPECT_EQ(Call(document.get(), L"Saved"), Variant::Bool(false));
  // A range's fields are those beginning inside it.
  ASSERT_EQ(Move(L"MoveRight", 1, 6, 1), Variant::I4(6));
  EXPECT_EQ(Call(Object(SelectionRange().get(), L"Fields").get(), L"Count"), Variant::I4(1));
}

// The columns of a block bookmark at the edge of their range: to the last
// column there could be, or past every column.
TEST_F(RangeTest, BookmarkColumnsAtTheEdgeOfTheirRange) {
  const auto cell = [](const char* text) { return "<w:tc>" + Para(text) + "</w:tc>"; };
  const auto block = [&](const char* name, const char* id, const char* first, const char* last) {
    return std::string("<w:tbl><w:tr><w:bookmarkStart w:id='") + id + "' w:name='" + name +
           "' w:colFirst='" + first + "' w:colLast='" + last + "'/>" + cell("a") + cell("b") +
           cell("c") + "<w:bookmarkEnd w:id='" + id + "'/></w:tr></w:tbl>";
  };
  SnippetDocument snippet(block("Rest", "0", "1", "2147483647") +
                          block("Past", "2147483647", "2147483647", "2147483647") + Para("x"));
  ComPtr<IDispatch> document = Open(snippet.path());
  ASSERT_TRUE(document);
  const struct {
    const wchar_t* bookmark;
    int32_t cells;
  } cases[] = {{L"Rest", 2}, {L"Past", 0}};
  for (const auto& c : cases) {
    ComPtr<IDispatch> cells = Object(BookmarkRange(document.get(), c.bookmark).get(), L"Cells");
    ASSERT_TRUE(cells);
    EXPECT_EQ(Call(cells.get(), L"Count"), Variant::I4(c.cells)) << ToUtf8(c.bookmark);
  }
}

TEST_F(RangeTest, FormFieldResultsReadAsTheirStateAndRefuseTextWrites) {
  ComPtr<IDispatch> document = Open(CopyFixture(folder_, "fields.docx"));
  const struct {
    const wchar_t* bookmark;
    const wchar_t* shown;
    HRESULT put;
  } cases[] = {
      {L"Check1", L"1", E_ACCESSDENIED},    {L"Check2", L"1", E_ACCESSDENIED},
      {L"Drop1", L"Green", E_ACCESSDENIED}, {L"Drop2", L"Blue", E_ACCESSDENIED},
      {L"Drop3", L"Red", E_ACCESSDENIED},   {L"Text1", L"Result", S_OK},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.bookmark));
    ComPtr<IDispatch> fields = Object(BookmarkRange(document.get(), c.bookmark).get(), L"Fields");
    ComPtr<IDispatch> result =
        Object(Object(fields.get(), L"Item", {Variant::I4(1)}).get(), L"Result");
    EXPECT_EQ(Call(result.get(), L"Text"), Variant(c.shown));
    EXPECT_EQ(CallByName(result.get(), L"Text", DISPATCH_PROPERTYPUT, {Variant(L"x")}), c.put);
  }
}

// Held table and cell objects outlive edits of their table; once their
// element left the document they answer RPC_E_DISCONNECTED.
TEST_F(RangeTest, HeldTablesAndCellsOutliveEditsOrAnswerDisconnected) {
  SnippetDocument snippet(Para("x") + "<w:tbl><w:tblPr/></w:tbl><w:tbl><w:tr><w:tc>" + Para("c") +
                          Para("d") + "</w:tc></w:tr></w:tbl>" + Para("z"));
  ComPtr<IDispatch> document = Open(snippet.path());
  ASSERT_EQ(Move(L"MoveRight", 1, 3, 1), Variant::I4(3));
  ComPtr<IDispatch> tables = Object(SelectionRange().get(), L"Tables");
  ComPtr<IDispatch> table = Object(tables.get(), L"Item", {Variant::I4(2)});
  ComPtr<IDispatch> cell = Object(table.get(), L"Cell", {Variant::I4(1), Variant::I4(1)});
  ComPtr<IDispatch> cell_range = Object(cell.get(), L"Range");
  ASSERT_EQ(CallByName(cell_range.get(), L"Text", DISPATCH_PROPERTYPUT, {Variant(L"")}), S_OK);
  EXPECT_EQ(Call(Object(cell.get(), L"Range").get(), L"Text"), Variant(L"\r\a"));
  const ComPtr<IDispatch> rowless = Object(tables.get(), L"Item", {Variant::I4(1)});
  EXPECT_EQ(Call(Object(rowless.get(), L"Rows").get(), L"Count"), Variant::I4(0));

  // A caller editing the XML itself removes the table.
  WordDocument& model = dynamic_cast<Document*>(document.get())->model();
  const pugi::xml_node removed = model.InnermostAt(0, 2, "tbl");
  const TextSpan span = model.SpanOf(removed);
  model.story_root(0).remove_child(removed);
  model.NoteReplaced(0, span.start, span.end, span.start);
  EXCEPINFO error;
  EXPECT_EQ(CallByName(table.get(), L"Rows", DISPATCH_PROPERTYGET, {}, nullptr, &error),
            RPC_E_DISCONNECTED);
  EXPECT_EQ(ToUtf8(error.description), "snippet.docx: table: has been deleted");
  EXPECT_EQ(Call(cell.get(), L"RowIndex"), Variant::Error(RPC_E_DISCONNECTED));
  EXPECT_EQ(Call(tables.get(), L"Item", {Variant::I4(2)}), Variant::Error(RPC_E_DISCONNECTED));
}

}  // namespace
}  // namespace ovc::word
