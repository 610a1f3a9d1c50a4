#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "office/excel/formula/formula.h"
#include "office/excel/formula/value.h"
#include "office/excel/formula/workbook_view.h"

namespace ovc::excel::formula {

// Where a formula is evaluated.
struct EvaluationContext {
  WorkbookView* view = nullptr;  // not owned; required
  int32_t sheet = 0;
  int32_t row = 1;
  int32_t column = 1;
  bool array_formula = false;  // references are read as arrays throughout
};

// What evaluating part of a formula gives: a value, a reference to cells
// (one or more areas), or nothing for an argument left out.
struct Operand {
  Operand() = default;
  Operand(Value v) : value(std::move(v)) {}  // NOLINT: values are operands
  Value value;
  std::vector<Area> areas;  // not empty: a reference
  bool missing = false;
  bool is_reference() const { return !areas.empty(); }
};

// The values of a reference: one area read as an array (a single cell as
// its value), whole rows and columns cut at the sheet's used extent. Several
// areas are #VALUE!, more than kMaxArrayCells cells #NUM!.
Value ReadReference(const std::vector<Area>& areas, const EvaluationContext& context);
// The cell of a reference in the formula's row or column (implicit
// intersection); #VALUE! when there is none.
Value IntersectReference(const std::vector<Area>& areas, const EvaluationContext& context);
// What an operand gives where one value is expected: a reference read whole
// in array context, else intersected; missing is blank.
Value OperandValue(const Operand& operand, const EvaluationContext& context, bool array_context);

// The arguments of a function, as functions of the table read them.
class Arguments {
 public:
  // Visits a value, `direct` when given as the argument itself rather than
  // a cell of a reference or an element of an array. Returns false to stop.
  using Visitor = std::function<bool(const Value& value, bool direct)>;

  Arguments(std::span<const Operand> operands, const EvaluationContext& context, bool array_context)
      : operands_(operands), context_(context), array_context_(array_context) {}

  size_t size() const { return operands_.size(); }
  bool missing(size_t i) const { return i >= size() || operands_[i].missing; }
  const Operand& operand(size_t i) const { return operands_[i]; }
  const EvaluationContext& context() const { return context_; }

  // The argument where one value is expected (see OperandValue); blank when
  // missing or beyond the arguments given.
  Value Scalar(size_t i) const;
  // The argument as an array, or the single value it is.
  Value Whole(size_t i) const;
  // Visits every value of argument i: the cells of a reference that hold
  // something (blanks too when `with_blanks`), the elements of an array, or
  // the value itself. False when a visit stopped.
  bool ForEach(size_t i, bool with_blanks, const Visitor& visit) const;

 private:
  std::span<const Operand> operands_;
  const EvaluationContext& context_;
  bool array_context_;
};

}  // namespace ovc::excel::formula
