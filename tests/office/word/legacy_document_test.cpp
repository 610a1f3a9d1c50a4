#include <gtest/gtest.h>

#include "tests/office/word/word_automation.h"

namespace ovc::word {
namespace {

using office::testing::Call;
using office::testing::CopyFixture;
using testing::BookmarkRange;

// A document of the 97-2003 format opened, written and saved through the
// application as any other; needs LibreOffice.
using LegacyDocumentTest = testing::WordTest;

TEST_F(LegacyDocumentTest, ALegacyDocumentIsReadWrittenAndSavedInItsOwnFormat) {
  const std::string legacy = CopyFixture(folder_, "bookmarks.doc", "a \"b\" $c.doc");
  ComPtr<IDispatch> document = Open(legacy);
  ASSERT_TRUE(document);
  EXPECT_EQ(Call(document.get(), L"Name"), Variant(L"a \"b\" $c.doc"));
  EXPECT_EQ(Call(document.get(), L"ReadOnly"), Variant::Bool(false));
  ComPtr<IDispatch> runs = BookmarkRange(document.get(), L"Runs");
  ASSERT_TRUE(runs);
  ASSERT_EQ(CallByName(runs.get(), L"Text", DISPATCH_PROPERTYPUT, {Variant(L"written")}), S_OK);
  ASSERT_EQ(CallByName(document.get(), L"Save", DISPATCH_METHOD, {}), S_OK);
  ASSERT_EQ(CallByName(document.get(), L"Close", DISPATCH_METHOD, {}), S_OK);
  EXPECT_EQ(office::testing::ReadFile(legacy).substr(0, 4), "\xD0\xCF\x11\xE0");

  document = Open(legacy);
  ASSERT_TRUE(document);
  EXPECT_EQ(Call(BookmarkRange(document.get(), L"Runs").get(), L"Text"), Variant(L"written"));
}

}  // namespace
}  // namespace ovc::word
