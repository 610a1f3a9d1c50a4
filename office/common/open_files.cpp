#include "office/common/open_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"

namespace ovc::office {
namespace {

LookupError Error(HRESULT code, std::string_view collection, std::string_view reason) {
  return {code, std::string(collection) + ": " + std::string(reason)};
}

LookupError FindByName(const std::vector<std::string>& names, std::wstring_view name,
                       std::string_view collection, std::string_view item, size_t* position) {
  for (size_t i = 0; i < names.size(); ++i) {
    if (EqualsNoCase(FromUtf8(names[i]), name)) {
      *position = i;
      return {};
    }
  }
  return Error(DISP_E_BADINDEX, collection,
               "no open " + std::string(item) + " is named '" + ToUtf8(name) + "'");
}

// A file as the system knows it, whatever its name.
using FileId = std::pair<dev_t, ino_t>;

// The files open in this process, each with the ProcessOpenFile that
// stands for it; none when it could not be told.
struct OpenFileTable {
  std::mutex mutex;
  std::vector<std::pair<const ProcessOpenFile*, FileId>> files;
};

OpenFileTable& Table() {
  static OpenFileTable table;
  return table;
}

bool IdOf(const std::string& path, FileId* id) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return false;
  *id = {status.st_dev, status.st_ino};
  return true;
}

}  // namespace

ProcessOpenFile::ProcessOpenFile(const std::string& path) {
  FileId id;
  if (!IdOf(path, &id)) return;
  std::lock_guard<std::mutex> lock(Table().mutex);
  Table().files.emplace_back(this, id);
}

ProcessOpenFile::~ProcessOpenFile() {
  std::lock_guard<std::mutex> lock(Table().mutex);
  std::erase_if(Table().files, [this](const auto& file) { return file.first == this; });
}

void ProcessOpenFile::Moved(const std::string& path) {
  FileId id;
  const bool known = IdOf(path, &id);
  std::lock_guard<std::mutex> lock(Table().mutex);
  std::erase_if(Table().files, [this](const auto& file) { return file.first == this; });
  if (known) Table().files.emplace_back(this, id);
}

bool ProcessOpenFile::OtherIsOpen(const std::string& path) const {
  FileId id;
  if (!IdOf(path, &id)) return false;
  std::lock_guard<std::mutex> lock(Table().mutex);
  return std::any_of(Table().files.begin(), Table().files.end(), [this, id](const auto& file) {
    return file.first != this && file.second == id;
  });
}

LookupError FindOpenFile(const std::vector<std::string>& names, const Variant& index,
                         std::string_view collection, std::string_view item, size_t* position) {
  const Variant value = index.Dereferenced();
  if (value.vt() == VT_BSTR) return FindByName(names, value.bstr(), collection, item, position);
  Variant number;
  if (Failed(VariantChangeType(&number, value, 0, VT_I4))) {
    return Error(DISP_E_TYPEMISMATCH, collection, "the index is neither a position nor a name");
  }
  if (number.i4() < 1 || static_cast<size_t>(number.i4()) > names.size()) {
    return Error(DISP_E_BADINDEX, collection,
                 "no open " + std::string(item) + " at position " + std::to_string(number.i4()));
  }
  *position = static_cast<size_t>(number.i4() - 1);
  return {};
}

std::string FullPathOf(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::absolute(path, ignored).lexically_normal().string();
}

}  // namespace ovc::office
