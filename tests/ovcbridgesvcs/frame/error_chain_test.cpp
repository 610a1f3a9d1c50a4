#include "ovcbridgesvcs/frame/error_chain.h"

#include <gtest/gtest.h>

#include <source_location>
#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/guid.h"
#include "tests/ovcbridgesvcs/frame/trace_capture.h"

namespace ovc {
namespace {

constexpr HRESULT kHostFailure = static_cast<HRESULT>(0x80040321);
constexpr IID kRowsetInterface = MakeGuid("0C733A7C-2A1C-11CE-ADE5-00AA0044773D");

class ErrorChainTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(nullptr); }
  void TearDown() override { SetErrorInfo(nullptr); }
};

TEST_F(ErrorChainTest, ForeignDescriptionIsConvertedAndChainedUnderTheMethodsRecord) {
  SetErrorInfo(CreateErrorInfo(L"Workspace \"main\" is locked", L"Orvan.Workspace"));
  CMethodFrame frame(L"CBridge::Save");
  CheckResult(frame, kHostFailure);
  AddErrorRecord(frame, std::source_location::current());

  EXPECT_EQ(DescriptionOf(frame.error.get()),
            L"<OVError Desc=\"Workspace 'main' is locked\" HR=\"0x80040321\" />\r\n"
            L"<OVError Desc=\"Workspace 'main' is locked\" Src=\"Orvan.Workspace\" "
            L"HR=\"0x80040321\" />");
  EXPECT_EQ(SourceOf(frame.error.get()), L"CBridge::Save");
  EXPECT_EQ(GetErrorInfo(), frame.error) << "the new error is the thread's current one";
}

TEST_F(ErrorChainTest, GivenTextIsTheNewRecordsDescription) {
  SetErrorInfo(CreateErrorInfo(L"<OVError Desc=\"Inner\" HR=\"E_FAIL\" />", L"CLink::Read"));
  CMethodFrame frame(L"CLinkSet::Read", L"reading links");
  CheckResult(frame, E_FAIL);
  AddErrorRecord(frame, std::nullopt, L"Write to application:  ");

  EXPECT_EQ(DescriptionOf(frame.error.get()),
            L"<OVError Desc=\"Write to application:  \" Activity=\"reading links\" HR=\"E_FAIL\" "
            L"/>\r\n<OVError Desc=\"Inner\" HR=\"E_FAIL\" />");
}

TEST_F(ErrorChainTest, ShortForeignTextIsChainedAsItIs) {
  SetErrorInfo(CreateErrorInfo(L"Locked", L"Host"));
  CMethodFrame frame(L"CBridge::Save");
  CheckResult(frame, E_FAIL);
  AddErrorRecord(frame, std::nullopt);

  EXPECT_EQ(DescriptionOf(frame.error.get()),
            L"<OVError Desc=\"Locked\" HR=\"E_FAIL\" />\r\nLocked");
}

TEST_F(ErrorChainTest, WithoutDescriptionTheCodesTextIsUsed) {
  const struct {
    const wchar_t* activity;
    HRESULT code;
    const wchar_t* expected;
  } cases[] = {
      {L"", kHostFailure, L"<OVError Desc=\"Unknown error 0x80040321\" HR=\"0x80040321\" />"},
      {L"", E_ACCESSDENIED, L"<OVError Desc=\"Access is denied.\" HR=\"E_ACCESSDENIED\" />"},
      {L"saving \"B1\"", kHostFailure,
       L"<OVError Desc=\"Error while saving 'B1' (Unknown error 0x80040321)\" "
       L"Activity=\"saving 'B1'\" HR=\"0x80040321\" />"},
  };
  for (const auto& c : cases) {
    SetErrorInfo(nullptr);
    CMethodFrame frame(L"CBridge::Save", c.activity);
    CheckResult(frame, c.code);
    AddErrorRecord(frame, std::nullopt);
    EXPECT_EQ(DescriptionOf(frame.error.get()), c.expected);
  }
}

TEST_F(ErrorChainTest, ErrorRecordsBecomeOneRecordEach) {
  std::vector<ComPtr<IErrorInfo>> records{
      CreateErrorInfo(L"Row 1 violates a constraint", L"SQL Provider"),
      CreateErrorInfo(L"", L"", kRowsetInterface),
  };
  SetErrorInfo(CreateErrorRecords(std::move(records)));
  CMethodFrame frame(L"CBridge::Open");
  CheckResult(frame, E_FAIL);
  AddErrorRecord(frame, std::nullopt);

  EXPECT_EQ(DescriptionOf(frame.error.get()),
            L"<OVError Desc=\"Row 1 violates a constraint\" HR=\"E_FAIL\" />\r\n"
            L"<OVError Desc=\"Row 1 violates a constraint\" Src=\"SQL Provider\" HR=\"E_FAIL\" />"
            L"\r\n<OVError Desc=\"OLEDB Interface::{0C733A7C-2A1C-11CE-ADE5-00AA0044773D}\" "
            L"HR=\"E_FAIL\" />");
}

