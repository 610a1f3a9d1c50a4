#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/automation/temp_dir.h"

// Shared by the office tests: a scratch folder and the fixtures of
// tests/office/fixtures.
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

}  // namespace ovc::office::testing
