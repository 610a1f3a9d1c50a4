#include "orvan/files/file_checkout.h"

#include <cstring>

#include "automation/file_io.h"
#include "automation/text.h"

namespace ovc::orvan {

namespace {

namespace fs = std::filesystem;

std::string FileText(int32_t oid) { return "File " + std::to_string(oid); }

Status ReadBytes(const fs::path& path, std::string* bytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    return Status::NotFound("'" + path.string() + "' is not a file that can be read.");
  }
  const int error = ReadWholeFile(path, bytes);
  if (error != 0) {
    return Status::Storage("cannot read '" + path.string() + "': " + std::strerror(error));
  }
  return Status::Ok();
}

// Writes through a temporary file renamed over the target, so that a reader
// never sees half a file and a symbolic link at the target is replaced, not
// followed.
Status WriteAtomically(const fs::path& path, const std::string& bytes) {
  const int error = ReplaceFileAtomically(path, bytes);
  if (error != 0) {
    return Status::Storage("cannot write '" + path.string() + "': " + std::strerror(error));
  }
  return Status::Ok();
}

// A directory that is really there (not a link to elsewhere).
Status RealDirectory(const fs::path& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  fs::file_status status = fs::symlink_status(path, ec);
  if (ec || status.type() != fs::file_type::directory) {
    return Status::Refused("'" + path.string() + "' is not a folder that files can be put in.");
  }
  return Status::Ok();
}

}  // namespace

Status SafeFileName(std::string_view stored, std::string* name) {
  size_t slash = stored.find_last_of("/\\");
  std::string_view last = slash == std::string_view::npos ? stored : stored.substr(slash + 1);
  bool control = false;
  for (char c : last) control = control || static_cast<unsigned char>(c) < 32;
  if (last.empty() || last == "." || last == ".." || control) {
    return Status::Invalid("The stored file name '" + std::string(stored) +
                           "' is not a usable file name.");
  }
  *name = std::string(last);
  return Status::Ok();
}

FileCheckout::FileCheckout(Store* store, std::wstring user, std::filesystem::path working_folder)
    : store_(store), user_(ToUtf8(user)), working_folder_(std::move(working_folder)) {}

Status FileCheckout::LocalPath(const FileRecord& file, std::filesystem::path* path) const {
  std::string name;
  ORVAN_RETURN_IF_ERROR(SafeFileName(file.file_name, &name));
  *path = working_folder_ / std::to_string(file.oid) / name;
  return Status::Ok();
}

Status FileCheckout::AddFile(const std::filesystem::path& local_path, bool linked, int32_t* oid) {
  FileRecord file;
  std::error_code ec;
  fs::path absolute = fs::absolute(local_path, ec);
  if (linked) {
    if (!fs::is_regular_file(absolute, ec)) {
      return Status::NotFound("'" + local_path.string() + "' is not a file that can be linked.");
    }
  } else {
    ORVAN_RETURN_IF_ERROR(ReadBytes(absolute, &file.content));
  }
  ORVAN_RETURN_IF_ERROR(SafeFileName(absolute.filename().string(), &file.file_name));
  file.linked = linked;
  if (linked) file.linked_path = absolute.string();
  ORVAN_RETURN_IF_ERROR(store_->AddFile(&file));
  *oid = file.oid;
  return Status::Ok();
}

Status FileCheckout::WriteOut(const FileRecord& file, Placement placement, fs::path* path) {
  if (file.linked) {
    *path = file.linked_path;
    return Status::Ok();
  }
  ORVAN_RETURN_IF_ERROR(LocalPath(file, path));
  if (placement == Placement::kCopy) {
    *path = fs::path(path->parent_path()).concat(".copy") / path->filename();
  }
  ORVAN_RETURN_IF_ERROR(RealDirectory(path->parent_path()));
  std::error_code ec;
  if (placement == Placement::kRepeatedCheckOut &&
      fs::is_regular_file(fs::symlink_status(*path, ec))) {
    return Status::Ok();
  }
  return WriteAtomically(*path, file.content);
}

Status FileCheckout::CheckOut(int32_t oid, std::filesystem::path* local_path) {
  Transaction transaction(store_, true);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  FileRecord file;
  ORVAN_RETURN_IF_ERROR(store_->GetFile(oid, true, &file));
  if (!file.holder.empty() && file.holder != user_) {
    return Status::Refused(FileText(oid) + " (" + file.file_name + ") is checked out by " +
                           file.holder + ".");
  }
  const Placement placement =
      file.holder == user_ ? Placement::kRepeatedCheckOut : Placement::kCheckOut;
  ORVAN_RETURN_IF_ERROR(WriteOut(file, placement, local_path));
  file.holder = user_;
  ORVAN_RETURN_IF_ERROR(store_->PutFile(file));
  return transaction.Commit();
}

Status FileCheckout::CopyOut(int32_t oid, std::filesystem::path* local_path) {
  FileRecord file;
  ORVAN_RETURN_IF_ERROR(store_->GetFile(oid, true, &file));
  return WriteOut(file, Placement::kCopy, local_path);
}

// The record of a file the user holds, with content; refused otherwise.
Status FileCheckout::Held(int32_t oid, FileRecord* file) {
  ORVAN_RETURN_IF_ERROR(store_->GetFile(oid, true, file));
  if (file->holder == user_) return Status::Ok();
  if (file->holder.empty()) return Status::Invalid(FileText(oid) + " is not checked out.");
  return Status::Refused(FileText(oid) + " (" + file->file_name + ") is checked out by " +
                         file->holder + ".");
}

Status FileCheckout::CheckIn(int32_t oid) {
  Transaction transaction(store_, true);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  FileRecord file;
  ORVAN_RETURN_IF_ERROR(Held(oid, &file));
  if (!file.linked) {
    fs::path path;
    ORVAN_RETURN_IF_ERROR(LocalPath(file, &path));
    ORVAN_RETURN_IF_ERROR(ReadBytes(path, &file.content));
  }
  file.holder.clear();
  ORVAN_RETURN_IF_ERROR(store_->PutFile(file));
  return transaction.Commit();
}

Status FileCheckout::UndoCheckOut(int32_t oid) {
  Transaction transaction(store_, true);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  FileRecord file;
  Status held = Held(oid, &file);
  if (held.code() == Status::Code::kInvalidArgument) return Status::Ok();
  ORVAN_RETURN_IF_ERROR(held);
  file.holder.clear();
  ORVAN_RETURN_IF_ERROR(store_->PutFile(file));
  return transaction.Commit();
}

Status FileCheckout::ConvertToEmbedded(int32_t oid) {
  Transaction transaction(store_, true);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  FileRecord file;
  ORVAN_RETURN_IF_ERROR(store_->GetFile(oid, true, &file));
  if (!file.linked) return Status::Ok();
  ORVAN_RETURN_IF_ERROR(ReadBytes(file.linked_path, &file.content));
  file.linked = false;
  file.linked_path.clear();
  ORVAN_RETURN_IF_ERROR(store_->PutFile(file));
  return transaction.Commit();
}

Status FileCheckout::Record(int32_t oid, FileInfo* info) {
  FileRecord file;
  ORVAN_RETURN_IF_ERROR(store_->GetFile(oid, false, &file));
  info->holder = FromUtf8(file.holder);
  info->file_name = FromUtf8(file.file_name);
  info->linked = file.linked;
  return Status::Ok();
}

}  // namespace ovc::orvan
