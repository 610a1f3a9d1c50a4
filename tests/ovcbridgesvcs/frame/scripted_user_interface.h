#pragma once

#include <stdexcept>
#include <string>

#include "ovcbridgesvcs/frame/user_interface.h"

namespace ovc::frame_testing {

// Gives the scripted answers (or throws when `fail` is set) and keeps the
// last question as "caption: text style".
class ScriptedInterface final : public UserInterface {
 public:
  int32_t MessageBox(std::wstring_view text, std::wstring_view caption, uint32_t style) override {
    Ask(caption, text, style);
    return box_answer;
  }
  Confirmation Confirm(std::wstring_view question, std::wstring_view caption) override {
    Ask(caption, question, 0);
    return confirmation;
  }
  LocationNumbering AskNumbering(const LocationNumbering&) override {
    Ask(L"Numbering", L"", 0);
    return numbering;
  }

  int32_t box_answer = kAnswerCancel;
  Confirmation confirmation = Confirmation::kYesToAll;
  LocationNumbering numbering{L"", 3, 7};
  bool fail = false;
  std::wstring last_question;

 private:
  void Ask(std::wstring_view caption, std::wstring_view text, uint32_t style) {
    if (fail) throw std::runtime_error("no terminal");
    last_question =
        std::wstring(caption) + L": " + std::wstring(text) + L" " + std::to_wstring(style);
  }
};

}  // namespace ovc::frame_testing
