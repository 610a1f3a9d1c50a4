#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

#include "automation/error_info.h"
#include "tests/automation/counter.h"

namespace ovc {
namespace {

using testing::Counter;

// Calls a member by name the way late-bound clients do: arguments given in
// natural order are passed reversed.
class DispatchTest : public ::testing::Test {
 protected:
  HRESULT Call(const wchar_t* name, uint16_t flags, std::vector<Variant> args,
               Variant* result = nullptr) {
    DISPID id = DISPID_UNKNOWN;
    const std::wstring member(name);
    HRESULT hr = counter_->GetIDsOfNames(IID_NULL, &member, 1, 0, &id);
    if (Failed(hr)) return hr;
    std::vector<Variant> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
      params.named_ids = &put;
      params.named_count = 1;
    }
    arg_error_ = 99;
    return counter_->Invoke(id, IID_NULL, 0, flags, &params, result, &exception_, &arg_error_);
  }

  ComPtr<Counter> counter_ = MakeObject<Counter>();
  EXCEPINFO exception_;
  uint32_t arg_error_ = 99;
};

TEST_F(DispatchTest, PropertiesGetAndPutByNameWithoutRegardToCase) {
  ASSERT_EQ(Call(L"value", DISPATCH_PROPERTYPUT, {Variant(L"42")}), S_OK);
  Variant value;
  ASSERT_EQ(Call(L"VALUE", DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, &value), S_OK);
  EXPECT_EQ(value, Variant::I4(42));
}

TEST_F(DispatchTest, PropertyGetReachesMethodsThatReturnAValueOnly) {
  Variant total;
  ASSERT_EQ(Call(L"Add", DISPATCH_PROPERTYGET, {Variant(2), Variant(1)}, &total), S_OK);
  EXPECT_EQ(total, Variant::I4(2));
  EXPECT_EQ(Call(L"Fail", DISPATCH_PROPERTYGET, {Variant(L"x")}), DISP_E_MEMBERNOTFOUND);
}

TEST_F(DispatchTest, OptionalArgumentsTakeTheirDefaultsWhenOmittedOrMissing) {
  Variant total;
  ASSERT_EQ(Call(L"Add", DISPATCH_METHOD, {Variant(3)}, &total), S_OK);
  EXPECT_EQ(total, Variant::I4(30));
  ASSERT_EQ(Call(L"Add", DISPATCH_METHOD, {Variant(1), Variant::Missing()}, &total), S_OK);
  EXPECT_EQ(total, Variant::I4(40));
  ASSERT_EQ(Call(L"Add", DISPATCH_METHOD, {Variant(1), Variant::I2(2)}, &total), S_OK);
  EXPECT_EQ(total, Variant::I4(42));
  Variant echoed;
  ASSERT_EQ(Call(L"Echo", DISPATCH_METHOD, {}, &echoed), S_OK);
  EXPECT_TRUE(echoed.IsMissing());
}

TEST_F(DispatchTest, OutArgumentsAreStoredThroughReferences) {
  counter_->put_Value(7);
  std::wstring text;
  VARIANT_BOOL even = VARIANT_TRUE;
  Variant half;
  ASSERT_EQ(
      Call(L"Describe", DISPATCH_METHOD,
           {Variant(L"n="), Variant::ByRef(VT_BSTR, &text), Variant::ByRef(VT_BOOL, &even)}, &half),
      S_OK);
  EXPECT_EQ(text, L"n=7");
  EXPECT_EQ(even, VARIANT_FALSE);
  EXPECT_EQ(half, Variant::R8(3.5));

  Variant text_variant;
  Variant even_variant;
  ASSERT_EQ(Call(L"Describe", DISPATCH_METHOD,
                 {Variant(L""), Variant::ByRef(&text_variant), Variant::ByRef(&even_variant)}),
            S_OK);
  EXPECT_EQ(text_variant, Variant(L"7"));
  EXPECT_EQ(even_variant, Variant::Bool(false));
}

TEST_F(DispatchTest, InPointersAndEnumerationsPassThrough) {
  VARIANT_BOOL flag = VARIANT_FALSE;
  ASSERT_EQ(Call(L"Flip", DISPATCH_METHOD, {Variant::ByRef(VT_BOOL, &flag)}), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  Variant previous;
  ASSERT_EQ(Call(L"Paint", DISPATCH_METHOD, {Variant(L"-1")}, &previous), S_OK);
  EXPECT_EQ(previous, Variant::I4(shLight));
  ASSERT_EQ(Call(L"Paint", DISPATCH_METHOD, {Variant(1)}, &previous), S_OK);
  EXPECT_EQ(previous, Variant::I4(shDark));
}

TEST_F(DispatchTest, InterfaceArgumentsKeepReferenceCountsBalanced) {
  ComPtr<Counter> other = MakeObject<Counter>();
  {
    Variant same;
    ASSERT_EQ(
        Call(L"Adopt", DISPATCH_METHOD, {Variant(static_cast<IDispatch*>(other.get()))}, &same),
        S_OK);
    EXPECT_EQ(same.dispatch(), static_cast<IDispatch*>(other.get()));
  }
  EXPECT_EQ(other->AddRef(), 2u);
  other->Release();
  EXPECT_EQ(Call(L"Adopt", DISPATCH_METHOD, {Variant()}), E_POINTER);
}

TEST_F(DispatchTest, BadCallsAreRefusedWithTheDispatchCodes) {
  EXPECT_EQ(Call(L"NoSuchMember", DISPATCH_METHOD, {}), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(Call(L"Add", DISPATCH_METHOD, {}), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_EQ(Call(L"Add", DISPATCH_METHOD, {Variant(1), Variant(2), Variant(3)}),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(L"Add", DISPATCH_METHOD, {Variant(L"many"), Variant(1)}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(arg_error_, 1u);  // the first argument is the last in reversed order
  EXPECT_EQ(Call(L"Add", DISPATCH_METHOD, {Variant(1e12)}), DISP_E_OVERFLOW);
}

TEST_F(DispatchTest, FailingMembersReturnTheirCodeAndKeepTheErrorObject) {
  EXPECT_EQ(Call(L"Fail", DISPATCH_METHOD, {Variant(L"it broke")}), E_FAIL);
  EXPECT_EQ(exception_.scode, E_FAIL);
  EXPECT_EQ(exception_.description, L"it broke");
  EXPECT_EQ(exception_.source, L"Counter");
  ComPtr<IErrorInfo> error = GetErrorInfo();
  ASSERT_TRUE(error);
  std::wstring description;
  error->GetDescription(&description);
  EXPECT_EQ(description, L"it broke");
}

TEST_F(DispatchTest, CollectionsEnumerateThroughNewEnum) {
  counter_->put_Value(3);
  Variant enumerator;
  DISPPARAMS none;
  ASSERT_EQ(counter_->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &enumerator,
                             nullptr, nullptr),
            S_OK);
  ComPtr<IEnumVARIANT> items;
  ASSERT_EQ(enumerator.unknown()->QueryInterface(IEnumVARIANT::kIid, items.ReceiveVoid()), S_OK);
  Variant values[4];
  uint32_t fetched = 0;
  EXPECT_EQ(items->Next(4, values, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(values[2], Variant::I4(3));
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
    counter_ = MakeObject<ThrowingCounter>(c.raise);
    EXPECT_EQ(Call(L"Label", DISPATCH_PROPERTYPUT, {Variant(L"x")}), c.code);
    EXPECT_EQ(exception_.scode, c.code);
    EXPECT_EQ(exception_.description, c.description);
    EXPECT_EQ(exception_.source, L"ICounter");
    EXPECT_EQ(DescriptionOf(GetErrorInfo().get()), c.description) << "left on the thread";
  }
}

}  // namespace
}  // namespace ovc
