// Reading and writing values at bookmarks: texts, form-field results and
// table cells.
#include <span>
#include <utility>
#include <vector>

#include "automation/safe_array.h"
#include "ovcbridgesvcs/apps/word_app.h"
#include "ovcbridgesvcs/apps/word_app_calls.h"
#include "ovcbridgesvcs/apps/word_app_text.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {
namespace {

using namespace word;

constexpr int32_t kUnitWord = 2;
constexpr int32_t kUnitLine = 5;
constexpr int32_t kExtend = 1;

constexpr std::wstring_view kOnlyStrings =
    L"Only Strings Supported (should have already been converted)";
constexpr std::wstring_view kLocked = L"The application location \"%s\" is locked";
constexpr std::wstring_view kCut =
    L"Word:  The value was cut to the 255 characters a form field holds.  Location:  ";
constexpr std::wstring_view kSeveralFormFields =
    L"Word Error:  A single value cannot be written to a bookmark holding several form fields; "
    L"give each field a bookmark of its own.  Location:  ";
constexpr std::wstring_view kHoldsTable =
    L"Word Error:  A single value cannot replace the table a bookmark holds; write a vector "
    L"instead.  Location:  ";
constexpr std::wstring_view kVectorFailed = L"Word Error - SetVectorValue failed at bookmark:  ";

// Where a bookmark lies in a table (rows and columns 1-based; -1 when no
// table, 0 when the range touches no cell of it).
struct TableSpan {
  int32_t tables = 0;
  ComPtr<IDispatch> table;
  ComPtr<IDispatch> cells;
  int32_t cell_count = 0;
  int32_t start_row = -1;
  int32_t start_column = -1;
  int32_t end_row = -1;
  int32_t end_column = -1;

  bool SpansRows() const { return end_row > start_row; }
  bool SpansColumns() const { return end_column > start_column; }
};

// The cells a vector of `count` values fills from the cell at (`row`,
// `column`): along the row, or `down` the column.
struct VectorCells {
  int32_t row;
  int32_t column;
  int32_t count;
  bool down;

