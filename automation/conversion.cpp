#include "automation/conversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "automation/date.h"
#include "automation/dispatch.h"
#include "automation/number_text.h"
#include "automation/safe_array.h"
#include "automation/text.h"

namespace ovc {

namespace {

// The range of automation dates: 0100-01-01 to the end of 9999-12-31.
constexpr double kFirstDate = -657435.0;
constexpr double kLastDate = 2958466.0;

// Reduces number text of the en-US locale to the plain form from_chars
// reads: sign, digits without thousands separators, ".", exponent. False
// when the text is not a number.
bool ToPlainNumber(std::wstring_view text, std::string* plain) {
  text = TrimBlanks(text);
  size_t i = 0;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    if (text[i] == L'-') plain->push_back('-');
    ++i;
  }
  size_t digits = 0;
  for (; i < text.size() && (IsAsciiDigit(text[i]) || (text[i] == L',' && digits > 0)); ++i) {
    if (text[i] != L',') {
      plain->push_back(static_cast<char>(text[i]));
      ++digits;
    }
  }
  if (i < text.size() && text[i] == L'.') {
    plain->push_back('.');
    for (++i; i < text.size() && IsAsciiDigit(text[i]); ++i, ++digits) {
      plain->push_back(static_cast<char>(text[i]));
    }
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    plain->push_back('e');
    ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
      plain->push_back(static_cast<char>(text[i++]));
    }
    size_t exponent_digits = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i, ++exponent_digits) {
      plain->push_back(static_cast<char>(text[i]));
    }
    if (exponent_digits == 0) return false;
  }
  return i == text.size();
}

// A plain number taken apart: its mantissa (sign, digits, ".", digits) and
// its exponent. Exponents beyond any number saturate; their sign is what
// counts.
struct PlainParts {
  std::string_view mantissa;
  int64_t exponent = 0;
};

PlainParts SplitPlain(const std::string& plain) {
  const size_t exponent_at = std::min(plain.find('e'), plain.size());
  PlainParts parts{std::string_view(plain.data(), exponent_at)};
  if (exponent_at == plain.size()) return parts;
  std::string_view exponent(plain.data() + exponent_at + 1, plain.size() - exponent_at - 1);
  const bool negative = exponent.front() == '-';
  if (exponent.front() == '-' || exponent.front() == '+') exponent.remove_prefix(1);
  for (char digit : exponent) {
    parts.exponent = std::min<int64_t>(parts.exponent * 10 + (digit - '0'), 1000000);
  }
  if (negative) parts.exponent = -parts.exponent;
  return parts;
}

// The power of ten of the leading digit of a plain number ("0.05e3" is 1),
// which tells an overflow from an underflow.
int64_t DecimalMagnitude(const std::string& plain) {
  const PlainParts parts = SplitPlain(plain);
  const std::string_view mantissa = parts.mantissa;
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return 0;
  const int64_t magnitude = first < point ? static_cast<int64_t>(point - first) - 1
                                          : -static_cast<int64_t>(first - point);
  return magnitude + parts.exponent;
}

// The significant digits of a plain number and the power of ten of the last
// one: "-0.0120e2" is "12" and -1.
struct DecimalDigits {
  std::string digits;
  int64_t exponent = 0;
};

DecimalDigits DigitsOf(const std::string& plain) {
  const PlainParts parts = SplitPlain(plain);
  DecimalDigits result;
  size_t fraction_digits = 0;
  bool in_fraction = false;
  for (char c : parts.mantissa) {
    if (c == '.') {
      in_fraction = true;
    } else if (c != '-') {
      if (c != '0' || !result.digits.empty()) result.digits.push_back(c);
      if (in_fraction) ++fraction_digits;
    }
  }
  result.exponent = parts.exponent - static_cast<int64_t>(fraction_digits);
  return result;
}

