#include "office/excel/cell_store.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/date.h"
#include "automation/number_text.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "office/excel/cell_error.h"
#include "office/excel/cell_text.h"
#include "office/excel/formula_text.h"
#include "office/excel/spreadsheet_xml.h"
#include "office/package/xml_names.h"

namespace ovc::excel {

// One cell a put writes, and what it writes there.
struct CellStore::Target {
  CellRef cell;
  const CellContent* content;
};

// A shared formula whose master is overwritten: the cell that takes over.
struct CellStore::Promotion {
  CellRef old_master;
  CellRef new_master;
  std::string formula;
  CellArea area;
};

namespace {

using CellKey = std::pair<int32_t, int32_t>;
CellKey KeyOf(CellRef cell) { return {cell.row, cell.column}; }

uint32_t RowsOf(const CellArea& area) {
  return static_cast<uint32_t>(area.last.row - area.first.row + 1);
}
uint32_t ColumnsOf(const CellArea& area) {
  return static_cast<uint32_t>(area.last.column - area.first.column + 1);
}
CellArea OneCell(CellRef cell) { return {cell, cell}; }

bool ParseDouble(std::string_view text, double* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

// An ISO 8601 date and time as cells of type "d" hold it.
bool ParseIsoDate(const char* text, DATE* date) {
  DateFields fields;
  fields.hour = fields.minute = fields.second = 0;
  size_t consumed = 0;
  const int read = ReadIsoDateTimeFields(text, 6, &fields, &consumed);
  return (read == 3 || read >= 5) && DateFromFields(fields, date);
}

std::string CellCountText(uint64_t count) { return std::to_string(count); }

bool Covers(const CellArea& outer, const CellArea& inner) {
  return Contains(outer, inner.first) && Contains(outer, inner.last);
}

// Sets a cell's style attribute, after its reference; none for format 0.
void SetStyle(pugi::xml_node c, uint32_t style) {
  pugi::xml_attribute s = c.attribute("s");
  if (style == 0) {
    c.remove_attribute(s);
    return;
  }
  if (!s) s = c.insert_attribute_after("s", c.attribute("r"));
  if (!s) s = c.prepend_attribute("s");
  s.set_value(style);
}

// The column name a value written into a table header gives, or "" when
// it gives none.
std::string HeaderName(const CellContent& content) {
  switch (content.kind) {
    case CellContent::Kind::kText:
      return DecodeCellText(content.text);
    case CellContent::Kind::kNumber:
      return ToUtf8(DoubleToText(content.number));
    case CellContent::Kind::kBoolean:
      return content.boolean ? "TRUE" : "FALSE";
    default:
      return {};
  }
}

bool IsTextLike(const CellContent& content) {
  return content.kind == CellContent::Kind::kText || content.kind == CellContent::Kind::kEmpty;
}

}  // namespace

CellStore::CellStore(const BookParts& parts, uint32_t cell_cap)
    : settings_(*parts.workbook),
      styles_(parts.styles),
      shared_strings_(parts.shared_strings),
      calc_chain_(parts.calc_chain),
      recalculation_(settings_.full_calc_on_load()),
      cell_cap_(cell_cap) {}

bool CellStore::PrepareSave() {
  return recalculation_.uncalculated() && settings_.RequestFullCalcOnLoad();
}

bool CellStore::FormulaOf(Sheet& sheet, CellRef cell, pugi::xml_node c, std::string* formula,
                          bool* has_value) {
  *has_value = static_cast<bool>(SpreadsheetChild(c, "v"));
  if (const pugi::xml_node f = SpreadsheetChild(c, "f")) {
    *formula = f.child_value();
    if (formula->empty() && std::string_view(f.attribute("t").value()) == "shared") {
      if (const SharedFormula* group = sheet.formulas().Shared(f)) {
        *formula = group->formula.child_value();
      }
    }
    return true;
  }
  if (const FormulaBlock* block = sheet.formulas().BlockOf(cell)) {
    *formula = block->formula.child_value();
    return true;
  }
  return false;
}

HRESULT CellStore::ReadCell(Sheet& sheet, CellRef cell, Variant* value, std::string* reason) {
  const pugi::xml_node c = sheet.FindCell(cell);
  std::string formula;
  bool has_value = false;
  if (FormulaOf(sheet, cell, c, &formula, &has_value)) {
    const std::string stale =
        recalculation_.StaleReason(sheet.sheet_id(), cell, formula, has_value);
    if (!stale.empty()) {
      *reason = "formula not recalculated (" + stale + ")";
      return E_PENDING;
    }
  }
  return ReadStored(c, value, reason);
}

HRESULT CellStore::ReadStored(pugi::xml_node c, Variant* value, std::string* reason) {
  const std::string_view type = c.attribute("t").value();
  const pugi::xml_node v = SpreadsheetChild(c, "v");
  const char* stored = v.child_value();
  *value = Variant();
  if (type == "inlineStr") {
    *value = Variant(FromUtf8(StringItemText(SpreadsheetChild(c, "is"))));
  } else if (!v) {
    return S_OK;
  } else if (type == "s") {
    std::string text;
    const std::optional<uint32_t> index = office::XmlInteger<uint32_t>(stored);
    if (!index || !shared_strings_.Text(*index, &text)) {
      *reason = "the cell names a shared string the workbook does not have";
      return E_FAIL;
    }
    *value = Variant(FromUtf8(text));
  } else if (type == "str") {
    *value = Variant(FromUtf8(DecodeCellText(stored)));
  } else if (type == "b") {
    *value = Variant::Bool(std::string_view(stored) == "1" || std::string_view(stored) == "true");
  } else if (type == "e") {
    SCODE code = 0;
    if (!ErrorCodeFromText(stored, &code)) {
      *reason = "unknown error value '" + std::string(stored) + "'";
      return E_FAIL;
    }
    *value = Variant::Error(code);
  } else if (type == "d") {
    DATE date = 0;
    if (!ParseIsoDate(stored, &date)) {
      *reason = "stored date '" + std::string(stored) + "' cannot be read";
      return E_FAIL;
    }
    *value = Variant::Date(date);
  } else {
    double number = 0;
    if (!ParseDouble(stored, &number)) {
      *reason = "stored number '" + std::string(stored) + "' cannot be read";
      return E_FAIL;
    }
    DATE date = 0;
    const bool is_date = styles_.IsDateFormat(StyleIndex(c)) &&
                         formula::SerialToDate(number, settings_.date_system(), &date);
    *value = is_date ? Variant::Date(date) : Variant::R8(number);
  }
  return S_OK;
}

HRESULT CellStore::GetValue(Sheet& sheet, const CellArea& area, Variant* value,
                            CellFailure* failure) {
  return ReadBlock(sheet, area, &CellStore::ReadCell, value, failure);
}

HRESULT CellStore::GetFormula(Sheet& sheet, const CellArea& area, Variant* formula,
                              CellFailure* failure) {
  return ReadBlock(sheet, area, &CellStore::ReadFormula, formula, failure);
}

HRESULT CellStore::ReadBlock(Sheet& sheet, const CellArea& area, CellReader read, Variant* value,
                             CellFailure* failure) {
  const uint32_t rows = RowsOf(area);
  const uint32_t columns = ColumnsOf(area);
  const uint64_t count = uint64_t{rows} * columns;
  if (count > cell_cap_) {
    *failure = {area, "a block of " + CellCountText(count) + " cells is over the limit of " +
                          CellCountText(cell_cap_)};
    return E_INVALIDARG;
  }
  if (count == 1) {
    const HRESULT hr = (this->*read)(sheet, area.first, value, &failure->reason);
    if (Failed(hr)) failure->where = area;
    return hr;
  }
  SafeArray array(VT_VARIANT, {{1, rows}, {1, columns}});
  std::span<Variant> elements = array.data();
  for (uint32_t column = 0; column < columns; ++column) {
    for (uint32_t row = 0; row < rows; ++row) {
      const CellRef cell{area.first.row + static_cast<int32_t>(row),
                         area.first.column + static_cast<int32_t>(column)};
      const HRESULT hr =
          (this->*read)(sheet, cell, &elements[column * size_t{rows} + row], &failure->reason);
      if (Failed(hr)) {
        failure->where = OneCell(cell);
        return hr;
      }
    }
  }
  *value = Variant(std::move(array));
  return S_OK;
}

HRESULT CellStore::ReadFormula(Sheet& sheet, CellRef cell, Variant* formula, std::string* reason) {
  const pugi::xml_node c = sheet.FindCell(cell);
  std::string text;
  bool has_value = false;
  if (!FormulaOf(sheet, cell, c, &text, &has_value)) return ReadStored(c, formula, reason);
  const pugi::xml_node f = SpreadsheetChild(c, "f");
  const SharedFormula* group = f ? sheet.formulas().Shared(f) : nullptr;
  std::string shifted;
  if (group != nullptr && !(group->master == cell) &&
      ShiftReferences(text, cell.row - group->master.row, cell.column - group->master.column,
                      &shifted)) {
    text = std::move(shifted);
  }
  *formula = Variant(L"=" + FromUtf8(text));
  return S_OK;
}

bool CellStore::CellFormula(Sheet& sheet, CellRef cell, CalculatedFormula* formula) {
  const pugi::xml_node c = sheet.FindCell(cell);
  *formula = CalculatedFormula();
  formula->block = OneCell(cell);
  if (!FormulaOf(sheet, cell, c, &formula->text, &formula->has_value)) return false;
  if (const FormulaBlock* block = sheet.formulas().BlockOf(cell)) {
    formula->block = block->area;
    formula->array = block->kind != FormulaBlock::Kind::kDataTable;
    if (block->kind == FormulaBlock::Kind::kDataTable) {
      formula->problem = "data tables are not calculated";
    }
    return true;
  }
  const pugi::xml_node f = SpreadsheetChild(c, "f");
  formula->array = std::string_view(f.attribute("t").value()) == "array";
  if (formula->array) return true;
  const SharedFormula* group = nullptr;
  if (std::string_view(f.attribute("t").value()) == "shared") {
    group = sheet.formulas().Shared(f);
  }
  std::string shifted;
  if (group != nullptr && !(group->master == cell)) {
    if (!ShiftReferences(formula->text, cell.row - group->master.row,
                         cell.column - group->master.column, &shifted)) {
      formula->problem = "the shared formula cannot be moved to this cell";
    }
    formula->text = shifted;
  }
  return true;
}

formula::Value CellStore::StoredValue(Sheet& sheet, CellRef cell) {
  Variant value;
  std::string reason;
  const pugi::xml_node c = sheet.FindCell(cell);
  if (!c || Failed(ReadStored(c, &value, &reason))) return formula::Value();
  switch (value.vt()) {
    case VT_R8:
      return formula::Value::Number(value.r8());
    case VT_DATE: {
      double serial = 0;
      formula::DateToSerial(value.date(), settings_.date_system(), &serial);
      return formula::Value::Number(serial);
    }
    case VT_BSTR:
      return formula::Value::Text(ToUtf8(value.bstr()));
    case VT_BOOL:
      return formula::Value::Boolean(value.boolVal() != VARIANT_FALSE);
    case VT_ERROR: {
      formula::ErrorCode code = formula::ErrorCode::kNA;
      formula::ErrorFromText(ErrorTextFromCode(value.scode()), &code);
      return formula::Value::Error(code);
    }
    default:
      return formula::Value();
  }
}

void CellStore::StoreResult(Sheet& sheet, CellRef cell, const formula::Value& value) {
  pugi::xml_node c = sheet.FindOrAddCell(cell);
  c.remove_attribute("t");
  std::string text;
  switch (value.type()) {
    case formula::Value::Type::kText: {
      std::string reason;
      if (Failed(EncodeCellText(FromUtf8(value.text()), &text, &reason))) text.clear();
      c.append_attribute("t") = "str";
      break;
    }
    case formula::Value::Type::kBoolean:
      c.append_attribute("t") = "b";
      text = value.boolean() ? "1" : "0";
      break;
    case formula::Value::Type::kError:
      c.append_attribute("t") = "e";
      text = formula::ErrorText(value.error());
      break;
    case formula::Value::Type::kNumber:
      text = ToUtf8(DoubleToRoundTripText(value.number()));
      break;
    default:
      text = "0";
  }
  pugi::xml_node v = SpreadsheetChild(c, "v");
  if (!v) v = office::InsertInOrder(c, kSpreadsheetNamespace, "v", {"f", "v", "is"});
  v.text().set(text.c_str());
}

void CellStore::ForgetResult(Sheet& sheet, CellRef cell) {
  pugi::xml_node c = sheet.FindCell(cell);
  c.remove_attribute("t");
  c.remove_child(SpreadsheetChild(c, "v"));
  c.remove_child(SpreadsheetChild(c, "is"));
}

Variant CellStore::GetLocked(Sheet& sheet, const CellArea& area) {
  const bool first = styles_.IsLocked(sheet.StyleOf(area.first));
  for (int32_t row = area.first.row; row <= area.last.row; ++row) {
    for (int32_t column = area.first.column; column <= area.last.column; ++column) {
      if (styles_.IsLocked(sheet.StyleOf({row, column})) != first) return Variant::Null();
    }
  }
  return Variant::Bool(first);
}

namespace {

// The contents a put stores, cell by cell in row order over the area: one
// for a scalar, one per element for an array.
HRESULT ContentsOf(const Variant& value, const CellArea& area, formula::DateSystem system,
                   std::vector<CellContent>* contents, CellFailure* failure) {
  const uint32_t rows = RowsOf(area);
  const uint32_t columns = ColumnsOf(area);
  if (!value.IsArray()) {
    contents->resize(1);
    const HRESULT hr = ContentFromValue(value, system, &(*contents)[0], &failure->reason);
    if (Failed(hr)) failure->where = area;
    return hr;
  }
  const SafeArray& array = value.array();
  const auto& bounds = array.bounds();
  const bool shaped =
      (bounds.size() == 2 && bounds[0].count == rows && bounds[1].count == columns) ||
      (bounds.size() == 1 && rows == 1 && bounds[0].count == columns);
  if (!shaped) {
    *failure = {area, "the array's shape differs from the range's (" + std::to_string(rows) +
                          " x " + std::to_string(columns) + ")"};
    return E_INVALIDARG;
  }
  contents->resize(size_t{rows} * columns);
  const std::span<const Variant> elements = array.data();
  for (uint32_t row = 0; row < rows; ++row) {
    for (uint32_t column = 0; column < columns; ++column) {
      const Variant& element = elements[column * size_t{rows} + row];
      const CellRef cell{area.first.row + static_cast<int32_t>(row),
                         area.first.column + static_cast<int32_t>(column)};
      HRESULT hr = DISP_E_TYPEMISMATCH;
      if (element.Dereferenced().IsArray()) {
        failure->reason = "an array inside an array";
      } else {
        hr = ContentFromValue(element, system, &(*contents)[row * size_t{columns} + column],
                              &failure->reason);
      }
      if (Failed(hr)) {
        failure->where = OneCell(cell);
        return hr;
      }
    }
  }
  return S_OK;
}

}  // namespace

HRESULT CellStore::PutValue(Sheet& sheet, const CellArea& area, const Variant& given,
                            CellFailure* failure) {
  const uint64_t count = uint64_t{RowsOf(area)} * ColumnsOf(area);
  if (count > cell_cap_) {
    *failure = {area, "a block of " + CellCountText(count) + " cells is over the limit of " +
                          CellCountText(cell_cap_)};
    return E_INVALIDARG;
  }
  if (shared_workbook_) {
    *failure = {area, "shared workbook: unshare it first"};
    return E_ACCESSDENIED;
  }
  const Variant value = given.Dereferenced();
  std::vector<CellContent> contents;
  HRESULT hr = ContentsOf(value, area, settings_.date_system(), &contents, failure);
  if (Failed(hr)) return hr;

  // Values aimed at merged cells go to the merged area's top-left cell.
  std::vector<Target> targets;
  std::map<CellKey, size_t> merged_targets;
  const uint32_t columns = ColumnsOf(area);
  for (int32_t row = area.first.row; row <= area.last.row; ++row) {
    for (int32_t column = area.first.column; column <= area.last.column; ++column) {
      const size_t index = contents.size() == 1
                               ? 0
                               : static_cast<size_t>(row - area.first.row) * columns +
                                     static_cast<size_t>(column - area.first.column);
      const CellContent* content = &contents[index];
      const std::optional<CellArea> merged = sheet.MergedAreaOf({row, column});
      if (!merged) {
        targets.push_back({{row, column}, content});
        continue;
      }
      const bool empty = content->kind == CellContent::Kind::kEmpty;
      if (empty && !(merged->first == CellRef{row, column})) continue;
      const auto [slot, added] = merged_targets.try_emplace(KeyOf(merged->first), targets.size());
      if (added) {
        targets.push_back({merged->first, content});
        continue;
      }
      const CellContent* held = targets[slot->second].content;
      if (held->kind == CellContent::Kind::kEmpty) {
        targets[slot->second].content = content;
      } else if (!empty && !(*held == *content)) {
        *failure = {*merged, "two different values aimed at one merged area"};
        return E_INVALIDARG;
      }
    }
  }

  std::vector<Promotion> promotions;
  for (const Target& target : targets) {
    hr = CheckTarget(sheet, area, target, &promotions, &failure->reason);
    if (Failed(hr)) {
      failure->where = OneCell(target.cell);
      return hr;
    }
  }
  bool formulas_removed = false;
  for (const Target& target : targets) formulas_removed |= Store(sheet, target, promotions);
  // The sheet gathers its formulas again when next needed.
  if (formulas_removed) sheet.ForgetFormulas();
  recalculation_.NoteWrite(sheet.sheet_id(), area);
  return S_OK;
}

HRESULT CellStore::CheckTarget(Sheet& sheet, const CellArea& area, const Target& target,
                               std::vector<Promotion>* promotions, std::string* reason) {
  const CellRef cell = target.cell;
  const uint32_t style = sheet.StyleOf(cell);
  if (sheet.is_protected() && styles_.IsLocked(style)) {
    *reason = "locked cell on a protected sheet";
    return E_ACCESSDENIED;
  }
  if (const FormulaBlock* block = sheet.formulas().BlockOf(cell)) {
    switch (block->kind) {
      case FormulaBlock::Kind::kArray:
        if (Covers(area, block->area)) break;
        *reason = "part of the array formula in " + FormatAddress(block->area, kRelativeA1) +
                  ": only the whole array can be replaced";
        return E_ACCESSDENIED;
      case FormulaBlock::Kind::kSpill:
        if (cell == block->area.first) break;
        *reason =
            "cell spilled from the dynamic array formula in " + FormatA1Cell(block->area.first);
        return E_ACCESSDENIED;
      case FormulaBlock::Kind::kDataTable:
        *reason = "part of the data table " + FormatAddress(block->area, kRelativeA1);
        return E_ACCESSDENIED;
    }
  }
  const CellContent& content = *target.content;
  if (sheet.tables().IsHeader(cell)) {
    const HRESULT hr = sheet.tables().CheckRename(cell, HeaderName(content), reason);
    if (Failed(hr)) return hr;
  }
  const bool needs_format = (content.quote_prefix && !styles_.HasQuotePrefix(style)) ||
                            (!IsTextLike(content) && styles_.HasQuotePrefix(style)) ||
                            (content.date_format != 0 && styles_.IsGeneral(style));
  if (needs_format && !styles_.can_add()) {
    *reason = "the workbook has no cell formats to give the cell its quote prefix or date format";
    return E_NOTIMPL;
  }
  const pugi::xml_node f = SpreadsheetChild(sheet.FindCell(cell), "f");
  if (std::string_view(f.attribute("t").value()) != "shared" || !f.attribute("ref")) return S_OK;
  const SharedFormula* group = sheet.formulas().Shared(f);
  if (group == nullptr || !(group->master == cell)) return S_OK;
  Promotion promotion{cell, {}, {}, {}};
  bool found = false;
  for (CellRef member : group->members) {
    if (Contains(area, member)) continue;
    if (!found) {
      promotion.new_master = member;
      promotion.area = OneCell(member);
      found = true;
    }
    promotion.area.first = {std::min(promotion.area.first.row, member.row),
                            std::min(promotion.area.first.column, member.column)};
    promotion.area.last = {std::max(promotion.area.last.row, member.row),
                           std::max(promotion.area.last.column, member.column)};
  }
  if (!found) return S_OK;
  if (!ShiftReferences(group->formula.child_value(), promotion.new_master.row - cell.row,
                       promotion.new_master.column - cell.column, &promotion.formula)) {
    *reason = "master of a shared formula whose references cannot be moved to " +
              FormatA1Cell(promotion.new_master);
    return E_ACCESSDENIED;
  }
  promotions->push_back(std::move(promotion));
  return S_OK;
}

bool CellStore::RemoveFormula(Sheet& sheet, CellRef cell, pugi::xml_node c,
                              const std::vector<Promotion>& promotions) {
  const pugi::xml_node f = SpreadsheetChild(c, "f");
  if (!f) return false;
  for (const Promotion& promotion : promotions) {
    if (!(promotion.old_master == cell)) continue;
    pugi::xml_node master = SpreadsheetChild(sheet.FindCell(promotion.new_master), "f");
    for (pugi::xml_attribute attribute : f.attributes()) {
      if (!master.attribute(attribute.name())) master.append_attribute(attribute.name());
      master.attribute(attribute.name()).set_value(attribute.value());
    }
    master.attribute("ref").set_value(FormatAddress(promotion.area, kRelativeA1).c_str());
    master.text().set(promotion.formula.c_str());
  }
  if (const FormulaBlock* block = sheet.formulas().BlockOf(cell);
      block != nullptr && block->kind == FormulaBlock::Kind::kSpill) {
    for (int32_t row = block->area.first.row; row <= block->area.last.row; ++row) {
      for (int32_t column = block->area.first.column; column <= block->area.last.column; ++column) {
        const pugi::xml_node spilled = sheet.FindCell({row, column});
        if (spilled && !(CellRef{row, column} == cell)) StoreContent(spilled, {});
      }
    }
  }
  calc_chain_.Remove(sheet.sheet_id(), cell);
  c.remove_child(f);
  return true;
}

uint32_t CellStore::StyleFor(uint32_t style, const CellContent& content) {
  if (content.kind == CellContent::Kind::kEmpty) return style;
  if (content.kind == CellContent::Kind::kText) {
    if (content.quote_prefix) styles_.WithQuotePrefix(style, true, &style);
    return style;
  }
  styles_.WithQuotePrefix(style, false, &style);
  if (content.date_format != 0 && styles_.IsGeneral(style)) {
    styles_.WithNumberFormat(style, content.date_format, &style);
  }
  return style;
}

bool CellStore::Store(Sheet& sheet, const Target& target,
                      const std::vector<Promotion>& promotions) {
  const CellContent& content = *target.content;
  pugi::xml_node c = sheet.FindCell(target.cell);
  if (!c && content.kind == CellContent::Kind::kEmpty) return false;
  if (!c) c = sheet.FindOrAddCell(target.cell);
  const bool removed = RemoveFormula(sheet, target.cell, c, promotions);
  StoreContent(c, content);
  if (sheet.tables().IsHeader(target.cell)) {
    sheet.tables().Rename(
        target.cell, content.kind == CellContent::Kind::kText ? content.text : HeaderName(content));
  }
  const uint32_t style = StyleIndex(c);
  if (const uint32_t next = StyleFor(style, content); next != style) SetStyle(c, next);
  return removed;
}

}  // namespace ovc::excel
