#include "automation/registry_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "automation/error_info.h"

namespace ovc {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class RegistryStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        fs::temp_directory_path() / ("registry_store_test_" + std::to_string(::getpid()) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    file_ = folder_ / "registry.txt";
  }
  void TearDown() override {
    fs::remove_all(folder_);
    GetErrorInfo();
  }

  size_t FilesInFolder() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }

  fs::path folder_;
  fs::path file_;
};

TEST_F(RegistryStoreTest, ChangesPersistAndReadBack) {
  {
    RegistryStore store;
    ASSERT_TRUE(store.Open(file_)) << "a missing file is an empty store";
    EXPECT_FALSE(fs::exists(file_)) << "created by the first change only";
    ASSERT_EQ(store.SetValue(L"HKEY_CLASSES_ROOT\\Sample.Object\\CLSID", L"", L"{1}"), S_OK);
    ASSERT_EQ(store.SetValue(L"HKEY_CLASSES_ROOT\\Sample.Object", L"Multi", L"line\none"), S_OK);
    ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\Sample.Object\\Programmable"), S_OK);
    ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\Doomed"), S_OK);
    ASSERT_EQ(store.DeleteKey(L"HKEY_CLASSES_ROOT\\doomed", false), S_OK);
    EXPECT_EQ(store.path(), file_);
    EXPECT_EQ(FilesInFolder(), 1u) << "no temporary file is left behind";

    RegistryStore reader;
    ASSERT_TRUE(reader.Open(file_));
    EXPECT_EQ(reader.Snapshot(), store.Snapshot());
  }
  const std::string text = ReadFile(file_);
  EXPECT_NE(text.find("[HKEY_CLASSES_ROOT\\Sample.Object\\Programmable]"), std::string::npos);
  EXPECT_NE(text.find("\"Multi\"=\"line\\none\""), std::string::npos);
  EXPECT_EQ(text.find("Doomed"), std::string::npos);
}

TEST_F(RegistryStoreTest, MalformedFileLeavesTheStoreUnchanged) {
  RegistryStore store;
  store.SetValue(L"Top", L"", L"in memory");
  WriteFile(file_, "[Top]\n@=\"fine\"\n\"bad\"=\"esc\\ape\"\n");
  const RegistryLoadResult result = store.Open(file_);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.line, 3u);
  EXPECT_NE(result.description.find(L"escape"), std::wstring::npos) << result.description;
  EXPECT_TRUE(store.path().empty()) << "still not bound to the bad file";
  std::wstring data;
  store.GetValue(L"Top", L"", &data);
  EXPECT_EQ(data, L"in memory");

  const RegistryLoadResult unreadable = store.Open(folder_);  // a folder, not a file
  EXPECT_FALSE(unreadable);
  EXPECT_EQ(unreadable.line, 0u);
  EXPECT_NE(unreadable.description.find(L"registry_store_test_"), std::wstring::npos);
}

// Limits the size of files this process may write, so that writing the
// store fails even for a user whom permissions do not stop.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_handler_);
  }

 private:
  rlimit saved_{};
  void (*previous_handler_)(int);
};

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
  EXPECT_EQ(FilesInFolder(), 1u) << "the temporary file is removed";
  std::wstring data;
  store.GetValue(L"Top", L"", &data);
  EXPECT_EQ(data, L"old");
  const ComPtr<IErrorInfo> error = GetErrorInfo();
  ASSERT_TRUE(error);
  std::wstring description;
  error->GetDescription(&description);
  EXPECT_NE(description.find(L"registry.txt"), std::wstring::npos) << description;
}

}  // namespace
}  // namespace ovc
