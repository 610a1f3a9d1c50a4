#pragma once

#include <string>
#include <vector>

#include "office/excel/formula/arguments.h"
#include "office/excel/formula/formula.h"
#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// The most names one formula may expand to, counting names used by names.
inline constexpr size_t kMaxNameExpansions = 1000;

// The formula with every defined name replaced by what it refers to (names
// used by names too) and every structured reference by the cells it names,
// seen from the formula's `sheet` and `row`. A name that is missing, cannot
// be parsed or expands without end becomes #NAME?, a structured reference
// to a missing table or column #REF!, and *problem tells which ("unknown
// name Rate"); *problem is left alone otherwise.
Formula ExpandNames(const Formula& formula, WorkbookView& view, int32_t sheet, int32_t row,
                    std::string* problem);

// The cells the formula's references name (names already expanded), sheets
// resolved from `sheet`; references to missing sheets are left out.
std::vector<Area> ReferencedAreas(const Formula& formula, WorkbookView& view, int32_t sheet);

// The value of the formula in `context` (never a reference: a reference is
// read as the formula's cell reads it). A function the table lacks gives
// #NAME? with *problem "unknown function NAME"; *problem is left alone when
// nothing went wrong that way.
Value Evaluate(const Formula& formula, const EvaluationContext& context, std::string* problem);

}  // namespace ovc::excel::formula
