#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "office/common/services.h"
#include "office/word/word_document.h"

namespace ovc::word {

class Document;

// Window states, as the object model numbers them.
inline constexpr int32_t kWindowNormal = 0;
inline constexpr int32_t kWindowMaximized = 1;
inline constexpr int32_t kWindowMinimized = 2;

// What an Application and every object taken from it share. The state
// outlives the Application object while anything taken from it lives; once
// `quit` is set, everything taken from it is disconnected. Serves one thread
// at a time.
struct ApplicationState {
  explicit ApplicationState(office::Services services);
  ~ApplicationState();
  ApplicationState(const ApplicationState&) = delete;
  ApplicationState& operator=(const ApplicationState&) = delete;

  office::Services services;
  bool quit = false;
  bool visible = false;
  bool screen_updating = true;
  int32_t window_state = kWindowNormal;
  bool pagination = true;
  bool show_readability_statistics = false;
  // The open documents in opening order, each held until it closes.
  std::vector<ComPtr<Document>> documents;

  void Trace(const std::string& line) const;
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
