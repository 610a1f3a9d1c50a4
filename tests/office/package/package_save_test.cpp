#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "office/package/file_system.h"
#include "office/package/package.h"
#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::office {
namespace {

using testing::CopyFixture;
using testing::OpenOrFail;
using testing::RawEntries;
using testing::RawEntry;
using testing::ReadFile;
using testing::TempDir;

constexpr char kWorkbook[] = "/xl/workbook.xml";

// Sets an attribute of the part's root and marks the part changed.
void Touch(Package* package, const std::string& part, const char* value) {
  std::string error;
  pugi::xml_document* document = package->XmlPart(part, &error);
  ASSERT_NE(document, nullptr) << error;
  pugi::xml_node root = document->document_element();
  (root.attribute("touched") ? root.attribute("touched") : root.append_attribute("touched"))
      .set_value(value);
  package->MarkChanged(part);
}

void SaveOrFail(Package* package) {
  std::string error;
  HRESULT code = S_OK;
  EXPECT_TRUE(package->Save(&error, &code)) << error;
}

std::vector<std::string> Names(const std::vector<RawEntry>& entries) {
  std::vector<std::string> names;
  for (const RawEntry& entry : entries) names.push_back(entry.name);
  return names;
}

TEST(PackageSaveTest, OnlyChangedPartsAreRewrittenTheRestCopiedRaw) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  const std::vector<RawEntry> before = RawEntries(path);
  {
    std::unique_ptr<Package> package = OpenOrFail(path);
    std::string error;
    // Parsed but not marked changed: copied raw like the rest.
    ASSERT_NE(package->XmlPart("/xl/worksheets/sheet1.xml", &error), nullptr);
    Touch(package.get(), kWorkbook, "1");
    SaveOrFail(package.get());
    // A second save reads from the file the first one wrote.
    Touch(package.get(), "/xl/styles.xml", "2");
    SaveOrFail(package.get());
  }
  const std::vector<RawEntry> after = RawEntries(path);
  ASSERT_EQ(Names(after), Names(before));
  for (size_t i = 0; i < after.size(); ++i) {
    const bool rewritten = after[i].name == "xl/workbook.xml" || after[i].name == "xl/styles.xml";
    EXPECT_EQ(after[i] == before[i], !rewritten) << after[i].name;
  }
}

TEST(PackageSaveTest, AddedAndRemovedPartsCarryRelationshipAndContentType) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  const std::string type = "http://example.com/relationships/extra";
  const std::string content_type = "application/vnd.example.extra+xml";
  {
    std::unique_ptr<Package> package = OpenOrFail(path);
    std::string error;
    std::string id;
    pugi::xml_document* added =
        package->AddXmlPart("/xl/extra/extra.xml", content_type, kWorkbook, type, &id, &error);
    ASSERT_NE(added, nullptr) << error;
    EXPECT_EQ(id, "rId6");
    added->append_child("extra");
    EXPECT_EQ(
        package->AddXmlPart("/xl/Extra/EXTRA.xml", content_type, kWorkbook, type, nullptr, &error),
        nullptr);
    // A source without relationships gets a relationships part.
    ASSERT_NE(package->AddXmlPart("/docProps/custom.xml", content_type, "/docProps/app.xml", type,
                                  nullptr, &error),
              nullptr)
        << error;
    ASSERT_TRUE(package->RemovePart("/xl/sharedStrings.xml", &error)) << error;
    EXPECT_FALSE(package->RemovePart("/xl/sharedStrings.xml", &error));
    SaveOrFail(package.get());
  }
  std::unique_ptr<Package> package = OpenOrFail(path);
  std::vector<std::string> parts;
  std::string error;
  ASSERT_TRUE(package->RelatedParts(kWorkbook, type, &parts, &error));
  EXPECT_EQ(parts, std::vector<std::string>{"/xl/extra/extra.xml"});
  ASSERT_TRUE(package->RelatedParts("/docProps/app.xml", type, &parts, &error));
  EXPECT_EQ(parts, std::vector<std::string>{"/docProps/custom.xml"});
  EXPECT_EQ(package->ContentType("/xl/extra/extra.xml"), content_type);
  EXPECT_STREQ(package->XmlPart("/xl/extra/extra.xml", &error)->document_element().name(), "extra");
  EXPECT_FALSE(package->HasPart("/xl/sharedStrings.xml"));
  ASSERT_TRUE(package->RelatedParts(
      kWorkbook,
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings", &parts,
      &error));
  EXPECT_TRUE(parts.empty());
  std::string types;
  ASSERT_TRUE(package->ReadPart("/[Content_Types].xml", &types, &error));
  EXPECT_EQ(types.find("sharedStrings"), std::string::npos);
}

