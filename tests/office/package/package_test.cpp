#include "office/package/package.h"

#include <gtest/gtest.h>

#include "tests/office/office_test_support.h"

namespace ovc::office {
namespace {

using testing::CopyFixture;
using testing::TempDir;

std::unique_ptr<Package> OpenOrFail(const std::string& path, const OpenOptions& options = {}) {
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<Package> package = Package::Open(path, options, &error, &code);
  EXPECT_NE(package, nullptr) << error;
  return package;
}

TEST(PackageTest, ChangedPartIsWrittenBackAndReadAgain) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  {
    std::unique_ptr<Package> package = OpenOrFail(path);
    ASSERT_EQ(package->MainDocumentPartName(), "/xl/workbook.xml");
    std::string error;
    pugi::xml_document* workbook = package->XmlPart("/xl/workbook.xml", &error);
    ASSERT_NE(workbook, nullptr) << error;
    workbook->document_element().append_child("extra").append_attribute("a").set_value("1");
    package->MarkChanged("/xl/workbook.xml");
    HRESULT code = S_OK;
    ASSERT_TRUE(package->Save(&error, &code)) << error;
  }
  std::unique_ptr<Package> reopened = OpenOrFail(path);
  std::string error;
  pugi::xml_document* workbook = reopened->XmlPart("/xl/workbook.xml", &error);
  ASSERT_NE(workbook, nullptr) << error;
  EXPECT_STREQ(workbook->document_element().child("extra").attribute("a").value(), "1");
}

}  // namespace
}  // namespace ovc::office
