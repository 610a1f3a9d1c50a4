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

TEST(ErrorRecordTest, HrNamesEightCodesAndWritesOthersInLowerHex) {
  const struct {
    HRESULT code;
    const wchar_t* expected;
  } cases[] = {
      {E_NOTIMPL, L"E_NOTIMPL"},
      {E_OUTOFMEMORY, L"E_OUTOFMEMORY"},
      {static_cast<HRESULT>(0x80040454), L"0x80040454"},
      {S_FALSE, L"0x1"},
  };
  for (const auto& c : cases) EXPECT_EQ(HrAttributeValue(c.code), c.expected);
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

TEST(ErrorRecordTest, MessageTextUsesTheSystemTextOrTheUnknownForm) {
  EXPECT_EQ(MessageText(E_INVALIDARG), L"The parameter is incorrect.");
  EXPECT_EQ(MessageText(static_cast<HRESULT>(0x8004abcd)), L"Unknown error 0x8004ABCD");
}

}  // namespace
}  // namespace ovc