// Fails one step of the save with an errno.
class FailingFileSystem : public FileSystem {
 public:
  enum class Step { kWrite, kSync, kRename };
  FailingFileSystem(Step step, int error) : step_(step), error_(error) {}
  int Write(int fd, std::string_view data) override {
    return step_ == Step::kWrite ? error_ : FileSystem::Write(fd, data);
  }
  int Sync(int fd) override { return step_ == Step::kSync ? error_ : FileSystem::Sync(fd); }
  int Rename(const std::string& from, const std::string& to) override {
    return step_ == Step::kRename ? error_ : FileSystem::Rename(from, to);
  }

 private:
  Step step_;
  int error_;
};

TEST(PackageSaveTest, FailedSaveLeavesTheOldFileWholeAndNoTemporaryFile) {
  struct Case {
    FailingFileSystem::Step step;
    int error;
    HRESULT code;
  };
  const Case cases[] = {
      {FailingFileSystem::Step::kWrite, ENOSPC, STG_E_MEDIUMFULL},
      {FailingFileSystem::Step::kSync, EIO, STG_E_WRITEFAULT},
      {FailingFileSystem::Step::kRename, EACCES, STG_E_ACCESSDENIED},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = CopyFixture(dir, "book.xlsx");
    const std::string before = ReadFile(path);
    FailingFileSystem file_system(c.step, c.error);
    OpenOptions options;
    options.file_system = &file_system;
    std::unique_ptr<Package> package = OpenOrFail(path, options);
    Touch(package.get(), kWorkbook, "1");
    std::string error;
    HRESULT code = S_OK;
    EXPECT_FALSE(package->Save(&error, &code));
    EXPECT_EQ(code, c.code) << error;
    EXPECT_EQ(error, "book.xlsx: " + std::string(std::strerror(c.error)));
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"book.xlsx"});
  }
}

TEST(PackageSaveTest, LinksStayAndModeIsKept) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  const std::string target = CopyFixture(dir, "book.xlsx", "real/book.xlsx");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = dir.File("link.xlsx");
  std::filesystem::create_symlink("real/book.xlsx", link);
  // Another name of the old file keeps the old content.
  std::filesystem::create_hard_link(target, dir.File("hard.xlsx"));
  const std::string before = ReadFile(target);
  {
    std::unique_ptr<Package> package = OpenOrFail(link);
    EXPECT_TRUE(package->IsFile(dir.File("hard.xlsx")));
    Touch(package.get(), kWorkbook, "1");
    SaveOrFail(package.get());
    EXPECT_TRUE(package->IsFile(dir.File("real/../real/book.xlsx")));
    EXPECT_FALSE(package->IsFile(dir.File("hard.xlsx")));
  }
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(dir.File("hard.xlsx")), before);
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path() / "real")->path().filename(),
            "book.xlsx");
  EXPECT_NE(ReadFile(target), before);
}

TEST(PackageSaveTest, LockMakesTheSecondOpenerReadOnly) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  std::vector<std::string> traces;
  std::unique_ptr<Package> first = OpenOrFail(path);
  ASSERT_FALSE(first->is_read_only());
  {
    OpenOptions options;
    options.read_only = true;
    std::unique_ptr<Package> reader = OpenOrFail(path, options);
    EXPECT_TRUE(reader->is_read_only());
    options.read_only = false;
    options.trace = [&](std::string_view line) { traces.emplace_back(line); };
    std::unique_ptr<Package> second = OpenOrFail(path, options);
    EXPECT_TRUE(second->is_read_only());
    Touch(second.get(), kWorkbook, "1");
    std::string error;
    HRESULT code = S_OK;
    EXPECT_FALSE(second->Save(&error, &code));
    EXPECT_EQ(code, E_ACCESSDENIED);
    EXPECT_EQ(error, "book.xlsx: opened read-only");
  }
  EXPECT_EQ(traces, std::vector<std::string>{path + ": in use (locked); opened read-only"});
  const pid_t child = ::fork();
  if (child == 0) {
    std::string error;
    HRESULT code = S_OK;
    const std::unique_ptr<Package> other = Package::Open(path, {}, &error, &code);
    ::_exit(other != nullptr && other->is_read_only() ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0) << "another process got the lock";
  // The lock moves to the saved file and goes with the package.
  SaveOrFail(first.get());
  EXPECT_TRUE(OpenOrFail(path)->is_read_only());
  first.reset();
  EXPECT_FALSE(OpenOrFail(path)->is_read_only());
}

}  // namespace
}  // namespace ovc::office
