#include "automation/variant.h"

#include <cassert>
#include <cstring>
#include <utility>

#include "automation/com_ptr.h"
#include "automation/conversion.h"
#include "automation/dispatch.h"
#include "automation/safe_array.h"

namespace ovc {

namespace {

constexpr VARTYPE kFlagBits = VT_ARRAY | VT_BYREF;

bool IsInterfaceType(VARTYPE vt) { return vt == VT_DISPATCH || vt == VT_UNKNOWN; }

std::wstring_view BaseTypeName(VARTYPE base) {
  switch (base) {
    case VT_EMPTY:
      return L"VT_EMPTY";
    case VT_NULL:
      return L"VT_NULL";
    case VT_I2:
      return L"VT_I2";
    case VT_I4:
      return L"VT_I4";
    case VT_R8:
      return L"VT_R8";
    case VT_CY:
      return L"VT_CY";
    case VT_DATE:
      return L"VT_DATE";
    case VT_BSTR:
      return L"VT_BSTR";
    case VT_DISPATCH:
      return L"VT_DISPATCH";
    case VT_ERROR:
      return L"VT_ERROR";
    case VT_BOOL:
      return L"VT_BOOL";
    case VT_VARIANT:
      return L"VT_VARIANT";
    case VT_UNKNOWN:
      return L"VT_UNKNOWN";
    case VT_I8:
      return L"VT_I8";
    default:
      return {};
  }
}

std::wstring HexTypeName(VARTYPE vt) {
  constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text = L"0x";
  for (int shift = 12; shift >= 0; shift -= 4) text += kDigits[(vt >> shift) & 0xF];
  return text;
}

}  // namespace

bool IsScalarVarType(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_I8:
      return true;
    default:
      return false;
  }
}

bool IsArrayElementType(VARTYPE vt) {
  return vt == VT_VARIANT || (IsScalarVarType(vt) && vt != VT_EMPTY && vt != VT_NULL);
}

bool IsValidVarType(VARTYPE vt) {
  if ((vt & ~(VT_TYPEMASK | kFlagBits)) != 0) return false;
  const VARTYPE base = vt & VT_TYPEMASK;
  if ((vt & VT_ARRAY) != 0) return IsArrayElementType(base);
  if ((vt & VT_BYREF) != 0) return IsArrayElementType(base);
  return IsScalarVarType(base);
}

std::wstring VarTypeName(VARTYPE vt) {
  std::wstring name;
  if ((vt & VT_BYREF) != 0) name += L"VT_BYREF|";
  if ((vt & VT_ARRAY) != 0) name += L"VT_ARRAY|";
  const VARTYPE base = vt & VT_TYPEMASK;
  const std::wstring_view base_name = BaseTypeName(base);
  if ((vt & ~(VT_TYPEMASK | kFlagBits)) != 0 || base_name.empty()) return HexTypeName(vt);
  return name += base_name;
}

Variant ZeroValue(VARTYPE vt) {
  switch (vt) {
    case VT_I2:
      return Variant::I2(0);
    case VT_I4:
      return Variant::I4(0);
    case VT_I8:
      return Variant::I8(0);
    case VT_R8:
      return Variant::R8(0);
    case VT_CY:
      return Variant::Cy(CY{});
    case VT_DATE:
      return Variant::Date(0);
    case VT_BSTR:
      return Variant::Str(L"");
    case VT_BOOL:
      return Variant::Bool(false);
    case VT_ERROR:
      return Variant::Error(S_OK);
    case VT_DISPATCH:
      return Variant::AttachDispatch(nullptr);
    case VT_UNKNOWN:
      return Variant::AttachUnknown(nullptr);
    default:
      return Variant();
  }
}

Variant::Variant() noexcept : r8_(0) {}

Variant::Variant(const Variant& other)
    : vt_(other.vt_),
      bstr_(other.bstr_),
      array_(other.array_ ? std::make_unique<SafeArray>(*other.array_) : nullptr) {
  std::memcpy(&r8_, &other.r8_, sizeof(r8_));
  if (IsInterfaceType(vt_) && unknown_ != nullptr) unknown_->AddRef();
}

Variant::Variant(Variant&& other) noexcept : Variant() { swap(other); }

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    swap(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    Variant taken(std::move(other));
    swap(taken);
  }
  return *this;
}

Variant::~Variant() { Clear(); }

