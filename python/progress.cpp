// The transfer operations' progress reported to a Python callable, which may
// ask them to stop.
#include "python/progress.h"

#include <array>
#include <string>

#include "automation/text.h"
#include "ovcbridgesvcs/frame/progress_hooks.h"
#include "python/library_export.h"

namespace ovc::python {
namespace {

constexpr std::array<const char*, 4> kPhaseNames = {"host_read", "write_pass", "read_pass",
                                                    "host_write"};

py::object PhaseName(int32_t phase) {
  if (phase < 0 || phase >= static_cast<int32_t>(kPhaseNames.size())) return py::int_(phase);
  return py::str(kPhaseNames[phase]);
}

py::object CallCallback(const OvcProgressStep& step) {
  py::object callback = py::module_::import("ovcbridge").attr("_progress");
  if (callback.is_none()) return py::none();
  return callback(py::arg("phase") = PhaseName(step.phase),
                  py::arg("file") = std::wstring(step.file),
                  py::arg("object") = std::wstring(step.object), py::arg("done") = step.done,
                  py::arg("total") = step.total);
}

// Only False stops; a callable that raises stops too and hands the library
// its exception as text.
int32_t ReportStep(void*, const OvcProgressStep* step, const wchar_t** failure) {
  // Keeps the failure's text alive until the next step, as the hooks promise.
  static std::wstring failure_text;
  py::gil_scoped_acquire gil;
  try {
    return CallCallback(*step).ptr() == Py_False ? 0 : 1;
  } catch (const py::error_already_set& raised) {
    failure_text = ExceptionText(raised);
  } catch (const std::exception& raised) {
    failure_text = FromUtf8(raised.what());
  }
  *failure = failure_text.c_str();
  return -1;
}

void SetProgress(const char* library_path, const py::object& callable) {
  if (!callable.is_none() && !PyCallable_Check(callable.ptr())) {
    throw py::type_error("SetProgress takes a callable or None");
  }
  py::module_::import("ovcbridge").attr("_progress") = callable;
  static const OvcProgressHooks hooks{nullptr, &ReportStep, nullptr};
  CallLibraryExport(library_path, "OvcSetProgress", callable.is_none() ? nullptr : &hooks);
}

}  // namespace

void BindProgress(py::module_& module, const char* library_path) {
  module.attr("_progress") = py::none();
  module.def(
      "SetProgress",
      [library_path](const py::object& callable) { SetProgress(library_path, callable); },
      py::arg("callable"),
      "Reports the progress of the transfer operations to callable(phase, file, object, "
      "done, total), called with keywords: phase is 'host_read', 'write_pass', 'read_pass' "
      "or 'host_write'. Returning False stops the operation; so does raising, whose text "
      "goes into the operation's error. None restores the default, which reports nowhere.");
}

}  // namespace ovc::python
