#include "ovcbridgesvcs/apps/working_copy.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace ovc::apps {
namespace {

namespace fs = std::filesystem;

// Enough to step past every copy a person keeps of one file.
constexpr int kMaxCandidates = 10'000;

fs::path Candidate(const fs::path& first, int number) {
  if (number == 1) return first;
  fs::path name = first.stem();
  name += " (" + std::to_string(number) + ")";
  name += first.extension();
  return first.parent_path() / name;
}

// A full copy of `source` in a new temporary file of `folder`, or the errno.
int CopyToTemporary(const fs::path& source, const fs::path& folder, std::string* temporary) {
  *temporary = (folder / ".working-copy-XXXXXX").string();
  const int fd = ::mkstemp(temporary->data());
  if (fd < 0) return errno;
  ::close(fd);
  std::error_code error;
  fs::copy_file(source, *temporary, fs::copy_options::overwrite_existing, error);
  if (!error) {
    fs::permissions(*temporary, fs::perms::owner_read | fs::perms::owner_write, error);
  }
  if (!error) return 0;
  ::unlink(temporary->c_str());
  return error.value();
}

}  // namespace

fs::path WorkingCopyPath(const fs::path& folder, const fs::path& source) {
  fs::path target = folder / source.filename();
  if (target == source) target = folder / ("Copy of " + source.filename().string());
  return target;
}

int MakeWorkingCopy(const fs::path& source, const fs::path& folder,
                    const std::function<bool(const fs::path&)>& in_use, fs::path* copy) {
  std::error_code error;
  if (!fs::is_regular_file(source, error)) return error ? error.value() : EINVAL;
  std::string temporary;
  if (int failure = CopyToTemporary(source, folder, &temporary); failure != 0) return failure;
  const fs::path first = WorkingCopyPath(folder, source);
  int failure = EEXIST;
  for (int number = 1; number <= kMaxCandidates && failure == EEXIST; ++number) {
    const fs::path target = Candidate(first, number);
    if (in_use(target)) continue;
    // A hard link gives the copy its name only when no file has it yet.
    failure = ::link(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
    if (failure == 0) *copy = target;
  }
  ::unlink(temporary.c_str());
  return failure;
}

}  // namespace ovc::apps
