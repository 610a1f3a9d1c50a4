#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "office/excel/formula/value.h"

namespace ovc::excel::formula {

// The size of a worksheet.
inline constexpr int32_t kSheetRows = 1048576;
inline constexpr int32_t kSheetColumns = 16384;
// The deepest nesting of parentheses and function calls a formula may have.
inline constexpr size_t kMaxNesting = 255;
// The longest formula text read, in bytes.
inline constexpr size_t kMaxFormulaBytes = 65536;

// A rectangle of cells on a sheet, 1-based and inclusive; whole columns run
// from row 1 to kSheetRows, whole rows from column 1 to kSheetColumns.
struct Area {
  int32_t sheet = -1;  // the sheet's index; -1: not known (a missing sheet)
  int32_t top = 0;
  int32_t left = 0;
  int32_t bottom = 0;
  int32_t right = 0;
  friend bool operator==(const Area&, const Area&) = default;
};

// The operators, in one enumeration for unary, binary and postfix ones.
enum class Operator : uint8_t {
  kRange,         // A1:B2
  kIntersection,  // A1:C3 B2:D4
  kUnion,         // (A1,B2)
  kNegate,
  kPlus,  // unary +
  kPercent,
  kPower,
  kMultiply,
  kDivide,
  kAdd,
  kSubtract,
  kConcatenate,
  kEqual,
  kNotEqual,
  kLess,
  kLessEqual,
  kGreater,
  kGreaterEqual,
};

// One step of a formula in postfix order: operands push, operators and
// calls pop their arguments and push their result.
struct Node {
  enum class Kind : uint8_t { kConstant, kReference, kName, kTable, kMissing, kOperator, kCall };
  Kind kind = Kind::kConstant;
  Operator op = Operator::kAdd;  // kOperator
  // Operands are taken as arrays (inside an argument of a function that
  // takes arrays), not intersected with the formula's cell.
  bool array_context = false;
  uint16_t arguments = 0;  // kCall
  int32_t function = -1;   // kCall: index in the function table; -1 unknown
  Value constant;          // kConstant
  // kReference; area.sheet -1 unless known (a table's): the sheet `text`
  // names, else the formula's own.
  Area area;
  // kReference: the sheet as written ("" for the formula's own); kName: the
  // name, with "Sheet!" when qualified; kTable: the structured reference
  // ("Table1[[#All],[Code]]"); kCall: the function as written.
  std::string text;
  bool sheet_given = false;  // kReference and kName: qualified by a sheet
};

// A parsed formula.
struct Formula {
  std::vector<Node> nodes;  // postfix order
  bool is_volatile = false;
  bool has_names = false;  // names or structured references, which ExpandNames resolves
};

// Parses formula text as a cell stores it (without "="). True and *formula
// on success; false with *error ("missing ')' at 12") on failure.
bool ParseFormula(std::string_view text, Formula* formula, std::string* error);

}  // namespace ovc::excel::formula
