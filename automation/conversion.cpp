#include "automation/conversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "automation/ascii.h"
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

// The power of ten of the leading digit of a plain number ("0.05e3" is 1),
// which tells an overflow from an underflow.
int64_t DecimalMagnitude(const std::string& plain) {
  const size_t exponent_at = std::min(plain.find('e'), plain.size());
  const std::string_view mantissa(plain.data(), exponent_at);
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return 0;
  int64_t magnitude = first < point ? static_cast<int64_t>(point - first) - 1
                                    : -static_cast<int64_t>(first - point);
  if (exponent_at < plain.size()) {
    // Exponents beyond any double saturate; their sign is what counts.
    std::string_view exponent(plain.data() + exponent_at + 1, plain.size() - exponent_at - 1);
    const bool negative = exponent.front() == '-';
    if (exponent.front() == '-' || exponent.front() == '+') exponent.remove_prefix(1);
    int64_t value = 0;
    for (char digit : exponent) value = std::min<int64_t>(value * 10 + (digit - '0'), 1000000);
    magnitude += negative ? -value : value;
  }
  return magnitude;
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
  if (!(rounded >= std::numeric_limits<Integer>::min() &&
        rounded <= std::numeric_limits<Integer>::max())) {
    return DISP_E_OVERFLOW;
  }
  *result = static_cast<Integer>(rounded);
  return S_OK;
}

bool IsNumeric(VARTYPE vt) {
  return vt == VT_I2 || vt == VT_I4 || vt == VT_R8 || vt == VT_DATE || vt == VT_BOOL;
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
