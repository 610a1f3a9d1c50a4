#pragma once

#include <cstdint>
#include <string>

#include "automation/unknown.h"
#include "automation/variant.h"

namespace ovc {

struct InterfaceInfo;

using DISPID = int32_t;
using LCID = uint32_t;

inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_NEWENUM = -4;

inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

// Invoke flags: what kind of member access is asked for.
inline constexpr uint16_t DISPATCH_METHOD = 0x1;
inline constexpr uint16_t DISPATCH_PROPERTYGET = 0x2;
inline constexpr uint16_t DISPATCH_PROPERTYPUT = 0x4;
inline constexpr uint16_t DISPATCH_PROPERTYPUTREF = 0x8;

// Arguments of Invoke, in the dispatch convention: `args` holds the
// arguments in reverse order (the last argument first); the first
// `named_count` of them are named by `named_ids` (a property put passes its
// value as the one named argument DISPID_PROPERTYPUT). Neither array is
// owned.
struct DISPPARAMS {
  Variant* args = nullptr;
  DISPID* named_ids = nullptr;
  uint32_t count = 0;
  uint32_t named_count = 0;
};

// What Invoke reports about a failed member when the caller asks for it.
struct EXCEPINFO {
  std::wstring source;
  std::wstring description;
  SCODE scode = S_OK;
};

// Late-bound access to an object's members by name and DISPID.
struct IDispatch : IUnknown {
  static constexpr IID kIid = MakeGuid("00020400-0000-0000-C000-000000000046");
  using Base = IUnknown;

  // 1 when the object describes itself (GetTypeInfo), 0 otherwise.
  virtual HRESULT GetTypeInfoCount(uint32_t* count) = 0;
  // The description of the object's dispatch interface: members, DISPIDs,
  // parameters. The description is static and never freed.
  // TYPE_E_ELEMENTNOTFOUND when the object has none.
  virtual HRESULT GetTypeInfo(uint32_t index, LCID locale, const InterfaceInfo** info) = 0;
  // DISPIDs for a member name (names[0], matched without regard to case)
  // and its parameter names. DISP_E_UNKNOWNNAME when any name is unknown;
  // the unknown ones get DISPID_UNKNOWN.
  virtual HRESULT GetIDsOfNames(const IID& iid, const std::wstring* names, uint32_t count,
                                LCID locale, DISPID* ids) = 0;
  // Calls member `id` as `flags` says. The member's status is returned as it
  // is; a failing member leaves its error object on the thread and, when
  // `exception` is given, copies it there; a C++ exception thrown by the
  // member ends as such a failure (GuardedCall, exception_guard.h), so that
  // none leaves Invoke. Dispatch failures:
  // DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT, DISP_E_PARAMNOTOPTIONAL,
  // DISP_E_TYPEMISMATCH (with the argument's position, counted in
  // `params.args` order, in *arg_error), DISP_E_NONAMEDARGS.
  virtual HRESULT Invoke(DISPID id, const IID& iid, LCID locale, uint16_t flags, DISPPARAMS* params,
                         Variant* result, EXCEPINFO* exception, uint32_t* arg_error) = 0;

 protected:
  ~IDispatch() = default;
};

}  // namespace ovc
