#include "office/package/file_kind.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovc::office {
namespace {

constexpr std::string_view kCompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr size_t kHeaderSize = 512;
constexpr size_t kHeaderFatLocations = 109;
constexpr uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr size_t kEntrySize = 128;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint8_t kStorageEntry = 1;
constexpr uint8_t kStreamEntry = 2;
constexpr uint8_t kRootEntry = 5;
// Bounds on what is read of a compound file that claims more: its
// directory sectors, and the sectors of its FAT-location chain walked to
// find one FAT sector. An encrypted package's directory takes one sector.
constexpr uint32_t kMaxDirectorySectors = 256;
constexpr uint32_t kMaxFatLocationSectors = 64;
// A directory entry's first sector, followed by its size.
constexpr size_t kStartOffset = 116;
// The start of a workbook stream that tells encryption: its BOF record and
// the few records that may come before FILEPASS; and of a document
// stream's FIB, which carries the flag.
constexpr size_t kStreamStart = 64;
constexpr uint16_t kBofRecord = 0x0809;
constexpr uint16_t kWriteProtectRecord = 0x0086;
constexpr uint16_t kFilePassRecord = 0x002F;
constexpr uint16_t kFibIdentifier = 0xA5EC;
constexpr size_t kFibFlagsOffset = 0x0A;
constexpr uint16_t kFibEncrypted = 0x0100;

uint32_t Little32(const char* bytes) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

uint16_t Little16(const char* bytes) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) |
                               static_cast<unsigned char>(bytes[1]) << 8);
}