// Whole multiples of ten from decimal digits: DISP_E_OVERFLOW beyond
// 64 unsigned bits.
HRESULT AccumulateDigits(std::string_view digits, int64_t zeros, uint64_t* value) {
  uint64_t result = 0;
  for (char digit : digits) {
    if (__builtin_mul_overflow(result, 10u, &result) ||
        __builtin_add_overflow(result, static_cast<uint64_t>(digit - '0'), &result)) {
      return DISP_E_OVERFLOW;
    }
  }
  for (; zeros > 0 && result != 0; --zeros) {
    if (__builtin_mul_overflow(result, 10u, &result)) return DISP_E_OVERFLOW;
  }
  *value = result;
  return S_OK;
}

// Plain number text exactly, as a count of 10^-decimals rounded half to
// even: DISP_E_OVERFLOW beyond 64 signed bits.
HRESULT ScaledFromPlain(const std::string& plain, int decimals, int64_t* value) {
  const DecimalDigits number = DigitsOf(plain);
  const int64_t shift = number.exponent + decimals;
  std::string_view kept = number.digits;
  bool round_up = false;
  if (shift < 0) {
    // The digits that fall below the last place decide the rounding; digits
    // that all fall further below round to zero.
    const size_t dropped = static_cast<size_t>(std::min<int64_t>(-shift, kept.size() + 1));
    const std::string_view below =
        dropped > kept.size() ? std::string_view() : kept.substr(kept.size() - dropped);
    kept.remove_suffix(std::min(dropped, kept.size()));
    if (!below.empty()) {
      const bool odd = !kept.empty() && (kept.back() - '0') % 2 != 0;
      const bool beyond_half = below.find_first_not_of('0', 1) != std::string_view::npos;
      round_up = below[0] > '5' || (below[0] == '5' && (beyond_half || odd));
    }
  }
  uint64_t magnitude = 0;
  if (Failed(AccumulateDigits(kept, std::max<int64_t>(shift, 0), &magnitude)) ||
      __builtin_add_overflow(magnitude, uint64_t{round_up}, &magnitude)) {
    return DISP_E_OVERFLOW;
  }
  const bool negative = plain[0] == '-';
  const uint64_t limit = uint64_t{std::numeric_limits<int64_t>::max()} + (negative ? 1 : 0);
  if (magnitude > limit) return DISP_E_OVERFLOW;
  *value = static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
  return S_OK;
}

// Text to a double: DISP_E_TYPEMISMATCH for text that is not a number,
// DISP_E_OVERFLOW for a number beyond the range of doubles. Numbers too
// small for a double read as zero.
HRESULT NumberFromText(std::wstring_view text, double* value) {
  std::string plain;
  if (!ToPlainNumber(text, &plain)) return DISP_E_TYPEMISMATCH;
  double result = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (error == std::errc::result_out_of_range) {
    if (DecimalMagnitude(plain) >= 0) return DISP_E_OVERFLOW;
    result = plain[0] == '-' ? -0.0 : 0.0;
  } else if (error != std::errc() || end != plain.data() + plain.size()) {
    return DISP_E_TYPEMISMATCH;
  }
  *value = result;
  return S_OK;
}

// Rounds half to even, as automation does for integers.
double RoundHalfEven(double value) {
  const double rounded = std::round(value);
  if (std::fabs(rounded - value) == 0.5) return 2.0 * std::round(value / 2.0);
  return rounded;
}

template <class Integer>
HRESULT ToInteger(double value, Integer* result) {
  const double rounded = RoundHalfEven(value);
  // The limits as doubles are -2^(n-1) and 2^(n-1), both exact.
  const double lowest = std::numeric_limits<Integer>::min();
  if (!(rounded >= lowest && rounded < -lowest)) return DISP_E_OVERFLOW;
  *result = static_cast<Integer>(rounded);
  return S_OK;
}

template <class Integer>
HRESULT NarrowInteger(int64_t value, Integer* result) {
  if (value < std::numeric_limits<Integer>::min() || value > std::numeric_limits<Integer>::max()) {
    return DISP_E_OVERFLOW;
  }
  *result = static_cast<Integer>(value);
  return S_OK;
}

// 64-bit integers and currency convert exactly, not through a double.
bool IsWide(VARTYPE vt) { return vt == VT_I8 || vt == VT_CY; }

