#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ovc::office {

enum class FileKind {
  kZip,              // starts like a zip archive
  kEncrypted,        // compound file holding an encrypted package
  kEncryptedLegacy,  // .xls or .doc file encrypted with a password to open
  kLegacyBinary,     // other compound file (.xls, .doc)
  kDamagedCompound,  // starts like a compound file whose header or directory is broken
  kUnknown,
};

// Reads up to `size` bytes at `offset` into `buffer`: the count read (0 at
// the end of the file), or -1 with errno set.
using ReadAt = std::function<ssize_t(char* buffer, size_t size, uint64_t offset)>;

// A ReadAt over the file open at `fd` (pread: the file position untouched).
ReadAt ReadFileAt(int fd);

// Tells the kind of a file from its first bytes and, for a compound file,
// its header and directory: a bounded number of bytes whatever the file's
// size. A compound file whose header, directory root or directory chain is
// broken is damaged. A legacy one is encrypted when the start of its
// workbook stream (a FILEPASS record) or document stream (the FIB's flag)
// says so. Returns 0 with *kind, or the errno of a failed read.
int SniffFileKind(const ReadAt& read, FileKind* kind);

// Whether a legacy compound file holds a VBA project (a workbook's storage
// "_VBA_PROJECT_CUR", a document's "Macros"), reading as SniffFileKind
// does. Returns 0 with *holds, or the errno of a failed read.
int HoldsMacroProject(const ReadAt& read, bool* holds);

}  // namespace ovc::office
