#include "ovcbridgesvcs/apps/auto_wrap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/com_object.h"
#include "automation/error_info.h"
#include "tests/automation/value_object.h"

namespace ovc::apps {
namespace {

constexpr CLSID kSource = MakeGuid("38000207-BF26-11D5-A6FE-0002A500E8F9");

// Knows the members "Value" (DISPID 0) and "Count" (7); records each call.
class RecordingTarget final : public values_testing::UntypedDispatch<> {
 public:
  HRESULT GetIDsOfNames(const IID&, const std::wstring* names, uint32_t, LCID,
                        DISPID* ids) override {
    ++lookups;
    *ids = names[0] == L"Value" ? 0 : names[0] == L"Count" ? 7 : DISPID_UNKNOWN;
    return *ids == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT Invoke(DISPID id, const IID&, LCID, uint16_t flags, DISPPARAMS* params, Variant* result,
                 EXCEPINFO*, uint32_t*) override {
    last_id = id;
    last_flags = flags;
    last_args.assign(params->args, params->args + params->count);
    named.assign(params->named_ids, params->named_ids + params->named_count);
    if (result != nullptr) *result = Variant(int32_t{42});
    if (id == 7 && flags == DISPATCH_PROPERTYPUT) {
      SetErrorInfo(CreateErrorInfo(L"read-only property", L"Engine"));
      return DISP_E_EXCEPTION;
    }
    return S_OK;
  }

  int lookups = 0;
  DISPID last_id = DISPID_UNKNOWN;
  uint16_t last_flags = 0;
  std::vector<Variant> last_args;
  std::vector<DISPID> named;
};

TEST(AutoWrapTest, CallsByKindWithArgumentsReversedAndResolvesEachKnownNameOnce) {
  const ComPtr<RecordingTarget> target = MakeObject<RecordingTarget>();
  DispIdCell value_cell;
  Variant result;
  for (int call = 0; call < 2; ++call) {
    ASSERT_EQ(AutoWrap(CallKind::kMethod, &result, target.get(), value_cell, L"Value",
                       {Variant(int32_t{1}), Variant(L"b")}, kSource),
              S_OK);
  }
  EXPECT_EQ(target->lookups, 1);
  EXPECT_EQ(result, Variant(int32_t{42}));
  EXPECT_EQ(target->last_id, 0);
  EXPECT_EQ(target->last_flags, DISPATCH_METHOD);
  EXPECT_EQ(target->last_args, (std::vector<Variant>{Variant(L"b"), Variant(int32_t{1})}));
  EXPECT_TRUE(target->named.empty());

  // A put of a member that fails: Invoke's status, the target's own error.
  DispIdCell count_cell;
  EXPECT_EQ(AutoWrap(CallKind::kPut, nullptr, target.get(), count_cell, L"Count",
                     {Variant(int32_t{3})}, kSource),
            DISP_E_EXCEPTION);
  EXPECT_EQ(target->lookups, 2);
  EXPECT_EQ(target->named, std::vector<DISPID>{DISPID_PROPERTYPUT});
  EXPECT_EQ(TakeErrorDescription(), L"read-only property");

  // An unknown name is looked up again on each call.
  DispIdCell unknown_cell;
  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(AutoWrap(CallKind::kGet, nullptr, target.get(), unknown_cell, L"Nope", {}, kSource),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(TakeErrorDescription(),
              L"IDispatch::GetIDsOfNames(\"Nope\") failed w/err 0x80020006  App Terminated by "
              L"User?");
  }
  EXPECT_EQ(target->lookups, 4);
}

}  // namespace
}  // namespace ovc::apps
