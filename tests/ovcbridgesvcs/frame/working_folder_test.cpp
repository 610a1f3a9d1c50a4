#include "ovcbridgesvcs/frame/working_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
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

// The default is a folder for the user alone in the temporary folder; one
// another could have planted there (a symbolic link) is refused, and in a
// temporary folder all users share, each user's folder has its own name. An
// installed service names the folder, made when missing; null restores the
// default.
TEST(WorkingFolderTest, DefaultIsPrivateAndServiceReplacesIt) {
  std::string pattern = (fs::temp_directory_path() / "working-folder-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path root = pattern;
  const char* saved = std::getenv("TMPDIR");
  const std::string saved_tmpdir = saved == nullptr ? "" : saved;
  ASSERT_EQ(::setenv("TMPDIR", root.c_str(), 1), 0);
  EXPECT_EQ(WorkingFolder(), root / "Orvan Files");
  struct stat status {};
  ASSERT_EQ(::stat((root / "Orvan Files").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0700u);
  fs::remove(root / "Orvan Files");
  fs::create_directory_symlink(root, root / "Orvan Files");
  EXPECT_FALSE(WorkingFolder());
  fs::permissions(root, fs::perms::all | fs::perms::sticky_bit);
  const fs::path own = root / ("Orvan Files-" + std::to_string(::geteuid()));
  EXPECT_EQ(WorkingFolder(), own) << "a temporary folder every user writes to";
  fs::permissions(root, fs::perms::owner_all);
  fs::remove(own);

  const auto service = std::make_shared<FixedFolder>(root / "copies");
  SetWorkingFolderService(service);
  EXPECT_EQ(WorkingFolder(), root / "copies");
  EXPECT_TRUE(fs::is_directory(root / "copies"));
  service->path = root / "missing" / "copies";
  EXPECT_FALSE(WorkingFolder()) << "its parent must exist";
  SetWorkingFolderService(nullptr);
  fs::remove(root / "Orvan Files");
  EXPECT_EQ(WorkingFolder(), root / "Orvan Files");
  saved == nullptr ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", saved_tmpdir.c_str(), 1);
  fs::remove_all(root);
}

}  // namespace
}  // namespace ovc
