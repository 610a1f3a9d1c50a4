#include "office/word/tables.h"

#include <utility>

#include "office/word/table.h"
#include "office/word/table_lookup.h"

namespace ovc::word {

Tables::Tables(ComPtr<Document> document, const TextSpan& span)
    : document_(std::move(document)), tables_(TablesOfSpan(document_->model(), span)) {}

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
  *table = MakeObject<Table>(document_, tables_[index - 1]).Detach();
  return S_OK;
}

}  // namespace ovc::word