// A stream name as a compound file's directory stores it (UTF-16LE).
std::string Utf16(std::string_view ascii) {
  std::string wide;
  for (const char c : ascii) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

// The directory of a compound file, reached through its header and FAT.
// Every failure ends the walk: a failed read leaves its errno in error(),
// a malformed or truncated structure none.
class CompoundDirectory {
 public:
  explicit CompoundDirectory(const ReadAt& read) : read_(read) {}

  enum class Search { kFound, kAbsent, kMalformed };

  // Whether the directory holds an entry of `type` (storage or stream)
  // named one of `names` (UTF-16LE):
  // kMalformed when the header, the directory's root entry or its chain of
  // sectors is broken; kAbsent too for a directory longer than is walked.
  // The entry found is the one ReadStreamStart reads.
  Search FindEntry(uint8_t type, const std::array<std::string, 2>& names) {
    if (!ReadHeader()) return Search::kMalformed;
    std::string sector_bytes(sector_size_, '\0');
    std::vector<uint32_t> walked;
    for (uint32_t sector = first_directory_; walked.size() < kMaxDirectorySectors;) {
      if (std::find(walked.begin(), walked.end(), sector) != walked.end() ||
          !Read(SectorOffset(sector), sector_bytes.size(), sector_bytes.data()) ||
          (walked.empty() && static_cast<uint8_t>(sector_bytes[66]) != kRootEntry)) {
        return Search::kMalformed;
      }
      walked.push_back(sector);
      for (size_t entry = 0; entry + kEntrySize <= sector_bytes.size(); entry += kEntrySize) {
        if (IsEntry(sector_bytes.data() + entry, type, names)) {
          found_start_ = Little32(sector_bytes.data() + entry + kStartOffset);
          found_size_ = Little32(sector_bytes.data() + entry + kStartOffset + 4);
          return Search::kFound;
        }
      }
      const std::optional<uint32_t> next = NextSector(sector);
      if (next == kEndOfChain) return Search::kAbsent;
      if (!next || *next > kLastRegularSector) return Search::kMalformed;
      sector = *next;
    }
    return Search::kAbsent;
  }

  // Reads the first `size` bytes of the stream FindEntry found from its
  // first sector; false for a stream shorter than that or small enough to
  // lie in the mini stream, which is not read.
  bool ReadStreamStart(size_t size, char* out) {
    if (found_size_ < size || found_size_ < mini_stream_cutoff_) return false;
    return Read(SectorOffset(found_start_), size, out);
  }

  int error() const { return error_; }

 private:
  static bool IsEntry(const char* entry, uint8_t type, const std::array<std::string, 2>& names) {
    const uint16_t name_bytes = Little16(entry + 64);  // with the terminating NUL
    if (static_cast<uint8_t>(entry[66]) != type || name_bytes < 2 || name_bytes > 64) {
      return false;
    }
    const std::string_view name(entry, name_bytes - 2u);
    return name == names[0] || name == names[1];
  }

  bool ReadHeader() {
    char header[kHeaderSize];
    if (!Read(0, sizeof header, header)) return false;
    const uint16_t shift = Little16(header + 30);
    if (Little16(header + 28) != 0xFFFE || (shift != 9 && shift != 12)) return false;
    sector_shift_ = shift;
    sector_size_ = size_t{1} << shift;
    first_directory_ = Little32(header + 48);
    mini_stream_cutoff_ = Little32(header + 56);
    first_fat_location_sector_ = Little32(header + 68);
    for (size_t i = 0; i < kHeaderFatLocations; ++i) {
      header_fat_locations_[i] = Little32(header + 76 + 4 * i);
    }
    return true;
  }

  uint64_t SectorOffset(uint32_t sector) const { return (uint64_t{sector} + 1) << sector_shift_; }

  // The FAT's entry for `sector`: the next sector of its chain, or a
  // special value (kEndOfChain); none when the FAT cannot be read there.
  std::optional<uint32_t> NextSector(uint32_t sector) {
    const uint32_t per_sector = static_cast<uint32_t>(sector_size_ / 4);
    const std::optional<uint32_t> fat_sector = FatSectorLocation(sector / per_sector);
    if (!fat_sector) return std::nullopt;
    return ReadWord(SectorOffset(*fat_sector) + 4 * uint64_t{sector % per_sector});
  }

  // Where the FAT's sector `index` lies: among the header's first 109
  // locations, else in the chain of location sectors, each holding one
  // location fewer than it could and the next sector of the chain last.
  std::optional<uint32_t> FatSectorLocation(uint32_t index) {
    if (index < kHeaderFatLocations) return Regular(header_fat_locations_[index]);
    const uint32_t per_sector = static_cast<uint32_t>(sector_size_ / 4) - 1;
    const uint32_t rest = index - kHeaderFatLocations;
    if (rest / per_sector >= kMaxFatLocationSectors) return std::nullopt;
    std::optional<uint32_t> sector = Regular(first_fat_location_sector_);
    for (uint32_t hop = 0; hop < rest / per_sector && sector; ++hop) {
      sector = ReadLocation(SectorOffset(*sector) + 4 * uint64_t{per_sector});
    }
    if (!sector) return std::nullopt;
    return ReadLocation(SectorOffset(*sector) + 4 * uint64_t{rest % per_sector});
  }

  // A sector number stored at `offset`, when it names a regular sector.
  std::optional<uint32_t> ReadLocation(uint64_t offset) {
    const std::optional<uint32_t> word = ReadWord(offset);
    return word ? Regular(*word) : std::nullopt;
  }

  std::optional<uint32_t> ReadWord(uint64_t offset) {
    char bytes[4];
    if (!Read(offset, sizeof bytes, bytes)) return std::nullopt;
    return Little32(bytes);
  }

  static std::optional<uint32_t> Regular(uint32_t sector) {
    return sector <= kLastRegularSector ? std::optional<uint32_t>(sector) : std::nullopt;
  }

  // Reads all `size` bytes at `offset`; false at a failed or short read.
  bool Read(uint64_t offset, size_t size, char* out) {
    while (size > 0) {
      const ssize_t count = read_(out, size, offset);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) error_ = errno;
      if (count <= 0) return false;
      out += count;
      size -= static_cast<size_t>(count);
      offset += static_cast<uint64_t>(count);
    }
    return true;
  }

  const ReadAt& read_;
  int error_ = 0;
  uint16_t sector_shift_ = 9;
  size_t sector_size_ = 512;
  uint32_t first_directory_ = 0;
  uint32_t first_fat_location_sector_ = 0;
  uint32_t mini_stream_cutoff_ = 4096;
  uint32_t found_start_ = kEndOfChain;
  uint32_t found_size_ = 0;
  std::array<uint32_t, kHeaderFatLocations> header_fat_locations_{};
};