  int32_t RowOf(int32_t index) const { return down ? row + index : row; }
  int32_t ColumnOf(int32_t index) const { return down ? column : column + index; }
  bool Covers(int32_t at_row, int32_t at_column) const {
    const int32_t index = down ? at_row - row : at_column - column;
    return index >= 0 && index < count && at_row == RowOf(index) && at_column == ColumnOf(index);
  }
};

HRESULT CellStats(IDispatch* cells, int32_t index, int32_t* row, int32_t* column) {
  ComPtr<IDispatch> cell;
  HRESULT hr = Item(cells, kCellsItem, Variant::I4(index), &cell);
  if (Succeeded(hr)) hr = GetLong(cell.get(), kCellRowIndex, row);
  if (Succeeded(hr)) hr = GetLong(cell.get(), kCellColumnIndex, column);
  return hr;
}

// Fills `span` for `range`; a range in no table leaves it empty. The
// last cell of a range that cannot be read (a vertically merged one) is
// taken as the row below the cell before it.
HRESULT LocateTable(IDispatch* range, TableSpan* span) {
  ComPtr<IDispatch> tables;
  if (Failed(GetObject(range, kRangeTables, &tables))) return S_OK;
  HRESULT hr = GetLong(tables.get(), kTablesCount, &span->tables);
  if (Failed(hr) || span->tables != 1) return hr;
  if (Failed(hr = Item(tables.get(), kTablesItem, Variant::I4(1), &span->table)) ||
      Failed(hr = GetObject(range, kRangeCells, &span->cells)) ||
      Failed(hr = GetLong(span->cells.get(), kCellsCount, &span->cell_count))) {
    return hr;
  }
  const int32_t count = span->cell_count;
  if (count == 0) {
    span->start_row = span->start_column = span->end_row = span->end_column = 0;
    return S_OK;
  }
  IDispatch* cells = span->cells.get();
  if (Failed(hr = CellStats(cells, 1, &span->start_row, &span->start_column))) return hr;
  if (count == 1) {
    span->end_row = span->start_row;
    span->end_column = span->start_column;
    return S_OK;
  }
  if (Succeeded(CellStats(cells, count, &span->end_row, &span->end_column))) return S_OK;
  if (Failed(hr = CellStats(cells, count - 1, &span->end_row, &span->end_column))) return hr;
  span->end_row += 1;
  span->end_column = span->start_column;
  return S_OK;
}

// LocateTable for a read or a vector write, which take one table only.
HRESULT TableInfo(const std::wstring& location, IDispatch* range, TableSpan* span) {
  if (Failed(LocateTable(range, span))) {
    return ReportFailedCall(LoadMessage(msg::kNoTableStatistics) + location);
  }
  if (span->tables > 1) return Report(LoadMessage(msg::kSeveralTables) + location);
  return S_OK;
}

HRESULT TableCell(IDispatch* table, int32_t row, int32_t column, ComPtr<IDispatch>* cell) {
  return GetObject(table, kTableCell, cell, {Variant::I4(row), Variant::I4(column)}, true);
}

// The value a read gives for `range`: the shown result of its first field
// when it has fields, else its text (see ValueOfShownText).
HRESULT ReadShownText(IDispatch* range, std::wstring* text) {
  ComPtr<IDispatch> fields;
  int32_t count = 0;
  HRESULT hr = S_OK;
  if (Succeeded(GetObject(range, kRangeFields, &fields)) &&
      Succeeded(GetLong(fields.get(), kFieldsCount, &count)) && count >= 1) {
    ComPtr<IDispatch> field;
    ComPtr<IDispatch> result;
    if (Failed(hr = Item(fields.get(), kFieldsItem, Variant::I4(1), &field)) ||
        Failed(hr = GetObject(field.get(), kFieldResult, &result)) ||
        Failed(hr = GetText(result.get(), kRangeText, text))) {
      return hr;
    }
  } else if (Failed(hr = GetText(range, kRangeText, text))) {
    return hr;
  }
  *text = ValueOfShownText(std::move(*text));
  return S_OK;
}

HRESULT ReadCells(const TableSpan& span, int32_t count, const std::wstring& location,
                  Variant* value) {
  const VectorCells cells{span.start_row, span.start_column, count, span.SpansRows()};
  SafeArray texts = SafeArray::Vector(VT_VARIANT, static_cast<uint32_t>(count));
  for (int32_t index = 0; index < count; ++index) {
    ComPtr<IDispatch> cell;
    ComPtr<IDispatch> range;
    std::wstring text;
    if (Failed(TableCell(span.table.get(), cells.RowOf(index), cells.ColumnOf(index), &cell)) ||
        Failed(GetObject(cell.get(), kCellRange, &range)) ||
        Failed(ReadShownText(range.get(), &text))) {
      return ReportFailedCall(LoadMessage(msg::kCellReadFailed) + location);
    }
    texts.data()[index] = Variant(std::move(text));
  }
  *value = Variant(std::move(texts));
  return S_OK;
}

// The text a value writes: VT_BSTR, or "" for VT_EMPTY; nothing for others.
bool TextOf(const Variant& value, std::wstring* text) {
  if (value.vt() == VT_BSTR) {
    *text = value.bstr();
  } else if (value.vt() != VT_EMPTY) {
    return false;
  }
  return true;
}

// Sets the result of the first of `form_fields` to `text`, cut to what a
// form field holds (*cut says whether it was).
HRESULT PutFormFieldResult(IDispatch* form_fields, std::wstring text, bool* locked, bool* cut) {
  ComPtr<IDispatch> field;
  HRESULT hr = Item(form_fields, kFormFieldsItem, Variant::I4(1), &field);
  if (Succeeded(hr)) hr = GetFlag(field.get(), kFormFieldLocked, locked);
  *cut = CutToFormFieldResult(&text);
  return Succeeded(hr) ? Put(field.get(), kFormFieldResult, Variant(std::move(text))) : hr;
}

// Selects `target` through its Select member; gives the form fields the
// selection holds and their count.
HRESULT SelectFormFields(IDispatch* application, IDispatch* target, LateMember& select,
                         ComPtr<IDispatch>* fields, int32_t* count) {
  ComPtr<IDispatch> selection;
  HRESULT hr = S_OK;
  if (Failed(hr = Call(target, select)) ||
      Failed(hr = GetObject(application, kApplicationSelection, &selection)) ||
      Failed(hr = GetObject(selection.get(), kSelectionFormFields, fields))) {
    return hr;
  }
  return GetLong(fields->get(), kFormFieldsCount, count);
}

HRESULT GrowTable(IDispatch* table, const VectorCells& cells) {
  ComPtr<IDispatch> lines;
  int32_t count = 0;
  HRESULT hr = GetObject(table, cells.down ? kTableRows : kTableColumns, &lines);
  if (Succeeded(hr)) hr = GetLong(lines.get(), cells.down ? kRowsCount : kColumnsCount, &count);
  const int32_t last = cells.down ? cells.RowOf(cells.count - 1) : cells.ColumnOf(cells.count - 1);
  for (int32_t missing = last - count; Succeeded(hr) && missing > 0; --missing) {
    hr = Call(lines.get(), cells.down ? kRowsAdd : kColumnsAdd, {Variant::Missing()});
  }
  return hr;
}

// Writes `text` into a cell: as the result of the one form field it holds,
// else as its text.
HRESULT WriteCell(IDispatch* application, IDispatch* table, int32_t row, int32_t column,
                  std::wstring text, bool* cut) {
  ComPtr<IDispatch> cell;
  ComPtr<IDispatch> form_fields;
  int32_t count = 0;
  HRESULT hr = TableCell(table, row, column, &cell);
  if (Succeeded(hr))
    hr = SelectFormFields(application, cell.get(), kCellSelect, &form_fields, &count);
  if (Failed(hr)) return hr;
  if (count == 1) {
    bool locked = false;
    bool shortened = false;
    hr = PutFormFieldResult(form_fields.get(), std::move(text), &locked, &shortened);
    *cut = *cut || shortened;
    return hr;
  }
  ComPtr<IDispatch> range;
  if (Failed(hr = GetObject(cell.get(), kCellRange, &range))) return hr;
  return Put(range.get(), kRangeText, Variant(std::move(text)));
}

HRESULT FillCells(IDispatch* application, const TableSpan& span, const VectorCells& cells,
                  std::span<const Variant> items, bool* cut) {
  for (int32_t index = 0; index < cells.count; ++index) {
    std::wstring text;
    if (!TextOf(items[index], &text)) continue;
    const HRESULT hr = WriteCell(application, span.table.get(), cells.RowOf(index),
                                 cells.ColumnOf(index), text, cut);
    if (Failed(hr)) return hr;
  }
  return S_OK;
}

// Redefines the bookmark over exactly the written cells.
HRESULT MarkCells(IDispatch* application, IDispatch* document, IDispatch* table,
                  const VectorCells& cells, const std::wstring& location,
                  ComPtr<IDispatch>* block) {
  ComPtr<IDispatch> first;
  ComPtr<IDispatch> selection;
  HRESULT hr = TableCell(table, cells.row, cells.column, &first);
  if (Succeeded(hr)) hr = Call(first.get(), kCellSelect);
  if (Succeeded(hr)) hr = GetObject(application, kApplicationSelection, &selection);
  if (Succeeded(hr) && cells.count > 1) {
    hr = Call(selection.get(), cells.down ? kSelectionMoveDown : kSelectionMoveRight,
              {Variant::I4(cells.down ? kUnitLine : kUnitWord), Variant::I4(cells.count - 1),
               Variant::I4(kExtend)});
  }
  if (Succeeded(hr)) hr = GetObject(selection.get(), kSelectionRange, block);
  return Succeeded(hr) ? AddBookmark(document, location, block->get()) : hr;
}

// Empties the cells the bookmark covered before the write and no longer
// covers.
HRESULT ClearUncovered(IDispatch* application, const TableSpan& span, const VectorCells& cells) {
  bool cut = false;
  for (int32_t row = span.start_row; row <= span.end_row; ++row) {
    for (int32_t column = span.start_column; column <= span.end_column; ++column) {
      if (cells.Covers(row, column)) continue;
      const HRESULT hr = WriteCell(application, span.table.get(), row, column, {}, &cut);
      if (Failed(hr)) return hr;
    }
  }
  return S_OK;
}

HRESULT ReportCut(const std::wstring& location) {
  return Report(std::wstring(kCut) + location, {}, S_FALSE);
}

}  // namespace

