#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/office/word/word_automation.h"

namespace ovc::word {
namespace {

using office::testing::CopyFixture;
using office::testing::TempDir;
using testing::Call;
using testing::Object;
using testing::WordTest;

class BookmarksTest : public WordTest {
 protected:
  void SetUp() override {
    document_ = Open(CopyFixture(folder_, "bookmarks.docx"));
    ASSERT_TRUE(document_);
    bookmarks_ = Object(document_.get(), L"Bookmarks");
    ASSERT_TRUE(bookmarks_);
  }
  ComPtr<IDispatch> Bookmark(const wchar_t* name) {
    return Object(bookmarks_.get(), L"Item", {Variant(name)});
  }
  Variant TextOf(IDispatch* bookmark) { return Call(Object(bookmark, L"Range").get(), L"Text"); }

  ComPtr<IDispatch> document_;
  ComPtr<IDispatch> bookmarks_;
};

TEST_F(BookmarksTest, ItemFindsVisibleByPositionAndAnyByName) {
  const Variant count = Call(bookmarks_.get(), L"Count");
  ASSERT_EQ(count.vt(), VT_I4);
  const struct {
    Variant index;
    Variant name;
  } cases[] = {
      {Variant::I4(1), Variant(L"Block")},
      {count, Variant(L"WholeTable")},
      {Variant(L"runs"), Variant(L"Runs")},
      {Variant(L"_GOBACK"), Variant(L"_GoBack")},
      {Variant(L"Orphan"), Variant::Error(DISP_E_BADINDEX)},
      {Variant::I4(count.i4() + 1), Variant::Error(DISP_E_BADINDEX)},
  };
  for (const auto& c : cases) {
    ComPtr<IDispatch> bookmark = Object(bookmarks_.get(), L"Item", {c.index});
    EXPECT_EQ(bookmark ? Call(bookmark.get(), L"Name") : Variant::Error(DISP_E_BADINDEX), c.name);
  }
  EXCEPINFO error;
  Variant ignored;
  CallByName(bookmarks_.get(), L"Item", DISPATCH_METHOD, {Variant(L"Nope")}, &ignored, &error);
  EXPECT_EQ(ToUtf8(error.description), "bookmarks.docx: bookmark 'Nope': not found");
}

TEST_F(BookmarksTest, TextsOfEveryStoryAndShape) {
  const struct {
    const wchar_t* name;
    const wchar_t* text;
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
      {L"_ref1", L"four"},
      {L"Case", L"first"},
      {L"shared", L"shared"},
      {L"Specials", L"a\tb\vc\fd\u000ee\u001ef\u001fg\u2014hi"},
      {L"OneCell", L"b1"},
      {L"Nested", L"n2"},
      {L"InHeader", L"header text"},
      {L"InFooter", L"footer text"},
      {L"InFootnote", L"note text"},
      {L"InEndnote", L"end text"},
      {L"InTextBox", L"box text"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TextOf(Bookmark(c.name).get()), Variant(c.text)) << ToUtf8(c.name);
}

TEST_F(BookmarksTest, WritesAddsMovesAndDeletes) {
  const Variant count = Call(bookmarks_.get(), L"Count");
  ComPtr<IDispatch> runs = Object(Bookmark(L"Runs").get(), L"Range");
  ASSERT_EQ(CallByName(runs.get(), L"Text", DISPATCH_PROPERTYPUT, {Variant(L"new text")}), S_OK);
  EXPECT_EQ(TextOf(Bookmark(L"Runs").get()), Variant(L"new text"));
  EXPECT_EQ(Call(document_.get(), L"Saved"), Variant::Bool(false));

  ComPtr<IDispatch> fresh =
      Object(bookmarks_.get(), L"Add", {Variant(L"Fresh"), Variant(runs.get())});
  ASSERT_TRUE(fresh);
  EXPECT_EQ(TextOf(fresh.get()), Variant(L"new text"));
  EXPECT_EQ(Call(bookmarks_.get(), L"Count"), Variant::I4(count.i4() + 1));
  // Adding an existing name moves it and keeps the new spelling.
  ComPtr<IDispatch> moved =
      Object(bookmarks_.get(), L"Add",
             {Variant(L"FRESH"), Variant(Object(Bookmark(L"Inner").get(), L"Range").get())});
  ASSERT_TRUE(moved);
  EXPECT_EQ(Call(fresh.get(), L"Name"), Variant(L"FRESH"));
  EXPECT_EQ(TextOf(fresh.get()), Variant(L"two "));

  ASSERT_TRUE(Open(CopyFixture(folder_, "document.docx")));
  ComPtr<IDispatch> foreign = SelectionRange();
  ASSERT_TRUE(foreign);
  const struct {
    Variant name;
    Variant range;
    HRESULT status;
  } refused[] = {
      {Variant(L"1st"), Variant(runs.get()), E_INVALIDARG},
      {Variant(std::wstring(41, L'a')), Variant(runs.get()), E_INVALIDARG},
      {Variant(L"_Hidden"), Variant(runs.get()), E_INVALIDARG},
      {Variant(L"Foreign"), Variant(foreign.get()), E_INVALIDARG},
      {Variant(L"NotARange"), Variant(document_.get()), DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(CallByName(bookmarks_.get(), L"Add", DISPATCH_METHOD, {c.name, c.range}), c.status);
  }
  EXPECT_EQ(Call(fresh.get(), L"Delete", {}, DISPATCH_METHOD), Variant());
  EXPECT_EQ(Call(fresh.get(), L"Name"), Variant::Error(DISP_E_BADINDEX));
  EXPECT_EQ(Call(bookmarks_.get(), L"Count"), count);
  EXPECT_EQ(TextOf(Bookmark(L"Inner").get()), Variant(L"two "));
}

TEST_F(BookmarksTest, ProtectingForFormsResetsResultsUnlessNoResetAndRefusesBookmarkEdits) {
  const struct {
    Variant no_reset;
    const wchar_t* text1;
    const wchar_t* short_text;
  } cases[] = {
      {Variant::Bool(true), L"Result", L"abc"},
      {Variant::Bool(false), L"Default text", L"\u2002\u2002\u2002\u2002\u2002"},
      {Variant(), L"Default text", L"\u2002\u2002\u2002\u2002\u2002"},
  };
  for (const auto& c : cases) {
    TempDir folder;
    ComPtr<IDispatch> fields = Open(CopyFixture(folder, "fields.docx"));
    ComPtr<IDispatch> bookmarks = Object(fields.get(), L"Bookmarks");
    ComPtr<IDispatch> text1 = Object(bookmarks.get(), L"Item", {Variant(L"Text1")});
    std::vector<Variant> args = {Variant::I4(2)};
    if (!c.no_reset.IsEmpty()) args.push_back(c.no_reset);
    ASSERT_EQ(Call(fields.get(), L"Protect", args, DISPATCH_METHOD), Variant());
    EXPECT_EQ(TextOf(text1.get()), Variant(c.text1));
    EXPECT_EQ(TextOf(Object(bookmarks.get(), L"Item", {Variant(L"Short")}).get()),
              Variant(c.short_text));
    EXPECT_EQ(CallByName(bookmarks.get(), L"Add", DISPATCH_METHOD,
                         {Variant(L"Added"), Variant(Object(text1.get(), L"Range").get())}),
              E_ACCESSDENIED);
    EXPECT_EQ(CallByName(text1.get(), L"Delete", DISPATCH_METHOD, {}), E_ACCESSDENIED);
    EXPECT_EQ(Call(fields.get(), L"Close", {Variant::I4(0)}, DISPATCH_METHOD), Variant());
  }
}

}  // namespace
}  // namespace ovc::word
