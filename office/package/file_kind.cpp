#include "office/package/file_kind.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace ovc::office {
namespace {

constexpr std::string_view kCompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr size_t kChunk = 1 << 16;

// A stream name as a compound file's directory stores it (UTF-16LE).
std::string Utf16(std::string_view ascii) {
  std::string wide;
  for (const char c : ascii) {
    wide += c;
    wide += '\0';
  }
  return wide;
}

// Whether the file holds an encryption stream name; scans in overlapping
// chunks. 0 or the errno.
int HoldsEncryptionStream(int fd, bool* holds) {
  const std::string names[] = {Utf16("EncryptionInfo"), Utf16("EncryptedPackage")};
  const size_t overlap = names[1].size();
  std::string window;
  off_t offset = 0;
  *holds = false;
  for (;;) {
    char buffer[kChunk];
    const ssize_t count = ::pread(fd, buffer, sizeof buffer, offset);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return errno;
    if (count == 0) return 0;
    offset += count;
    window.append(buffer, static_cast<size_t>(count));
    for (const std::string& name : names) {
      if (window.find(name) != std::string::npos) {
        *holds = true;
        return 0;
      }
    }
    if (window.size() > overlap) window.erase(0, window.size() - overlap);
  }
}

}  // namespace

int SniffFileKind(int fd, FileKind* kind) {
  char head[8];
  ssize_t count;
  do {
    count = ::pread(fd, head, sizeof head, 0);
  } while (count < 0 && errno == EINTR);
  if (count < 0) return errno;
  const std::string_view start(head, static_cast<size_t>(count));
  if (start == kCompoundMagic) {
    bool encrypted = false;
    if (int error = HoldsEncryptionStream(fd, &encrypted)) return error;
    *kind = encrypted ? FileKind::kEncrypted : FileKind::kLegacyBinary;
  } else if (start.substr(0, 2) == "PK") {
    *kind = FileKind::kZip;
  } else {
    *kind = FileKind::kUnknown;
  }
  return 0;
}

}  // namespace ovc::office
