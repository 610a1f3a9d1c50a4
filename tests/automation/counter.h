#pragma once

#include <string>
#include <utility>
#include <vector>

#include "automation/com_object.h"
#include "automation/dispatch_impl.h"
#include "automation/enum_variant.h"
#include "automation/error_info.h"
#include "tests/automation/dispatch_test.h"

namespace ovc::testing {

// A small dual object exercising every kind of parameter the dispatcher
// handles; the tests of the dispatcher and of the Python module call it.
class Counter : public ComObject<DispatchImpl<ICounter>> {
 public:
  HRESULT get_Value(int32_t* value) override { return *value = value_, S_OK; }
  HRESULT put_Value(int32_t value) override { return value_ = value, S_OK; }
  HRESULT Add(int32_t amount, int32_t times, int32_t* total) override {
    return *total = value_ += amount * times, S_OK;
  }
  HRESULT Describe(const std::wstring& prefix, std::wstring* text, VARIANT_BOOL* even,
                   double* half) override {
    *text = prefix + std::to_wstring(value_);
    *even = value_ % 2 == 0 ? VARIANT_TRUE : VARIANT_FALSE;
    *half = value_ / 2.0;
    return S_OK;
  }
  HRESULT get_Label(std::wstring* label) override { return *label = label_, S_OK; }
  HRESULT put_Label(const std::wstring& label) override { return label_ = label, S_OK; }
  HRESULT Echo(const Variant& value, Variant* result) override { return *result = value, S_OK; }
  HRESULT Paint(Shade shade, Shade* previous) override {
    return *previous = std::exchange(shade_, shade), S_OK;
  }
  HRESULT Flip(VARIANT_BOOL* flag) override {
    return *flag = *flag ? VARIANT_FALSE : VARIANT_TRUE, S_OK;
  }
  HRESULT Adopt(IDispatch* other, IDispatch** same) override {
    if (other == nullptr) return E_POINTER;
    other->AddRef();
    *same = other;
    return S_OK;
  }
  HRESULT Fail(const std::wstring& description) override {
    SetErrorInfo(CreateErrorInfo(description, L"Counter", ICounter::kIid));
    return E_FAIL;
  }
  // Count and _NewEnum present the numbers 1 to Value.
  HRESULT get_Count(int32_t* count) override { return *count = value_, S_OK; }
  HRESULT get__NewEnum(IUnknown** enumerator) override {
    std::vector<Variant> numbers;
    for (int32_t i = 1; i <= value_; ++i) numbers.push_back(Variant::I4(i));
    *enumerator = CreateVariantEnumerator(std::move(numbers)).Detach();
    return S_OK;
  }
  HRESULT Stamp(DATE when, DATE* later) override { return *later = when + 1, S_OK; }
  HRESULT Halve(double value, double* half) override { return *half = value / 2, S_OK; }

 private:
  int32_t value_ = 0;
  std::wstring label_;
  Shade shade_ = shLight;
};

}  // namespace ovc::testing
