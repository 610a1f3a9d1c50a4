#pragma once

#include <map>
#include <string>
#include <tuple>

#include "automation/text.h"
#include "office/excel/formula/workbook_view.h"

namespace ovc::excel::formula {

// A workbook of constant cells for evaluator tests: sheets "Sheet1" and
// "My Sheet", cells and names as the test sets them, two tables.
class FakeWorkbook : public WorkbookView {
 public:
  void Set(int32_t sheet, int32_t row, int32_t column, Value value) {
    cells_[{sheet, row, column}] = std::move(value);
  }
  void Name(const std::string& name, const std::string& formula) { names_[name] = formula; }

  Value CellValue(int32_t sheet, int32_t row, int32_t column) override {
    ++reads;
    const auto found = cells_.find({sheet, row, column});
    return found == cells_.end() ? Value() : found->second;
  }
  void UsedExtent(int32_t sheet, int32_t* last_row, int32_t* last_column) override {
    *last_row = *last_column = 0;
    for (const auto& [key, value] : cells_) {
      if (std::get<0>(key) != sheet) continue;
      *last_row = std::max(*last_row, std::get<1>(key));
      *last_column = std::max(*last_column, std::get<2>(key));
    }
  }
  int32_t SheetIndex(std::string_view name) override {
    if (EqualsNoCase(FromUtf8(name), L"Sheet1")) return 0;
    return EqualsNoCase(FromUtf8(name), L"My Sheet") ? 1 : -1;
  }
  bool NameFormula(std::string_view name, int32_t, std::string* formula) override {
    const auto found = names_.find(std::string(name));
    if (found == names_.end()) return false;
    *formula = found->second;
    return true;
  }
  // "T" is Sheet1!A1:B3, of the columns Code and Price; "Low" its last row.
  bool TableArea(const StructuredReference& reference, Area* area, std::string* problem) override {
    const int32_t top = reference.table == "T" ? 1 : reference.table == "Low" ? 3 : 0;
    if (top == 0) return WorkbookView::TableArea(reference, area, problem);
    *area = {0, top, reference.first_column == "Price" ? 2 : 1, 3,
             reference.last_column == "Code" ? 1 : 2};
    return true;
  }
  double Now() override { return 45000.25; }
  double DateOffset() override { return date_offset; }

  int reads = 0;
  double date_offset = 0;

 private:
  std::map<std::tuple<int32_t, int32_t, int32_t>, Value> cells_;
  std::map<std::string, std::string> names_;
};

}  // namespace ovc::excel::formula
