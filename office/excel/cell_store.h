#pragma once

#include <cstdint>
#include <string>

#include <pugixml.hpp>

#include "automation/variant.h"
#include "office/excel/calc_chain.h"
#include "office/excel/calc_settings.h"
#include "office/excel/cell_area.h"
#include "office/excel/cell_content.h"
#include "office/excel/formula/value.h"
#include "office/excel/recalculation.h"
#include "office/excel/shared_strings.h"
#include "office/excel/sheet.h"
#include "office/excel/styles.h"

namespace ovc::excel {

// The most cells one Value get or put handles.
inline constexpr uint32_t kDefaultCellCap = 1048576;

// The parts of a workbook the cell values use, borrowed from the package:
// each must outlive the CellStore. Only `workbook` is required.
struct BookParts {
  pugi::xml_document* workbook = nullptr;
  pugi::xml_document* styles = nullptr;
  const pugi::xml_document* shared_strings = nullptr;
  pugi::xml_document* calc_chain = nullptr;
};

// Where and why a cell operation failed: `where` is the cell concerned (or
// the whole range), `reason` a text for users ("locked cell on a protected
// sheet") that the caller prefixes with the file and the place.
struct CellFailure {
  CellArea where;
  std::string reason;
};

// A formula cell as a calculation reads it.
struct CalculatedFormula {
  std::string text;        // as it reads from the cell (a shared formula moved to it)
  bool has_value = false;  // the cell has a cached value
  CellArea block;          // the array formula's cells; the cell itself otherwise
  bool array = false;      // an array formula: evaluated with arrays throughout
  std::string problem;     // why it cannot be calculated; "" when it can
};

// The values of a workbook's cells, as automation sees them: reading and
// writing one cell or a block, the Locked state, and which formula results
// can be trusted. Sheets are handed in by the caller, who owns them.
//
// After a successful put the sheet's part has changed, the styles part when
// styles_changed(), the calculation chain when calc_chain_changed() (to be
// removed when calc_chain_empty()), and the sheet's table parts listed by
// sheet.tables().changed_parts() (a header write renames its column).
class CellStore {
 public:
  explicit CellStore(const BookParts& parts, uint32_t cell_cap = kDefaultCellCap);
  CellStore(const CellStore&) = delete;
  CellStore& operator=(const CellStore&) = delete;

  // The value of one cell (a scalar) or of a block (a two-dimensional array
  // of VARIANT, lower bounds 1, first index the row). Failures, with
  // *failure: E_PENDING for a formula whose value is stale, E_INVALIDARG
  // for a block over the cell cap, E_FAIL for a cell the file stores wrongly.
  HRESULT GetValue(Sheet& sheet, const CellArea& area, Variant* value, CellFailure* failure);
  // Range.Formula: each cell's formula, "=" and its text (a shared formula
  // as it reads in that cell), or what a cell without formula holds, as
  // GetValue gives it; never stale.
  HRESULT GetFormula(Sheet& sheet, const CellArea& area, Variant* formula, CellFailure* failure);

  // Stores a scalar in every cell of `area`, or a two-dimensional array (any
  // lower bounds, first index the row) or a one-dimensional one (one row) of
  // the area's shape cell by cell. A value aimed at a merged cell goes to its
  // merged area's top-left cell. Every cell is checked before anything is
  // written, so that a failed put changes nothing. Failures, with *failure:
  // E_ACCESSDENIED for refused cells (locked on a protected sheet, inside an
  // array formula, spill or data table, any cell of a shared workbook, a
  // table header left empty or named as another column),
  // E_INVALIDARG for values a cell cannot hold or a wrong shape,
  // DISP_E_TYPEMISMATCH for values of other types, E_NOTIMPL when the
  // workbook has no cell formats to give a cell its quote prefix or date
  // format.
  HRESULT PutValue(Sheet& sheet, const CellArea& area, const Variant& value, CellFailure* failure);

  // VT_BOOL when every cell of the area is locked, or none is; VT_NULL when
  // they differ.
  Variant GetLocked(Sheet& sheet, const CellArea& area);

  // A shared workbook refuses every cell write.
  void set_shared_workbook(bool shared) { shared_workbook_ = shared; }
  // Records that the defined name `name` was added, redefined or deleted:
  // the formulas using it are stale.
  void NoteNameChange(std::string_view name) { recalculation_.NoteNameChange(name); }
  // For saving: after writes a calculation did not follow, asks spreadsheet
  // programs to recalculate on open. True when the workbook part changed.
  bool PrepareSave();

  // For a calculation: the formula of a cell; false when it has none.
  bool CellFormula(Sheet& sheet, CellRef cell, CalculatedFormula* formula);
  // For a calculation: what a cell holds as stored, a formula's cached value
  // however stale; blank for an empty or unreadable cell. Dates are serials.
  formula::Value StoredValue(Sheet& sheet, CellRef cell);
  // Stores a calculated value as a formula cell's cached value (blank as 0).
  void StoreResult(Sheet& sheet, CellRef cell, const formula::Value& value);
  // Removes a formula cell's cached value, which a calculation could not
  // bring up to date.
  void ForgetResult(Sheet& sheet, CellRef cell);

  const CalcSettings& settings() const { return settings_; }
  Recalculation& recalculation() { return recalculation_; }
  bool styles_changed() const { return styles_.changed(); }
  bool calc_chain_changed() const { return calc_chain_.changed(); }
  bool calc_chain_empty() const { return calc_chain_.empty(); }

 private:
  struct Target;
  struct Promotion;

  using CellReader = HRESULT (CellStore::*)(Sheet&, CellRef, Variant*, std::string*);
  // The cells of `area` read by `read`: one cell as itself, more as a
  // 1-based rows x columns array; the first failure names its cell.
  HRESULT ReadBlock(Sheet& sheet, const CellArea& area, CellReader read, Variant* value,
                    CellFailure* failure);
  HRESULT ReadCell(Sheet& sheet, CellRef cell, Variant* value, std::string* reason);
  HRESULT ReadFormula(Sheet& sheet, CellRef cell, Variant* formula, std::string* reason);
  HRESULT ReadStored(pugi::xml_node c, Variant* value, std::string* reason);
  bool FormulaOf(Sheet& sheet, CellRef cell, pugi::xml_node c, std::string* formula,
                 bool* has_value);
  HRESULT CheckTarget(Sheet& sheet, const CellArea& area, const Target& target,
                      std::vector<Promotion>* promotions, std::string* reason);
  // Both return true when they removed a formula.
  bool Store(Sheet& sheet, const Target& target, const std::vector<Promotion>& promotions);
  bool RemoveFormula(Sheet& sheet, CellRef cell, pugi::xml_node c,
                     const std::vector<Promotion>& promotions);
  uint32_t StyleFor(uint32_t style, const CellContent& content);

  CalcSettings settings_;
  Styles styles_;
  SharedStrings shared_strings_;
  CalcChain calc_chain_;
  Recalculation recalculation_;
  uint32_t cell_cap_;
  bool shared_workbook_ = false;
};

}  // namespace ovc::excel
