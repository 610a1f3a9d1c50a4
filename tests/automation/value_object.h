#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "automation/class_registry.h"
#include "automation/com_object.h"
#include "automation/dispatch.h"
#include "automation/variant.h"

namespace ovc::values_testing {

// A dispatch interface I (IDispatch or one derived from it) that describes
// no type and knows no names: test objects reached only through Invoke.
template <class I = IDispatch>
class UntypedDispatch : public ComObject<I> {
 public:
  HRESULT GetTypeInfoCount(uint32_t* count) override { return *count = 0, S_OK; }
  HRESULT GetTypeInfo(uint32_t, LCID, const InterfaceInfo**) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT GetIDsOfNames(const IID&, const std::wstring*, uint32_t, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
};

// A dispatch object whose default property (DISPID_VALUE) answers `value`,
// or fails with `failure` when that is set. Counts the default-value reads.
class ValueObject : public UntypedDispatch<> {
 public:
  explicit ValueObject(Variant value, HRESULT failure = S_OK)
      : value_(std::move(value)), failure_(failure) {}
  HRESULT Invoke(DISPID id, const IID&, LCID, uint16_t flags, DISPPARAMS* params, Variant* result,
                 EXCEPINFO*, uint32_t*) override {
    if (id != DISPID_VALUE || flags != DISPATCH_PROPERTYGET) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr || params->count != 0) return DISP_E_BADPARAMCOUNT;
    ++reads_;
    if (Failed(failure_)) return failure_;
    *result = value_;
    return S_OK;
  }

  int reads() const { return reads_; }

  // The current reference count, read without changing it.
  uint32_t references() {
    const uint32_t count = AddRef();
    Release();
    return count - 1;
  }

 private:
  Variant value_;
  HRESULT failure_;
  int reads_ = 0;
};

// The class object of a server library: makes default-constructed objects
// of class T and refuses aggregation.
template <class T>
class ClassObject final : public ComObject<IClassFactory> {
 public:
  HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return CreateObject<T>(iid, object);
  }
  HRESULT LockServer(bool) override { return S_OK; }
};

}  // namespace ovc::values_testing
