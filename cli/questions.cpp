#include "cli/questions.h"

#include <unistd.h>

#include <charconv>
#include <iostream>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/progress_display.h"
#include "ovcbridgesvcs/frame/user_interface_hooks.h"

namespace ovc::cli {
namespace {

constexpr int kOk = 1;
constexpr int kYes = 6;
constexpr int kNo = 7;
constexpr int kYesToAll = 19;

Questions* Of(void* context) { return static_cast<Questions*>(context); }

int32_t OnMessageBox(void* context, const wchar_t* text, const wchar_t* caption, uint32_t) {
  try {
    return Of(context)->MessageBox(ToUtf8(text), ToUtf8(caption));
  } catch (...) {
    return -1;
  }
}

int32_t OnConfirm(void* context, const wchar_t* question, const wchar_t* caption) {
  try {
    return Of(context)->Confirm(ToUtf8(question), ToUtf8(caption));
  } catch (...) {
    return -1;
  }
}

int32_t OnNumbering(void* context, OvcNumbering* numbering) {
  // The library reads the delimiter until it asks again.
  static std::wstring delimiter;
  try {
    std::string text = ToUtf8(numbering->delimiter);
    int digits = numbering->digits;
    int start = numbering->start;
    Of(context)->AskNumbering(&text, &digits, &start);
    delimiter = FromUtf8(text);
    *numbering = {delimiter.c_str(), digits, start};
    return 0;
  } catch (...) {
    return -1;
  }
}

void Install(const OvcUserInterfaceHooks* hooks) {
  const auto set =
      reinterpret_cast<OvcSetUserInterfaceFunction>(LibraryExport("OvcSetUserInterface"));
  if (set != nullptr) set(hooks);
}

// The number typed, or `offered` for an empty or unreadable answer.
int NumberOr(const std::string& typed, int offered) {
  int value = offered;
  const auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
  return error == std::errc() && end == typed.data() + typed.size() ? value : offered;
}

}  // namespace

Questions::Questions(const Console& console, const Options& options, const Numbering& numbering)
    : console_(console),
      options_(options),
      numbering_(numbering),
      terminal_(isatty(STDIN_FILENO) != 0) {
  const OvcUserInterfaceHooks hooks{this, &OnMessageBox, &OnConfirm, &OnNumbering, nullptr};
  Install(&hooks);
}

Questions::~Questions() { Install(nullptr); }

std::optional<std::string> Questions::Ask(const std::string& prompt) const {
  if (Interrupted()) return std::nullopt;
  std::cerr << prompt << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  if (!Interrupted()) return answer;
  std::cerr << '\n';
  return std::nullopt;
}

int Questions::MessageBox(const std::string& text, const std::string& caption) {
  console_.Warn(caption.empty() ? text : caption + ": " + text);
  return kOk;
}

int Questions::Confirm(const std::string& question, const std::string&) {
  if (options_.yes) {
    console_.Note(question + " -> Yes to all (--yes)");
    return kYesToAll;
  }
  if (!terminal_) {
    console_.Note(question + " -> No (no terminal to ask; --yes answers Yes to all)");
    return kNo;
  }
  const std::optional<std::string> asked = Ask(question + " [y]es, [n]o, [a]ll: ");
  if (!asked) {
    console_.Note(question + " -> No (Ctrl-C)");
    return kNo;
  }
  const std::string& answer = *asked;
  if (answer == "a" || answer == "all") return kYesToAll;
  return answer == "y" || answer == "yes" ? kYes : kNo;
}

void Questions::AskNumbering(std::string* delimiter, int* digits, int* start) {
  const bool given = numbering_.delimiter || numbering_.digits || numbering_.start;
  if (numbering_.delimiter) *delimiter = *numbering_.delimiter;
  if (numbering_.digits) *digits = *numbering_.digits;
  if (numbering_.start) *start = *numbering_.start;
  if (terminal_ && !given) {
    const std::string typed = Ask("Numbering delimiter [" + *delimiter + "]: ").value_or("");
    if (!typed.empty()) *delimiter = typed;
    *digits = NumberOr(Ask("Digits [" + std::to_string(*digits) + "]: ").value_or(""), *digits);
    *start = NumberOr(Ask("Start at [" + std::to_string(*start) + "]: ").value_or(""), *start);
    return;
  }
  console_.Note("numbering copies with delimiter \"" + *delimiter + "\", " +
                std::to_string(*digits) + " digits, from " + std::to_string(*start));
}

}  // namespace ovc::cli
