#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/class_registry.h"
#include "automation/dispatch.h"
#include "automation/late_call.h"
#include "automation/text.h"

namespace ovc::dispatch_testing {

// An object driven by name, as late-bound clients and scripts drive it:
// arguments given in natural order are passed reversed. Each call keeps
// what a failure reported (code, description, source, argument).
class LateBound {
 public:
  LateBound() = default;
  explicit LateBound(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // A new object of a registered class; empty (with a failed expectation)
  // when it cannot be created.
  static LateBound Create(std::wstring_view prog_id) {
    ComPtr<IDispatch> object;
    EXPECT_EQ(CreateObject(prog_id, &object), S_OK) << "cannot create " << ToUtf8(prog_id);
    return LateBound(std::move(object));
  }

  // The object as an argument.
  Variant AsArgument() const { return Variant(object_.get()); }

  // Calls a method or reads a property; [out] arguments are passed as
  // Variant::ByRef.
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
  // The position (reversed) of the argument the last call failed on.
  uint32_t arg_error() const { return arg_error_; }

  // Calls `member` with the dispatch `flags` given.
  HRESULT Invoke(std::wstring_view member, uint16_t flags, std::vector<Variant> args,
                 Variant* result) {
    arg_error_ = 99;
    return CallByName(object_.get(), member, flags, std::move(args), result, &error_, &arg_error_);
  }

 private:
  ComPtr<IDispatch> object_;
  EXCEPINFO error_;
  uint32_t arg_error_ = 99;
};

}  // namespace ovc::dispatch_testing
