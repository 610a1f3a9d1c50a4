#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "automation/com_ptr.h"
#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// One table of an open document. Once its w:tbl left the document, every
// call fails with RPC_E_DISCONNECTED ("<file>: table: has been deleted"), as
// do the calls of its Rows and Columns.
class Table final : public WordObject<ITable> {
 public:
  Table(ComPtr<Document> document, HeldElement table);

  // The cell at a 1-based row and its position in that row;
  // DISP_E_BADINDEX when there is none or it only continues a vertical
  // merge.
  HRESULT Cell(int32_t row, int32_t column, IDispatch** cell) override;
  HRESULT get_Rows(IDispatch** rows) override;
  HRESULT get_Columns(IDispatch** columns) override;

  std::string Disconnected() const override {
    return document_->DisconnectedHolding(table_, "table");
  }

 private:
  ComPtr<Document> document_;
  const HeldElement table_;
};

// The rows of a table: their number, and a new last row.
class Rows final : public WordObject<IRows> {
 public:
  Rows(ComPtr<Document> document, HeldElement table);

  HRESULT get_Count(int32_t* count) override;
  // Appends an empty row cloning the last row's formatting. BeforeRow is
  // refused when given (E_NOTIMPL); E_ACCESSDENIED while the document is
  // protected or tracks revisions. Live ranges follow.
  HRESULT Add(const Variant& before_row) override;

  std::string Disconnected() const override {
    return document_->DisconnectedHolding(table_, "table");
  }

 private:
  ComPtr<Document> document_;
  const HeldElement table_;
};

// The columns of a table: the most cells in a row, and a new last column.
class Columns final : public WordObject<IColumns> {
 public:
  Columns(ComPtr<Document> document, HeldElement table);

  HRESULT get_Count(int32_t* count) override;
  // Appends an empty cell to every row, cloning each row's last cell.
  // BeforeColumn is refused when given (E_NOTIMPL); E_ACCESSDENIED while the
  // document is protected or tracks revisions, for a 64th column or a table
  // with horizontally merged cells. Live ranges follow.
  HRESULT Add(const Variant& before_column) override;

  std::string Disconnected() const override {
    return document_->DisconnectedHolding(table_, "table");
  }

 private:
  ComPtr<Document> document_;
  const HeldElement table_;
};

}  // namespace ovc::word