HRESULT CWordApp::GetValue(const std::wstring& location, Variant* value) {
  CMethodFrame frame(L"CWordApp::GetValue");
  return RunMethod(frame, [&] {
    Variant read;
    const HRESULT hr = ReadValue(location, &read);
    return Succeeded(hr) ? Give(value, std::move(read)) : hr;
  });
}

HRESULT CWordApp::ReadValue(const std::wstring& location, Variant* value) {
  ComPtr<IDispatch> range;
  TableSpan span;
  HRESULT hr = GetRange(location, &range);
  if (Succeeded(hr)) hr = TableInfo(location, range.get(), &span);
  if (Failed(hr)) return hr;
  if (span.table && span.start_row > 0) {
    if (span.SpansRows() && span.SpansColumns()) {
      return Report(LoadMessage(msg::kTwoDimensional) + location);
    }
    const int32_t count = span.SpansRows() ? span.end_row - span.start_row + 1
                                           : span.end_column - span.start_column + 1;
    if (count >= 2) return ReadCells(span, count, location, value);
  }
  std::wstring text;
  if (Failed(ReadShownText(range.get(), &text))) return ReportReadFailure(location);
  *value = Variant(std::move(text));
  return S_OK;
}

// A read fails in a protected document mostly because of the protection:
// say so when the document is protected, or was when the bracket began.
HRESULT CWordApp::ReportReadFailure(const std::wstring& location) {
  const std::wstring reason = TakeReason();
  int32_t protection = kNotProtected;
  const bool now = Succeeded(GetLong(document_.get(), kDocumentProtectionType, &protection)) &&
                   protection != kNotProtected;
  const bool before = bracket_protection_.value_or(kNotProtected) != kNotProtected;
  return Report(LoadMessage(now || before ? msg::kProtectedRead : msg::kWordReadFailed) + location,
                reason);
}

