#pragma once

#include <functional>
#include <string>

namespace ovc::office {

// What the embedding program lends an application. Each member may be left
// empty, and then its default applies.
struct Services {
  // Answers "Save changes to <file name>?" for a changed, writable document
  // that closes without being told whether to save: true saves, false
  // discards. Default: save.
  std::function<bool(const std::string& file_name)> prompt;
  // Receives one line for each event worth a trace: a document closed
  // without saving, a close cancelled by an event sink, a failing sink.
  // Default: the lines are dropped.
  std::function<void(const std::string& line)> trace;
  // Recorded as the last author of every saved document. Default: the
  // login name.
  std::string user_name;
};

// The user name a save records: the services' one, else the login name.
std::string UserName(const Services& services);

// The services every application created by ProgID gets. Set them before
// creating applications; a change reaches only later creations.
void SetDefaultServices(Services services);
Services DefaultServices();

}  // namespace ovc::office