bool IsNumeric(VARTYPE vt) {
  return vt == VT_I2 || vt == VT_I4 || vt == VT_R8 || vt == VT_DATE || vt == VT_BOOL || IsWide(vt);
}

constexpr int kCurrencyDecimals = 4;
constexpr int64_t kCurrencyScale = 10000;

// An integer or currency value exactly: `value` counts 10^-decimals.
struct Scaled {
  int64_t value = 0;
  int decimals = 0;
};

bool ScaledOf(const Variant& source, Scaled* scaled) {
  switch (source.vt()) {
    case VT_EMPTY:
      *scaled = {};
      return true;
    case VT_I2:
      *scaled = {source.i2()};
      return true;
    case VT_I4:
      *scaled = {source.i4()};
      return true;
    case VT_I8:
      *scaled = {source.i8()};
      return true;
    case VT_BOOL:
      *scaled = {source.boolVal()};
      return true;
    case VT_CY:
      *scaled = {source.cy().int64, kCurrencyDecimals};
      return true;
    default:
      return false;
  }
}

// The nearest integer, halves to even.
int64_t RoundScaled(const Scaled& scaled) {
  if (scaled.decimals == 0) return scaled.value;
  const int64_t quotient = scaled.value / kCurrencyScale;
  const int64_t remainder = scaled.value % kCurrencyScale;
  const int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
  if (twice < kCurrencyScale || (twice == kCurrencyScale && quotient % 2 == 0)) return quotient;
  return remainder < 0 ? quotient - 1 : quotient + 1;
}

double NumberOf(const Variant& value) {
  switch (value.vt()) {
    case VT_I2:
      return value.i2();
    case VT_I4:
      return value.i4();
    case VT_R8:
      return value.r8();
    case VT_DATE:
      return value.date();
    case VT_BOOL:
      return value.boolVal();
    default:
      return 0;
  }
}

