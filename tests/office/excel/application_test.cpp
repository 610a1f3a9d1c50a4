#include <gtest/gtest.h>

#include <algorithm>
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

using testing::NewApplication;
using testing::Object;

TEST(ApplicationTest, StateIsKeptPerApplicationAndQuitDisconnectsItsObjects) {
  const struct Case {
    const wchar_t* member;
    Variant initial;
    Variant put;
    HRESULT put_status;
    uint16_t put_flags = DISPATCH_PROPERTYPUT;
  } cases[] = {
      {L"Visible", Variant::Bool(false), Variant::Bool(true), S_OK},
      {L"WindowState", Variant::I4(-4143), Variant::I4(-4137), S_OK},
      {L"WindowState", Variant::I4(-4143), Variant::I4(1), E_INVALIDARG},
      {L"Calculation", Variant::I4(-4105), Variant::I4(-4135), S_OK},
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

  ComPtr<IDispatch> application = NewApplication();
  ComPtr<IDispatch> workbooks = Object(application.get(), L"Workbooks");
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

TEST(ApplicationTest, IsServedAsALocalServerTooAndRunPassesOnlyTheGivenArguments) {
  ASSERT_TRUE(NewApplication());
  CLSID clsid;
  ASSERT_EQ(CLSIDFromProgID(L"Excel.Application", &clsid), S_OK);
  ComPtr<IDispatch> application;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IDispatch::kIid,
                             application.ReceiveVoid()),
            S_OK);

  // A script's macro is called with the given arguments, missing ones left out.
  std::vector<Variant> seen;
  office::RegisterMacro(L"Keep", [&](IDispatch*, std::span<const Variant> arguments, Variant*) {
    seen.assign(arguments.begin(), arguments.end());
    return S_OK;
  });
  EXPECT_EQ(CallByName(NewApplication().get(), L"Run", DISPATCH_METHOD,
                       {Variant(L"Keep"), Variant(21), Variant::Missing()}),
            S_OK);
  EXPECT_EQ(seen, std::vector<Variant>{Variant(21)});
  office::UnregisterMacro(L"Keep");
}

// A macro that runs itself through Run without end is refused past the
// nesting bound; each run then fails with the refusal as its reason.
TEST(ApplicationTest, RunRefusesMacrosNestedPastTheBound) {
  ComPtr<IDispatch> application = NewApplication();
  ASSERT_TRUE(application);
  int deepest = 0;
  office::RegisterMacro(L"Again", [&](IDispatch* self, std::span<const Variant>, Variant*) {
    static int depth = 0;
    deepest = std::max(deepest, ++depth);
    const HRESULT hr = CallByName(self, L"Run", DISPATCH_METHOD, {Variant(L"Again")});
    --depth;
    return hr;
  });
  EXPECT_EQ(CallByName(application.get(), L"Run", DISPATCH_METHOD, {Variant(L"Again")}), E_FAIL);
  EXPECT_EQ(TakeErrorDescription(),
            L"macro 'Again' not run: more than 64 macro runs inside one another");
  EXPECT_EQ(deepest, office::kMaxMacroNesting);
  office::UnregisterMacro(L"Again");
}

}  // namespace
}  // namespace ovc::excel
