#include <algorithm>
#include <cmath>
#include <span>
#include <string>

#include "automation/text.h"
#include "office/excel/formula/date_format.h"
#include "office/excel/formula/decimal.h"
#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"
#include "office/excel/formula/text_format.h"

namespace ovc::excel::formula {

namespace {

using Scalars = std::span<const Value>;

// Text arguments as characters (code points), numbers as numbers; the
// first that cannot be read is the function's result.
class Reader {
 public:
  explicit Reader(Scalars scalars) : scalars_(scalars) {}

  std::wstring Text(size_t i) {
    const Value text = ToText(i < scalars_.size() ? scalars_[i] : Value());
    if (text.is_error()) {
      Fail(text);
      return {};
    }
    return FromUtf8(text.text());
  }
  // The argument as a number; `fallback` when it is not given at all.
  double Number(size_t i, double fallback = 0) {
    if (i >= scalars_.size()) return fallback;
    const Value number = ToNumber(scalars_[i]);
    if (number.is_error()) {
      Fail(number);
      return 0;
    }
    return number.number();
  }
  bool ok() const { return !error_.is_error(); }
  const Value& error() const { return error_; }

 private:
  void Fail(const Value& error) {
    if (ok()) error_ = error;
  }
  Scalars scalars_;
  Value error_;
};

Value Result(const Reader& reader, const std::wstring& text) {
  if (!reader.ok()) return reader.error();
  return Value::Text(ToUtf8(text));
}

Value Invalid() { return Value::Error(ErrorCode::kValue); }

Value Concatenate(Scalars a) {
  Reader reader(a);
  std::wstring joined;
  for (size_t i = 0; i < a.size() && reader.ok(); ++i) {
    joined += reader.Text(i);
    if (joined.size() > kMaxTextBytes) return Invalid();
  }
  return Result(reader, joined);
}

Value Left(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  const double count = reader.Number(1, 1);
  if (count < 0) return Invalid();
  return Result(reader, text.substr(0, static_cast<size_t>(std::min(count, 1e9))));
}

Value Right(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  const double count = reader.Number(1, 1);
  if (count < 0) return Invalid();
  const size_t kept = static_cast<size_t>(std::min(count, double(text.size())));
  return Result(reader, text.substr(text.size() - kept));
}

Value Mid(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  const double start = std::trunc(reader.Number(1));
  const double count = reader.Number(2);
  if (!reader.ok()) return reader.error();
  if (start < 1 || count < 0) return Invalid();
  if (start > double(text.size())) return Value::Text("");
  return Result(reader, text.substr(size_t(start) - 1, size_t(std::min(count, 1e9))));
}

Value Len(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  return reader.ok() ? Value::Number(double(text.size())) : reader.error();
}

Value Upper(Scalars a) {
  Reader reader(a);
  return Result(reader, ToUpper(reader.Text(0)));
}
Value Lower(Scalars a) {
  Reader reader(a);
  return Result(reader, ToLower(reader.Text(0)));
}

// Removes leading and trailing spaces, and all but one between words.
Value Trim(Scalars a) {
  Reader reader(a);
  std::wstring trimmed;
  for (const wchar_t c : reader.Text(0)) {
    if (c == L' ' && (trimmed.empty() || trimmed.back() == L' ')) continue;
    trimmed += c;
  }
  if (!trimmed.empty() && trimmed.back() == L' ') trimmed.pop_back();
  return Result(reader, trimmed);
}

Value Substitute(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  const std::wstring old_text = reader.Text(1);
  const std::wstring new_text = reader.Text(2);
  const double instance = std::trunc(reader.Number(3, 0));
  if (!reader.ok()) return reader.error();
  if (a.size() > 3 && instance < 1) return Invalid();
  if (old_text.empty()) return Result(reader, text);
  std::wstring result;
  size_t at = 0;
  for (double seen = 1;; ++seen) {
    const size_t found = text.find(old_text, at);
    if (found == std::wstring::npos) break;
    const bool replace = instance == 0 || seen == instance;
    result += text.substr(at, found - at) + (replace ? new_text : old_text);
    at = found + old_text.size();
    if (result.size() > kMaxTextBytes) return Invalid();
  }
  return Result(reader, result + text.substr(at));
}

Value Replace(Scalars a) {
  Reader reader(a);
  std::wstring text = reader.Text(0);
  const double start = std::trunc(reader.Number(1));
  const double count = std::trunc(reader.Number(2));
  const std::wstring new_text = reader.Text(3);
  if (!reader.ok()) return reader.error();
  if (start < 1 || count < 0) return Invalid();
  const size_t first = size_t(std::min(start - 1, double(text.size())));
  text.replace(first, size_t(std::min(count, 1e9)), new_text);
  return Result(reader, text);
}

template <bool kSearch>
Value Find(Scalars a) {
  Reader reader(a);
  const std::wstring wanted = reader.Text(0);
  const std::wstring text = reader.Text(1);
  const double start = std::trunc(reader.Number(2, 1));
  if (!reader.ok()) return reader.error();
  if (start < 1 || start > double(text.size()) + 1) return Invalid();
  for (size_t at = size_t(start) - 1; at <= text.size(); ++at) {
    size_t end = 0;
    const bool found = kSearch ? WildcardMatch(wanted, text, at, &end, false)
                               : text.compare(at, wanted.size(), wanted) == 0;
    if (found) return Value::Number(double(at + 1));
  }
  return Invalid();
}

// VALUE: a number, or text read as a number, a date or a time (a serial
// number of the workbook's date system).
Value ValueOf(Scalars a) {
  const double offset = TakeDateOffset(&a);
  if (a[0].is_number()) return a[0];
  if (a[0].is_blank()) return Value::Number(0);
  if (!a[0].is_text()) return Invalid();
  const Value number = ToNumber(a[0]);
  double serial = 0;
  if (!number.is_error() || !ParseDateTime(a[0].text(), &serial)) return number;
  return serial - offset < 0 ? Invalid() : Value::Number(serial - offset);
}

Value Fixed(Scalars a) {
  Reader reader(a);
  const double number = reader.Number(0);
  const double decimals = std::trunc(reader.Number(1, 2));
  const Value no_commas = a.size() > 2 ? ToBoolean(a[2]) : Value::Boolean(false);
  if (!reader.ok()) return reader.error();
  if (no_commas.is_error()) return no_commas;
  if (decimals > 127) return Invalid();
  std::string code = no_commas.boolean() ? "0" : "#,##0";
  if (decimals > 0) code += "." + std::string(size_t(decimals), '0');
  const double rounded = RoundDecimal(number, int(decimals), Rounding::kHalfAwayFromZero);
  return FormatWithCode(Value::Number(rounded), code, 0);
}

Value Rept(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  const double times = std::trunc(reader.Number(1));
  if (!reader.ok()) return reader.error();
  if (times < 0 || double(text.size()) * times > double(kMaxTextBytes)) return Invalid();
  std::wstring repeated;
  for (double i = 0; i < times; ++i) repeated += text;
  return Result(reader, repeated);
}

Value Exact(Scalars a) {
  Reader reader(a);
  const bool same = reader.Text(0) == reader.Text(1);
  return reader.ok() ? Value::Boolean(same) : reader.error();
}

// The characters of Windows-1252 at 128-159, where it departs from Latin-1;
// its five unassigned codes keep their own code point.
constexpr wchar_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

wchar_t FromWindows1252(int code) {
  return code >= 0x80 && code < 0xA0 ? kWindows1252High[code - 0x80] : wchar_t(code);
}

// The Windows-1252 code of a character; '?' for characters it lacks.
int ToWindows1252(wchar_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return int(character);
  const auto* found =
      std::find(std::begin(kWindows1252High), std::end(kWindows1252High), character);
  return found == std::end(kWindows1252High) ? '?' : 0x80 + int(found - kWindows1252High);
}

Value Char(Scalars a) {
  Reader reader(a);
  const double code = std::trunc(reader.Number(0));
  if (!reader.ok()) return reader.error();
  if (code < 1 || code > 255) return Invalid();
  return Result(reader, std::wstring(1, FromWindows1252(int(code))));
}

Value Code(Scalars a) {
  Reader reader(a);
  const std::wstring text = reader.Text(0);
  if (!reader.ok()) return reader.error();
  return text.empty() ? Invalid() : Value::Number(ToWindows1252(text[0]));
}

Value Text(Scalars a) {
  const double offset = TakeDateOffset(&a);
  const Value code = ToText(a[1]);
  if (code.is_error()) return code;
  return FormatWithCode(a[0], code.text(), offset);
}

Operand Concat(const Arguments& a) {
  std::string joined;
  std::optional<Value> error;
  for (size_t i = 0; i < a.size() && !error; ++i) {
    a.ForEach(i, false, [&](const Value& value, bool) {
      const Value text = ToText(value);
      if (text.is_error() || joined.size() + text.text().size() > kMaxTextBytes) {
        error = text.is_error() ? text : Invalid();
        return false;
      }
      joined += text.text();
      return true;
    });
  }
  return error ? *error : Value::Text(std::move(joined));
}

Operand TextJoin(const Arguments& a) {
  const Value delimiter = ToText(a.Scalar(0));
  const Value ignore_empty = ToBoolean(a.Scalar(1));
  if (delimiter.is_error()) return delimiter;
  if (ignore_empty.is_error()) return ignore_empty;
  std::string joined;
  std::optional<Value> error;
  bool first = true;
  for (size_t i = 2; i < a.size() && !error; ++i) {
    a.ForEach(i, true, [&](const Value& value, bool) {
      const Value text = ToText(value);
      if (text.is_error()) {
        error = text;
        return false;
      }
      if (ignore_empty.boolean() && text.text().empty()) return true;
      if (!first) joined += delimiter.text();
      first = false;
      joined += text.text();
      if (joined.size() > kMaxTextBytes) error = Invalid();
      return !error;
    });
  }
  return error ? *error : Value::Text(std::move(joined));
}

// clang-format off
const FunctionSpec kTextFunctions[] = {
    {"CONCATENATE", 1, kManyArguments, 0, Concatenate, nullptr},
    {"CONCAT", 1, kManyArguments, 0, nullptr, Concat},
    {"TEXTJOIN", 3, kManyArguments, 0, nullptr, TextJoin},
    {"LEFT", 1, 2, 0, Left, nullptr},
    {"RIGHT", 1, 2, 0, Right, nullptr},
    {"MID", 3, 3, 0, Mid, nullptr},
    {"LEN", 1, 1, 0, Len, nullptr},
    {"UPPER", 1, 1, 0, Upper, nullptr},
    {"LOWER", 1, 1, 0, Lower, nullptr},
    {"TRIM", 1, 1, 0, Trim, nullptr},
    {"SUBSTITUTE", 3, 4, 0, Substitute, nullptr},
    {"REPLACE", 4, 4, 0, Replace, nullptr},
    {"FIND", 2, 3, 0, Find<false>, nullptr},
    {"SEARCH", 2, 3, 0, Find<true>, nullptr},
    {"VALUE", 1, 1, kDated, ValueOf, nullptr},
    {"FIXED", 1, 3, 0, Fixed, nullptr},
    {"REPT", 2, 2, 0, Rept, nullptr},
    {"EXACT", 2, 2, 0, Exact, nullptr},
    {"CHAR", 1, 1, 0, Char, nullptr},
    {"CODE", 1, 1, 0, Code, nullptr},
    {"TEXT", 2, 2, kDated, Text, nullptr},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> TextFunctions() { return kTextFunctions; }

}  // namespace ovc::excel::formula
