#include <cmath>
#include <optional>
#include <span>

#include "office/excel/formula/function_support.h"
#include "office/excel/formula/function_table.h"

namespace ovc::excel::formula {

namespace {

using Scalars = std::span<const Value>;

Value If(Scalars a) {
  const Value condition = ToBoolean(a[0]);
  if (condition.is_error()) return condition;
  if (condition.boolean()) return a[1];
  return a.size() > 2 ? a[2] : Value::Boolean(false);
}

Value Ifs(Scalars a) {
  for (size_t i = 0; i + 1 < a.size(); i += 2) {
    const Value condition = ToBoolean(a[i]);
    if (condition.is_error()) return condition;
    if (condition.boolean()) return a[i + 1];
  }
  return Value::Error(ErrorCode::kNA);
}

Value IfError(Scalars a) { return a[0].is_error() ? a[1] : a[0]; }
Value IfNa(Scalars a) { return a[0].is_error() && a[0].error() == ErrorCode::kNA ? a[1] : a[0]; }

Value Not(Scalars a) {
  const Value condition = ToBoolean(a[0]);
  return condition.is_error() ? condition : Value::Boolean(!condition.boolean());
}

Value Switch(Scalars a) {
  if (a[0].is_error()) return a[0];
  size_t i = 1;
  for (; i + 1 < a.size(); i += 2) {
    if (a[i].is_error()) return a[i];
    if (a[i].type() == a[0].type() && Compare(a[0], a[i]) == 0) return a[i + 1];
  }
  return i < a.size() ? a[i] : Value::Error(ErrorCode::kNA);
}

Value Choose(Scalars a) {
  if (a[0].is_error()) return a[0];
  const Value index = ToNumber(a[0]);
  if (index.is_error()) return index;
  const double choice = std::trunc(index.number());
  if (choice < 1 || choice >= double(a.size())) return Value::Error(ErrorCode::kValue);
  return a[static_cast<size_t>(choice)];
}

Value True(Scalars) { return Value::Boolean(true); }
Value False(Scalars) { return Value::Boolean(false); }

enum class Combine { kAnd, kOr, kXor };

// AND, OR and XOR over every logical value of the arguments: text in
// references is skipped, text given directly must read as TRUE or FALSE.
template <Combine C>
Operand Logical(const Arguments& a) {
  size_t seen = 0, trues = 0;
  std::optional<Value> error;
  for (size_t i = 0; i < a.size() && !error; ++i) {
    a.ForEach(i, false, [&](const Value& value, bool direct) {
      if (value.is_text() && !direct) return true;
      const Value logical = ToBoolean(value);
      if (logical.is_error()) {
        error = logical;
        return false;
      }
      ++seen;
      trues += logical.boolean();
      return true;
    });
  }
  if (error) return *error;
  if (seen == 0) return Value::Error(ErrorCode::kValue);
  switch (C) {
    case Combine::kAnd:
      return Value::Boolean(trues == seen);
    case Combine::kOr:
      return Value::Boolean(trues > 0);
    default:
      return Value::Boolean(trues % 2 == 1);
  }
}

// clang-format off
const FunctionSpec kLogicFunctions[] = {
    {"IF", 2, 3, kTakesErrors, If, nullptr},
    {"IFS", 2, kManyArguments, kTakesErrors, Ifs, nullptr},
    {"IFERROR", 2, 2, kTakesErrors, IfError, nullptr},
    {"IFNA", 2, 2, kTakesErrors, IfNa, nullptr},
    {"NOT", 1, 1, 0, Not, nullptr},
    {"SWITCH", 3, kManyArguments, kTakesErrors, Switch, nullptr},
    {"CHOOSE", 2, kManyArguments, kTakesErrors, Choose, nullptr},
    {"TRUE", 0, 0, 0, True, nullptr},
    {"FALSE", 0, 0, 0, False, nullptr},
    {"AND", 1, kManyArguments, 0, nullptr, Logical<Combine::kAnd>},
    {"OR", 1, kManyArguments, 0, nullptr, Logical<Combine::kOr>},
    {"XOR", 1, kManyArguments, 0, nullptr, Logical<Combine::kXor>},
};
// clang-format on

}  // namespace

std::span<const FunctionSpec> LogicFunctions() { return kLogicFunctions; }

}  // namespace ovc::excel::formula
