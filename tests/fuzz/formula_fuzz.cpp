#include <cstddef>
#include <cstdint>
#include <string>

#include "office/excel/formula/evaluator.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::excel::formula {
namespace {

// A workbook of two sheets whose cells A1:J10 hold numbers, text, booleans
// and an error, with names that refer to cells, to each other and to
// themselves.
class PatternBook : public WorkbookView {
 public:
  Value CellValue(int32_t sheet, int32_t row, int32_t column) override {
    if (row > 10 || column > 10) return Value();
    switch ((row + column + sheet) % 5) {
      case 0:
        return Value::Text("text" + std::to_string(row));
      case 1:
        return Value::Boolean(row % 2 == 0);
      case 2:
        return Value::Error(ErrorCode::kNA);
      default:
        return Value::Number(row * 1.5 - column);
    }
  }
  void UsedExtent(int32_t, int32_t* last_row, int32_t* last_column) override {
    *last_row = *last_column = 10;
  }
  int32_t SheetIndex(std::string_view name) override {
    if (name == "Sheet1") return 0;
    return name == "Other Sheet" ? 1 : -1;
  }
  bool NameFormula(std::string_view name, int32_t, std::string* formula) override {
    if (name == "Area")
      *formula = "Sheet1!$A$1:$C$3";
    else if (name == "Twice")
      *formula = "Area*2+Twice";
    else if (name == "Rate")
      *formula = "0.5";
    else
      return false;
    return true;
  }
  double Now() override { return 45000.5; }
};

void ParseAndEvaluate(std::string_view text) {
  Formula formula;
  std::string error;
  if (!ParseFormula(text, &formula, &error)) {
    fuzz::Require(!error.empty(), "a refused formula says why");
    return;
  }
  fuzz::Require(!formula.nodes.empty(), "a parsed formula has steps");
  PatternBook book;
  for (const bool array_formula : {false, true}) {
    std::string problem;
    const Value value = Evaluate(formula, {&book, 0, 5, 5, array_formula}, &problem);
    fuzz::Require(array_formula || !value.is_array(), "a cell's value is one value");
  }
}

}  // namespace
}  // namespace ovc::excel::formula

// Parses the input as a formula and evaluates it over a small workbook:
// nothing may crash, hang or run out of memory, and a refusal says why.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ovc::excel::formula::ParseAndEvaluate(ovc::fuzz::Bytes(data, size));
  return 0;
}
