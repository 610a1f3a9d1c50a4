#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace ovc {

struct IUnknown;
struct IDispatch;
class SafeArray;

using VARTYPE = uint16_t;
using VARIANT_BOOL = int16_t;
using DATE = double;  // days since 1899-12-30; the fraction is the time of day

// A currency amount: a fixed-point number with four decimals, kept as the
// amount times 10000 (12.25 is 122500).
struct CY {
  int64_t int64 = 0;
  friend bool operator==(CY, CY) = default;
};

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Variant types. Values are those of the automation standard, so that codes
// stored or printed elsewhere keep their meaning.
enum VarEnum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,  // only as an array element type or by reference
  VT_UNKNOWN = 13,
  VT_I8 = 20,
  VT_TYPEMASK = 0x0FFF,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
};

// True for the scalar types a Variant can hold by value.
bool IsScalarVarType(VARTYPE vt);
// True for the element types of a safe array: a scalar other than empty and
// null, or VT_VARIANT.
bool IsArrayElementType(VARTYPE vt);
// True for every type a Variant can hold: a scalar, VT_ARRAY with a scalar or
// VT_VARIANT element type, or VT_BYREF with either of those.
bool IsValidVarType(VARTYPE vt);
// "VT_I4", "VT_ARRAY|VT_BSTR", "VT_BYREF|VT_VARIANT"; unknown types as hex.
std::wstring VarTypeName(VARTYPE vt);

class Variant;
// The zero value of a scalar type: 0, the empty text, false, a null
// interface; empty for any other type.
Variant ZeroValue(VARTYPE vt);

// The automation variant: a value of one of the types above, with value
// semantics. Copies are deep (arrays are copied, interface pointers
// AddRef'd); destruction releases what the variant owns. A by-reference
// variant (VT_BYREF) points to storage it does not own: to a Variant for
// VT_BYREF|VT_VARIANT, to the element type otherwise (int16_t for I2 and BOOL,
// int32_t for I4 and ERROR, int64_t for I8, CY for CY, double for R8 and
// DATE, std::wstring for BSTR,
// IDispatch* / IUnknown* for interfaces, SafeArray for arrays).
//
// Typed accessors require the variant to be of that type (checked with an
// assertion); use VariantChangeType to convert.
class Variant {
 public:
  Variant() noexcept;
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  explicit Variant(int32_t value);         // VT_I4
  explicit Variant(double value);          // VT_R8
  explicit Variant(bool value);            // VT_BOOL
  explicit Variant(std::wstring value);    // VT_BSTR
  explicit Variant(const wchar_t* value);  // VT_BSTR
  explicit Variant(SafeArray array);       // VT_ARRAY | element type
  explicit Variant(IDispatch* value);      // VT_DISPATCH, AddRef'd
  explicit Variant(IUnknown* value);       // VT_UNKNOWN, AddRef'd

  static Variant Null();
  static Variant I2(int16_t value);
  static Variant I4(int32_t value);
  static Variant I8(int64_t value);
  static Variant Cy(CY value);
  static Variant R8(double value);
  static Variant Date(DATE value);
  static Variant Bool(bool value);
  static Variant BoolRaw(VARIANT_BOOL value);  // kept as given
  static Variant Str(std::wstring value);
  static Variant Error(SCODE code);
  // The value passed for an omitted optional argument:
  // VT_ERROR with DISP_E_PARAMNOTFOUND.
  static Variant Missing();
  // Takes ownership of an already AddRef'd pointer.
  static Variant AttachDispatch(IDispatch* value);
  static Variant AttachUnknown(IUnknown* value);
  // A by-reference variant of type VT_BYREF|vt pointing to `target`, which
  // must outlive it and be of the storage type listed above.
  static Variant ByRef(VARTYPE vt, void* target);
  static Variant ByRef(Variant* target);

  VARTYPE vt() const { return vt_; }
  bool IsEmpty() const { return vt_ == VT_EMPTY; }
  bool IsNull() const { return vt_ == VT_NULL; }
  bool IsArray() const { return (vt_ & VT_ARRAY) != 0 && (vt_ & VT_BYREF) == 0; }
  bool IsByRef() const { return (vt_ & VT_BYREF) != 0; }
  bool IsMissing() const;  // VT_ERROR with DISP_E_PARAMNOTFOUND

  int16_t i2() const;
  int32_t i4() const;
  int64_t i8() const;
  CY cy() const;
  double r8() const;
  DATE date() const;
  VARIANT_BOOL boolVal() const;
  SCODE scode() const;
  const std::wstring& bstr() const;
  IDispatch* dispatch() const;  // borrowed; may be null
  IUnknown* unknown() const;    // borrowed; may be null
  const SafeArray& array() const;
  SafeArray& array();
  void* byref() const;  // the target of a by-reference variant
  template <class T>
  T* byref_as() const {
    return static_cast<T*>(byref());
  }

  // The value a by-reference variant points to, as a by-value variant (a
  // copy); a by-value variant is returned as a copy of itself.
  Variant Dereferenced() const;

  // Sets the target of a by-reference variant from `value`, converted to the
  // target's type (any value for VT_BYREF|VT_VARIANT). Returns the
  // conversion's failure, or E_INVALIDARG when this variant is not by
  // reference.
  HRESULT StoreThroughReference(const Variant& value) const;

  void Clear();
  void swap(Variant& other) noexcept;

  // Same type and equal value; arrays element by element, interfaces by
  // object identity, by-reference variants by target address.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  VARTYPE vt_ = VT_EMPTY;
  union {
    int16_t i2_;
    int32_t i4_;
    int64_t i8_;
    double r8_;
    IUnknown* unknown_;
    void* byref_;
  };
  std::wstring bstr_;
  std::unique_ptr<SafeArray> array_;
};

}  // namespace ovc
