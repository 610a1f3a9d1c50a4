#include <gtest/gtest.h>

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

  const std::string legacy_ = CopyFixture(folder_, "names.xls", "-my 'names' $x.xls");
};

TEST_F(LegacyWorkbookTest, ALegacyWorkbookIsReadWrittenAndSavedInItsOwnFormat) {
  ComPtr<IDispatch> workbook = Open(legacy_);
  if (!workbook && status_ == E_NOTIMPL) GTEST_SKIP() << "LibreOffice is not installed";
  ASSERT_TRUE(workbook) << std::hex << status_;
  EXPECT_EQ(Get(workbook.get(), L"Name"), Variant(L"-my 'names' $x.xls"));
  EXPECT_EQ(Get(workbook.get(), L"FullName"), Variant(FromUtf8(legacy_)));
  EXPECT_EQ(Get(workbook.get(), L"ReadOnly"), Variant::Bool(false));
  ComPtr<IDispatch> rate = Range(L"Rate");
  ASSERT_TRUE(rate);
  EXPECT_EQ(Get(rate.get(), L"Value"), Variant(0.25));
  ASSERT_EQ(PutProperty(rate.get(), L"Value", Variant(0.5)), S_OK);
  ASSERT_EQ(CallMethod(workbook.get(), L"Save"), S_OK);
  ASSERT_EQ(CallMethod(workbook.get(), L"Close"), S_OK);
  EXPECT_EQ(office::testing::ReadFile(legacy_).substr(0, 4), "\xD0\xCF\x11\xE0");

  workbook = Open(legacy_);
  ASSERT_TRUE(workbook) << std::hex << status_;
  rate = Range(L"Rate");
  ASSERT_TRUE(rate);
  EXPECT_EQ(Get(rate.get(), L"Value"), Variant(0.5));
}

}  // namespace
}  // namespace ovc::excel