TEST_F(ErrorChainTest, ConvertForeignErrorKeepsSourceAndInterface) {
  const ComPtr<IErrorInfo> foreign = CreateErrorInfo(L"", L"Excel", kRowsetInterface);
  const ComPtr<IErrorInfo> converted = ConvertForeignError(foreign.get(), E_INVALIDARG);
  EXPECT_EQ(DescriptionOf(converted.get()),
            L"<OVError Desc=\"The parameter is incorrect.\" Src=\"Excel\" HR=\"E_INVALIDARG\" />");
  EXPECT_EQ(SourceOf(converted.get()), L"Excel");
  GUID iid{};
  converted->GetGUID(&iid);
  EXPECT_EQ(iid, kRowsetInterface);
}

TEST_F(ErrorChainTest, SuccessAddsNoRecordButKeepsTheChain) {
  CMethodFrame frame(L"CBridge::Save");
  AddErrorRecord(frame, std::nullopt);
  EXPECT_FALSE(frame.error);

  frame.error = CreateErrorInfo(L"<OVError Desc=\"Old\" HR=\"E_FAIL\" />", L"Old::Source");
  AddErrorRecord(frame, std::nullopt);
  EXPECT_EQ(DescriptionOf(frame.error.get()), L"<OVError Desc=\"Old\" HR=\"E_FAIL\" />");
  EXPECT_EQ(SourceOf(frame.error.get()), L"CBridge::Save");
}

TEST_F(ErrorChainTest, WithoutMethodNameThePreviousSourceStays) {
  CMethodFrame frame(L"");
  CheckResult(frame, E_FAIL);
  frame.error = CreateErrorInfo(L"<OVError Desc=\"Old\" HR=\"E_FAIL\" />", L"Old::Source");
  AddErrorRecord(frame, std::nullopt);
  EXPECT_EQ(SourceOf(frame.error.get()), L"Old::Source");
}

TEST_F(ErrorChainTest, RecordAndLocationAreTraced) {
  frame_testing::TraceCapture trace;
  CMethodFrame frame(L"CExcelApp::OpenFile");
  CheckResult(frame, E_FAIL);
  const std::source_location where = std::source_location::current();
  AddErrorRecord(frame, where, L"Error opening Excel file:  ");

  const std::wstring location = L"error_chain_test.cpp(" + std::to_wstring(where.line()) +
                                L") : !!!! OVComException Error !!!!\n";
  const std::vector<std::wstring> lines = trace.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].starts_with(L"&OVCE&/")) << lines[0];
  EXPECT_TRUE(lines[0].ends_with(location)) << lines[0];
  EXPECT_EQ(lines[1],
            L"&OVCE& !!!! <OVError Desc=\"Error opening Excel file:  \" HR=\"E_FAIL\" />\n");
}

TEST_F(ErrorChainTest, SetErrorRecordReplacesTheErrorWithOneFullRecord) {
  CMethodFrame frame(L"CBridge::GetCaseName", L"finding case 7");
  frame.error = CreateErrorInfo(L"<OVError Desc=\"Old\" HR=\"E_FAIL\" />", L"Old");
  const std::source_location where = std::source_location::current();
  SetErrorRecord(frame, E_INVALIDARG, L"Case \"7\" not found", where);

  EXPECT_EQ(frame.hr, E_INVALIDARG);
  EXPECT_EQ(DescriptionOf(frame.error.get()),
            L"<OVError Desc=\"Case '7' not found\" Src=\"CBridge::GetCaseName\" "
            L"Activity=\"finding case 7\" HR=\"E_INVALIDARG\" File=\"frame/error_chain_test.cpp\" "
            L"Line=\"" +
                std::to_wstring(where.line()) + L"\" />");
  EXPECT_EQ(SourceOf(frame.error.get()), L"CBridge::GetCaseName");
}

TEST_F(ErrorChainTest, SetErrorRecordWithoutTextUsesTheActivityForm) {
  CMethodFrame frame(L"CWordApp::GetValue", L"reading bookmark B");
  SetErrorRecord(frame, kHostFailure, L"", std::source_location::current());
  EXPECT_TRUE(DescriptionOf(frame.error.get())
                  .starts_with(L"<OVError Desc=\"Error while reading bookmark B (Unknown error "
                               L"0x80040321)\" Src=\"CWordApp::GetValue\""));
}

}  // namespace
}  // namespace ovc
