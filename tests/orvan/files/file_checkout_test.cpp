#include "orvan/files/file_checkout.h"

#include <gtest/gtest.h>

#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;
using testing::WriteFile;

class FileCheckoutTest : public ::testing::Test {
 protected:
  FileCheckoutTest()
      : store_(testing::NewPumpStore(dir_)), ann_(store_.get(), L"ann", dir_.path() / "ann") {
    source_ = dir_.path() / "calc.xlsx";
    WriteFile(source_, std::string("PK\0\x03 sheet", 10));
  }

  testing::TempDir dir_;
  std::unique_ptr<SqliteStore> store_;
  FileCheckout ann_;
  fs::path source_;
};

TEST_F(FileCheckoutTest, StoredNamesNeverLeadOutsideTheWorkingFolder) {
  struct Case {
    const char* stored;
    const char* name;  // null: refused
  };
  const Case cases[] = {
      {"../../etc/passwd", "passwd"},
      {"..\\..\\boot.ini", "boot.ini"},
      {"/abs/path/x.docx", "x.docx"},
      {"a/..", nullptr},
      {"", nullptr},
      {"dir/", nullptr},
      {"bad\nname", nullptr},
      {"ok name & co.xlsx", "ok name & co.xlsx"},
  };
  for (const Case& c : cases) {
    std::string name;
    Status status = SafeFileName(c.stored, &name);
    EXPECT_EQ(status.ok(), c.name != nullptr) << c.stored;
    if (c.name != nullptr) {
      EXPECT_EQ(name, c.name);
    }
  }
  FileRecord hostile{0, "../../../escape.txt", false, "", "", "x"};
  ASSERT_TRUE(store_->AddFile(&hostile).ok());
  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(hostile.oid, &local).ok());
  EXPECT_EQ(local.parent_path().parent_path(), dir_.path() / "ann");
  EXPECT_FALSE(fs::exists(dir_.path() / "escape.txt"));
}

TEST_F(FileCheckoutTest, ALinkAtTheTargetIsReplacedNotFollowed) {
  int32_t oid = 0;
  ASSERT_TRUE(ann_.AddFile(source_, false, &oid).ok());
  fs::path folder = dir_.path() / "ann" / std::to_string(oid);
  fs::create_directories(folder);
  fs::path victim = dir_.path() / "victim.txt";
  WriteFile(victim, "precious");
  fs::create_symlink(victim, folder / "calc.xlsx");
  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  EXPECT_EQ(ReadFile(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(local));
}

}  // namespace
}  // namespace ovc::orvan
