#include "office/package/legacy_converter.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <thread>
#include <vector>

#include "automation/text.h"

extern char** environ;

namespace ovc::office {
namespace {

constexpr std::string_view kLibreOfficeNeeded =
    "LibreOffice is needed to open .xls/.doc files (Debian packages libreoffice-calc-nogui, "
    "libreoffice-writer-nogui)";
constexpr std::chrono::milliseconds kPollInterval(10);
constexpr size_t kMaxReasonLength = 300;
constexpr std::string_view kFolderPrefix = "ovc-legacy-";
// In each working folder: the process that made it.
constexpr std::string_view kOwnerFile = "owner";

// The user profile's settings: macros neither run nor ask to.
constexpr std::string_view kMacrosDisabled =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="MacroSecurityLevel" oor:op="fuse"><value>3</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Security/Scripting"><prop oor:name="DisableMacrosExecution" oor:op="fuse"><value>true</value></prop></item>
</oor:items>
)";

struct FormatInfo {
  std::string_view extension;
  std::string_view filter;  // LibreOffice's export filter
};

FormatInfo InfoOf(ConvertedFormat format) {
  switch (format) {
    case ConvertedFormat::kXls:
      return {"xls", "MS Excel 97"};
    case ConvertedFormat::kXlsx:
      return {"xlsx", "Calc MS Excel 2007 XML"};
    case ConvertedFormat::kDoc:
      return {"doc", "MS Word 97"};
    case ConvertedFormat::kDocx:
      break;
  }
  return {"docx", "MS Word 2007 XML"};
}

bool IsExecutableFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The first "soffice", else the first "libreoffice", along `search_path`.
std::string FindLibreOffice(std::string_view search_path) {
  for (const std::string_view program : {"soffice", "libreoffice"}) {
    size_t start = 0;
    while (start <= search_path.size()) {
      const size_t end = std::min(search_path.find(':', start), search_path.size());
      const std::string_view folder = search_path.substr(start, end - start);
      const std::string candidate =
          (folder.empty() ? std::string(".") : std::string(folder)) + "/" + std::string(program);
      if (IsExecutableFile(candidate)) return candidate;
      start = end + 1;
    }
  }
  return "";
}

// A file URL of an absolute path, every byte outside the unreserved set
// percent-encoded.
std::string FileUrl(std::string_view path) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = IsAsciiLetter(c) || IsAsciiDigit(c) ||
                            std::string_view("/-._~").find(c) != std::string_view::npos;
    if (unreserved) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 0xF];
    }
  }
  return url;
}

