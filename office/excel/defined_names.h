#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

#include "automation/hresult.h"
#include "office/excel/cell_reference.h"
#include "office/excel/formula/structured_reference.h"
#include "office/excel/range_text.h"

namespace ovc::excel {

// Identifies one defined name for as long as its model lives; never reused,
// so a name deleted meanwhile is told apart from the next one.
using NameId = uint64_t;

// One defined name as the workbook holds it.
struct DefinedName {
  NameId id = 0;
  std::string name;          // as stored: "Rate", "_xlnm.Print_Area"
  std::string display_name;  // "Rate", "Sheet1!Rate", "'My Sheet'!Print_Area"
  int32_t sheet = -1;        // 0-based sheet of a sheet-level name; -1 workbook level
  bool hidden = false;
  std::string formula;  // what it refers to, as stored (no "=")
};

// The cells a name or a range text resolves to: the first area of a sheet.
struct NameTarget {
  int32_t sheet = -1;  // 0-based, in the order of the workbook's sheets
  CellArea area;
  bool more_areas = false;  // the name has further areas, left out
};

// What Names.Add is given beside the name and its RefersTo.
struct NameOptions {
  std::optional<bool> visible;        // missing: a new name is visible, an old one kept
  std::optional<int32_t> macro_type;  // missing or 3: not a macro name
  int32_t active_sheet = -1;          // qualifies a reference without a sheet
};

// The defined names and sheet names of a parsed xl/workbook.xml, in file
// order. Failures give a reason to be shown after "<file>: <where>: " and an
// HRESULT: E_INVALIDARG for an invalid name or RefersTo, E_NOTIMPL for what
// is not supported, DISP_E_BADINDEX for an absent name or sheet or a name
// that refers to no cells, STG_E_DOCFILECORRUPT for a part without a
// workbook element. Nothing is written on failure.
class DefinedNames {
 public:
  // Reads `workbook`, which is not owned and must outlive the model; while
  // it lives, the model is the only writer of the workbook's definedNames.
  explicit DefinedNames(pugi::xml_document* workbook);

  size_t Count() const { return entries_.size(); }

  // The name at 0-based `index` in file order; false when out of range.
  bool At(size_t index, DefinedName* name) const;
  // The name of `id`; false when it was deleted.
  bool Get(NameId id, DefinedName* name) const;

  // Names.Item(text): "Rate" is the workbook-level name Rate, else the
  // sheet-level one of `active_sheet`; "Sheet1!Rate" or "'My Sheet'!Rate" the
  // sheet-level one of that sheet. Built-in names answer without "_xlnm.".
  // Case does not matter. False, *reason and *code (DISP_E_BADINDEX) when
  // there is none.
  bool Find(std::string_view text, int32_t active_sheet, NameId* id, std::string* reason,
            HRESULT* code) const;

  // The cells a name refers to (its first area); false, *reason and *code
  // (DISP_E_BADINDEX) when it refers to no cells of this workbook (a constant,
  // a formula, #REF!, another workbook, several sheets, a missing sheet, a
  // dynamic reference) or was deleted.
  bool Resolve(NameId id, NameTarget* target, std::string* reason, HRESULT* code) const;

  // The cells Application.Range's text names in this workbook (the book part
  // is the caller's to match): "Sheet!X" is the sheet-level name X of that
  // sheet, else X as a reference; "X" the workbook-level name X, else the
  // sheet-level X of `active_sheet`; only an X that names no name is read as
  // a reference, refused without a sheet or in R1C1 form (E_INVALIDARG).
  // False, *reason and *code as Resolve, or for a missing sheet or name.
  bool ResolveRange(const RangeText& text, int32_t active_sheet, NameTarget* target,
                    std::string* reason, HRESULT* code) const;

  // Names.Add: creates a workbook-level name, in sorted order, or replaces
  // what the workbook-level name of that name (without regard to case)
  // refers to, keeping its place, spelling and other attributes. `refers_to`
  // is "=" and a constant or references ("=Sheet1!$A$1", "='My Sheet'!B2:C3,
  // Sheet2!$A:$A"). Visible true removes "hidden", false sets it. True, *id,
  // and *changed (false when the workbook already said the same) on success.
  bool Add(std::string_view name, std::string_view refers_to, const NameOptions& options,
           NameId* id, bool* changed, std::string* reason, HRESULT* code);

  // Removes the name's definedName only: what uses the name is not
  // rewritten. False, *reason and *code (DISP_E_BADINDEX) when it was
  // deleted already.
  bool Delete(NameId id, std::string* reason, HRESULT* code);

  // The names (as stored) whose formulas use `name`, directly or through
  // other names, compared without regard to case.
  std::vector<std::string> NamesUsing(std::string_view name);

  // Finds the cells of a table a structured reference names: true and
  // *target; false and *reason ("no table 'T'" when the workbook has none of
  // that name). The workbook, which knows its sheets' tables, installs it;
  // without one no structured reference resolves.
  using TableLocator =
      std::function<bool(const formula::StructuredReference&, NameTarget*, std::string* reason)>;
  void set_table_locator(TableLocator locator) { table_locator_ = std::move(locator); }

  // The sheets, in workbook order.
  const std::vector<std::string>& sheet_names() const { return sheet_names_; }
  // The 0-based index of a sheet by name without regard to case; -1 if none.
  int32_t SheetIndex(std::string_view sheet) const;

 private:
  struct Entry {
    NameId id;
    pugi::xml_node node;
    std::string sort_key;    // the order of names in the file
    std::string lookup_key;  // the sheet and NameKey of the name
    // Whether its formula may name other names; found out when first asked.
    std::optional<bool> uses_names;
  };

  void ReadSheets();
  void ReadNames();
  Entry MakeEntry(const pugi::xml_node& node);
  void NoteFormulaChanged(NameId id);
  pugi::xml_node NodeOf(NameId id) const;
  DefinedName Describe(NameId id, const pugi::xml_node& node) const;
  std::optional<NameId> Lookup(int32_t sheet, std::string_view name) const;
  bool TargetOf(const std::string& formula, NameTarget* target, std::string* reason,
                HRESULT* code) const;
  bool LocateTable(const formula::StructuredReference& reference, NameTarget* target,
                   std::string* reason, HRESULT* code) const;
  bool StoredReference(std::string_view item, int32_t active_sheet, std::string* stored,
                       std::string* reason, HRESULT* code) const;
  bool StoredFormula(std::string_view refers_to, int32_t active_sheet, std::string* formula,
                     std::string* reason, HRESULT* code) const;
  pugi::xml_node NamesElement();
  NameId Insert(std::string_view name, const std::string& formula, bool hidden);

  pugi::xml_document* workbook_;
  std::vector<std::string> sheet_names_;
  std::unordered_map<std::string, int32_t> sheet_by_key_;
  std::vector<Entry> entries_;  // in file order
  std::unordered_map<NameId, pugi::xml_node> nodes_;
  std::unordered_map<std::string, NameId> by_key_;  // lookup_key -> first such name
  NameId next_id_ = 1;
  TableLocator table_locator_;
};

}  // namespace ovc::excel
