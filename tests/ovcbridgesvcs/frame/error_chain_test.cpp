#include "ovcbridgesvcs/frame/error_chain.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "automation/guid.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/source_location.h"

namespace ovc {
namespace {

constexpr IID kRowsetInterface = MakeGuid("0C733A7C-2A1C-11CE-ADE5-00AA0044773D");

class ErrorChainTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(nullptr); }
  void TearDown() override { SetErrorInfo(nullptr); }
};

TEST_F(ErrorChainTest, NewRecordGoesInFrontOfTheThreadsError) {
  const struct {
    ComPtr<IErrorInfo> previous;
    const wchar_t* text;
    const wchar_t* chain;
  } cases[] = {
      {CreateErrorInfo(L"Workspace \"main\" is locked", L"Orvan.Workspace"), L"",
       L"<OVError Desc=\"Workspace 'main' is locked\" HR=\"E_FAIL\" />\r\n"
       L"<OVError Desc=\"Workspace 'main' is locked\" Src=\"Orvan.Workspace\" HR=\"E_FAIL\" />"},
      {CreateErrorInfo(L"<OVError Desc=\"Inner\" HR=\"E_FAIL\" />", L"CLink::Read"),
       L"Write to application:  ",
       L"<OVError Desc=\"Write to application:  \" HR=\"E_FAIL\" />\r\n"
       L"<OVError Desc=\"Inner\" HR=\"E_FAIL\" />"},
      {CreateErrorInfo(L"Locked", L"Host"), L"",
       L"<OVError Desc=\"Locked\" HR=\"E_FAIL\" />\r\nLocked"},
      {CreateErrorRecords({CreateErrorInfo(L"Row 1 violates a constraint", L"SQL Provider"),
                           CreateErrorInfo(L"", L"", kRowsetInterface)}),
       L"",
       L"<OVError Desc=\"Row 1 violates a constraint\" HR=\"E_FAIL\" />\r\n"
       L"<OVError Desc=\"Row 1 violates a constraint\" Src=\"SQL Provider\" HR=\"E_FAIL\" />\r\n"
       L"<OVError Desc=\"OLEDB Interface::{0C733A7C-2A1C-11CE-ADE5-00AA0044773D}\" "
       L"HR=\"E_FAIL\" />"},
      {nullptr, L"", L"<OVError Desc=\"Unspecified error\" HR=\"E_FAIL\" />"},
  };
  for (const auto& c : cases) {
    SetErrorInfo(c.previous);
    CMethodFrame frame(L"CBridge::Save");
    CheckResult(frame, E_FAIL);
    AddErrorRecord(frame, std::nullopt, c.text);
    EXPECT_EQ(DescriptionOf(frame.error.get()), c.chain) << ToUtf8(c.chain);
    EXPECT_EQ(SourceOf(frame.error.get()), L"CBridge::Save");
    EXPECT_EQ(GetErrorInfo(), frame.error) << "the new error is the thread's current one";
  }
}

TEST_F(ErrorChainTest, ConvertForeignErrorKeepsSourceAndInterfaceAndSetErrorRecordReplacesIt) {
  const ComPtr<IErrorInfo> foreign = CreateErrorInfo(L"", L"Excel", kRowsetInterface);
  const ComPtr<IErrorInfo> converted = ConvertForeignError(foreign.get(), E_INVALIDARG);
  EXPECT_EQ(DescriptionOf(converted.get()),
            L"<OVError Desc=\"The parameter is incorrect.\" Src=\"Excel\" HR=\"E_INVALIDARG\" />");
  EXPECT_EQ(SourceOf(converted.get()), L"Excel");
  GUID iid{};
  converted->GetGUID(&iid);
  EXPECT_EQ(iid, kRowsetInterface);

  // SetErrorRecord replaces the error with one full record.
  CMethodFrame frame(L"CBridge::GetCaseName");
  frame.activity = L"finding case 7";
  frame.error = CreateErrorInfo(L"<OVError Desc=\"Old\" HR=\"E_FAIL\" />", L"Old");
  const SourceLocation where = SourceLocation::Current();
  SetErrorRecord(frame, E_INVALIDARG, L"Case \"7\" not found", where);
  EXPECT_EQ(frame.hr, E_INVALIDARG);
  EXPECT_EQ(DescriptionOf(frame.error.get()),
            L"<OVError Desc=\"Case '7' not found\" Src=\"CBridge::GetCaseName\" "
            L"Activity=\"finding case 7\" HR=\"E_INVALIDARG\" File=\"frame/error_chain_test.cpp\" "
            L"Line=\"" +
                std::to_wstring(where.line()) + L"\" />");
}

}  // namespace
}  // namespace ovc
