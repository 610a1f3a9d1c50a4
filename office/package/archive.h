#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct zip;

namespace ovc::office {

// The zlib level at which rewritten entries are deflated: the fastest, as
// saving a large part is dominated by deflating it; the files grow by about
// a tenth against the default level.
inline constexpr int kDeflateLevel = 1;

// A zip archive opened for reading from a file descriptor.
class Archive {
 public:
  // Reads the archive of the file open at `fd` (duplicated; the caller keeps
  // `fd`). Null and *reason when it is no readable zip archive.
  static std::unique_ptr<Archive> Open(int fd, std::string* reason);
  ~Archive();
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  uint64_t entry_count() const;
  // The entry's name as stored ("xl/workbook.xml"), "" when it has none.
  std::string EntryName(uint64_t index) const;

  // Inflates an entry into *bytes, counting the bytes as they come and
  // trusting no declared size: false and *reason when it passes
  // `part_limit` or the bytes still allowed in *total_left (reduced by what
  // was read), or the data is damaged.
  bool Read(uint64_t index, uint64_t part_limit, uint64_t* total_left, std::string* bytes,
            std::string* reason) const;

  // An entry of a new archive: copied from this archive (compressed bytes
  // as they are) when source_index is set, else `data` deflated at
  // kDeflateLevel.
  struct Output {
    std::string name;
    int64_t source_index = -1;
    std::string data;
    // The entry whose modification time a rewritten entry keeps; -1 for now.
    int64_t time_of = -1;
  };
  // Builds a new archive of these entries in this order into *bytes. False
  // and *reason when a source entry cannot be copied.
  bool Write(const std::vector<Output>& entries, std::string* bytes, std::string* reason) const;

 private:
  explicit Archive(zip* archive);
  zip* archive_;
};

}  // namespace ovc::office
