#include "office/package/archive.h"

#include <unistd.h>
#include <zip.h>

#include <algorithm>

namespace ovc::office {
namespace {

constexpr size_t kChunk = 1 << 16;

std::string LibzipReason(zip_error_t* error) {
  const std::string reason = zip_error_strerror(error);
  zip_error_fini(error);
  return reason;
}

// Adds one entry to `target`; false and *reason on failure.
bool AddEntry(zip_t* target, zip_t* source, const Archive::Output& entry, std::string* reason) {
  zip_source_t* data =
      entry.source_index >= 0
          ? zip_source_zip(target, source, static_cast<zip_uint64_t>(entry.source_index),
                           ZIP_FL_COMPRESSED, 0, -1)
          : zip_source_buffer(target, entry.data.data(), entry.data.size(), 0);
  if (data == nullptr) {
    *reason = zip_strerror(target);
    return false;
  }
  const zip_int64_t index = zip_file_add(target, entry.name.c_str(), data, 0);
  if (index < 0) {
    zip_source_free(data);
    *reason = zip_strerror(target);
    return false;
  }
  const auto added = static_cast<zip_uint64_t>(index);
  zip_stat_t status;
  zip_int32_t method = ZIP_CM_DEFLATE;
  zip_uint32_t level = kDeflateLevel;
  if (entry.source_index >= 0) {
    // The compressed bytes are taken across only when the method stays.
    if (zip_stat_index(source, static_cast<zip_uint64_t>(entry.source_index), 0, &status) != 0) {
      *reason = zip_strerror(source);
      return false;
    }
    method = static_cast<zip_int32_t>(status.comp_method);
    level = 0;
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(source, static_cast<zip_uint64_t>(entry.source_index), 0,
                                         &system, &attributes) == 0) {
      zip_file_set_external_attributes(target, added, 0, system, attributes);
    }
  } else if (entry.time_of >= 0 &&
             zip_stat_index(source, static_cast<zip_uint64_t>(entry.time_of), 0, &status) == 0) {
    zip_file_set_mtime(target, added, status.mtime, 0);
  }
  if (zip_set_file_compression(target, added, method, level) != 0) {
    *reason = zip_strerror(target);
    return false;
  }
  return true;
}

bool ReadAll(zip_source_t* source, std::string* bytes, std::string* reason) {
  zip_stat_t status;
  if (zip_source_open(source) != 0 || zip_source_stat(source, &status) != 0) {
    *reason = zip_error_strerror(zip_source_error(source));
    return false;
  }
  bytes->resize(status.size);
  const zip_int64_t count = zip_source_read(source, bytes->data(), status.size);
  zip_source_close(source);
  if (count < 0 || static_cast<zip_uint64_t>(count) != status.size) {
    *reason = "the new archive could not be read back";
    return false;
  }
  return true;
}

}  // namespace

Archive::Archive(zip* archive) : archive_(archive) {}

Archive::~Archive() { zip_discard(archive_); }

std::unique_ptr<Archive> Archive::Open(int fd, std::string* reason) {
  const int copy = ::dup(fd);
  if (copy < 0) {
    *reason = "the file could not be read";
    return nullptr;
  }
  int code = 0;
  zip_t* archive = zip_fdopen(copy, ZIP_RDONLY, &code);
  if (archive == nullptr) {
    ::close(copy);
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    *reason = LibzipReason(&error);
    return nullptr;
  }
  return std::unique_ptr<Archive>(new Archive(archive));
}

uint64_t Archive::entry_count() const {
  const zip_int64_t count = zip_get_num_entries(archive_, 0);
  return count < 0 ? 0 : static_cast<uint64_t>(count);
}

std::string Archive::EntryName(uint64_t index) const {
  const char* name = zip_get_name(archive_, index, 0);
  return name == nullptr ? std::string() : std::string(name);
}

bool Archive::Read(uint64_t index, uint64_t part_limit, uint64_t* total_left, std::string* bytes,
                   std::string* reason) const {
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (file == nullptr) {
    *reason = zip_strerror(archive_);
    return false;
  }
  std::string data;
  zip_stat_t status;
  if (zip_stat_index(archive_, index, 0, &status) == 0 && (status.valid & ZIP_STAT_SIZE)) {
    // Room for the last, empty read too, so that the text is never moved.
    data.reserve(std::min<uint64_t>({status.size, part_limit, *total_left, uint64_t{64} << 20}) +
                 kChunk);
  }
  bool ok = true;
  for (;;) {
    const size_t old_size = data.size();
    data.resize(old_size + kChunk);
    const zip_int64_t count = zip_fread(file, data.data() + old_size, kChunk);
    if (count < 0) {
      *reason = zip_file_strerror(file);
      ok = false;
      break;
    }
    data.resize(old_size + static_cast<size_t>(count));
    if (data.size() > part_limit) {
      *reason = "inflates to more than " + std::to_string(part_limit) + " bytes";
      ok = false;
      break;
    }
    if (data.size() > *total_left) {
      *reason = "the package inflates to more than its limit in all";
      ok = false;
      break;
    }
    if (count == 0) break;
  }
  zip_fclose(file);
  if (!ok) return false;
  *total_left -= data.size();
  *bytes = std::move(data);
  return true;
}

bool Archive::Write(const std::vector<Output>& entries, std::string* bytes,
                    std::string* reason) const {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (buffer == nullptr) {
    *reason = LibzipReason(&error);
    return false;
  }
  zip_t* target = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  if (target == nullptr) {
    zip_source_free(buffer);
    *reason = LibzipReason(&error);
    return false;
  }
  zip_error_fini(&error);
  zip_source_keep(buffer);
  for (const Output& entry : entries) {
    if (!AddEntry(target, archive_, entry, reason)) {
      zip_discard(target);
      zip_source_free(buffer);
      return false;
    }
  }
  if (zip_close(target) != 0) {
    *reason = zip_strerror(target);
    zip_discard(target);
    zip_source_free(buffer);
    return false;
  }
  const bool read = ReadAll(buffer, bytes, reason);
  zip_source_free(buffer);
  return read;
}

}  // namespace ovc::office
