#include "ovcbridgesvcs/frame/report_error.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

constexpr IID kSomeInterface = MakeGuid("11111111-2222-3333-4444-555555555555");

struct Reported {
  std::wstring description;
  std::wstring source;
  GUID iid;
};

// Takes the thread's error object, which the report must have set.
Reported TakeReport() {
  const ComPtr<IErrorInfo> error = GetErrorInfo();
  Reported reported{};
  EXPECT_TRUE(error);
  if (!error) return reported;
  error->GetDescription(&reported.description);
  error->GetSource(&reported.source);
  error->GetGUID(&reported.iid);
  return reported;
}

class ReportErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(nullptr); }
  void TearDown() override { SetErrorInfo(nullptr); }
};

TEST_F(ReportErrorTest, MessageNumberGivesItsInterfaceCodeAndText) {
  EXPECT_EQ(ReportError(CLSID_Bridge, 1108), static_cast<HRESULT>(0x80040000 + 1108));
  const Reported reported = TakeReport();
  EXPECT_EQ(reported.description, L"Bridge Collection:  LinkSet index is out of range");
  EXPECT_EQ(reported.source, L"OVCBridgeSvcs.Bridge.380");
  EXPECT_EQ(reported.iid, IID_NULL);
}

TEST_F(ReportErrorTest, SourceIsTheVersionedProgIdOfEachClass) {
  const struct {
    CLSID clsid;
    const wchar_t* source;
  } cases[] = {
      {CLSID_Bridge, L"OVCBridgeSvcs.Bridge.380"},
      {CLSID_LinkSet, L"OVCBridgeSvcs.LinkSet.380"},
      {CLSID_Link, L"OVCBridgeSvcs.Link.380"},
      {CLSID_AppCollection, L"OVCBridgeSvcs.AppCollection.380"},
      {CLSID_App, L"OVCBridgeSvcs.App.380"},
      {CLSID_WordApp, L"OVCBridgeSvcs.WordApp.380"},
      {CLSID_ExcelApp, L"OVCBridgeSvcs.ExcelApp.380"},
      {CLSID_Orvan, L"OVCBridgeSvcs.Orvan.380"},
      {kSomeInterface, L""},
  };
  for (const auto& c : cases) {
    ReportError(c.clsid, 1205);
    EXPECT_EQ(TakeReport().source, c.source);
  }
}

TEST_F(ReportErrorTest, TextGivesDispatchExceptionCode) {
  EXPECT_EQ(ReportError(CLSID_Orvan, L"Invalid workspace.\nFailed to Create Bridge."),
            DISP_E_EXCEPTION);
  const Reported reported = TakeReport();
  EXPECT_EQ(reported.description, L"Invalid workspace.\nFailed to Create Bridge.");
  EXPECT_EQ(reported.source, L"OVCBridgeSvcs.Orvan.380");
}

TEST_F(ReportErrorTest, GivenCodeAndInterfaceAreKept) {
  EXPECT_EQ(ReportError(CLSID_App, 1205, kSomeInterface, E_FAIL), E_FAIL);
  const Reported by_number = TakeReport();
  EXPECT_EQ(by_number.description, L"App Error:  Application file not set.");
  EXPECT_EQ(by_number.iid, kSomeInterface);

  EXPECT_EQ(ReportError(CLSID_App, L"text", IID_NULL, E_INVALIDARG), E_INVALIDARG);
  EXPECT_EQ(TakeReport().description, L"text");
}

TEST_F(ReportErrorTest, UnknownNumberReportsUnknownError) {
  EXPECT_EQ(ReportError(CLSID_Link, 1282), static_cast<HRESULT>(0x80040000 + 1282));
  EXPECT_EQ(TakeReport().description, L"Unknown Error");
}

}  // namespace
}  // namespace ovc
