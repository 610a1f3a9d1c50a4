#include "ovcbridgesvcs/frame/working_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace ovc {
namespace {

namespace fs = std::filesystem;

struct FixedFolder final : WorkingFolderService {
  explicit FixedFolder(fs::path path) : path(std::move(path)) {}
  fs::path Folder() override { return path; }
  fs::path path;
};

class WorkingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "working-folder-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    if (const char* tmpdir = std::getenv("TMPDIR")) saved_tmpdir_ = tmpdir;
  }
  void TearDown() override {
    SetWorkingFolderService(nullptr);
    if (saved_tmpdir_) {
      ::setenv("TMPDIR", saved_tmpdir_->c_str(), 1);
    } else {
      ::unsetenv("TMPDIR");
    }
    fs::remove_all(root_);
  }
  fs::path root_;
  std::optional<std::string> saved_tmpdir_;
};

// The default lies in the user's temporary folder and is made for the user
// alone; one that another could have planted there (a symbolic link) is
// refused.
TEST_F(WorkingFolderTest, DefaultIsPrivateFolderInTemporaryFolder) {
  ASSERT_EQ(::setenv("TMPDIR", root_.c_str(), 1), 0);
  const std::optional<fs::path> folder = WorkingFolder();
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, root_ / "Orvan Files");
  struct stat status {};
  ASSERT_EQ(::stat(folder->c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);

  fs::remove(*folder);
  fs::create_directory(root_ / "elsewhere");
  fs::create_directory_symlink(root_ / "elsewhere", *folder);
  EXPECT_FALSE(WorkingFolder());
}

// An installed service's folder is made when missing; none, or a file in
// its place, gives no folder; null restores the default.
TEST_F(WorkingFolderTest, InstalledServiceNamesTheFolder) {
  const auto service = std::make_shared<FixedFolder>(root_ / "copies");
  SetWorkingFolderService(service);
  EXPECT_EQ(WorkingFolder(), root_ / "copies");
  EXPECT_TRUE(fs::is_directory(root_ / "copies"));
  for (const fs::path& unusable : {fs::path(), root_ / "missing" / "copies"}) {
    service->path = unusable;
    EXPECT_FALSE(WorkingFolder()) << unusable;
  }
  SetWorkingFolderService(nullptr);
  ASSERT_EQ(::setenv("TMPDIR", root_.c_str(), 1), 0);
  EXPECT_EQ(WorkingFolder(), root_ / "Orvan Files");
}

}  // namespace
}  // namespace ovc
