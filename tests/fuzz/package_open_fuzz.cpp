#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "office/package/package.h"
#include "office/package/parsed_part.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::office {
namespace {

// The file each input is written to; removed when the fuzzer exits.
const std::string& ScratchFile() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : "/tmp") + "/package-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    fuzz::Require(fd >= 0, "a scratch file can be made");
    ::close(fd);
    return pattern;
  }();
  static const bool removed_at_exit = [] {
    return std::atexit([] { ::unlink(path.c_str()); }) == 0;
  }();
  (void)removed_at_exit;
  return path;
}

void WriteScratch(std::string_view bytes) {
  FILE* file = std::fopen(ScratchFile().c_str(), "wb");
  fuzz::Require(file != nullptr, "the scratch file opens");
  fuzz::Require(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(),
                "the input is written");
  std::fclose(file);
}

// A parsed part written out must parse back and write the same.
void CheckWrittenPartReparses(Package* package, const std::string& part, uint32_t max_depth) {
  std::string written;
  std::string error;
  fuzz::Require(package->ReadPart(part, &written, &error), "a parsed part can be written");
  ParsedPart reparsed;
  fuzz::Require(ParsePart(std::string(written), max_depth, &reparsed, &error),
                "a written part parses");
  fuzz::Require(SerializePart(reparsed) == written, "a written part writes the same again");
}

void OpenAndParseEveryPart(std::string_view bytes) {
  WriteScratch(bytes);
  OpenOptions options;
  options.read_only = true;
  options.limits = {
      .max_part_bytes = 1 << 20, .max_total_bytes = 8 << 20, .max_entries = 200, .max_depth = 200};
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<Package> package = Package::Open(ScratchFile(), options, &error, &code);
  if (package == nullptr) {
    fuzz::Require(Failed(code) && !error.empty(), "a refused package says why");
    return;
  }
  for (const std::string& part : package->PartNames()) {
    std::vector<Relationship> relationships;
    package->Relationships(part, &relationships, &error);
    if (package->XmlPart(part, &error) != nullptr) {
      CheckWrittenPartReparses(package.get(), part, options.limits.max_depth);
    }
  }
}

}  // namespace
}  // namespace ovc::office

// Opens the input as a package and parses every part; every part that
// parses must write out in a form that parses back to the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ovc::office::OpenAndParseEveryPart(ovc::fuzz::Bytes(data, size));
  return 0;
}