HRESULT CWordApp::SetValue(const std::wstring& location, const Variant& value) {
  CMethodFrame frame(L"CWordApp::SetValue");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> range;
    const HRESULT hr = GetRange(location, &range);
    return Succeeded(hr) ? WriteText(value) : hr;
  });
}

HRESULT CWordApp::SetValueAtSelection(const Variant& value) {
  CMethodFrame frame(L"CWordApp::SetValueAtSelection");
  return RunMethod(frame, [&] { return WriteText(value); });
}

HRESULT CWordApp::WriteText(const Variant& value) {
  if (!current_range_) return S_OK;
  std::wstring text;
  if (!TextOf(value, &text)) return Report(std::wstring(kOnlyStrings));
  const std::wstring& location = current_location_;
  IDispatch* range = current_range_.get();
  ComPtr<IDispatch> form_fields;
  int32_t count = 0;
  if (Failed(SelectFormFields(application_.get(), range, kRangeSelect, &form_fields, &count))) {
    return ReportFailedCall(LoadMessage(msg::kBookmarkWriteFailed) + location);
  }
  if (count > 1) return Report(std::wstring(kSeveralFormFields) + location);
  if (count == 1) {
    bool locked = false;
    bool cut = false;
    if (Failed(PutFormFieldResult(form_fields.get(), std::move(text), &locked, &cut))) {
      return ReportWriteFailure(locked);
    }
    return cut ? ReportCut(location) : S_OK;
  }
  TableSpan span;
  if (Failed(LocateTable(range, &span))) {
    return ReportFailedCall(LoadMessage(msg::kBookmarkWriteFailed) + location);
  }
  if (span.tables > 1 || (span.tables == 1 && span.cell_count != 1)) {
    return Report(std::wstring(kHoldsTable) + location);
  }
  if (Failed(Put(range, kRangeText, Variant(std::move(text)))) ||
      Failed(AddBookmark(document_.get(), location, range))) {
    return ReportWriteFailure(false);
  }
  return S_OK;
}

HRESULT CWordApp::ReportWriteFailure(bool locked) {
  if (locked) return Report(FormatMessageText(kLocked, current_location_), TakeReason());
  return ReportFailedCall(LoadMessage(msg::kBookmarkWriteFailed) + current_location_);
}

HRESULT CWordApp::SetVectorValue(const std::wstring& location, const Variant& values,
                                 VARIANT_BOOL column) {
  CMethodFrame frame(L"CWordApp::SetVectorValue");
  return RunMethod(frame, [&] {
    ComPtr<IDispatch> range;
    const HRESULT hr = GetRange(location, &range);
    return Succeeded(hr) ? WriteVector(values, column != VARIANT_FALSE) : hr;
  });
}

HRESULT CWordApp::SetVectorValueAtSelection(const Variant& values, VARIANT_BOOL column) {
  CMethodFrame frame(L"CWordApp::SetVectorValueAtSelection");
  return RunMethod(frame, [&] { return WriteVector(values, column != VARIANT_FALSE); });
}

HRESULT CWordApp::WriteVector(const Variant& values, bool down) {
  if (!current_range_) return S_OK;
  if (!values.IsArray() || values.array().element_type() != VT_VARIANT) {
    return Report(L"The vector must contain Variants.");
  }
  if (values.array().dimensions() != 1) return Report(L"Safe array is not a 1-Dimensional vector");
  const std::span<const Variant> items = values.array().data();
  if (items.empty()) return S_OK;
  const std::wstring location = current_location_;
  TableSpan span;
  HRESULT hr = TableInfo(location, current_range_.get(), &span);
  if (Failed(hr)) return hr;
  if (!span.table) {
    return Report(L"To set a vector the bookmark must identify a table", {}, E_INVALIDARG);
  }
  const VectorCells cells{span.start_row, span.start_column, static_cast<int32_t>(items.size()),
                          down};
  IDispatch* application = application_.get();
  ComPtr<IDispatch> block;
  bool cut = false;
  if (Failed(GrowTable(span.table.get(), cells)) ||
      Failed(FillCells(application, span, cells, items, &cut)) ||
      Failed(MarkCells(application, document_.get(), span.table.get(), cells, location, &block)) ||
      Failed(ClearUncovered(application, span, cells))) {
    return ReportFailedCall(std::wstring(kVectorFailed) + location);
  }
  current_range_ = block;
  return cut ? ReportCut(location) : S_OK;
}

}  // namespace ovc::apps
