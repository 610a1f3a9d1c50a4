#include "office/word/application_state.h"

#include <utility>

#include "office/word/document.h"

namespace ovc::word {

ApplicationState::ApplicationState(office::Services services)
    : office::ApplicationCore(std::move(services), kWindowStates) {}

ApplicationState::~ApplicationState() = default;

std::string ApplicationState::Disconnected() const {
  return quit ? "Word.Application: the application has quit" : std::string();
}

void ApplicationState::Forget(Document* document) {
  std::erase_if(documents, [&](const ComPtr<Document>& open) { return open.get() == document; });
  if (selected_document_.get() == document) {
    selected_document_ = nullptr;
    selection_ = nullptr;
  }
}

void ApplicationState::Select(ComPtr<Document> document, const TextSpan& span) {
  selection_ = document->model().Track(span);
  selected_document_ = std::move(document);
}

Document* ApplicationState::Selection(TextSpan* span) const {
  if (selected_document_) {
    *span = selection_->span;
    return selected_document_.get();
  }
  if (documents.empty()) return nullptr;
  *span = TextSpan{};
  return documents.back().get();
}

}  // namespace ovc::word
