#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "orvan/status.h"
#include "orvan/storage/store.h"

namespace ovc::orvan {

// What the file record tells about a stored application file.
struct FileInfo {
  std::wstring holder;  // the user who has it checked out; empty: free
  std::wstring file_name;
  bool linked = false;
};

// Stored application files and their check-out by one user into a working
// folder. An embedded file's content lives in the workspace and is written to
// <working folder>/<file OID>/<file name> on check-out, and a read-only copy
// to <working folder>/<file OID>.copy/<file name>, so that users sharing a
// working folder never overwrite a file that one of them holds. A linked file
// stays where it is and only its holder is recorded. File names from the
// workspace never lead a write outside the working folder.
class FileCheckout {
 public:
  // `store` is not owned and must outlive this object. The working folder is
  // created when first needed.
  FileCheckout(Store* store, std::wstring user, std::filesystem::path working_folder);

  // Records the file at local_path (which must be a regular file): its
  // content is copied into the workspace unless `linked`, in which case the
  // record keeps its absolute path. *oid is the new record's OID.
  Status AddFile(const std::filesystem::path& local_path, bool linked, int32_t* oid);

  // Makes the user the file's holder and gives the path to work on. Refused
  // while another user holds it. A file the user already holds is not
  // written again, so local changes survive.
  Status CheckOut(int32_t oid, std::filesystem::path* local_path);
  // Writes the current content beside the check-out place without taking
  // the file; for reading a file somebody else holds.
  Status CopyOut(int32_t oid, std::filesystem::path* local_path);
  // Stores the checked-out copy (embedded files) and frees the file.
  Status CheckIn(int32_t oid);
  // Frees the file without storing the local copy. Nothing to do for a free file.
  Status UndoCheckOut(int32_t oid);
  // Turns a linked file into an embedded one by copying its content in.
  Status ConvertToEmbedded(int32_t oid);
  Status Record(int32_t oid, FileInfo* info);

  // Where an embedded file is checked out to: fails for a stored name that
  // has no usable last path component ("", ".", "..", control characters).
  Status LocalPath(const FileRecord& file, std::filesystem::path* path) const;

 private:
  // What WriteOut does with an embedded file: a check-out writes it, a
  // repeated check-out keeps the holder's local edits, a copy goes beside.
  enum class Placement { kCheckOut, kRepeatedCheckOut, kCopy };

  Status Held(int32_t oid, FileRecord* file);
  Status WriteOut(const FileRecord& file, Placement placement, std::filesystem::path* path);

  Store* store_;
  std::string user_;
  std::filesystem::path working_folder_;
};

// The last component of a stored file name (after any "/" or "\"), or a
// failure for names that could lead outside a folder or are not names.
Status SafeFileName(std::string_view stored, std::string* name);

}  // namespace ovc::orvan
