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
  if (index < 1 || index > static_cast<int32_t>(tables_.size())) {
    return Fail(DISP_E_BADINDEX, office::Describe(document_->file_name(), "Tables",
                                                  "no table at position " + std::to_string(index) +
                                                      " of " + std::to_string(tables_.size())));
  }
  const HeldElement& held = tables_[index - 1];
  if (!held.Get(document_->model())) {
    return Fail(RPC_E_DISCONNECTED,
                office::Describe(document_->file_name(), "Tables",
                                 "table " + std::to_string(index) + " has been deleted"));
  }
  *table = MakeObject<Table>(document_, held).Detach();
  return S_OK;
}

}  // namespace ovc::word