// Whether a workbook stream starting with `start` is encrypted: a FILEPASS
// record among the first records, which only BOF and WRITEPROTECT precede.
bool WorkbookEncrypted(std::string_view start) {
  for (size_t at = 0; at + 4 <= start.size();) {
    const uint16_t type = Little16(start.data() + at);
    if (type == kFilePassRecord) return true;
    if (type != kBofRecord && type != kWriteProtectRecord) return false;
    at += 4 + size_t{Little16(start.data() + at + 2)};
  }
  return false;
}

// Whether a document stream starting with `start` is encrypted, as its FIB
// says.
bool DocumentEncrypted(std::string_view start) {
  return Little16(start.data()) == kFibIdentifier &&
         (Little16(start.data() + kFibFlagsOffset) & kFibEncrypted) != 0;
}

// Whether the legacy compound file's workbook or document stream says it
// is encrypted; false when it has neither or they cannot be read.
bool LegacyEncrypted(const ReadAt& read) {
  char start[kStreamStart];
  CompoundDirectory workbook(read);
  if (workbook.FindEntry(kStreamEntry, {Utf16("Workbook"), Utf16("Book")}) ==
          CompoundDirectory::Search::kFound &&
      workbook.ReadStreamStart(sizeof start, start)) {
    return WorkbookEncrypted(std::string_view(start, sizeof start));
  }
  CompoundDirectory document(read);
  return document.FindEntry(kStreamEntry, {Utf16("WordDocument"), Utf16("WordDocument")}) ==
             CompoundDirectory::Search::kFound &&
         document.ReadStreamStart(sizeof start, start) &&
         DocumentEncrypted(std::string_view(start, sizeof start));
}

}  // namespace

ReadAt ReadFileAt(int fd) {
  return [fd](char* buffer, size_t size, uint64_t offset) {
    return ::pread(fd, buffer, size, static_cast<off_t>(offset));
  };
}

int SniffFileKind(const ReadAt& read, FileKind* kind) {
  char head[8];
  ssize_t count;
  do {
    count = read(head, sizeof head, 0);
  } while (count < 0 && errno == EINTR);
  if (count < 0) return errno;
  const std::string_view start(head, static_cast<size_t>(count));
  if (start == kCompoundMagic) {
    CompoundDirectory directory(read);
    const CompoundDirectory::Search search =
        directory.FindEntry(kStreamEntry, {Utf16("EncryptionInfo"), Utf16("EncryptedPackage")});
    if (directory.error() != 0) return directory.error();
    *kind = search == CompoundDirectory::Search::kFound    ? FileKind::kEncrypted
            : search == CompoundDirectory::Search::kAbsent ? FileKind::kLegacyBinary
                                                           : FileKind::kDamagedCompound;
    if (*kind == FileKind::kLegacyBinary && LegacyEncrypted(read)) {
      *kind = FileKind::kEncryptedLegacy;
    }
  } else if (start.substr(0, 2) == "PK") {
    *kind = FileKind::kZip;
  } else {
    *kind = FileKind::kUnknown;
  }
  return 0;
}

int HoldsMacroProject(const ReadAt& read, bool* holds) {
  CompoundDirectory directory(read);
  *holds = directory.FindEntry(kStorageEntry, {Utf16("_VBA_PROJECT_CUR"), Utf16("Macros")}) ==
           CompoundDirectory::Search::kFound;
  return directory.error();
}

}  // namespace ovc::office
