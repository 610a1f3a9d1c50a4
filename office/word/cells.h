#pragma once

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "automation/com_ptr.h"
#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// Cells of one table, row by row (see CellsOfSpan).
class Cells final : public WordObject<ICells> {
 public:
  Cells(ComPtr<Document> document, const std::vector<pugi::xml_node>& cells);

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position; DISP_E_BADINDEX when out of range,
  // RPC_E_DISCONNECTED when that cell has left the document.
  HRESULT Item(int32_t index, IDispatch** cell) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  ComPtr<Document> document_;
  std::vector<HeldElement> cells_;
};

// One cell of a table. Once its w:tc left the document, every call fails
// with RPC_E_DISCONNECTED ("<file>: cell: has been deleted").
class Cell final : public WordObject<ICell> {
 public:
  Cell(ComPtr<Document> document, HeldElement cell);

  // 1-based: the row, and the cell's position in it.
  HRESULT get_RowIndex(int32_t* row) override;
  HRESULT get_ColumnIndex(int32_t* column) override;
  // The cell's content with its end mark, as a live Range.
  HRESULT get_Range(IDispatch** range) override;
  // The Application's Selection becomes the whole cell.
  HRESULT Select() override;

  std::string Disconnected() const override {
    return document_->DisconnectedHolding(cell_, "cell");
  }

 private:
  // Its 1-based row and column, each only when asked for (not null).
  HRESULT Locate(int32_t* row, int32_t* column);
  // The cell's span now.
  TextSpan Span() const;

  ComPtr<Document> document_;
  const HeldElement cell_;
};

}  // namespace ovc::word
