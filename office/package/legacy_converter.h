#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "automation/hresult.h"

namespace ovc::office {

// The formats LibreOffice converts between for the engines.
enum class ConvertedFormat { kXls, kXlsx, kDoc, kDocx };

// The extension a converted file gets ("xlsx").
std::string_view ExtensionOf(ConvertedFormat format);

struct ConverterOptions {
  // The folders searched for "soffice", then "libreoffice", as PATH lists them.
  std::string search_path;
  // Past it, the converter and every process it started are killed.
  std::chrono::milliseconds time_limit{std::chrono::seconds(120)};
};

// The options a process's environment gives: its PATH, 120 s.
ConverterOptions DefaultConverterOptions();

// A private folder (mode 0700) under TMPDIR (else /tmp) holding the working
// copies of one legacy file, LibreOffice's user profile and its output;
// removed with everything in it when destroyed.
class WorkingFolder {
 public:
  // Creates the folder; false with errno when it cannot.
  bool Create();
  ~WorkingFolder();
  WorkingFolder() = default;
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

  // Empty before Create() succeeded.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Converts the file `source` to `target` with LibreOffice headless, in
// `folder` (a WorkingFolder): LibreOffice is started without a shell, with
// the folder's own user profile and macros disabled, as its own process
// group. Returns S_OK with *output the converted file inside the folder.
// On failure *error reads "<display_name>: <reason>": E_NOTIMPL when
// LibreOffice is missing or wrote nothing (with the reason it printed),
// E_FAIL when it ran past the time limit or could not be started.
HRESULT ConvertWithLibreOffice(const std::string& source, ConvertedFormat target,
                               const WorkingFolder& folder, const std::string& display_name,
                               const ConverterOptions& options, std::string* output,
                               std::string* error);

}  // namespace ovc::office

namespace ovc::office {

// The Office Open XML working copy of one legacy file (.xls/.doc), in a
// WorkingFolder of its own that goes with it.
class LegacyWorkingCopy {
 public:
  // Converts the legacy file open at `original_fd` (its name `display_name`
  // starts every message) to .xlsx, or to .docx when `word_processing`.
  // Null on failure with *error and *code as ConvertWithLibreOffice's, or
  // STG_E_READFAULT / STG_E_WRITEFAULT when the working folder fails.
  static std::unique_ptr<LegacyWorkingCopy> Open(int original_fd, const std::string& display_name,
                                                 bool word_processing,
                                                 const ConverterOptions& options,
                                                 std::string* error, HRESULT* code);
  // An empty working copy for a package to be saved as the legacy file
  // `display_name`: ConvertBack and Adopt make its first copy. Null with
  // STG_E_WRITEFAULT when its folder cannot be made.
  static std::unique_ptr<LegacyWorkingCopy> Create(const std::string& display_name,
                                                   bool word_processing,
                                                   const ConverterOptions& options,
                                                   std::string* error, HRESULT* code);
  ~LegacyWorkingCopy();
  LegacyWorkingCopy(const LegacyWorkingCopy&) = delete;
  LegacyWorkingCopy& operator=(const LegacyWorkingCopy&) = delete;

  // The working copy, open for reading.
  int fd() const { return fd_; }

  // Writes `package` as the next working copy and converts it to the legacy
  // format into *legacy_bytes; false with *error and *code, the current
  // copy unchanged.
  bool ConvertBack(std::string_view package, std::string* legacy_bytes, std::string* error,
                   HRESULT* code);
  // Makes the copy the last ConvertBack wrote the current one (after the
  // original was replaced; false when it cannot be opened), or drops it
  // (after that failed).
  bool Adopt();
  void Discard();

 private:
  LegacyWorkingCopy(std::string display_name, bool word_processing, ConverterOptions options);
  bool Fail(HRESULT status, std::string* error, HRESULT* code) const;
  std::string CopyPath(unsigned generation) const;

  WorkingFolder folder_;
  std::string display_name_;
  bool word_processing_;
  ConverterOptions options_;
  int fd_ = -1;
  unsigned generation_ = 0;
};

}  // namespace ovc::office
