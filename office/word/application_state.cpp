#include "office/word/application_state.h"

#include <utility>

#include "office/word/document.h"

namespace ovc::word {

ApplicationState::ApplicationState(office::Services services) : services(std::move(services)) {}

ApplicationState::~ApplicationState() = default;

void ApplicationState::Trace(const std::string& line) const {
  if (services.trace) services.trace(line);
}

std::string ApplicationState::Disconnected() const {
  return quit ? "Word.Application: the application has quit" : std::string();
}

void ApplicationState::Forget(Document* document) {
  std::erase_if(documents, [&](const ComPtr<Document>& open) { return open.get() == document; });
}

}  // namespace ovc::word