Variant::Variant(int32_t value) : vt_(VT_I4), r8_(0) { i4_ = value; }
Variant::Variant(double value) : vt_(VT_R8), r8_(value) {}
Variant::Variant(bool value) : vt_(VT_BOOL), r8_(0) { i2_ = value ? VARIANT_TRUE : VARIANT_FALSE; }
Variant::Variant(std::wstring value) : vt_(VT_BSTR), r8_(0), bstr_(std::move(value)) {}
Variant::Variant(const wchar_t* value)
    : vt_(VT_BSTR), r8_(0), bstr_(value == nullptr ? L"" : value) {}
Variant::Variant(SafeArray array)
    : vt_(VT_ARRAY | array.element_type()),
      r8_(0),
      array_(std::make_unique<SafeArray>(std::move(array))) {}
Variant::Variant(IDispatch* value) : Variant(static_cast<IUnknown*>(value)) { vt_ = VT_DISPATCH; }
Variant::Variant(IUnknown* value) : vt_(VT_UNKNOWN), unknown_(value) {
  if (unknown_ != nullptr) unknown_->AddRef();
}

Variant Variant::Null() {
  Variant v;
  v.vt_ = VT_NULL;
  return v;
}

Variant Variant::I2(int16_t value) {
  Variant v;
  v.vt_ = VT_I2;
  v.i2_ = value;
  return v;
}

Variant Variant::I4(int32_t value) { return Variant(value); }

Variant Variant::I8(int64_t value) {
  Variant v;
  v.vt_ = VT_I8;
  v.i8_ = value;
  return v;
}

Variant Variant::Cy(CY value) {
  Variant v = I8(value.int64);
  v.vt_ = VT_CY;
  return v;
}

Variant Variant::R8(double value) { return Variant(value); }

Variant Variant::Date(DATE value) {
  Variant v(value);
  v.vt_ = VT_DATE;
  return v;
}

Variant Variant::Bool(bool value) { return Variant(value); }

Variant Variant::BoolRaw(VARIANT_BOOL value) {
  Variant v;
  v.vt_ = VT_BOOL;
  v.i2_ = value;
  return v;
}

Variant Variant::Str(std::wstring value) { return Variant(std::move(value)); }

Variant Variant::Error(SCODE code) {
  Variant v(code);
  v.vt_ = VT_ERROR;
  return v;
}

Variant Variant::Missing() { return Error(DISP_E_PARAMNOTFOUND); }

Variant Variant::AttachDispatch(IDispatch* value) {
  Variant v = AttachUnknown(value);
  v.vt_ = VT_DISPATCH;
  return v;
}

Variant Variant::AttachUnknown(IUnknown* value) {
  Variant v;
  v.vt_ = VT_UNKNOWN;
  v.unknown_ = value;
  return v;
}

Variant Variant::ByRef(VARTYPE vt, void* target) {
  Variant v;
  v.vt_ = vt | VT_BYREF;
  v.byref_ = target;
  return v;
}

Variant Variant::ByRef(Variant* target) { return ByRef(VT_VARIANT, target); }

bool Variant::IsMissing() const { return vt_ == VT_ERROR && i4_ == DISP_E_PARAMNOTFOUND; }

int16_t Variant::i2() const {
  assert(vt_ == VT_I2);
  return i2_;
}

int32_t Variant::i4() const {
  assert(vt_ == VT_I4);
  return i4_;
}

int64_t Variant::i8() const {
  assert(vt_ == VT_I8);
  return i8_;
}

CY Variant::cy() const {
  assert(vt_ == VT_CY);
  return CY{i8_};
}

double Variant::r8() const {
  assert(vt_ == VT_R8);
  return r8_;
}

DATE Variant::date() const {
  assert(vt_ == VT_DATE);
  return r8_;
}

VARIANT_BOOL Variant::boolVal() const {
  assert(vt_ == VT_BOOL);
  return i2_;
}

SCODE Variant::scode() const {
  assert(vt_ == VT_ERROR);
  return i4_;
}

const std::wstring& Variant::bstr() const {
  assert(vt_ == VT_BSTR);
  return bstr_;
}

IDispatch* Variant::dispatch() const {
  assert(vt_ == VT_DISPATCH);
  return static_cast<IDispatch*>(unknown_);
}

