#include "office/package/legacy_converter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "office/package/file_kind.h"
#include "office/package/package.h"

#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::office {
namespace {

using testing::CopyFixture;
using testing::ReadFile;
using testing::TempDir;
using testing::TemporaryFolderOverride;

// A fake LibreOffice in a folder of its own: a shell script named soffice.
class FakeOffice {
 public:
  explicit FakeOffice(const std::string& body) {
    const std::string script = dir_.File("soffice");
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  }
  ConverterOptions Options(std::chrono::milliseconds limit = std::chrono::seconds(20)) const {
    return {dir_.path().string(), limit};
  }
  std::string File(const std::string& name) const { return dir_.File(name); }

 private:
  TempDir dir_;
};

struct Outcome {
  HRESULT code;
  std::string error;
};

Outcome Convert(const std::string& source, const ConverterOptions& options,
                const WorkingFolder& folder) {
  std::string output;
  std::string error;
  const HRESULT code = ConvertWithLibreOffice(source, ConvertedFormat::kXlsx, folder, "data.xls",
                                              options, &output, &error);
  return {code, error};
}

// True once `pid` has ended (a zombie not yet reaped by its new parent
// counts as ended).
bool ProcessGone(pid_t pid) {
  for (int tries = 0; tries < 200; ++tries) {
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty() || stat.find(") Z ") != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// A working folder is private; making one removes those of ended processes
// only. Closing a package removes its folder (LegacyPackageTest).
TEST(LegacyConverterTest, ANewWorkingFolderIsPrivateAndRemovesThoseOfEndedProcessesOnly) {
  TemporaryFolderOverride temporary;
  WorkingFolder live;
  ASSERT_TRUE(live.Create());
  struct stat status {};
  ASSERT_EQ(::stat(live.path().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  const std::string ended = std::to_string(EndedProcess()) + " 12345\n";
  const std::string reused = std::to_string(::getpid()) + " 1\n";  // another start time
  const std::string elsewhere = temporary.dir().File("elsewhere");
  const struct {
    std::string name;
    std::filesystem::perms mode;
    std::string owner;  // none when empty
    bool removed;
  } cases[] = {
      {"ovc-legacy-ended1", std::filesystem::perms::owner_all, ended, true},
      {"ovc-legacy-reused", std::filesystem::perms::owner_all, reused, true},
      {"ovc-legacy-noown1", std::filesystem::perms::owner_all, "", false},
      {"ovc-legacy-junk01", std::filesystem::perms::owner_all, "12 x\n", false},
      {"ovc-legacy-short", std::filesystem::perms::owner_all, ended, false},
      {"ovc-legacy-opn755", std::filesystem::perms(0755), ended, false},
      {"other-legacy-xx", std::filesystem::perms::owner_all, ended, false},
  };
  for (const auto& c : cases) {
    const std::string folder = temporary.dir().File(c.name);
    std::filesystem::create_directories(folder + "/profile/user");
    if (!c.owner.empty()) std::ofstream(folder + "/owner") << c.owner;
    std::filesystem::permissions(folder, c.mode);
  }
  std::filesystem::create_directories(elsewhere);
  std::filesystem::permissions(elsewhere, std::filesystem::perms::owner_all);
  std::ofstream(elsewhere + "/owner") << ended;
  std::filesystem::create_directory_symlink(elsewhere, temporary.dir().File("ovc-legacy-link01"));

  WorkingFolder next;
  ASSERT_TRUE(next.Create());
  for (const auto& c : cases) {
    EXPECT_EQ(std::filesystem::exists(temporary.dir().File(c.name)), !c.removed) << c.name;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(temporary.dir().File("ovc-legacy-link01")));
  EXPECT_TRUE(std::filesystem::exists(elsewhere + "/owner"));
  EXPECT_TRUE(std::filesystem::exists(live.path()));
  // The owner is this process and its start time, the 22nd field of its
  // status line.
  const std::string stat = ReadFile("/proc/self/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string start;
  for (int field = 3; field <= 22; ++field) fields >> start;
  EXPECT_EQ(ReadFile(live.path() + "/owner"), std::to_string(::getpid()) + " " + start + "\n");
}

TEST(LegacyConverterTest, FailuresNameTheFileAndTheirCause) {
  TempDir empty;
  const FakeOffice silent("echo 'Error: source file could not be loaded'; exit 0");
  const struct {
    ConverterOptions options;
    HRESULT code;
    std::string error;
  } cases[] = {
      {{empty.path().string(), std::chrono::seconds(1)},
       E_NOTIMPL,
       "data.xls: LibreOffice is needed to open .xls/.doc files (Debian packages "
       "libreoffice-calc-nogui, libreoffice-writer-nogui)"},
      {silent.Options(), E_NOTIMPL,
       "data.xls: conversion to .xlsx: LibreOffice wrote nothing (Error: source file could "
       "not be loaded)"},
  };
  for (const auto& c : cases) {
    WorkingFolder folder;
    ASSERT_TRUE(folder.Create());
    const Outcome outcome = Convert("/nonexistent/data.xls", c.options, folder);
    EXPECT_EQ(outcome.code, c.code) << c.error;
    EXPECT_EQ(outcome.error, c.error);
  }
}

TEST(LegacyConverterTest, AConversionPastItsTimeLimitIsKilledWithWhatItStarted) {
  TempDir dir;
  const std::string pids = dir.File("pids");
  const FakeOffice hanging("sleep 60 & echo $! > '" + pids + "'; sleep 60");
  WorkingFolder folder;
  ASSERT_TRUE(folder.Create());
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome =
      Convert(dir.File("data.xls"), hanging.Options(std::chrono::milliseconds(1500)), folder);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(outcome.code, E_FAIL);
  EXPECT_EQ(outcome.error,
            "data.xls: conversion to .xlsx by LibreOffice did not finish within 1 s and was "
            "stopped");
  const pid_t background = std::stoi(ReadFile(pids));
  EXPECT_TRUE(ProcessGone(background));
}

// Every argument reaches LibreOffice as it was given, without a shell, a
// leading '-' turned into a path; the profile is the folder's own, with
// macros disabled.
TEST(LegacyConverterTest, HostileFileNamesReachLibreOfficeUnchanged) {
  const FakeOffice recorder("");
  const FakeOffice echoing("for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                           recorder.File("args") + "'");
  for (const std::string name : {"-x 'q' \"d\" $HOME `id`.xls", "a b;c.xls"}) {
    WorkingFolder folder;
    ASSERT_TRUE(folder.Create());
    Convert(name, echoing.Options(), folder);
    const std::string args = ReadFile(recorder.File("args"));
    EXPECT_NE(args.find("\n./" + name + "\n"), std::string::npos) << args;
    EXPECT_NE(args.find("-env:UserInstallation=file://" + folder.path() + "/profile\n"),
              std::string::npos)
        << args;
    EXPECT_NE(ReadFile(folder.path() + "/profile/user/registrymodifications.xcu")
                  .find("DisableMacrosExecution"),
              std::string::npos);
  }
}

// Two conversions at once, each with its own profile, one of a file with a
// hostile name.
TEST(LegacyConverterTest, LibreOfficeConvertsConcurrentlyFilesWithHostileNames) {
  const ConverterOptions options = DefaultConverterOptions();
  TempDir dir;
  const std::string names[] = {"-a 'b' $c.xlsx", "plain.xlsx"};
  struct Conversion {
    WorkingFolder folder;
    std::string output;
    std::string error;
    HRESULT code = E_FAIL;
  } conversions[2];
  std::vector<std::thread> threads;
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(conversions[i].folder.Create());
    const std::string source = CopyFixture(dir, "book.xlsx", names[i]);
    threads.emplace_back([&, source, i] {
      Conversion& c = conversions[i];
      c.code = ConvertWithLibreOffice(source, ConvertedFormat::kXls, c.folder, "book", options,
                                      &c.output, &c.error);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < 2; ++i) {
    const Conversion& c = conversions[i];
    if (c.code == E_NOTIMPL && c.error.find("is needed") != std::string::npos) GTEST_SKIP();
    ASSERT_EQ(c.code, S_OK) << c.error;
    EXPECT_EQ(c.output, c.folder.path() + "/out/" + names[i].substr(0, names[i].size() - 1));
    const int fd = ::open(c.output.c_str(), O_RDONLY);
    FileKind kind = FileKind::kUnknown;
    EXPECT_EQ(SniffFileKind(ReadFileAt(fd), &kind), 0);
    ::close(fd);
    EXPECT_EQ(kind, FileKind::kLegacyBinary);
  }
}

// A fake LibreOffice that "converts" to .xlsx by copying book.xlsx and
// back to .xls by copying its input, or writes nothing once `refuse` exists.
std::string CopyingConverter(const std::string& refuse) {
  return "while [ $# -gt 1 ]; do case \"$1\" in --outdir) out=\"$2\";; --convert-to) "
         "ext=\"${2%%:*}\";; esac; shift; done\n"
         "name=$(basename \"$1\"); target=\"$out/${name%.*}.$ext\"\n"
         "[ -e '" +
         refuse +
         "' ] && exit 0\n"
         "case \"$ext\" in xlsx) cp '" +
         testing::FixturePath("book.xlsx") + "' \"$target\";; *) cp \"$1\" \"$target\";; esac";
}

TEST(LegacyPackageTest, ALegacyFileIsReadThroughItsWorkingCopyAndSavedBackInPlace) {
  TemporaryFolderOverride temporary;
  TempDir dir;
  const FakeOffice converter(CopyingConverter(dir.File("refuse")));
  const ConverterOptions options = converter.Options();
  const std::string original = CopyFixture(dir, "legacy.doc", "-a 'b' $c.xls");
  OpenOptions open_options;
  open_options.kind = DocumentKind::kWorkbook;
  open_options.converter = &options;
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<Package> package = Package::Open(original, open_options, &error, &code);
  ASSERT_NE(package, nullptr) << error;
  EXPECT_EQ(package->path(), original);
  EXPECT_EQ(package->file_name(), "-a 'b' $c.xls");
  EXPECT_FALSE(package->is_read_only());
  EXPECT_TRUE(package->IsFile(original));
  EXPECT_EQ(package->MainDocumentPartName(), "/xl/workbook.xml");
  EXPECT_EQ(Package::Open(original, open_options, &error, &code)->is_read_only(), true)
      << "the lock is the original's";

  std::ofstream(dir.File("refuse")) << "";
  const std::string before = ReadFile(original);
  EXPECT_FALSE(package->Save(&error, &code));
  EXPECT_EQ(code, E_NOTIMPL);
  EXPECT_EQ(error.rfind("-a 'b' $c.xls: conversion to .xls: LibreOffice wrote nothing", 0), 0u)
      << error;
  EXPECT_EQ(ReadFile(original), before);

  std::filesystem::remove(dir.File("refuse"));
  ASSERT_TRUE(package->Save(&error, &code)) << error;
  EXPECT_EQ(ReadFile(original).substr(0, 2), "PK");
  EXPECT_TRUE(package->IsFile(original));
  EXPECT_EQ(package->MainDocumentPartName(), "/xl/workbook.xml");
  EXPECT_EQ(temporary.WorkingFolders(), 1u);
  package.reset();
  EXPECT_EQ(temporary.WorkingFolders(), 0u);
}

// SaveAs writes the package as it is or converted, by the new name's
// extension; the package then is the new file, lock and working copy
// included. A refused or failed SaveAs leaves both files and the package
// as they were.
TEST(LegacyPackageTest, SaveAsWritesTheNewFileInItsFormatAndTheLockFollows) {
  TemporaryFolderOverride temporary;
  TempDir dir;
  const FakeOffice converter(CopyingConverter(dir.File("refuse")));
  const ConverterOptions options = converter.Options();
  OpenOptions open_options;
  open_options.converter = &options;
  const std::string busy = CopyFixture(dir, "names.xlsx", "busy.xlsx");
  const std::unique_ptr<Package> holder = testing::OpenOrFail(busy, open_options);
  const struct {
    std::string fixture, source, target;
    bool refuse_conversion;
    HRESULT code;
    std::string error;
    size_t working_folders;  // the package's, after the SaveAs
  } cases[] = {
      {"book.xlsx", "a.xlsx", "b.xlsx", false, S_OK, "", 0},
      {"book.xlsx", "a.xlsx", "b.XLS", false, S_OK, "", 1},
      {"legacy.doc", "a.xls", "b.xlsx", false, S_OK, "", 0},
      {"legacy.doc", "a.xls", "b.xls", false, S_OK, "", 1},
      {"book.xlsx", "a.xlsx", "b.pdf", false, E_INVALIDARG,
       "b.pdf: not a name this workbook can be saved as: it takes the extension .xlsx or .xls", 0},
      {"macro.xlsm", "a.xlsm", "b.xls", false, E_NOTIMPL,
       "b.xls: its macros do not survive the conversion to .xls", 0},
      {"book.xlsx", "a.xlsx", "b.xls", true, E_NOTIMPL,
       "b.xls: conversion to .xls: LibreOffice wrote nothing", 0},
      {"book.xlsx", "a.xlsx", "busy.xlsx", false, E_ACCESSDENIED,
       "busy.xlsx: open in another application or program: not replaced; close it there first", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source + " as " + c.target);
    const std::string source = CopyFixture(dir, c.fixture, c.source);
    const std::string target = dir.File(c.target);
    const std::string source_bytes = ReadFile(source);
    const std::string target_bytes = ReadFile(target);
    if (c.refuse_conversion) std::ofstream(dir.File("refuse")) << "";
    std::unique_ptr<Package> package = testing::OpenOrFail(source, open_options);
    std::string error;
    HRESULT code = S_OK;
    EXPECT_EQ(package->SaveAs(target, &error, &code), c.code == S_OK);
    std::filesystem::remove(dir.File("refuse"));
    EXPECT_EQ(ReadFile(source), source_bytes);
    EXPECT_EQ(temporary.WorkingFolders(), c.working_folders);
    if (c.code != S_OK) {
      EXPECT_EQ(code, c.code);
      EXPECT_EQ(error.substr(0, c.error.size()), c.error);
      EXPECT_EQ(ReadFile(target), target_bytes);
      EXPECT_EQ(package->path(), source);
      EXPECT_TRUE(testing::OpenOrFail(source, open_options)->is_read_only()) << "still locked";
      continue;
    }
    EXPECT_EQ(package->path(), target);
    EXPECT_EQ(package->file_name(), c.target);
    EXPECT_TRUE(package->IsFile(target));
    EXPECT_FALSE(package->is_read_only());
    EXPECT_EQ(ReadFile(target).substr(0, 2), "PK");
    EXPECT_TRUE(testing::OpenOrFail(target, open_options)->is_read_only()) << "locked";
    EXPECT_FALSE(testing::OpenOrFail(source, open_options)->is_read_only()) << "released";
    package.reset();
    EXPECT_EQ(temporary.WorkingFolders(), 0u);
    std::filesystem::remove(target);
  }
}

TEST(LegacyPackageTest, AnEncryptedLegacyFileIsRefusedBeforeAnyConversion) {
  TempDir dir;
  const FakeOffice converter("touch '" + dir.File("called") + "'");
  const ConverterOptions options = converter.Options();
  const std::string path = CopyFixture(dir, "names.xls", "secret.xls");
  const std::string bof("\x09\x08\x10\x00\x00\x06\x05\x00", 8);
  std::string bytes = ReadFile(path);
  bytes.replace(bytes.find(bof) + 20, 2, std::string("\x2F\x00", 2));  // FILEPASS
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  OpenOptions open_options;
  open_options.converter = &options;
  EXPECT_EQ(testing::OpenError(path, E_NOTIMPL, open_options),
            "secret.xls: encrypted .xls/.doc file (a password to open): not supported");
  EXPECT_FALSE(std::filesystem::exists(dir.File("called")));
}

TEST(LegacyPackageTest, ALegacyFileWithAMacroProjectOpensReadOnlySayingWhy) {
  TempDir dir;
  const FakeOffice converter(CopyingConverter(dir.File("refuse")));
  const ConverterOptions options = converter.Options();
  const std::string original = CopyFixture(dir, "legacy.doc", "macros.xls");
  // Its fourth directory entry becomes the storage "Macros".
  const std::string name = "Macros";
  std::string entry(64, '\0');
  for (size_t i = 0; i < name.size(); ++i) entry[2 * i] = name[i];
  std::string patched = ReadFile(original);
  patched.replace(896, 67, entry + std::string("\x0e\x00\x01", 3));
  std::ofstream(original, std::ios::binary | std::ios::trunc) << patched;
  std::vector<std::string> trace;
  OpenOptions open_options;
  open_options.converter = &options;
  open_options.trace = [&](std::string_view line) { trace.emplace_back(line); };
  EXPECT_TRUE(testing::OpenOrFail(original, open_options)->is_read_only());
  EXPECT_EQ(trace, std::vector<std::string>{"macros.xls: opened read-only: its VBA project does "
                                            "not survive the conversion a save needs"});
}

}  // namespace
}  // namespace ovc::office
