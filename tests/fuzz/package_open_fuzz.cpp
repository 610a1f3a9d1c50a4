#include <cstddef>
#include <cstdint>
#include <string>

#include "office/package/package.h"
#include "office/package/parsed_part.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::office {
namespace {

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
  fuzz::WriteScratch(bytes);
  OpenOptions options;
  options.read_only = true;
  options.limits = {
      .max_part_bytes = 1 << 20, .max_total_bytes = 8 << 20, .max_entries = 200, .max_depth = 200};
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<Package> package = Package::Open(fuzz::ScratchFile(), options, &error, &code);
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
