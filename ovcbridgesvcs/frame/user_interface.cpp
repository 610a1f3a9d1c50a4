#include "ovcbridgesvcs/frame/user_interface.h"

#include <utility>

#include "ovcbridgesvcs/frame/installed_service.h"
#include "ovcbridgesvcs/frame/reentry_guard.h"
#include "ovcbridgesvcs/frame/trace_log.h"

namespace ovc {

namespace {

void TraceQuestion(std::wstring_view kind, std::wstring_view caption, std::wstring_view text) {
  std::wstring line(kind);
  line.append(L" \"").append(caption).append(L"\": ").append(text);
  CTraceLog::Instance().Trace(CTraceLog::kErrorLevel, TraceKind::kInfo, line);
}

// Answers without a person and leaves the question in the trace.
class UnattendedInterface final : public UserInterface {
 public:
  int32_t MessageBox(std::wstring_view text, std::wstring_view caption, uint32_t style) override {
    TraceQuestion(L"Message box", caption, text);
    const uint32_t buttons = style & kBoxButtonsMask;
    return buttons == kBoxYesNo || buttons == kBoxYesNoCancel ? kAnswerYes : kAnswerOk;
  }
  Confirmation Confirm(std::wstring_view question, std::wstring_view caption) override {
    TraceQuestion(L"Confirmation", caption, question);
    return Confirmation::kYes;
  }
  LocationNumbering AskNumbering(const LocationNumbering& initial) override {
    TraceQuestion(L"Numbering", L"Format Information For Location Names", L"initial values");
    return initial;
  }
};

// Asks the installed service, or the default when there is none or the
// service throws.
template <class Ask>
auto AskSomeone(const Ask& ask) {
  if (const std::shared_ptr<UserInterface> service = InstalledSlot<UserInterface>().Current()) {
    try {
      const UserCodeScope user_code;
      return ask(*service);
    } catch (...) {
      CTraceLog::Instance().Trace(CTraceLog::kErrorLevel, TraceKind::kError,
                                  L"The user interface failed; the default answer is taken");
    }
  }
  return ask(UnattendedUserInterface());
}

}  // namespace

UserInterface& UnattendedUserInterface() {
  static UnattendedInterface unattended;
  return unattended;
}

void SetUserInterface(std::shared_ptr<UserInterface> service) {
  InstalledSlot<UserInterface>().Install(std::move(service));
}

int32_t ShowMessageBox(std::wstring_view text, std::wstring_view caption, uint32_t style) {
  return AskSomeone(
      [&](UserInterface& service) { return service.MessageBox(text, caption, style); });
}

Confirmation AskConfirmation(std::wstring_view question, std::wstring_view caption) {
  return AskSomeone([&](UserInterface& service) { return service.Confirm(question, caption); });
}

LocationNumbering AskLocationNumbering(const LocationNumbering& initial) {
  return AskSomeone([&](UserInterface& service) { return service.AskNumbering(initial); });
}

}  // namespace ovc
