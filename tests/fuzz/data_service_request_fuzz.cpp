#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "automation/text.h"
#include "orvan/json/workspace_json.h"
#include "orvan/service/data_service.h"
#include "tests/fuzz/fuzz_support.h"

namespace ovc::orvan {
namespace {

// The sample plant, imported once. Every input runs on a fresh copy of it, so
// that what an input does never depends on the inputs before it.
class SamplePlant {
 public:
  SamplePlant() : store_(fuzz::NewMemoryStore()) {
    fuzz::Require(ImportWorkspaceFile(store_.get(), OVC_SOURCE_DIR "/samples/plant.json"),
                  "the sample plant imports");
    fuzz::Require(sqlite3_open(":memory:", &pristine_) == SQLITE_OK, "a copy opens");
    Copy(store_->handle(), pristine_);
  }
  ~SamplePlant() { sqlite3_close(pristine_); }

  Store* Fresh() {
    Copy(pristine_, store_->handle());
    return store_.get();
  }

 private:
  static void Copy(sqlite3* from, sqlite3* to) {
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
    fuzz::Require(backup != nullptr && sqlite3_backup_step(backup, -1) == SQLITE_DONE,
                  "the workspace copies");
    sqlite3_backup_finish(backup);
  }

  std::unique_ptr<SqliteStore> store_;
  sqlite3* pristine_ = nullptr;
};

}  // namespace
}  // namespace ovc::orvan

// The input's first line names a method of the bridge data service; the rest
// is the request text. The user holds every privilege.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ovc::orvan::SamplePlant plant;
  std::string_view input = ovc::fuzz::Bytes(data, size);
  size_t end_of_line = input.find('\n');
  if (end_of_line == std::string_view::npos) return 0;
  ovc::orvan::ServiceRequest request{L"OVDBBridgeSvcs.Main",
                                     ovc::FromUtf8(input.substr(0, end_of_line)),
                                     ovc::FromUtf8(input.substr(end_of_line + 1)),
                                     {}};
  ovc::orvan::DataService service(plant.Fresh(), L"fuzzer");
  service.Execute(request);
  return 0;
}
