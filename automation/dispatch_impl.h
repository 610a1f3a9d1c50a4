#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "automation/dispatch.h"
#include "automation/type_info.h"
#include "automation/variant.h"

namespace ovc {

// The dispatcher shared by every dual interface: GetIDsOfNames and Invoke
// derived from the interface's description (see IDispatch for the results).
// No C++ exception leaves DispatchInvoke.
HRESULT DispatchGetIDsOfNames(const InterfaceInfo& info, const std::wstring* names, uint32_t count,
                              DISPID* ids);
HRESULT DispatchInvoke(const InterfaceInfo& info, IDispatch* self, DISPID id, uint16_t flags,
                       DISPPARAMS* params, Variant* result, EXCEPINFO* exception,
                       uint32_t* arg_error);

// Implements IDispatch for a dual interface I generated from the type library
// source (I::TypeInfo() describes it).
template <class I>
class DispatchImpl : public I {
 public:
  HRESULT GetTypeInfoCount(uint32_t* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT GetTypeInfo(uint32_t index, LCID, const InterfaceInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = index == 0 ? &I::TypeInfo() : nullptr;
    return index == 0 ? S_OK : TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT GetIDsOfNames(const IID&, const std::wstring* names, uint32_t count, LCID,
                        DISPID* ids) override {
    return DispatchGetIDsOfNames(I::TypeInfo(), names, count, ids);
  }
  HRESULT Invoke(DISPID id, const IID&, LCID, uint16_t flags, DISPPARAMS* params, Variant* result,
                 EXCEPINFO* exception, uint32_t* arg_error) override {
    return DispatchInvoke(I::TypeInfo(), this, id, flags, params, result, exception, arg_error);
  }

 protected:
  ~DispatchImpl() = default;
};

namespace dispatch_detail {

// Moves a value between a prepared argument slot and a C++ parameter. The
// dispatcher has already converted every [in] slot to the parameter's
// variant type and filled every [out] slot with a value of its type, so the
// accessors below cannot fail.
template <class P, class Enable = void>
struct Param;

template <>
struct Param<int32_t> {
  explicit Param(Variant& slot) : value(slot.i4()) {}
  int32_t get() const { return value; }
  void WriteBack() {}
  int32_t value;
};

template <>
struct Param<int16_t> {
  explicit Param(Variant& slot) : value(slot.vt() == VT_BOOL ? slot.boolVal() : slot.i2()) {}
  int16_t get() const { return value; }
  void WriteBack() {}
  int16_t value;
};

template <>
struct Param<double> {
  explicit Param(Variant& slot) : value(slot.vt() == VT_DATE ? slot.date() : slot.r8()) {}
  double get() const { return value; }
  void WriteBack() {}
  double value;
};

template <class E>
struct Param<E, std::enable_if_t<std::is_enum_v<E>>> {
  explicit Param(Variant& slot) : value(static_cast<E>(slot.i4())) {}
  E get() const { return value; }
  void WriteBack() {}
  E value;
};

template <>
struct Param<const std::wstring&> {
  explicit Param(Variant& slot) : slot(slot) {}
  const std::wstring& get() const { return slot.bstr(); }
  void WriteBack() {}
  Variant& slot;
};

template <>
struct Param<const Variant&> {
  explicit Param(Variant& slot) : slot(slot) {}
  const Variant& get() const { return slot; }
  void WriteBack() {}
  Variant& slot;
};

template <>
struct Param<IDispatch*> {
  explicit Param(Variant& slot) : value(slot.dispatch()) {}
  IDispatch* get() const { return value; }
  void WriteBack() {}
  IDispatch* value;
};

template <>
struct Param<IUnknown*> {
  explicit Param(Variant& slot) : value(slot.unknown()) {}
  IUnknown* get() const { return value; }
  void WriteBack() {}
  IUnknown* value;
};

template <>
struct Param<Variant*> {
  explicit Param(Variant& slot) : slot(slot) {}
  Variant* get() const { return &slot; }
  void WriteBack() {}
  Variant& slot;
};

template <>
struct Param<std::wstring*> {
  explicit Param(Variant&) {}
  std::wstring* get() { return &value; }
  void WriteBack() {}
  std::wstring value;
};

// Scalar [out] parameters are written back as a value of the slot's type
// (VT_BOOL or VT_I2 for int16_t, VT_DATE or VT_R8 for double).
template <class T>
struct ScalarOut {
  explicit ScalarOut(Variant& slot) : slot(slot) {}
  T* get() { return &value; }
  Variant& slot;
  T value{};
};

template <>
struct Param<int32_t*> : ScalarOut<int32_t> {
  using ScalarOut::ScalarOut;
  void WriteBack() { slot = slot.vt() == VT_ERROR ? Variant::Error(value) : Variant::I4(value); }
};

// An int16_t* is either an [out] value or an [in] pointer passed by
// reference (VT_BYREF|VT_BOOL or VT_BYREF|VT_I2), which goes through as is.
template <>
struct Param<int16_t*> : ScalarOut<int16_t> {
  explicit Param(Variant& slot) : ScalarOut(slot), by_reference(slot.IsByRef()) {}
  int16_t* get() { return by_reference ? slot.byref_as<int16_t>() : &value; }
  void WriteBack() {
    if (by_reference) return;
    slot = slot.vt() == VT_BOOL ? Variant::BoolRaw(value) : Variant::I2(value);
  }
  bool by_reference;
};

template <>
struct Param<double*> : ScalarOut<double> {
  using ScalarOut::ScalarOut;
  void WriteBack() { slot = slot.vt() == VT_DATE ? Variant::Date(value) : Variant::R8(value); }
};

template <class E>
struct Param<E*, std::enable_if_t<std::is_enum_v<E>>> : ScalarOut<E> {
  using ScalarOut<E>::ScalarOut;
  void WriteBack() { this->slot = Variant::I4(static_cast<int32_t>(this->value)); }
};

template <>
struct Param<IDispatch**> : ScalarOut<IDispatch*> {
  using ScalarOut::ScalarOut;
  void WriteBack() { slot = Variant::AttachDispatch(value); }
};

template <>
struct Param<IUnknown**> : ScalarOut<IUnknown*> {
  using ScalarOut::ScalarOut;
  void WriteBack() { slot = Variant::AttachUnknown(value); }
};

template <auto Method>
struct Thunk;

template <class C, class... P, HRESULT (C::*Method)(P...)>
struct Thunk<Method> {
  static HRESULT Call(IDispatch* self, std::span<Variant> args) {
    if (args.size() != sizeof...(P)) return DISP_E_BADPARAMCOUNT;
    return CallWith(static_cast<C*>(self), args, std::index_sequence_for<P...>{});
  }

 private:
  template <size_t... I>
  static HRESULT CallWith(C* object, std::span<Variant> args, std::index_sequence<I...>) {
    std::tuple<Param<P>...> params{Param<P>(args[I])...};
    const HRESULT hr = (object->*Method)(std::get<I>(params).get()...);
    (std::get<I>(params).WriteBack(), ...);
    if constexpr (sizeof...(P) > 0) {
      // [out] texts are moved only after the call so that a member may read
      // its arguments while it writes its results.
      MoveTexts(params, args, std::index_sequence<I...>{});
    }
    return hr;
  }
  template <class Tuple, size_t... I>
  static void MoveTexts(Tuple& params, std::span<Variant> args, std::index_sequence<I...>) {
    (MoveText<P>(std::get<I>(params), args[I]), ...);
  }
  template <class T, class Holder>
  static void MoveText(Holder& holder, Variant& slot) {
    if constexpr (std::is_same_v<T, std::wstring*>) slot = Variant::Str(std::move(holder.value));
  }
};

}  // namespace dispatch_detail

// The InvokeThunk of a member function of a generated interface.
template <auto Method>
constexpr InvokeThunk kThunk = &dispatch_detail::Thunk<Method>::Call;

}  // namespace ovc