// The number a source stands for when converted to a number, boolean or
// date: numbers as they are, empty as 0, text parsed (dates as dates).
HRESULT SourceNumber(const Variant& value, VARTYPE vt, double* number) {
  if (value.vt() != VT_BSTR) {
    *number = NumberOf(value);
    return S_OK;
  }
  if (vt == VT_DATE) return ParseDate(value.bstr(), number) ? S_OK : DISP_E_TYPEMISMATCH;
  if (vt == VT_BOOL) {
    const std::wstring_view text = TrimBlanks(value.bstr());
    if (EqualsNoCase(text, L"True") || EqualsNoCase(text, L"False")) {
      *number = EqualsNoCase(text, L"True") ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
  }
  return NumberFromText(value.bstr(), number);
}

HRESULT NumberTo(double number, VARTYPE vt, Variant* result) {
  switch (vt) {
    case VT_I2: {
      int16_t value = 0;
      const HRESULT hr = ToInteger(number, &value);
      if (Succeeded(hr)) *result = Variant::I2(value);
      return hr;
    }
    case VT_I4: {
      int32_t value = 0;
      const HRESULT hr = ToInteger(number, &value);
      if (Succeeded(hr)) *result = Variant::I4(value);
      return hr;
    }
    case VT_R8:
      *result = Variant::R8(number);
      return S_OK;
    case VT_DATE:
      if (!(number > kFirstDate && number < kLastDate)) return DISP_E_OVERFLOW;
      *result = Variant::Date(number);
      return S_OK;
    case VT_BOOL:
      *result = Variant::Bool(number != 0);
      return S_OK;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

template <class Integer>
HRESULT StoreNarrowed(int64_t value, Variant (*make)(Integer), Variant* result) {
  Integer narrowed = 0;
  const HRESULT hr = NarrowInteger(value, &narrowed);
  if (Succeeded(hr)) *result = make(narrowed);
  return hr;
}

// An exact integer or currency value to a number or boolean type.
HRESULT ScaledTo(const Scaled& scaled, VARTYPE vt, Variant* result) {
  switch (vt) {
    case VT_I2:
      return StoreNarrowed(RoundScaled(scaled), &Variant::I2, result);
    case VT_I4:
      return StoreNarrowed(RoundScaled(scaled), &Variant::I4, result);
    case VT_I8:
      *result = Variant::I8(RoundScaled(scaled));
      return S_OK;
    case VT_CY: {
      int64_t units = scaled.value;
      if (scaled.decimals == 0 && __builtin_mul_overflow(scaled.value, kCurrencyScale, &units)) {
        return DISP_E_OVERFLOW;
      }
      *result = Variant::Cy(CY{units});
      return S_OK;
    }
    case VT_BOOL:
      *result = Variant::Bool(scaled.value != 0);
      return S_OK;
    default: {
      const double number = static_cast<double>(scaled.value);
      return NumberTo(scaled.decimals == 0 ? number : number / kCurrencyScale, vt, result);
    }
  }
}

// A double, a date or text to a 64-bit integer or currency. Text is read
// exactly, doubles round half to even.
HRESULT WideFrom(const Variant& value, VARTYPE vt, Variant* result) {
  const bool currency = vt == VT_CY;
  int64_t units = 0;
  HRESULT hr = S_OK;
  if (value.vt() == VT_BSTR) {
    std::string plain;
    if (!ToPlainNumber(value.bstr(), &plain)) return DISP_E_TYPEMISMATCH;
    hr = ScaledFromPlain(plain, currency ? kCurrencyDecimals : 0, &units);
  } else {
    const double number = NumberOf(value);
    hr = ToInteger(currency ? number * kCurrencyScale : number, &units);
  }
  if (Failed(hr)) return hr;
  *result = currency ? Variant::Cy(CY{units}) : Variant::I8(units);
  return S_OK;
}

HRESULT ToText(const Variant& value, uint16_t flags, Variant* result) {
  switch (value.vt()) {
    case VT_EMPTY:
      *result = Variant::Str(L"");
      return S_OK;
    case VT_I2:
      *result = Variant::Str(std::to_wstring(value.i2()));
      return S_OK;
    case VT_I4:
      *result = Variant::Str(std::to_wstring(value.i4()));
      return S_OK;
    case VT_I8:
      *result = Variant::Str(FixedPointText(value.i8(), 0));
      return S_OK;
    case VT_CY:
      *result = Variant::Str(FixedPointText(value.cy().int64, kCurrencyDecimals));
      return S_OK;
    case VT_R8:
      *result = Variant::Str(DoubleToText(value.r8()));
      return S_OK;
    case VT_BOOL: {
      const bool truth = value.boolVal() != 0;
      const bool alpha = (flags & VARIANT_ALPHABOOL) != 0;
      *result = Variant::Str(alpha ? (truth ? L"True" : L"False") : (truth ? L"-1" : L"0"));
      return S_OK;
    }
    case VT_DATE: {
      std::wstring text = FormatDate(value.date());
      if (text.empty()) return DISP_E_OVERFLOW;
      *result = Variant::Str(std::move(text));
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ConvertValue(const Variant& value, uint16_t flags, VARTYPE vt, Variant* result);

// The default value of an object: its DISPID_VALUE property.
HRESULT DefaultValue(IDispatch* object, Variant* value) {
  if (object == nullptr) return DISP_E_TYPEMISMATCH;
  DISPPARAMS no_arguments;
  uint32_t arg_error = 0;
  return object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                        &no_arguments, value, nullptr, &arg_error);
}

HRESULT QueryAs(IUnknown* object, const IID& iid, VARTYPE vt, Variant* result) {
  if (object == nullptr) {
    *result =
        vt == VT_DISPATCH ? Variant::AttachDispatch(nullptr) : Variant::AttachUnknown(nullptr);
    return S_OK;
  }
  void* interface_pointer = nullptr;
  const HRESULT hr = object->QueryInterface(iid, &interface_pointer);
  if (Failed(hr)) return hr;
  *result = vt == VT_DISPATCH ? Variant::AttachDispatch(static_cast<IDispatch*>(interface_pointer))
                              : Variant::AttachUnknown(static_cast<IUnknown*>(interface_pointer));
  return S_OK;
}

HRESULT FromObject(const Variant& value, uint16_t flags, VARTYPE vt, Variant* result) {
  if (vt == VT_DISPATCH) return QueryAs(value.unknown(), IDispatch::kIid, vt, result);
  if (vt == VT_UNKNOWN) return QueryAs(value.unknown(), IUnknown::kIid, vt, result);
  if ((flags & VARIANT_NOVALUEPROP) != 0) return DISP_E_TYPEMISMATCH;
  Variant dispatch;
  HRESULT hr = QueryAs(value.unknown(), IDispatch::kIid, VT_DISPATCH, &dispatch);
  if (Failed(hr)) return DISP_E_TYPEMISMATCH;
  Variant default_value;
  hr = DefaultValue(dispatch.dispatch(), &default_value);
  if (Failed(hr)) return hr;
  // The default value is not asked for its own default value: an object
  // whose value is an object does not convert.
  return ConvertValue(default_value, flags | VARIANT_NOVALUEPROP, vt, result);
}

HRESULT ArrayTo(const Variant& value, uint16_t flags, VARTYPE vt, Variant* result) {
  if ((vt & VT_ARRAY) == 0) return DISP_E_TYPEMISMATCH;
  const VARTYPE element_type = vt & VT_TYPEMASK;
  const SafeArray& source = value.array();
  SafeArray converted(element_type, source.bounds());
  for (size_t i = 0; i < source.size(); ++i) {
    const HRESULT hr = ConvertValue(source.data()[i], flags, element_type, &converted.data()[i]);
    if (Failed(hr)) return hr;
  }
  *result = Variant(std::move(converted));
  return S_OK;
}

HRESULT ConvertValue(const Variant& value, uint16_t flags, VARTYPE vt, Variant* result) {
  if (vt == VT_VARIANT || vt == value.vt()) {
    *result = value;
    return S_OK;
  }
  if (vt == VT_EMPTY) {
    *result = Variant();
    return S_OK;
  }
  if (value.IsArray()) return ArrayTo(value, flags, vt, result);
  if ((vt & VT_ARRAY) != 0 || value.IsNull() || vt == VT_NULL) return DISP_E_TYPEMISMATCH;
  if (value.vt() == VT_DISPATCH || value.vt() == VT_UNKNOWN) {
    return FromObject(value, flags, vt, result);
  }
  if (vt == VT_ERROR || value.vt() == VT_ERROR) {
    if (vt == VT_ERROR && value.vt() == VT_I4) {
      *result = Variant::Error(value.i4());
    } else if (vt == VT_I4 && value.vt() == VT_ERROR) {
      *result = Variant::I4(value.scode());
    } else {
      return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
  }
  if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
    if (!value.IsEmpty()) return DISP_E_TYPEMISMATCH;
    return QueryAs(nullptr, IUnknown::kIid, vt, result);
  }
  if (vt == VT_BSTR) return ToText(value, flags, result);
  if (!IsNumeric(vt)) return DISP_E_BADVARTYPE;
  Scaled scaled;
  if ((IsWide(vt) || IsWide(value.vt())) && ScaledOf(value, &scaled)) {
    return ScaledTo(scaled, vt, result);
  }
  if (IsWide(vt)) return WideFrom(value, vt, result);
  double number = 0;
  const HRESULT hr = SourceNumber(value, vt, &number);
  if (Failed(hr)) return hr;
  return NumberTo(number, vt, result);
}

}  // namespace

HRESULT VariantChangeType(Variant* destination, const Variant& source, uint16_t flags, VARTYPE vt) {
  if (destination == nullptr) return E_POINTER;
  if (vt != VT_VARIANT && !IsValidVarType(vt)) return DISP_E_BADVARTYPE;
  if ((vt & VT_BYREF) != 0) return DISP_E_BADVARTYPE;
  Variant result;
  const HRESULT hr = ConvertValue(source.Dereferenced(), flags, vt, &result);
  if (Failed(hr)) return hr;
  *destination = std::move(result);
  return S_OK;
}

bool ParseDouble(std::wstring_view text, double* value) {
  return Succeeded(NumberFromText(text, value));
}

}  // namespace ovc
