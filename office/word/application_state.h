#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "office/common/services.h"

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
  // Drops a document that closed.
  void Forget(Document* document);
};

}  // namespace ovc::word
