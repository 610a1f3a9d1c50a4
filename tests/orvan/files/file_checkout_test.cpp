#include "orvan/files/file_checkout.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/orvan/orvan_test_support.h"

namespace ovc::orvan {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

class FileCheckoutTest : public ::testing::Test {
 protected:
  FileCheckoutTest()
      : store_(testing::NewPumpStore(dir_)),
        ann_(store_.get(), L"ann", dir_.path() / "ann"),
        bob_(store_.get(), L"bob", dir_.path() / "bob") {
    source_ = dir_.path() / "calc.xlsx";
    Write(source_, std::string("PK\0\x03 sheet", 10));
  }

  testing::TempDir dir_;
  std::unique_ptr<SqliteStore> store_;
  FileCheckout ann_;
  FileCheckout bob_;
  fs::path source_;
};

TEST_F(FileCheckoutTest, CheckOutEditAndCheckInAnEmbeddedFile) {
  int32_t oid = 0;
  ASSERT_TRUE(ann_.AddFile(source_, false, &oid).ok());
  Write(source_, "changed after adding");  // the workspace holds its own copy
  FileInfo info;
  ASSERT_TRUE(ann_.Record(oid, &info).ok());
  EXPECT_EQ(info.file_name, L"calc.xlsx");
  EXPECT_TRUE(info.holder.empty());
  EXPECT_FALSE(info.linked);

  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  EXPECT_EQ(local, dir_.path() / "ann" / std::to_string(oid) / "calc.xlsx");
  EXPECT_EQ(Read(local), std::string("PK\0\x03 sheet", 10));
  ASSERT_TRUE(ann_.Record(oid, &info).ok());
  EXPECT_EQ(info.holder, L"ann");

  Write(local, "edited");
  fs::path again;
  ASSERT_TRUE(ann_.CheckOut(oid, &again).ok());  // already held: the edit stays
  EXPECT_EQ(Read(again), "edited");
  ASSERT_TRUE(ann_.CheckIn(oid).ok());
  ASSERT_TRUE(ann_.Record(oid, &info).ok());
  EXPECT_TRUE(info.holder.empty());

  fs::path bobs;
  ASSERT_TRUE(bob_.CheckOut(oid, &bobs).ok());
  EXPECT_EQ(Read(bobs), "edited");
}

TEST_F(FileCheckoutTest, AnotherUsersCheckOutIsRefused) {
  int32_t oid = 0;
  ASSERT_TRUE(ann_.AddFile(source_, false, &oid).ok());
  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  Status status = bob_.CheckOut(oid, &local);
  EXPECT_EQ(status.code(), Status::Code::kRefused);
  EXPECT_NE(status.message().find("checked out by ann"), std::string::npos);
  EXPECT_EQ(bob_.CheckIn(oid).code(), Status::Code::kRefused);
  EXPECT_EQ(bob_.UndoCheckOut(oid).code(), Status::Code::kRefused);
  fs::path copy;
  ASSERT_TRUE(bob_.CopyOut(oid, &copy).ok());  // reading is still possible
  EXPECT_EQ(Read(copy).size(), 10u);
  FileInfo info;
  ASSERT_TRUE(bob_.Record(oid, &info).ok());
  EXPECT_EQ(info.holder, L"ann");
}

TEST_F(FileCheckoutTest, UndoDropsTheLocalChanges) {
  int32_t oid = 0;
  ASSERT_TRUE(ann_.AddFile(source_, false, &oid).ok());
  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  Write(local, "not wanted");
  ASSERT_TRUE(ann_.UndoCheckOut(oid).ok());
  ASSERT_TRUE(ann_.UndoCheckOut(oid).ok());  // a free file: nothing to do
  EXPECT_EQ(ann_.CheckIn(oid).code(), Status::Code::kInvalidArgument);
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  EXPECT_EQ(Read(local), std::string("PK\0\x03 sheet", 10));
}

TEST_F(FileCheckoutTest, LinkedFilesStayWhereTheyAreUntilEmbedded) {
  int32_t oid = 0;
  ASSERT_TRUE(ann_.AddFile(source_, true, &oid).ok());
  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  EXPECT_EQ(local, source_);
  FileInfo info;
  ASSERT_TRUE(ann_.Record(oid, &info).ok());
  EXPECT_TRUE(info.linked);
  ASSERT_TRUE(ann_.CheckIn(oid).ok());
  ASSERT_TRUE(ann_.ConvertToEmbedded(oid).ok());
  Write(source_, "the original moved on");
  ASSERT_TRUE(ann_.Record(oid, &info).ok());
  EXPECT_FALSE(info.linked);
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  EXPECT_NE(local, source_);
  EXPECT_EQ(Read(local), std::string("PK\0\x03 sheet", 10));
}

TEST_F(FileCheckoutTest, MissingFilesAndRecordsAreErrors) {
  int32_t oid = 0;
  EXPECT_EQ(ann_.AddFile(dir_.path() / "nope.xlsx", false, &oid).code(), Status::Code::kNotFound);
  EXPECT_EQ(ann_.AddFile(dir_.path() / "nope.xlsx", true, &oid).code(), Status::Code::kNotFound);
  EXPECT_EQ(ann_.AddFile(dir_.path(), false, &oid).code(), Status::Code::kNotFound);
  fs::path local;
  EXPECT_EQ(ann_.CheckOut(42, &local).code(), Status::Code::kNotFound);
  FileInfo info;
  EXPECT_EQ(ann_.Record(42, &info).code(), Status::Code::kNotFound);
}

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
      {"..", nullptr},
      {".", nullptr},
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
  Write(victim, "precious");
  fs::create_symlink(victim, folder / "calc.xlsx");
  fs::path local;
  ASSERT_TRUE(ann_.CheckOut(oid, &local).ok());
  EXPECT_EQ(Read(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(local));
}

}  // namespace
}  // namespace ovc::orvan
