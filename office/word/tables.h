#pragma once

#include <string>
#include <vector>

#include <pugixml.hpp>

#include "automation/com_ptr.h"
#include "office/word/document.h"
#include "office/word/word.h"
#include "office/word/word_document.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The tables a range refers to when it is asked (see TablesOfSpan).
class Tables final : public WordObject<ITables> {
 public:
  Tables(ComPtr<Document> document, const TextSpan& span);

  HRESULT get_Count(int32_t* count) override;
  // By 1-based position; DISP_E_BADINDEX when out of range,
  // RPC_E_DISCONNECTED when that table has left the document.
  HRESULT Item(int32_t index, IDispatch** table) override;

  std::string Disconnected() const override { return document_->Disconnected(); }

 private:
  ComPtr<Document> document_;
  std::vector<HeldElement> tables_;
};

}  // namespace ovc::word
