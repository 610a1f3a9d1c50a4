#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "orvan/json/workspace_json.h"
#include "tests/fuzz/fuzz_support.h"

// Imports the input as a workspace; whatever imports must export as JSON
// that imports again and exports the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using ovc::fuzz::Require;
  static std::unique_ptr<ovc::orvan::SqliteStore> store = ovc::fuzz::NewMemoryStore();
  if (!ovc::orvan::ImportWorkspace(store.get(), ovc::fuzz::Bytes(data, size)).ok()) return 0;
  std::string exported;
  Require(ovc::orvan::ExportWorkspace(store.get(), &exported), "an imported workspace exports");
  Require(ovc::orvan::ImportWorkspace(store.get(), exported), "an export imports");
  std::string again;
  Require(ovc::orvan::ExportWorkspace(store.get(), &again), "a reimported workspace exports");
  Require(again == exported, "an export imports as it was");
  return 0;
}