bool WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// Prepares the folder's LibreOffice profile (macros disabled) and output
// folder, once.
bool PrepareFolder(const std::string& folder) {
  const std::string user = folder + "/profile/user";
  const std::string settings = user + "/registrymodifications.xcu";
  if (::access(settings.c_str(), F_OK) == 0) return true;
  for (const std::string& sub : {folder + "/profile", user, folder + "/out"}) {
    if (::mkdir(sub.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return WriteFile(settings, kMacrosDisabled);
}

// The last non-blank line LibreOffice printed: its reason for a failure.
std::string LastLine(const std::string& log_path) {
  std::ifstream in(log_path, std::ios::binary);
  std::string line;
  std::string last;
  while (std::getline(in, line)) {
    if (!TrimBlanks(line).empty()) last = line;
  }
  if (last.size() > kMaxReasonLength) last.resize(kMaxReasonLength);
  return last;
}

// The file name LibreOffice gives its output: the source's name with the
// last extension replaced.
std::string OutputName(const std::string& source, std::string_view extension) {
  const size_t slash = source.rfind('/');
  std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot != 0) name.resize(dot);
  return name + "." + std::string(extension);
}

// posix_spawn's settings for one conversion: its own process group, default
// signal handling, stdin from /dev/null, stdout and stderr into `log_path`.
class SpawnSettings {
 public:
  explicit SpawnSettings(const std::string& log_path) {
    ::posix_spawnattr_init(&attributes_);
    ::posix_spawn_file_actions_init(&actions_);
    sigset_t signals;
    sigemptyset(&signals);
    ::posix_spawnattr_setsigmask(&attributes_, &signals);
    sigfillset(&signals);
    ::posix_spawnattr_setsigdefault(&attributes_, &signals);
    ::posix_spawnattr_setpgroup(&attributes_, 0);
    ::posix_spawnattr_setflags(
        &attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions_, 1, log_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                       0600);
    ::posix_spawn_file_actions_adddup2(&actions_, 1, 2);
  }
  ~SpawnSettings() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

// Waits for the process `pid` until `limit`; true when it ended in time.
// Its process group is killed either way, so that nothing it started
// outlives the conversion.
bool WaitWithin(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  pid_t ended = 0;
  while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kPollInterval);
  }
  ::kill(-pid, SIGKILL);
  if (ended == 0) {
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  return ended != 0;
}

std::string Decimal(uint64_t value) {
  std::array<char, 24> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
  return std::string(digits.data(), result.ptr);
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  ::remove(path);
  return 0;
}

// A number of decimal digits, the whole of `text`.
std::optional<uint64_t> Number(std::string_view text) {
  uint64_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// When the process `pid` started, in clock ticks after boot (the 22nd
// field of /proc/<pid>/stat, the 20th after the parenthesised command);
// none when there is no such process.
std::optional<uint64_t> ProcessStart(pid_t pid) {
  std::ifstream in("/proc/" + Decimal(static_cast<uint64_t>(pid)) + "/stat");
  std::string stat;
  std::getline(in, stat);
  const size_t command_end = stat.rfind(')');
  if (command_end == std::string::npos) return std::nullopt;
  std::string_view fields = std::string_view(stat).substr(command_end + 1);
  for (int field = 0; field < 19; ++field) {
    const size_t start = fields.find_first_not_of(' ');
    if (start == std::string_view::npos) return std::nullopt;
    fields.remove_prefix(std::min(fields.find(' ', start), fields.size()));
  }
  fields.remove_prefix(std::min(fields.find_first_not_of(' '), fields.size()));
  return Number(fields.substr(0, fields.find(' ')));
}

// The owner file's text: the process's id and when it started, which
// together stay unique when ids are reused.
std::string OwnerRecord(pid_t pid, uint64_t started) {
  return Decimal(static_cast<uint64_t>(pid)) + " " + Decimal(started) + "\n";
}

// Whether the working folder `path`, of this user, holds an owner file
// naming a process that is gone. A folder without one (being made, or not
// ours) is never abandoned.
bool OwnerGone(const std::string& path) {
  const int fd = ::open((path + "/" + std::string(kOwnerFile)).c_str(),
                        O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  std::array<char, 64> buffer{};
  const ssize_t count = ::read(fd, buffer.data(), buffer.size());
  ::close(fd);
  if (count <= 0) return false;
  std::string_view record(buffer.data(), static_cast<size_t>(count));
  if (!record.ends_with('\n')) return false;
  record.remove_suffix(1);
  const size_t blank = record.find(' ');
  if (blank == std::string_view::npos) return false;
  const std::optional<uint64_t> pid = Number(record.substr(0, blank));
  const std::optional<uint64_t> started = Number(record.substr(blank + 1));
  if (!pid || !started || *pid == 0 ||
      *pid > static_cast<uint64_t>(std::numeric_limits<pid_t>::max()))
    return false;
  return ProcessStart(static_cast<pid_t>(*pid)) != started;
}

// Whether `name` is one mkdtemp made from the working folders' pattern.
bool IsWorkingFolderName(std::string_view name) {
  if (name.size() != kFolderPrefix.size() + 6 || !name.starts_with(kFolderPrefix)) return false;
  return std::all_of(name.begin() + kFolderPrefix.size(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

// Removes the working folders under `parent` that a killed process left:
// of the working folders' name, a real folder (no link) of this user with
// mode 0700, whose owner file names a process that is gone.
void RemoveAbandonedFolders(const std::string& parent) {
  DIR* folder = ::opendir(parent.c_str());
  if (folder == nullptr) return;
  while (const struct dirent* entry = ::readdir(folder)) {
    if (!IsWorkingFolderName(entry->d_name)) continue;
    const std::string path = parent + "/" + entry->d_name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::geteuid() || (status.st_mode & 07777) != 0700 || !OwnerGone(path)) {
      continue;
    }
    ::nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }
  ::closedir(folder);
}

}  // namespace

std::string_view ExtensionOf(ConvertedFormat format) { return InfoOf(format).extension; }

ConverterOptions DefaultConverterOptions() {
  ConverterOptions options;
  const char* path = std::getenv("PATH");
  options.search_path = path != nullptr ? path : "/usr/bin:/bin";
  return options;
}

bool WorkingFolder::Create() {
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string parent = tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp";
  RemoveAbandonedFolders(parent);
  std::string pattern = parent + "/" + std::string(kFolderPrefix) + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return false;
  path_ = std::move(pattern);
  const std::optional<uint64_t> started = ProcessStart(::getpid());
  if (started &&
      WriteFile(path_ + "/" + std::string(kOwnerFile), OwnerRecord(::getpid(), *started))) {
    return true;
  }
  const int failure = errno;
  ::nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  path_.clear();
  errno = failure;
  return false;
}

WorkingFolder::~WorkingFolder() {
  if (!path_.empty()) ::nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

HRESULT ConvertWithLibreOffice(const std::string& source, ConvertedFormat target,
                               const WorkingFolder& folder, const std::string& display_name,
                               const ConverterOptions& options, std::string* output,
                               std::string* error) {
  const FormatInfo info = InfoOf(target);
  const std::string conversion = "conversion to ." + std::string(info.extension);
  const std::string program = FindLibreOffice(options.search_path);
  if (program.empty()) {
    *error = display_name + ": " + std::string(kLibreOfficeNeeded);
    return E_NOTIMPL;
  }
  if (!PrepareFolder(folder.path())) {
    *error = display_name + ": " + conversion + ": " + std::strerror(errno);
    return E_FAIL;
  }
  const std::string out_folder = folder.path() + "/out";
  const std::string produced = out_folder + "/" + OutputName(source, info.extension);
  ::unlink(produced.c_str());
  // A relative name gets "./" so that one starting with '-' is no option.
  const std::string source_argument = source.front() == '/' ? source : "./" + source;
  const std::vector<std::string> arguments = {
      program,        "--headless",
      "--invisible",  "--nologo",
      "--norestore",  "--nolockcheck",
      "--nodefault",  "-env:UserInstallation=" + FileUrl(folder.path() + "/profile"),
      "--convert-to", std::string(info.extension) + ":" + std::string(info.filter),
      "--outdir",     out_folder,
      source_argument};
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const std::string log_path = folder.path() + "/convert.log";
  SpawnSettings settings(log_path);
  pid_t pid = 0;
  if (const int failure = ::posix_spawn(&pid, program.c_str(), settings.actions(),
                                        settings.attributes(), argv.data(), environ)) {
    *error = display_name + ": " + conversion +
             ": LibreOffice could not be started: " + std::strerror(failure);
    return E_FAIL;
  }
  if (!WaitWithin(pid, options.time_limit)) {
    *error = display_name + ": " + conversion + " by LibreOffice did not finish within " +
             Decimal(static_cast<uint64_t>(
                 std::chrono::duration_cast<std::chrono::seconds>(options.time_limit).count())) +
             " s and was stopped";
    return E_FAIL;
  }
  struct stat status {};
  if (::stat(produced.c_str(), &status) != 0 || status.st_size == 0) {
    const std::string reason = LastLine(log_path);
    *error = display_name + ": " + conversion + ": LibreOffice wrote nothing" +
             (reason.empty() ? "" : " (" + reason + ")");
    return E_NOTIMPL;
  }
  *output = produced;
  return S_OK;
}

namespace {

// Copies the whole file open at `fd` into a new file `path`; 0 or the errno.
int CopyOpenFile(int fd, const std::string& path) {
  const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (out < 0) return errno;
  std::array<char, 1 << 16> buffer{};
  int failure = 0;
  for (off_t offset = 0;;) {
    const ssize_t count = ::pread(fd, buffer.data(), buffer.size(), offset);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      failure = count < 0 ? errno : 0;
      break;
    }
    if (::write(out, buffer.data(), static_cast<size_t>(count)) != count) {
      failure = errno != 0 ? errno : EIO;
      break;
    }
    offset += count;
  }
  ::close(out);
  return failure;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

}  // namespace

LegacyWorkingCopy::LegacyWorkingCopy(std::string display_name, bool word_processing,
                                     ConverterOptions options)
    : display_name_(std::move(display_name)),
      word_processing_(word_processing),
      options_(std::move(options)) {}

LegacyWorkingCopy::~LegacyWorkingCopy() {
  if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<LegacyWorkingCopy> LegacyWorkingCopy::Create(const std::string& display_name,
                                                             bool word_processing,
                                                             const ConverterOptions& options,
                                                             std::string* error, HRESULT* code) {
  std::unique_ptr<LegacyWorkingCopy> copy(
      new LegacyWorkingCopy(display_name, word_processing, options));
  if (!copy->folder_.Create()) return copy->Fail(STG_E_WRITEFAULT, error, code), nullptr;
  return copy;
}

std::unique_ptr<LegacyWorkingCopy> LegacyWorkingCopy::Open(int original_fd,
                                                           const std::string& display_name,
                                                           bool word_processing,
                                                           const ConverterOptions& options,
                                                           std::string* error, HRESULT* code) {
  std::unique_ptr<LegacyWorkingCopy> copy =
      Create(display_name, word_processing, options, error, code);
  if (copy == nullptr) return nullptr;
  // LibreOffice reads a private copy, never the original, so that it leaves
  // no lock file of its own beside it.
  const std::string source =
      copy->folder_.path() + (word_processing ? "/source.doc" : "/source.xls");
  if (const int failure = CopyOpenFile(original_fd, source)) {
    errno = failure;
    return copy->Fail(STG_E_READFAULT, error, code), nullptr;
  }
  std::string converted;
  *code = ConvertWithLibreOffice(source,
                                 word_processing ? ConvertedFormat::kDocx : ConvertedFormat::kXlsx,
                                 copy->folder_, display_name, options, &converted, error);
  ::unlink(source.c_str());
  if (*code != S_OK) return nullptr;
  if (::rename(converted.c_str(), copy->CopyPath(0).c_str()) != 0 ||
      (copy->fd_ = ::open(copy->CopyPath(0).c_str(), O_RDONLY | O_CLOEXEC)) < 0) {
    return copy->Fail(STG_E_WRITEFAULT, error, code), nullptr;
  }
  return copy;
}

bool LegacyWorkingCopy::ConvertBack(std::string_view package, std::string* legacy_bytes,
                                    std::string* error, HRESULT* code) {
  const std::string next = CopyPath(generation_ + 1);
  std::string converted;
  HRESULT status = S_OK;
  if (!WriteFile(next, package)) {
    status = STG_E_WRITEFAULT;
    *error = display_name_ + ": " + std::strerror(errno);
  } else {
    status = ConvertWithLibreOffice(
        next, word_processing_ ? ConvertedFormat::kDoc : ConvertedFormat::kXls, folder_,
        display_name_, options_, &converted, error);
  }
  if (status == S_OK && !ReadWholeFile(converted, legacy_bytes)) {
    *error = display_name_ + ": " + std::strerror(errno);
    status = STG_E_READFAULT;
  }
  if (!converted.empty()) ::unlink(converted.c_str());
  if (status == S_OK) return true;
  *code = status;
  ::unlink(next.c_str());
  return false;
}

bool LegacyWorkingCopy::Adopt() {
  const int next = ::open(CopyPath(generation_ + 1).c_str(), O_RDONLY | O_CLOEXEC);
  if (next < 0) return false;
  if (fd_ >= 0) ::close(fd_);
  ::unlink(CopyPath(generation_).c_str());
  fd_ = next;
  ++generation_;
  return true;
}

void LegacyWorkingCopy::Discard() { ::unlink(CopyPath(generation_ + 1).c_str()); }

std::string LegacyWorkingCopy::CopyPath(unsigned generation) const {
  return folder_.path() + "/copy" + Decimal(generation) + (word_processing_ ? ".docx" : ".xlsx");
}

bool LegacyWorkingCopy::Fail(HRESULT status, std::string* error, HRESULT* code) const {
  *error = display_name_ + ": working copy: " + std::strerror(errno);
  *code = status;
  return false;
}

}  // namespace ovc::office
