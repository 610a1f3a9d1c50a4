#include "automation/registry_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "automation/error_info.h"
#include "tests/automation/file_size_limit.h"
#include "tests/automation/temp_dir.h"

namespace ovc {
namespace {

using files_testing::FileSizeLimit;
using files_testing::ReadFile;
using files_testing::WriteFile;

class RegistryStoreTest : public testing::Test {
 protected:
  void TearDown() override { GetErrorInfo(); }

  files_testing::TempDir dir_;
  std::filesystem::path file_ = dir_.path() / "registry.txt";
};

TEST_F(RegistryStoreTest, ChangesPersistAndMalformedFilesAreRefused) {
  RegistryStore store;
  ASSERT_TRUE(store.Open(file_)) << "a missing file is an empty store";
  EXPECT_FALSE(std::filesystem::exists(file_)) << "created by the first change only";
  ASSERT_EQ(store.SetValue(L"HKEY_CLASSES_ROOT\\Sample.Object\\CLSID", L"", L"{1}"), S_OK);
  ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\Doomed"), S_OK);
  ASSERT_EQ(store.DeleteKey(L"HKEY_CLASSES_ROOT\\doomed", false), S_OK);
  EXPECT_EQ(dir_.Entries().size(), 1u) << "no temporary file is left behind";

  RegistryStore reader;
  ASSERT_TRUE(reader.Open(file_));
  EXPECT_EQ(reader.Snapshot(), store.Snapshot());
  EXPECT_FALSE(reader.Snapshot().KeyExists(L"HKEY_CLASSES_ROOT\\Doomed"));

  // A malformed file leaves the store unchanged.
  RegistryStore fresh;
  fresh.SetValue(L"Top", L"", L"in memory");
  WriteFile(file_, "[Top]\n@=\"fine\"\n\"bad\"=\"esc\\ape\"\n");
  const RegistryLoadResult result = fresh.Open(file_);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.line, 3u);
  EXPECT_TRUE(fresh.path().empty()) << "still not bound to the bad file";
  std::wstring data;
  fresh.GetValue(L"Top", L"", &data);
  EXPECT_EQ(data, L"in memory");

  const RegistryLoadResult unreadable = fresh.Open(dir_.path());  // a folder, not a file
  EXPECT_FALSE(unreadable);
  EXPECT_EQ(unreadable.line, 0u);
  EXPECT_NE(unreadable.description.find(dir_.path().wstring()), std::wstring::npos);
}

// A change that fails, or whose file cannot be written, changes neither the
// file nor the store in memory.
TEST_F(RegistryStoreTest, FailedChangeOrWriteKeepsTheOldFile) {
  RegistryStore store;
  ASSERT_TRUE(store.Open(file_));
  ASSERT_EQ(store.SetValue(L"Top", L"", L"old"), S_OK);
  const std::string before = ReadFile(file_);
  EXPECT_EQ(store.Update([](RegistryTree& tree) {
    tree.SetValue(L"Top", L"", L"changed");
    return E_ABORT;
  }),
            E_ABORT);
  HRESULT hr;
  {
    FileSizeLimit limit(before.size() + 8);
    hr = store.SetValue(L"Top", L"", L"a value far too long to fit under the limit");
  }
  EXPECT_TRUE(Failed(hr));
  EXPECT_EQ(ReadFile(file_), before);
  EXPECT_EQ(dir_.Entries().size(), 1u) << "the temporary file is removed";
  std::wstring data;
  store.GetValue(L"Top", L"", &data);
  EXPECT_EQ(data, L"old");
  EXPECT_NE(TakeErrorDescription().find(L"registry.txt"), std::wstring::npos);
}

}  // namespace
}  // namespace ovc
