#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "automation/com_object.h"
#include "automation/text.h"
#include "tests/office/excel/workbook_fixture.h"

namespace ovc::excel {
namespace {

using office::testing::CopyFixture;

// A workbook of the 97-2003 format opened, written and saved through the
// application as any other; needs LibreOffice.
class LegacyWorkbookTest : public testing::BookTest {
 protected:
  LegacyWorkbookTest() { application_ = MakeObject<Application>(office::Services{}); }
  ~LegacyWorkbookTest() override { application_ = nullptr; }

  const office::testing::TemporaryFolderOverride temporary_;
  const std::string legacy_ = CopyFixture(folder_, "names.xls", "-my 'names' $x.xls");
};

// Save keeps the file's format; SaveAs moves the workbook to a new file in
// the format its extension names, leaving the old file as it was.
TEST_F(LegacyWorkbookTest, ALegacyWorkbookIsWrittenSavedInItsOwnFormatAndSavedAsEither) {
  ComPtr<IDispatch> workbook = Open(legacy_);
  if (!workbook && status_ == E_NOTIMPL) GTEST_SKIP() << "LibreOffice is not installed";
  ASSERT_TRUE(workbook) << std::hex << status_;
  EXPECT_EQ(Get(workbook.get(), L"Name"), Variant(L"-my 'names' $x.xls"));
  EXPECT_EQ(Get(workbook.get(), L"FullName"), Variant(FromUtf8(legacy_)));
  EXPECT_EQ(Get(workbook.get(), L"ReadOnly"), Variant::Bool(false));
  EXPECT_EQ(Get(Range(L"Rate").get(), L"Value"), Variant(0.25));
  ASSERT_EQ(PutProperty(Range(L"Rate").get(), L"Value", Variant(0.5)), S_OK);
  ASSERT_EQ(CallMethod(workbook.get(), L"Save"), S_OK);
  const std::string saved = office::testing::ReadFile(legacy_);
  EXPECT_EQ(saved.substr(0, 4), "\xD0\xCF\x11\xE0");
  std::filesystem::create_directory(folder_.File("sub"));
  const struct {
    std::string name;
    std::string magic;
  } cases[] = {{"Copy.xlsx", "PK"}, {"Back.xls", "\xD0\xCF\x11\xE0"}};
  for (const auto& c : cases) {
    const std::string path = folder_.File("sub/" + c.name);
    ASSERT_EQ(CallMethod(workbook.get(), L"SaveAs", {Variant(FromUtf8(path))}), S_OK) << c.name;
    EXPECT_EQ(Get(workbook.get(), L"Name"), Variant(FromUtf8(c.name)));
    EXPECT_EQ(Get(workbook.get(), L"FullName"), Variant(FromUtf8(path)));
    EXPECT_EQ(Get(workbook.get(), L"Path"), Variant(FromUtf8(folder_.File("sub"))));
    EXPECT_EQ(Get(workbook.get(), L"Saved"), Variant::Bool(true));
    EXPECT_EQ(office::testing::ReadFile(path).substr(0, c.magic.size()), c.magic);
  }
  EXPECT_EQ(office::testing::ReadFile(legacy_), saved);
  ASSERT_EQ(CallMethod(workbook.get(), L"Close"), S_OK);
  EXPECT_EQ(temporary_.WorkingFolders(), 0u);

  workbook = Open(legacy_);
  ASSERT_TRUE(workbook) << std::hex << status_;
  EXPECT_EQ(Get(Range(L"Rate").get(), L"Value"), Variant(0.5));
  EXPECT_EQ(temporary_.WorkingFolders(), 1u);
  ASSERT_EQ(CallMethod(application_.get(), L"Quit"), S_OK);
  EXPECT_EQ(temporary_.WorkingFolders(), 0u);
}

}  // namespace
}  // namespace ovc::excel
