#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ovc {

// Message box styles and answers, with the values of the platform the
// library was first written for so that codes passed through keep meaning.
inline constexpr uint32_t kBoxOk = 0x0;
inline constexpr uint32_t kBoxOkCancel = 0x1;
inline constexpr uint32_t kBoxYesNoCancel = 0x3;
inline constexpr uint32_t kBoxYesNo = 0x4;
inline constexpr uint32_t kBoxButtonsMask = 0xF;
inline constexpr uint32_t kBoxIconError = 0x10;
inline constexpr uint32_t kBoxSetForeground = 0x10000;

inline constexpr int32_t kAnswerOk = 1;
inline constexpr int32_t kAnswerCancel = 2;
inline constexpr int32_t kAnswerYes = 6;
inline constexpr int32_t kAnswerNo = 7;

// The answers of the overwrite confirmation (four buttons).
enum class Confirmation : int32_t {
  kYes = kAnswerYes,        // go on with this item
  kYesToAll = 19,           // go on and ask no more in this call
  kNo = kAnswerNo,          // skip this item
  kCancel = kAnswerCancel,  // stop
};

// How generated location names are numbered: prefix + delimiter + number,
// the number written with at least `digits` digits (0: as it comes).
struct LocationNumbering {
  std::wstring delimiter = L"_";
  int32_t digits = 0;
  int32_t start = 1;

  friend bool operator==(const LocationNumbering&, const LocationNumbering&) = default;
};

// Asks the person in front of the program. The embedding program installs
// one (SetUserInterface); the default asks nobody: it gives the first
// button of a box (OK or Yes), kYes, and the numbering it was offered, and
// writes each question to the trace. Members may be called from any thread.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // A modal message box; returns the kAnswer... of the button chosen.
  virtual int32_t MessageBox(std::wstring_view text, std::wstring_view caption, uint32_t style) = 0;
  // The four-button overwrite question under `caption`.
  virtual Confirmation Confirm(std::wstring_view question, std::wstring_view caption) = 0;
  // The numbering dialog opened with `initial`; returns the values in force
  // when it closed.
  virtual LocationNumbering AskNumbering(const LocationNumbering& initial) = 0;
};

// Installs the process's user interface, replacing the previous one; null
// restores the default. The library shares ownership of the service.
void SetUserInterface(std::shared_ptr<UserInterface> service);

// The default, which asks nobody; lives for the whole process.
UserInterface& UnattendedUserInterface();

// The library's questions, answered by the installed service. An exception
// thrown by the service is not passed on: the default's answer is taken.
int32_t ShowMessageBox(std::wstring_view text, std::wstring_view caption, uint32_t style);
Confirmation AskConfirmation(std::wstring_view question, std::wstring_view caption);
LocationNumbering AskLocationNumbering(const LocationNumbering& initial = {});

}  // namespace ovc