IUnknown* Variant::unknown() const {
  assert(IsInterfaceType(vt_));
  return unknown_;
}

const SafeArray& Variant::array() const {
  assert(IsArray());
  return *array_;
}

SafeArray& Variant::array() {
  assert(IsArray());
  return *array_;
}

void* Variant::byref() const {
  assert(IsByRef());
  return byref_;
}

Variant Variant::Dereferenced() const {
  if (!IsByRef()) return *this;
  const VARTYPE base = vt_ & ~VT_BYREF;
  if ((base & VT_ARRAY) != 0) return Variant(*byref_as<SafeArray>());
  switch (base) {
    case VT_VARIANT:
      return byref_as<Variant>()->Dereferenced();
    case VT_I2:
      return I2(*byref_as<int16_t>());
    case VT_BOOL:
      return BoolRaw(*byref_as<int16_t>());
    case VT_I4:
      return I4(*byref_as<int32_t>());
    case VT_ERROR:
      return Error(*byref_as<int32_t>());
    case VT_I8:
      return I8(*byref_as<int64_t>());
    case VT_CY:
      return Cy(*byref_as<CY>());
    case VT_R8:
      return R8(*byref_as<double>());
    case VT_DATE:
      return Date(*byref_as<double>());
    case VT_BSTR:
      return Str(*byref_as<std::wstring>());
    case VT_DISPATCH:
      return Variant(*byref_as<IDispatch*>());
    case VT_UNKNOWN:
      return Variant(*byref_as<IUnknown*>());
    default:
      return Variant();
  }
}

HRESULT Variant::StoreThroughReference(const Variant& value) const {
  if (!IsByRef()) return E_INVALIDARG;
  const VARTYPE base = vt_ & ~VT_BYREF;
  Variant converted;
  const HRESULT hr = VariantChangeType(&converted, value, 0, base);
  if (Failed(hr)) return hr;
  if ((base & VT_ARRAY) != 0) {
    *byref_as<SafeArray>() = std::move(*converted.array_);
    return S_OK;
  }
  switch (base) {
    case VT_VARIANT:
      *byref_as<Variant>() = std::move(converted);
      break;
    case VT_I2:
    case VT_BOOL:
      *byref_as<int16_t>() = converted.i2_;
      break;
    case VT_I4:
    case VT_ERROR:
      *byref_as<int32_t>() = converted.i4_;
      break;
    case VT_I8:
      *byref_as<int64_t>() = converted.i8_;
      break;
    case VT_CY:
      *byref_as<CY>() = CY{converted.i8_};
      break;
    case VT_R8:
    case VT_DATE:
      *byref_as<double>() = converted.r8_;
      break;
    case VT_BSTR:
      *byref_as<std::wstring>() = std::move(converted.bstr_);
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown** target = byref_as<IUnknown*>();
      IUnknown* old = std::exchange(*target, std::exchange(converted.unknown_, nullptr));
      if (old != nullptr) old->Release();
      break;
    }
    default:
      return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

void Variant::Clear() {
  if (IsInterfaceType(vt_) && unknown_ != nullptr) unknown_->Release();
  vt_ = VT_EMPTY;
  r8_ = 0;
  bstr_.clear();
  array_.reset();
}

void Variant::swap(Variant& other) noexcept {
  std::swap(vt_, other.vt_);
  double mine;
  std::memcpy(&mine, &r8_, sizeof(mine));
  std::memcpy(&r8_, &other.r8_, sizeof(r8_));
  std::memcpy(&other.r8_, &mine, sizeof(mine));
  bstr_.swap(other.bstr_);
  array_.swap(other.array_);
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.vt_ != b.vt_) return false;
  if (a.IsByRef()) return a.byref_ == b.byref_;
  if (a.IsArray()) return *a.array_ == *b.array_;
  switch (a.vt_) {
    case VT_I2:
    case VT_BOOL:
      return a.i2_ == b.i2_;
    case VT_I4:
    case VT_ERROR:
      return a.i4_ == b.i4_;
    case VT_I8:
    case VT_CY:
      return a.i8_ == b.i8_;
    case VT_R8:
    case VT_DATE:
      return a.r8_ == b.r8_;
    case VT_BSTR:
      return a.bstr_ == b.bstr_;
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return IsSameObject(a.unknown_, b.unknown_);
    default:
      return true;
  }
}

}  // namespace ovc
