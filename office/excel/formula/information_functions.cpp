#include <span>

#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

using Scalars = std::span<const Value>;
using Type = Value::Type;

template <Type T>
Value Is(Scalars a) {
  return Value::Boolean(a[0].type() == T);
}
Value IsNonText(Scalars a) { return Value::Boolean(!a[0].is_text()); }
Value IsErr(Scalars a) { return Value::Boolean(a[0].is_error() && a[0].error() != ErrorCode::kNA); }
Value IsNa(Scalars a) { return Value::Boolean(a[0].is_error() && a[0].error() == ErrorCode::kNA); }
Value Na(Scalars) { return Value::Error(ErrorCode::kNA); }

Value N(Scalars a) {
  if (a[0].is_number() || a[0].is_error()) return a[0];
  return Value::Number(a[0].is_boolean() && a[0].boolean() ? 1 : 0);
}
Value T(Scalars a) { return a[0].is_text() || a[0].is_error() ? a[0] : Value::Text(""); }

Value ErrorType(Scalars a) {
  if (!a[0].is_error()) return Value::Error(ErrorCode::kNA);
  return Value::Number(static_cast<double>(a[0].error()));
}

// TYPE: 1 number (and blank), 2 text, 4 logical, 16 error, 64 array.
Operand TypeOf(const Arguments& a) {
  const Operand& operand = a.operand(0);
  if (operand.is_reference() && operand.areas.size() > 1) return Value::Number(16);
  const Value value = operand.is_reference() ? a.Scalar(0) : operand.value;
  static constexpr double kCodes[] = {1, 1, 2, 4, 16, 64};
  return Value::Number(kCodes[static_cast<size_t>(value.type())]);
}

Operand IsRef(const Arguments& a) { return Value::Boolean(a.operand(0).is_reference()); }

// clang-format off
const FunctionSpec kInformationFunctions[] = {
    {"ISNUMBER", 1, 1, kTakesErrors, Is<Type::kNumber>, nullptr},
    {"ISTEXT", 1, 1, kTakesErrors, Is<Type::kText>, nullptr},
    {"ISLOGICAL", 1, 1, kTakesErrors, Is<Type::kBoolean>, nullptr},
    {"ISBLANK", 1, 1, kTakesErrors, Is<Type::kBlank>, nullptr},
    {"ISERROR", 1, 1, kTakesErrors, Is<Type::kError>, nullptr},
    {"ISNONTEXT", 1, 1, kTakesErrors, IsNonText, nullptr},
    {"ISERR", 1, 1, kTakesErrors, IsErr, nullptr},
    {"ISNA", 1, 1, kTakesErrors, IsNa, nullptr},
    {"ISREF", 1, 1, 0, nullptr, IsRef},
    {"NA", 0, 0, 0, Na, nullptr},
    {"N", 1, 1, kTakesErrors, N, nullptr},
    {"T", 1, 1, kTakesErrors, T, nullptr},
    {"ERROR.TYPE", 1, 1, kTakesErrors, ErrorType, nullptr},
    {"TYPE", 1, 1, 0, nullptr, TypeOf},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> InformationFunctions() { return kInformationFunctions; }

}  // namespace ovc::excel::formula
