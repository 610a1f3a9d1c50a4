#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/dispatch.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "orvan/components/registration.h"
#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan::testing {

// An object driven by name, as scripts drive the host's components. Each
// call keeps what a failure reported (code, description, source).
class LateBound {
 public:
  LateBound() = default;
  explicit LateBound(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // A new object of a registered class; empty (with a failed expectation)
  // when it cannot be created.
  static LateBound Create(std::wstring_view prog_id) {
    ComPtr<IDispatch> object;
    const HRESULT hr = CreateObject(prog_id, &object);
    EXPECT_EQ(hr, S_OK) << "cannot create " << ToUtf8(prog_id);
    return LateBound(std::move(object));
  }

  // The object as an argument.
  Variant AsArgument() const { return Variant(object_.get()); }

  // Calls a method or reads a property with arguments in natural order;
  // [out] arguments are passed as Variant::ByRef.
  HRESULT Call(std::wstring_view member, std::vector<Variant> args = {},
               Variant* result = nullptr) {
    return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args), result);
  }
  HRESULT Put(std::wstring_view member, Variant value) {
    return Invoke(member, DISPATCH_PROPERTYPUT, {std::move(value)}, nullptr);
  }
  // The result of a call that must succeed.
  Variant Get(std::wstring_view member, std::vector<Variant> args = {}) {
    Variant result;
    const HRESULT hr = Call(member, std::move(args), &result);
    EXPECT_EQ(hr, S_OK) << ToUtf8(member) << ": " << ToUtf8(error_.description);
    return result;
  }
  // The object a call that must succeed returns.
  LateBound Object(std::wstring_view member, std::vector<Variant> args = {}) {
    Variant result = Get(member, std::move(args));
    if (result.vt() != VT_DISPATCH) {
      ADD_FAILURE() << ToUtf8(member) << " returned no object";
      return LateBound();
    }
    return LateBound(ComPtr<IDispatch>(result.dispatch()));
  }

  // What the last failing call reported.
  const EXCEPINFO& error() const { return error_; }

 private:
  HRESULT Invoke(std::wstring_view member, uint16_t flags, std::vector<Variant> args,
                 Variant* result) {
    if (!object_) return E_POINTER;
    DISPID id = DISPID_UNKNOWN;
    const std::wstring name(member);
    if (HRESULT hr = object_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id); Failed(hr)) return hr;
    std::vector<Variant> reversed(args.rbegin(), args.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
      params.named_ids = &put;
      params.named_count = 1;
    }
    error_ = EXCEPINFO();
    uint32_t arg_error = 0;
    return object_->Invoke(id, IID_NULL, 0, flags, &params, result, &error_, &arg_error);
  }

  ComPtr<IDispatch> object_;
  EXCEPINFO error_;
};

// The texts of a one-dimensional array of texts.
inline std::vector<std::wstring> Texts(const Variant& array) {
  std::vector<std::wstring> texts;
  if (!array.IsArray()) {
    ADD_FAILURE() << "not an array: " << ToUtf8(VarTypeName(array.vt()));
    return texts;
  }
  for (const Variant& element : array.array().data()) texts.push_back(element.bstr());
  return texts;
}

// The pump workspace of orvan_test_support.h opened through a Workspace
// component by name.
class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegisterOrvanClasses(), S_OK);
    path_ = FromUtf8(dir_.File("plant.orvan"));
    NewPumpStore(dir_);
    workspace_ = LateBound::Create(L"Orvan.Workspace");
    ASSERT_EQ(workspace_.Call(L"Open", {Variant(path_)}), S_OK)
        << ToUtf8(workspace_.error().description);
  }

  TempDir dir_;
  std::wstring path_;
  LateBound workspace_;
};

}  // namespace ovc::orvan::testing
