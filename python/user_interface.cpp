// The library's questions (message boxes, the overwrite confirmation, the
// numbering dialog) answered by Python callables.
#include "python/user_interface.h"

#include <pybind11/stl.h>

#include <string>
#include <tuple>

#include "ovcbridgesvcs/frame/user_interface_hooks.h"
#include "python/library_export.h"

namespace ovc::python {
namespace {

// The callable installed for `hook`, or None.
py::object Callback(const char* hook) {
  py::dict callbacks = py::module_::import("ovcbridge").attr("_user_interface");
  return callbacks.contains(hook) ? py::object(callbacks[hook]) : py::none();
}

// Calls the callback of `hook` and converts its answer; -1 (the library's
// default answer) when there is none or it fails, which Python reports as
// an unraisable exception.
template <class Answer, class... Args>
int32_t Ask(const char* hook, Answer answer, Args&&... args) {
  py::gil_scoped_acquire gil;
  try {
    py::object callback = Callback(hook);
    if (callback.is_none()) return -1;
    return answer(callback(std::forward<Args>(args)...));
  } catch (py::error_already_set& failure) {
    failure.discard_as_unraisable(hook);
  } catch (const std::exception&) {
  }
  return -1;
}

int32_t AskMessageBox(void*, const wchar_t* text, const wchar_t* caption, uint32_t style) {
  return Ask(
      "message_box", [](py::object answer) { return answer.cast<int32_t>(); }, std::wstring(text),
      std::wstring(caption), style);
}

int32_t AskConfirm(void*, const wchar_t* question, const wchar_t* caption) {
  return Ask(
      "confirm", [](py::object answer) { return answer.cast<int32_t>(); }, std::wstring(question),
      std::wstring(caption));
}

int32_t AskNumbering(void*, OvcNumbering* numbering) {
  // Keeps the delimiter alive until the next question, as the hooks promise.
  static std::wstring delimiter;
  return Ask(
      "ask_numbering",
      [numbering](py::object answer) {
        std::tie(delimiter, numbering->digits, numbering->start) =
            answer.cast<std::tuple<std::wstring, int32_t, int32_t>>();
        numbering->delimiter = delimiter.c_str();
        return 0;
      },
      std::wstring(numbering->delimiter), numbering->digits, numbering->start);
}

void SetUserInterface(const char* library_path, py::object message_box, py::object confirm,
                      py::object ask_numbering) {
  py::dict callbacks;
  callbacks["message_box"] = message_box;
  callbacks["confirm"] = confirm;
  callbacks["ask_numbering"] = ask_numbering;
  py::module_::import("ovcbridge").attr("_user_interface") = callbacks;
  const bool any = !message_box.is_none() || !confirm.is_none() || !ask_numbering.is_none();
  static const OvcUserInterfaceHooks hooks{nullptr, &AskMessageBox, &AskConfirm, &AskNumbering,
                                           nullptr};
  CallLibraryExport(library_path, "OvcSetUserInterface", any ? &hooks : nullptr);
}

}  // namespace

void BindUserInterface(py::module_& module, const char* library_path) {
  module.attr("_user_interface") = py::dict();
  module.def(
      "SetUserInterface",
      [library_path](py::object message_box, py::object confirm, py::object ask_numbering) {
        SetUserInterface(library_path, std::move(message_box), std::move(confirm),
                         std::move(ask_numbering));
      },
      py::arg("message_box") = py::none(), py::arg("confirm") = py::none(),
      py::arg("ask_numbering") = py::none(),
      "Answers the library's questions with Python callables: message_box(text, caption, "
      "style) -> button, confirm(question, caption) -> button, ask_numbering(delimiter, "
      "digits, start) -> (delimiter, digits, start). A callable left out, or one that "
      "raises, gets the default answer (OK or Yes, the values offered); no callables "
      "restores the default.");
}

}  // namespace ovc::python
