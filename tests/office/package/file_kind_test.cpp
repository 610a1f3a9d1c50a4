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

// Sets the bits `mask` of the byte `at` bytes into the first sector that
// starts with `marker`.
void SetBitsAfter(const std::string& path, const std::string& marker, size_t at, char mask) {
  const std::string bytes = testing::ReadFile(path);
  size_t found = 0;
  while (found < bytes.size() && bytes.compare(found, marker.size(), marker) != 0) found += 512;
  ASSERT_LT(found + at, bytes.size()) << path;
  Patch(path, found + at, std::string(1, static_cast<char>(bytes[found + at] | mask)));
}

TEST(FileKindTest, ACompoundFileIsToldByItsHeaderDirectoryAndStreamsReadingBoundedBytes) {
  TempDir dir;
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
  // A workbook stream's BOF record (BIFF8, workbook globals) and, after it,
  // the header of the next record: FILEPASS once its type becomes 0x2F.
  const std::string bof("\x09\x08\x10\x00\x00\x06\x05\x00", 8);
  const std::string workbook = CopyFixture(dir, "names.xls", "encrypted.xls");
  Patch(workbook, testing::ReadFile(workbook).find(bof) + 20, std::string("\x2F\x00", 2));
  // A document stream's FIB: its identifier, then the flag fEncrypted.
  const std::string document = CopyFixture(dir, "bookmarks.doc", "encrypted.doc");
  SetBitsAfter(document, "\xEC\xA5", 0x0B, 0x01);
  const struct {
    std::string path;
    FileKind kind;
  } cases[] = {
      {CopyFixture(dir, "book.xlsx"), FileKind::kZip},
      {CopyFixture(dir, "legacy.doc"), FileKind::kLegacyBinary},
      {CopyFixture(dir, "encrypted.docx"), FileKind::kEncrypted},
      {huge_encrypted, FileKind::kEncrypted},
      {magic_only, FileKind::kDamagedCompound},
      {cycle, FileKind::kDamagedCompound},
      {far, FileKind::kDamagedCompound},
      {workbook, FileKind::kEncryptedLegacy},
      {document, FileKind::kEncryptedLegacy},
      {CopyFixture(dir, "names.xls"), FileKind::kLegacyBinary},
      {CopyFixture(dir, "bookmarks.doc"), FileKind::kLegacyBinary},
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
