#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/hresult.h"
#include "automation/text.h"
#include "automation/variant.h"

namespace ovc::office {

// The error of a failed lookup in a collection of open files.
struct LookupError {
  HRESULT code = S_OK;
  std::string description;
};

// The position (from 0) in `names`, the open files' names in order, that an
// Item index selects: a text is a name matched without regard to case,
// anything else a position counted from 1. `collection` and `item` name the
// collection and its files in the error ("Workbooks", "workbook").
LookupError FindOpenFile(const std::vector<std::string>& names, const Variant& index,
                         std::string_view collection, std::string_view item, size_t* position);

// The absolute, normalised form of `path` that an open file reports as its
// full name; `path` itself when the working folder is unknown.
std::string FullPathOf(const std::string& path);

// The file of `open` other than `self` that has the name of the file
// `path` (without regard to case): a save of `self` as `path` would leave
// two open files of one name. Null when none. `File` offers file_name().
template <class File>
const File* OpenFileNamedAs(const std::vector<ComPtr<File>>& open, const File* self,
                            const std::string& path) {
  const std::wstring name = FromUtf8(path.substr(path.rfind('/') + 1));
  for (const ComPtr<File>& file : open) {
    if (file.get() != self && EqualsNoCase(FromUtf8(file->file_name()), name)) return file.get();
  }
  return nullptr;
}

// One file open in an office application of this process, known to all of
// them while it is open (its device and inode, as of the open or the last
// save): a save as another name never replaces a file open here, read-only
// opens included. Thread-safe.
class ProcessOpenFile {
 public:
  explicit ProcessOpenFile(const std::string& path);
  ~ProcessOpenFile();
  ProcessOpenFile(const ProcessOpenFile&) = delete;
  ProcessOpenFile& operator=(const ProcessOpenFile&) = delete;

  // Records that the file is now the one at `path` (after a save).
  void Moved(const std::string& path);
  // Whether `path` names another file open in this process.
  bool OtherIsOpen(const std::string& path) const;
};

// The names of open files, in order.
template <class File>
std::vector<std::string> FileNames(const std::vector<ComPtr<File>>& open) {
  std::vector<std::string> names;
  names.reserve(open.size());
  for (const ComPtr<File>& file : open) names.push_back(file->file_name());
  return names;
}

}  // namespace ovc::office
