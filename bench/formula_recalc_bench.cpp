// A model of 100,000 formulas (1,000 rows of 100-long chains, every tenth
// link summing the row so far), calculated once, 100 inputs changed,
// recalculated: prints the time of the recalculation, the cells evaluated
// and the value of the first row's last formula, against HyperFormula (npm,
// run by node) on the same model in the same run. Manual calculation mode:
// the puts only record the change and one Calculate evaluates, as the peer's
// batch does.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/excel_bench_support.h"
#include "office/excel/cell_reference.h"
#include "office/excel/workbook_calculation.h"
#include "office/excel/workbook_document.h"

namespace ovc::excel::bench {
namespace {

constexpr int kRows = 1000;
constexpr int kColumns = 100;  // formula columns after the input column A
constexpr int kChanged = 100;

// The formula of `column` (2 and on) in `row`; formula_recalc_hyperformula.js
// writes the same.
std::string FormulaAt(int row, int column) {
  const std::string previous = ColumnLetters(column - 1) + std::to_string(row);
  if (column == 2) return "A" + std::to_string(row) + "*1.5";
  if (column % 10 == 0) {
    return "SUM($B" + std::to_string(row) + ":" + previous + ")/" + std::to_string(column);
  }
  return previous + "*1.01+$A" + std::to_string(row);
}

// The model without cached values: the first calculation computes it all.
bool WriteModel(const std::string& path) {
  std::string rows;
  for (int row = 1; row <= kRows; ++row) {
    const std::string r = std::to_string(row);
    rows += "<row r=\"" + r + "\"><c r=\"A" + r + "\"><v>" + r + "</v></c>";
    for (int column = 2; column <= kColumns + 1; ++column) {
      rows +=
          "<c r=\"" + ColumnLetters(column) + r + "\"><f>" + FormulaAt(row, column) + "</f></c>";
    }
    rows += "</row>";
  }
  return WriteOneSheetWorkbook(path, "", rows);
}

bool Calculate(WorkbookCalculation& calculation, size_t* evaluated) {
  calculation.Run(LocalNowSerial());
  *evaluated = calculation.evaluated();
  return true;
}

bool ChangeInputs(WorkbookDocument& book) {
  std::string error;
  Sheet* sheet = book.SheetAt(0, &error);
  for (int row = 1; sheet != nullptr && row <= kChanged; ++row) {
    CellFailure failure;
    const CellArea cell{{row, 1}, {row, 1}};
    if (Failed(book.cells().PutValue(*sheet, cell, Variant::R8(row + 1000), &failure))) {
      return false;
    }
  }
  return sheet != nullptr;
}

}  // namespace
}  // namespace ovc::excel::bench

int main() {
  using namespace ovc;
  using namespace ovc::excel;
  using namespace ovc::excel::bench;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("formula-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "Model.xlsx").string();
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<WorkbookDocument> book;
  std::unique_ptr<WorkbookCalculation> calculation;
  size_t first = 0, evaluated = 0;
  const bool ready = WriteModel(path) &&
                     (book = WorkbookDocument::Open(path, true, {}, &error, &code)) != nullptr &&
                     (calculation = std::make_unique<WorkbookCalculation>(*book)) &&
                     Calculate(*calculation, &first) && ChangeInputs(*book);
  const double engine = ready ? Seconds([&] { return Calculate(*calculation, &evaluated); }) : -1;
  std::string last = "?";
  if (ready) {
    Sheet* sheet = book->SheetAt(0, &error);
    const auto value = book->cells().StoredValue(*sheet, {1, kColumns + 1});
    if (value.is_number()) last = std::to_string(value.number());
  }
  std::filesystem::remove_all(folder);
  if (engine < 0) {
    std::fprintf(stderr, "the engine failed: %s\n", error.c_str());
    return 1;
  }
  std::printf("100,000 formulas, %d inputs changed, recalculated (manual mode, one Calculate):\n",
              kChanged);
  std::printf("  engine       %.3f s, %zu cells evaluated (first calculation %zu), row 1 ends %s\n",
              engine, evaluated, first, last.c_str());
  const std::string script = std::string(OVC_SOURCE_DIR) + "/bench/formula_recalc_hyperformula.js";
  FILE* peer = popen(("node " + script + " 2>/dev/null").c_str(), "r");
  double hyperformula = -1;
  char value[64] = "";
  if (peer != nullptr && std::fscanf(peer, "%lf %63s", &hyperformula, value) != 2)
    hyperformula = -1;
  if (peer != nullptr) pclose(peer);
  if (hyperformula < 0) {
    std::printf("  HyperFormula not available (NODE_PATH must name a node_modules with it)\n");
    return 0;
  }
  std::printf("  HyperFormula %.3f s, row 1 ends %s\n", hyperformula, value);
  std::printf("ratio: HyperFormula / engine = %.2f (goal >= 5)\n", hyperformula / engine);
  return 0;
}
