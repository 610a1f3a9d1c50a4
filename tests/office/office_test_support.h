#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Shared by the office tests: a scratch folder and the fixtures of
// tests/office/fixtures.
namespace ovc::office::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "office-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

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

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace ovc::office::testing
