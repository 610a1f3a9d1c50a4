#pragma once

#include <string>

#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// A condition of SUMIF, COUNTIFS and their kin: a value to equal, or text
// starting with a comparison ("<=5", "<>x", "=", "ab*"). Text compares
// without regard to case, "=" and "<>" with wildcards (? * ~); numbers
// compare with numbers only; "" and "=" match blanks.
class Criterion {
 public:
  explicit Criterion(const Value& criterion);
  bool Matches(const Value& cell) const;

 private:
  enum class Comparison { kEqual, kNotEqual, kLess, kLessEqual, kGreater, kGreaterEqual };
  bool Equals(const Value& cell) const;

  Comparison comparison_ = Comparison::kEqual;
  Value operand_;
  std::wstring pattern_;  // a text operand, for wildcards
};

// Whether a looked-up cell equals the value sought, as MATCH, VLOOKUP and
// XLOOKUP take it exactly: same type, text without regard to case and with
// wildcards when `wildcards`.
bool LookupEquals(const Value& wanted, const Value& cell, bool wildcards);

}  // namespace ovc::excel::formula
