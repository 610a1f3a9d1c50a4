#pragma once

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "automation/com_ptr.h"
#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// Cells of one table, row by row (see CellsOfSpan). Holds their w:tc
// elements, owned by the document: cells are never removed while it is
// open.
class Cells final : public WordObject<ICells> {
 public:
  Cells(ComPtr<Document> document, std::vector<pugi::xml_node> cells);

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position; DISP_E_BADINDEX when out of range.
  HRESULT Item(int32_t index, IDispatch** cell) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  ComPtr<Document> document_;
  const std::vector<pugi::xml_node> cells_;
};

// One cell of a table.
class Cell final : public WordObject<ICell> {
 public:
  Cell(ComPtr<Document> document, pugi::xml_node cell);

  // 1-based: the row, and the cell's position in it.
  HRESULT get_RowIndex(int32_t* row) override;
  HRESULT get_ColumnIndex(int32_t* column) override;
  // The cell's content with its end mark, as a live Range.
  HRESULT get_Range(IDispatch** range) override;
  // The Application's Selection becomes the whole cell.
  HRESULT Select() override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  HRESULT Locate(int32_t* row, int32_t* column);

  ComPtr<Document> document_;
  const pugi::xml_node cell_;
};

}  // namespace ovc::word
