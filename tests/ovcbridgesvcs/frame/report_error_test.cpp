#include "ovcbridgesvcs/frame/report_error.h"

#include <gtest/gtest.h>

#include <functional>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

constexpr IID kSomeInterface = MakeGuid("11111111-2222-3333-4444-555555555555");

TEST(ReportErrorTest, SetsTheMessageWithTheClassAsSource) {
  const struct {
    std::function<HRESULT()> report;
    HRESULT code;
    const wchar_t* description;
    const wchar_t* source;
  } cases[] = {
      {[] { return ReportError(CLSID_Bridge, 1108); }, static_cast<HRESULT>(0x80040000 + 1108),
       L"Bridge Collection:  LinkSet index is out of range", L"OVCBridgeSvcs.Bridge.380"},
      {[] { return ReportError(CLSID_App, 1205, kSomeInterface, E_FAIL); }, E_FAIL,
       L"App Error:  Application file not set.", L"OVCBridgeSvcs.App.380"},
      {[] { return ReportError(CLSID_Link, 1282); }, static_cast<HRESULT>(0x80040000 + 1282),
       L"Unknown Error", L"OVCBridgeSvcs.Link.380"},
      {[] { return ReportError(CLSID_Orvan, L"Invalid workspace."); }, DISP_E_EXCEPTION,
       L"Invalid workspace.", L"OVCBridgeSvcs.Orvan.380"},
      {[] { return ReportError(kSomeInterface, L"text", kSomeInterface, E_INVALIDARG); },
       E_INVALIDARG, L"text", L""},
  };
  for (const auto& c : cases) {
    SetErrorInfo(nullptr);
    EXPECT_EQ(c.report(), c.code) << c.description;
    const ComPtr<IErrorInfo> error = GetErrorInfo();
    EXPECT_EQ(DescriptionOf(error.get()), c.description);
    EXPECT_EQ(SourceOf(error.get()), c.source);
  }
  ReportError(CLSID_App, 1205, kSomeInterface);
  GUID iid{};
  GetErrorInfo()->GetGUID(&iid);
  EXPECT_EQ(iid, kSomeInterface);
  EXPECT_FALSE(FindMessage(0xFFFF));
}

}  // namespace
}  // namespace ovc
