#include "ovcbridgesvcs/frame/hooked_user_interface.h"

#include <string>

#include "ovcbridgesvcs/frame/owned_hooks.h"

namespace ovc {
namespace {

bool IsConfirmation(int32_t answer) {
  switch (static_cast<Confirmation>(answer)) {
    case Confirmation::kYes:
    case Confirmation::kYesToAll:
    case Confirmation::kNo:
    case Confirmation::kCancel:
      return true;
  }
  return false;
}

class HookedUserInterface final : public UserInterface {
 public:
  explicit HookedUserInterface(const OvcUserInterfaceHooks& hooks) : hooks_(hooks) {}

  int32_t MessageBox(std::wstring_view text, std::wstring_view caption, uint32_t style) override {
    if (hooks_->message_box != nullptr) {
      const int32_t answer = hooks_->message_box(hooks_->context, std::wstring(text).c_str(),
                                                 std::wstring(caption).c_str(), style);
      if (answer > 0) return answer;
    }
    return UnattendedUserInterface().MessageBox(text, caption, style);
  }

  Confirmation Confirm(std::wstring_view question, std::wstring_view caption) override {
    if (hooks_->confirm != nullptr) {
      const int32_t answer = hooks_->confirm(hooks_->context, std::wstring(question).c_str(),
                                             std::wstring(caption).c_str());
      if (IsConfirmation(answer)) return static_cast<Confirmation>(answer);
    }
    return UnattendedUserInterface().Confirm(question, caption);
  }

  LocationNumbering AskNumbering(const LocationNumbering& initial) override {
    if (hooks_->ask_numbering != nullptr) {
      OvcNumbering numbering{initial.delimiter.c_str(), initial.digits, initial.start};
      if (hooks_->ask_numbering(hooks_->context, &numbering) == 0 &&
          numbering.delimiter != nullptr) {
        return {numbering.delimiter, numbering.digits, numbering.start};
      }
    }
    return UnattendedUserInterface().AskNumbering(initial);
  }

 private:
  const OwnedHooks<OvcUserInterfaceHooks> hooks_;
};

}  // namespace

std::shared_ptr<UserInterface> MakeHookedUserInterface(const OvcUserInterfaceHooks& hooks) {
  return std::make_shared<HookedUserInterface>(hooks);
}

}  // namespace ovc
