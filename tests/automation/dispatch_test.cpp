#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "automation/error_info.h"
#include "tests/automation/counter.h"
#include "tests/automation/late_bound.h"

namespace ovc {
namespace {

using dispatch_testing::LateBound;
using testing::Counter;

class DispatchTest : public ::testing::Test {
 protected:
  ComPtr<Counter> counter_ = MakeObject<Counter>();
  LateBound object_{ComPtr<IDispatch>(counter_)};
};

// Each call goes to a fresh counter.
TEST_F(DispatchTest, ArgumentsAreConvertedDefaultedOrRefusedWithTheDispatchCodes) {
  constexpr uint16_t kCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  const struct {
    const wchar_t* member;
    uint16_t flags;
    std::vector<Variant> args;
    HRESULT status;
    Variant result;
  } cases[] = {
      {L"Add", DISPATCH_PROPERTYGET, {Variant(2), Variant(1)}, S_OK, Variant::I4(2)},
      {L"Fail", DISPATCH_PROPERTYGET, {Variant(L"x")}, DISP_E_MEMBERNOTFOUND, Variant()},
      {L"Echo", kCall, {}, S_OK, Variant::Missing()},
      {L"Add", kCall, {Variant(1), Variant(2), Variant(3)}, DISP_E_BADPARAMCOUNT, Variant()},
      {L"Add", kCall, {Variant(1e12)}, DISP_E_OVERFLOW, Variant()},
      {L"Add", kCall, {Variant::I8(3), Variant::Cy(CY{15000})}, S_OK, Variant::I4(6)},
      {L"Add", kCall, {Variant::I8(int64_t{1} << 31)}, DISP_E_OVERFLOW, Variant()},
      {L"Halve", kCall, {Variant::I8((int64_t{1} << 53) + 2)}, S_OK, Variant::R8(0x1p52 + 1)},
      {L"Halve", kCall, {Variant::Cy(CY{50001})}, S_OK, Variant::R8(2.50005)},
  };
  for (const auto& c : cases) {
    LateBound object(ComPtr<IDispatch>(MakeObject<Counter>()));
    Variant result;
    EXPECT_EQ(object.Invoke(c.member, c.flags, c.args, &result), c.status) << ToUtf8(c.member);
    EXPECT_EQ(result, c.result) << ToUtf8(c.member);
  }
  EXPECT_EQ(object_.Call(L"Add", {Variant(L"many"), Variant(1)}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(object_.arg_error(), 1u);  // the first argument is the last in reversed order
  VARIANT_BOOL flag = VARIANT_FALSE;
  ASSERT_EQ(object_.Call(L"Flip", {Variant::ByRef(VT_BOOL, &flag)}), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE) << "a pointer argument passes through";
  // Interface arguments keep reference counts balanced.
  ComPtr<Counter> other = MakeObject<Counter>();
  EXPECT_EQ(object_.Get(L"Adopt", {Variant(static_cast<IDispatch*>(other.get()))}).dispatch(),
            static_cast<IDispatch*>(other.get()));
  EXPECT_EQ(other->AddRef(), 2u);
  other->Release();
}

TEST_F(DispatchTest, CallsByNameThatFailBeforeTheMemberStillDescribeTheFailure) {
  EXCEPINFO error;
  EXPECT_EQ(CallByName(nullptr, L"Add", DISPATCH_METHOD, {}, nullptr, &error), E_POINTER);
  EXPECT_EQ(error.description, L"Invalid pointer");
  EXPECT_EQ(CallByName(counter_.get(), L"Nope", DISPATCH_METHOD, {}, nullptr, &error),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(error.scode, DISP_E_UNKNOWNNAME);
  EXPECT_EQ(error.description, L"Unknown name.");
}

TEST_F(DispatchTest, NamedArgumentsMapToParameterPositions) {
  const std::wstring names[] = {L"Add", L"times", L"amount"};
  DISPID ids[3];
  ASSERT_EQ(counter_->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids[2], 0);
  Variant args[] = {Variant(3), Variant(5)};  // times = 3, amount = 5
  DISPID named[] = {ids[1], ids[2]};
  DISPPARAMS params{args, named, 2, 2};
  Variant total;
  ASSERT_EQ(
      counter_->Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, &params, &total, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(total, Variant::I4(15));
}

// A counter whose Label setter throws what the test gives it.
class ThrowingCounter final : public Counter {
 public:
  explicit ThrowingCounter(std::function<void()> raise) : raise_(std::move(raise)) {}
  HRESULT put_Label(const std::wstring&) override {
    raise_();
    return S_OK;
  }

 private:
  std::function<void()> raise_;
};

TEST_F(DispatchTest, ExceptionOfAMemberEndsAsItsStatusWithAnErrorObject) {
  const struct {
    std::function<void()> raise;
    HRESULT code;
    const wchar_t* description;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, E_OUTOFMEMORY,
       L"Not enough memory resources are available to complete this operation."},
      {[] { throw std::runtime_error("disk on fire"); }, E_UNEXPECTED,
       L"Unhandled C++ exception (std::runtime_error): disk on fire"},
      {[] { throw 42; }, E_UNEXPECTED, L"Unhandled C++ exception (int)"},
  };
  for (const auto& c : cases) {
    LateBound object(ComPtr<IDispatch>(MakeObject<ThrowingCounter>(c.raise)));
    EXPECT_EQ(object.Put(L"Label", Variant(L"x")), c.code);
    EXPECT_EQ(object.error().scode, c.code);
    EXPECT_EQ(object.error().description, c.description);
    EXPECT_EQ(object.error().source, L"ICounter");
    EXPECT_EQ(TakeErrorDescription(), c.description) << "left on the thread";
  }
}

}  // namespace
}  // namespace ovc
