#include "office/package/file_kind.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::office {
namespace {

using testing::CopyFixture;
using testing::TempDir;

constexpr uint64_t kHugeSize = uint64_t{64} << 30;

// Writes `bytes` at `offset` of the file.
void Patch(const std::string& path, uint64_t offset, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)),
            static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

std::string Little32(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i, value >>= 8) bytes += static_cast<char>(value & 0xFF);
  return bytes;
}

TEST(FileKindTest, ACompoundFileIsToldByItsHeaderAndDirectoryReadingBoundedBytes) {
  TempDir dir;
  const std::string zip = CopyFixture(dir, "book.xlsx");
  const std::string legacy = CopyFixture(dir, "legacy.doc");
  const std::string encrypted = CopyFixture(dir, "encrypted.docx");
  const std::string huge_encrypted = CopyFixture(dir, "encrypted.docx", "huge_encrypted.docx");
  const std::string magic_only = dir.File("magic_only.doc");
  std::ofstream(magic_only, std::ios::binary) << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  // The FAT sends the directory's sector (0) back to itself.
  const std::string cycle = CopyFixture(dir, "legacy.doc", "cycle.doc");
  Patch(cycle, 1024, Little32(0));
  // The directory claimed at the file's far end, past every FAT sector listed.
  const std::string far = CopyFixture(dir, "encrypted.docx", "far.doc");
  Patch(far, 48, Little32(static_cast<uint32_t>(kHugeSize / 512) - 2));
  for (const std::string& path : {huge_encrypted, magic_only, cycle, far}) {
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kHugeSize)), 0) << std::strerror(errno);
  }
  const struct {
    std::string path;
    FileKind kind;
  } cases[] = {
      {zip, FileKind::kZip},
      {legacy, FileKind::kLegacyBinary},
      {encrypted, FileKind::kEncrypted},
      {huge_encrypted, FileKind::kEncrypted},
      {magic_only, FileKind::kDamagedCompound},
      {cycle, FileKind::kDamagedCompound},
      {far, FileKind::kDamagedCompound},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const int fd = ::open(c.path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    uint64_t bytes_read = 0;
    const ReadAt counting = [&](char* buffer, size_t size, uint64_t offset) {
      const ssize_t count = ReadFileAt(fd)(buffer, size, offset);
      if (count > 0) bytes_read += static_cast<uint64_t>(count);
      return count;
    };
    FileKind kind = FileKind::kUnknown;
    EXPECT_EQ(SniffFileKind(counting, &kind), 0);
    EXPECT_EQ(kind, c.kind);
    EXPECT_LT(bytes_read, uint64_t{1} << 20);
    ::close(fd);
  }
}

TEST(FileKindTest, AFailedReadIsReportedWithItsErrno) {
  const std::string header = testing::ReadFile(testing::FixturePath("legacy.doc")).substr(0, 512);
  const ReadAt failing_past_header = [&](char* buffer, size_t size, uint64_t offset) -> ssize_t {
    if (offset >= header.size()) {
      errno = EIO;
      return -1;
    }
    const size_t count = std::min(size, header.size() - offset);
    std::memcpy(buffer, header.data() + offset, count);
    return static_cast<ssize_t>(count);
  };
  FileKind kind = FileKind::kUnknown;
  EXPECT_EQ(SniffFileKind(failing_past_header, &kind), EIO);
}

}  // namespace
}  // namespace ovc::office
