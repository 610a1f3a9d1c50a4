#include "ovcbridgesvcs/frame/error_record.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc {
namespace {

TEST(ErrorRecordTest, WritesAttributesInOrderAndLeavesEmptyOnesOut) {
  const std::wstring record =
      ErrorRecord().Add(L"Desc", L"Bad index").Add(L"Src", L"").Add(L"Activity", L"x").Finish();
  EXPECT_EQ(record, L"<OVError Desc=\"Bad index\" Activity=\"x\" />");
}

TEST(ErrorRecordTest, HrIsAlwaysWritten) {
  EXPECT_EQ(ErrorRecord().AddHr(S_OK).Finish(), L"<OVError HR=\"0x0\" />");
}

TEST(ErrorRecordTest, DoubleQuotesInValuesBecomeSingleQuotes) {
  const std::wstring record = ErrorRecord().Add(L"Desc", L"Range \"Total\" not found").Finish();
  EXPECT_EQ(record, L"<OVError Desc=\"Range 'Total' not found\" />");
}

TEST(ErrorRecordTest, LocationGivesFileAndLine) {
  const std::wstring record = ErrorRecord()
                                  .AddHr(E_FAIL)
                                  .AddLocation(L"/src/ovcbridgesvcs/bridge/bridge.cpp", 217)
                                  .Finish();
  EXPECT_EQ(record, L"<OVError HR=\"E_FAIL\" File=\"bridge/bridge.cpp\" Line=\"217\" />");
}

TEST(ErrorRecordTest, HrAttributeNamesEightCodesAndWritesOthersInLowerHex) {
  const struct {
    HRESULT code;
    const wchar_t* expected;
  } cases[] = {
      {E_NOTIMPL, L"E_NOTIMPL"},
      {E_NOINTERFACE, L"E_NOINTERFACE"},
      {E_POINTER, L"E_POINTER"},
      {E_FAIL, L"E_FAIL"},
      {E_UNEXPECTED, L"E_UNEXPECTED"},
      {E_ACCESSDENIED, L"E_ACCESSDENIED"},
      {E_OUTOFMEMORY, L"E_OUTOFMEMORY"},
      {E_INVALIDARG, L"E_INVALIDARG"},
      // Named by the runtime, but not among the eight.
      {DISP_E_EXCEPTION, L"0x80020009"},
      {E_ABORT, L"0x80004004"},
      {static_cast<HRESULT>(0x80040454), L"0x80040454"},
      {S_FALSE, L"0x1"},
      {S_OK, L"0x0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HrAttributeValue(c.code), c.expected) << std::hex << c.code;
  }
}

TEST(ErrorRecordTest, FileAttributeKeepsTheLastTwoComponents) {
  const struct {
    const wchar_t* path;
    const wchar_t* expected;
  } cases[] = {
      {L"/work/main/ovcbridgesvcs/apps/excelapp.cpp", L"apps/excelapp.cpp"},
      {L"C:\\src\\OVCBridgeSvcs\\wordapp.cpp", L"OVCBridgeSvcs\\wordapp.cpp"},
      {L"apps/excelapp.cpp", L"apps/excelapp.cpp"},
      {L"/excelapp.cpp", L"/excelapp.cpp"},
      {L"excelapp.cpp", L"excelapp.cpp"},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(FileAttributeValue(c.path), c.expected) << c.path;
}

TEST(ErrorRecordTest, ExtractDescFindsTheFirstDescOfAChain) {
  const struct {
    const wchar_t* text;
    const wchar_t* expected;
  } cases[] = {
      {L"Plain foreign text", L"Plain foreign text"},
      {L"", L""},
      {L"<OVError Desc=\"Outer\" HR=\"E_FAIL\" />\r\n<OVError Desc=\"Inner\" HR=\"E_FAIL\" />",
       L"Outer"},
      // The first record has no Desc: the next record's is taken.
      {L"<OVError Activity=\"saving\" HR=\"E_FAIL\" />\r\n<OVError Src=\"x\" Desc=\"Inner\" />",
       L"Inner"},
      // A value that mentions Desc is not an attribute.
      {L"<OVError Src=\"No Desc here\" Desc=\"Real\" />", L"Real"},
      {L"<OVError HR=\"E_FAIL\" />", L""},
      {L"<OVError Desc=\"Unclosed", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractDesc(c.text), c.expected) << c.text;
}

TEST(ErrorRecordTest, IsErrorChainLooksAtTheStartOnly) {
  EXPECT_TRUE(IsErrorChain(L"<OVError HR=\"E_FAIL\" />"));
  EXPECT_FALSE(IsErrorChain(L" <OVError HR=\"E_FAIL\" />"));
  EXPECT_FALSE(IsErrorChain(L"Failed: <OVError"));
}

TEST(ErrorRecordTest, MessageTextUsesTheSystemTextOrTheUnknownForm) {
  EXPECT_EQ(MessageText(E_FAIL), L"Unspecified error");
  EXPECT_EQ(MessageText(E_INVALIDARG), L"The parameter is incorrect.");
  EXPECT_EQ(MessageText(static_cast<HRESULT>(0x80041234)), L"Unknown error 0x80041234");
  EXPECT_EQ(MessageText(static_cast<HRESULT>(0x8004abcd)), L"Unknown error 0x8004ABCD");
  EXPECT_EQ(MessageText(0x1234), L"Unknown error 0x1234");
}

}  // namespace
}  // namespace ovc
