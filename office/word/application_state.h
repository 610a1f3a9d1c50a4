#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "office/common/application_core.h"
#include "office/common/services.h"
#include "office/word/word_document.h"

namespace ovc::word {

class Document;

// The window states: normal, maximized, minimized.
inline constexpr office::WindowStates kWindowStates = {0, 1, 2};

// What an Application and every object taken from it share (see
// office::ApplicationCore): also its documents and options.
struct ApplicationState : office::ApplicationCore {
  explicit ApplicationState(office::Services services);
  ~ApplicationState();

  bool pagination = true;
  bool show_readability_statistics = false;
  // The open documents in opening order, each held until it closes.
  std::vector<ComPtr<Document>> documents;

  // Why objects of a quit application can no longer be used; "" while it runs.
  std::string Disconnected() const;
  // Drops a document that closed (and the selection in it).
  void Forget(Document* document);

  // Makes the selection exactly `span` of `document` (open); it then follows
  // the document's edits.
  void Select(ComPtr<Document> document, const TextSpan& span);
  // The document holding the selection and *span where it is now: the last
  // selection made, else the start of the last opened document. Null when
  // no document is open.
  Document* Selection(TextSpan* span) const;

 private:
  ComPtr<Document> selected_document_;
  std::shared_ptr<LiveSpan> selection_;
};

}  // namespace ovc::word
