#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "automation/dispatch.h"
#include "automation/guid.h"

namespace ovc {

struct MemberInfo;

// The kinds of member; values equal the DISPATCH_* flags that call them.
enum class MemberKind : uint16_t {
  kMethod = DISPATCH_METHOD,
  kPropertyGet = DISPATCH_PROPERTYGET,
  kPropertyPut = DISPATCH_PROPERTYPUT,
  kPropertyPutRef = DISPATCH_PROPERTYPUTREF,
};

// Parameter attributes, as the type library source gives them.
enum ParamFlag : uint8_t {
  kParamIn = 0x01,
  kParamOut = 0x02,
  kParamRetval = 0x04,
  kParamOptional = 0x08,
  kParamHasDefault = 0x10,
};

struct ParamInfo {
  std::wstring_view name;
  // The type of the value: for [out] parameters the type pointed to
  // (VT_VARIANT for VARIANT*); VT_BYREF is set only for [in] pointers.
  VARTYPE vt = VT_VARIANT;
  uint8_t flags = kParamIn;
  // The [defaultvalue] as text, converted to `vt` when the argument is
  // omitted (only with kParamHasDefault).
  std::wstring_view default_value;
  // The name of the enumeration for enum parameters, otherwise empty.
  std::wstring_view type_name;

  bool is_out() const { return (flags & kParamOut) != 0; }
  bool is_retval() const { return (flags & kParamRetval) != 0; }
  bool is_optional() const { return (flags & (kParamOptional | kParamHasDefault)) != 0; }
};

// Calls the member on `self` with `args` in natural (left-to-right) order,
// one per parameter, prepared by the dispatcher: [in] arguments converted to
// the parameter's type, [out] and [retval] slots holding a value of their
// type to be overwritten.
using InvokeThunk = HRESULT (*)(IDispatch* self, std::span<Variant> args);

struct MemberInfo {
  std::wstring_view name;
  DISPID id = 0;
  MemberKind kind = MemberKind::kMethod;
  std::span<const ParamInfo> params;
  InvokeThunk thunk = nullptr;
  std::wstring_view help;
};

// The description of a dual interface: everything GetIDsOfNames and Invoke
// need, and what scripting clients read to map arguments.
struct InterfaceInfo {
  std::wstring_view name;
  IID iid;
  std::span<const MemberInfo> members;  // in vtable order

  // The member with this DISPID and kind, or null.
  const MemberInfo* Find(DISPID id, MemberKind kind) const;
  // Any member with this DISPID, or null.
  const MemberInfo* Find(DISPID id) const;
  // The DISPID of a name matched without regard to case; DISPID_UNKNOWN when
  // no member has that name.
  DISPID IdOfName(std::wstring_view name) const;
};

struct EnumeratorInfo {
  std::wstring_view name;
  int32_t value = 0;
};

struct EnumInfo {
  std::wstring_view name;
  GUID uuid;
  std::span<const EnumeratorInfo> enumerators;
};

struct CoclassInfo {
  std::wstring_view name;
  CLSID clsid;
  std::wstring_view help;  // the class description ("Bridge Class")
  const InterfaceInfo* default_interface = nullptr;
};

struct TypeLibraryInfo {
  std::wstring_view name;
  GUID libid;
  uint16_t major_version = 0;
  uint16_t minor_version = 0;
  LCID locale = 0;
  std::wstring_view help;
  std::span<const InterfaceInfo* const> interfaces;
  std::span<const EnumInfo* const> enums;
  std::span<const CoclassInfo* const> coclasses;
};

}  // namespace ovc
