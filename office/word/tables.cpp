#include "office/word/tables.h"

#include <utility>

#include "office/word/table.h"
#include "office/word/table_lookup.h"

namespace ovc::word {

Tables::Tables(ComPtr<Document> document, const TextSpan& span) : document_(std::move(document)) {
  for (pugi::xml_node table : TablesOfSpan(document_->model(), span)) {
    tables_.emplace_back(document_->model(), table);
  }
}

HRESULT Tables::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(tables_.size());
  return S_OK;
}

HRESULT Tables::Item(int32_t index, IDispatch** table) {
  const office::LookupError error = document_->CheckHeld(tables_, index, "Tables", "table");
  if (Failed(error.code)) return Fail(error.code, error.description);
  *table = MakeObject<Table>(document_, tables_[index - 1]).Detach();
  return S_OK;
}

}  // namespace ovc::word
