#include "ovcbridgesvcs/frame/error_record.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc {
namespace {

TEST(ErrorRecordTest, AttributesInOrderEmptyOnesLeftOutQuotesMadeSingle) {
  EXPECT_EQ(ErrorRecord()
                .Add(L"Desc", L"Range \"Total\" not found")
                .Add(L"Src", L"")
                .AddHr(S_OK)
                .AddLocation(L"/src/ovcbridgesvcs/bridge/bridge.cpp", 217)
                .Finish(),
            L"<OVError Desc=\"Range 'Total' not found\" HR=\"0x0\" File=\"bridge/bridge.cpp\" "
            L"Line=\"217\" />");
}

TEST(ErrorRecordTest, FileKeepsTheLastTwoComponents) {
  const struct {
    const wchar_t* path;
    const wchar_t* expected;
  } cases[] = {
      {L"/work/main/ovcbridgesvcs/apps/excelapp.cpp", L"apps/excelapp.cpp"},
      {L"C:\\src\\OVCBridgeSvcs\\wordapp.cpp", L"OVCBridgeSvcs\\wordapp.cpp"},
      {L"/excelapp.cpp", L"/excelapp.cpp"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileAttributeValue(c.path), c.expected);
}

TEST(ErrorRecordTest, ExtractDescFindsTheFirstDescOfAChain) {
  const struct {
    const wchar_t* text;
    const wchar_t* expected;
  } cases[] = {
      {L"Plain foreign text", L"Plain foreign text"},
      {L" <OVError Desc=\"not a chain\" />", L" <OVError Desc=\"not a chain\" />"},
      {L"<OVError Desc=\"Outer\" />\r\n<OVError Desc=\"Inner\" />", L"Outer"},
      {L"<OVError Activity=\"saving\" />\r\n<OVError Src=\"x\" Desc=\"Inner\" />", L"Inner"},
      {L"<OVError Src=\"No Desc here\" Desc=\"Real\" />", L"Real"},
      {L"<OVError HR=\"E_FAIL\" />", L""},
      {L"<OVError Desc=\"Unclosed", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractDesc(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace ovc
