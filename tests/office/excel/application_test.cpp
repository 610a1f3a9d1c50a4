#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "office/common/macro_registry.h"
#include "office/excel/excel.h"
#include "tests/office/excel/workbook_fixture.h"

namespace ovc::excel {
namespace {

using testing::GetObject;
using testing::NewApplication;

TEST(ApplicationTest, StateIsKeptPerApplicationAndBadValuesAreRefused) {
  struct Case {
    const wchar_t* member;
    Variant initial;
    Variant put;
    HRESULT put_status;
    uint16_t put_flags = DISPATCH_PROPERTYPUT;
  };
  const Case cases[] = {
      {L"Visible", Variant::Bool(false), Variant::Bool(true), S_OK},
      {L"ScreenUpdating", Variant::Bool(true), Variant::Bool(false), S_OK},
      {L"WindowState", Variant::I4(-4143), Variant::I4(-4137), S_OK},
      {L"WindowState", Variant::I4(-4143), Variant::I4(1), E_INVALIDARG},
      {L"Calculation", Variant::I4(-4105), Variant::I4(-4135), S_OK},
      {L"Calculation", Variant::I4(-4105), Variant::I4(3), E_INVALIDARG},
      {L"Visible", Variant::Bool(false), Variant::Bool(true), DISP_E_MEMBERNOTFOUND,
       DISPATCH_PROPERTYPUTREF},
      {L"Visible", Variant::Bool(false), Variant::Bool(true), S_OK,
       DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.member)));
    ComPtr<IDispatch> first = NewApplication();
    ComPtr<IDispatch> second = NewApplication();
    ASSERT_TRUE(first && second);
    ASSERT_NE(first.get(), second.get());
    EXPECT_EQ(CallByName(first.get(), c.member, c.put_flags, {c.put}), c.put_status);
    Variant first_value, second_value;
    ASSERT_EQ(CallByName(first.get(), c.member, DISPATCH_PROPERTYGET, {}, &first_value), S_OK);
    ASSERT_EQ(CallByName(second.get(), c.member, DISPATCH_PROPERTYGET, {}, &second_value), S_OK);
    EXPECT_EQ(first_value, Succeeded(c.put_status) ? c.put : c.initial);
    EXPECT_EQ(second_value, c.initial);
  }
}

TEST(ApplicationTest, IsServedAsALocalServerToo) {
  ASSERT_TRUE(NewApplication());
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
  ComPtr<IDispatch> application;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IDispatch::kIid,
                             application.ReceiveVoid()),
            S_OK);
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    office::RegisterMacro(L"Twice", [this](IDispatch* application,
                                           std::span<const Variant> arguments, Variant* result) {
      seen_application_ = application;
      seen_arguments_.assign(arguments.begin(), arguments.end());
      // A macro may call back into the application that runs it.
      Variant visible;
      const HRESULT hr = CallByName(application, L"Visible", DISPATCH_PROPERTYGET, {}, &visible);
      if (Failed(hr)) return hr;
      *result = Variant::I4(arguments.empty() ? 0 : 2 * arguments[0].i4());
      return S_OK;
    });
    office::RegisterMacro(L"Broken",
                          [](IDispatch*, std::span<const Variant>, Variant*) { return E_FAIL; });
  }
  void TearDown() override {
    office::UnregisterMacro(L"Twice");
    office::UnregisterMacro(L"Broken");
  }

  ComPtr<IDispatch> application_ = NewApplication();
  IDispatch* seen_application_ = nullptr;
  std::vector<Variant> seen_arguments_;
};

TEST_F(RunTest, RunsARegisteredMacroWithTheApplicationAndTheGivenArguments) {
  Variant result;
  ASSERT_EQ(CallByName(application_.get(), L"Run", DISPATCH_METHOD,
                       {Variant(L"Twice"), Variant(21), Variant::Missing()}, &result),
            S_OK);
  EXPECT_EQ(result, Variant::I4(42));
  EXPECT_EQ(seen_application_, application_.get());
  EXPECT_EQ(seen_arguments_, std::vector<Variant>{Variant(21)});
}

TEST_F(RunTest, AnythingButAnExactRegisteredNameIsNotAvailable) {
  for (const wchar_t* name : {L"twice", L"[Book.xlsx]Twice", L"Book.xlsm!Twice", L"/tmp/x.xlsm"}) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(name)));
    EXPECT_EQ(CallByName(application_.get(), L"Run", DISPATCH_METHOD, {Variant(name)}), E_NOTIMPL);
    ComPtr<IErrorInfo> error = GetErrorInfo();
    EXPECT_EQ(DescriptionOf(error.get()),
              L"macro '" + std::wstring(name) +
                  L"' not available: only macros registered by the embedding program run");
    EXPECT_EQ(SourceOf(error.get()), L"Excel.Application");
  }
}

TEST_F(RunTest, AFailingMacroFailsRunNamingIt) {
  EXPECT_EQ(CallByName(application_.get(), L"Run", DISPATCH_METHOD, {Variant(L"Broken")}), E_FAIL);
  EXPECT_EQ(DescriptionOf(GetErrorInfo().get()), L"macro 'Broken' failed");
}

TEST(ApplicationTest, AfterQuitTheApplicationAndItsObjectsAreDisconnected) {
  ComPtr<IDispatch> application = NewApplication();
  ComPtr<IDispatch> workbooks = GetObject(application.get(), L"Workbooks");
  ASSERT_TRUE(workbooks);
  ASSERT_EQ(CallByName(application.get(), L"Quit", DISPATCH_METHOD), S_OK);
  Variant value;
  EXPECT_EQ(CallByName(application.get(), L"Visible", DISPATCH_PROPERTYGET, {}, &value),
            RPC_E_DISCONNECTED);
  GUID iid{};
  ComPtr<IErrorInfo> error = GetErrorInfo();
  ASSERT_TRUE(error);
  error->GetGUID(&iid);
  EXPECT_EQ(iid, IApplication::kIid);
  EXPECT_EQ(CallByName(workbooks.get(), L"Count", DISPATCH_PROPERTYGET, {}, &value),
            RPC_E_DISCONNECTED);
}

}  // namespace
}  // namespace ovc::excel
