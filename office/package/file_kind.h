#pragma once

namespace ovc::office {

enum class FileKind {
  kZip,           // starts like a zip archive
  kEncrypted,     // compound file holding an encrypted package
  kLegacyBinary,  // other compound file (.xls, .doc)
  kUnknown,
};

// Tells the kind of the file open at `fd` from its bytes (read with pread,
// the file position untouched). Returns 0 with *kind, or the errno.
int SniffFileKind(int fd, FileKind* kind);

}  // namespace ovc::office
