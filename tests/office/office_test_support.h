#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/late_call.h"

#include "tests/automation/temp_dir.h"

// Shared by the office tests: a scratch folder, the fixtures of
// tests/office/fixtures, and late-bound calls as the library makes them.
namespace ovc::office::testing {

using files_testing::ReadFile;
using files_testing::TempDir;

inline std::string FixturePath(const std::string& name) {
  const char* tests = std::getenv("OVC_TEST_DATA");
  return std::string(tests != nullptr ? tests : "tests") + "/office/fixtures/" + name;
}

// Copies a fixture into `dir` under its own name (or `as`); returns the copy's path.
inline std::string CopyFixture(const TempDir& dir, const std::string& name,
                               const std::string& as = "") {
  const std::string copy = dir.File(as.empty() ? name : as);
  std::filesystem::copy_file(FixturePath(name), copy,
                             std::filesystem::copy_options::overwrite_existing);
  return copy;
}

// Points TMPDIR, where legacy files get their working folders, at a folder
// of the test's while it lives.
class TemporaryFolderOverride {
 public:
  TemporaryFolderOverride() { ::setenv("TMPDIR", dir_.path().c_str(), 1); }
  ~TemporaryFolderOverride() { ::unsetenv("TMPDIR"); }
  const TempDir& dir() const { return dir_; }
  size_t WorkingFolders() const {
    const std::vector<std::string> names = dir_.Entries();
    return std::count_if(names.begin(), names.end(),
                         [](const std::string& name) { return name.starts_with("ovc-legacy-"); });
  }

 private:
  TempDir dir_;
};

// A property's value or a method's result; the failure as an error value.
inline Variant Call(IDispatch* object, const wchar_t* member, std::vector<Variant> args = {},
                    uint16_t flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                    EXCEPINFO* error = nullptr) {
  Variant value;
  const HRESULT hr = CallByName(object, member, flags, std::move(args), &value, error);
  return Succeeded(hr) ? value : Variant::Error(hr);
}

inline ComPtr<IDispatch> Object(IDispatch* object, const wchar_t* member,
                                std::vector<Variant> args = {}) {
  Variant value = Call(object, member, std::move(args));
  return value.vt() == VT_DISPATCH ? ComPtr<IDispatch>(value.dispatch()) : nullptr;
}

}  // namespace ovc::office::testing
