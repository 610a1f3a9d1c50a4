// The database server stops as in a crash (pg_ctl stop -m immediate) in the
// middle of a bridge's Save: the Save fails with a message saying so, and
// once the server is back the workspace opens and holds the bridge either as
// it was or as saved, never in part.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <pugixml.hpp>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "automation/text.h"
#include "orvan/service/data_service.h"
#include "orvan/storage/open_store.h"
#include "tests/orvan/hooked_store.h"
#include "tests/orvan/orvan_test_support.h"
#include "tests/orvan/storage/store_factory.h"

namespace ovc::orvan {
namespace {

// A cluster of the test's own (scripts/postgres.sh in a fresh folder), so
// that stopping it disturbs no other test.
class OwnCluster {
 public:
  OwnCluster() {
    char pattern[] = "/tmp/ovc-test-cluster-XXXXXX";
    if (mkdtemp(pattern) != nullptr) folder_ = pattern;
  }
  ~OwnCluster() {
    Script("stop");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  OwnCluster(const OwnCluster&) = delete;
  OwnCluster& operator=(const OwnCluster&) = delete;

  bool Start() { return Script("start"); }
  bool Crash() { return Script("stop --immediate"); }
  // The URI of the database `database` in the cluster.
  std::string Uri(const std::string& database) {
    std::string uri;
    FILE* out = popen(Command("uri").c_str(), "r");
    if (out == nullptr) return uri;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, out) != nullptr) uri += buffer;
    pclose(out);
    while (!uri.empty() && uri.back() == '\n') uri.pop_back();
    return testing::WithDatabase(uri, database);
  }

 private:
  std::string Command(const std::string& arguments) const {
    const char* tests = std::getenv("OVC_TEST_DATA");
    const std::string script =
        std::string(tests == nullptr ? "tests" : tests) + "/../scripts/postgres.sh";
    return "OVC_PG_DIR='" + folder_ + "' '" + script + "' " + arguments;
  }
  bool Script(const std::string& arguments) {
    return !folder_.empty() && std::system(Command(arguments).c_str()) == 0;
  }

  std::string folder_;
};

std::string BridgeDocument(int oid, char filler) {
  return "<Bridge OID=\"" + std::to_string(oid) + "\" Name=\"B\" Description=\"" +
         std::string(200000, filler) + "\"/>";
}

// The filler of the stored document's description: 'o' for the old, 'n' for
// the new one, '?' for anything else.
char StoredFiller(Store* store, int oid) {
  BridgeRecord bridge;
  pugi::xml_document document;
  if (!store->GetBridge(oid, true, &bridge).ok() ||
      !document.load_string(bridge.document.c_str())) {
    return '?';
  }
  const std::string description = document.child("Bridge").attribute("Description").value();
  for (char filler : {'o', 'n'}) {
    if (description == std::string(200000, filler)) return filler;
  }
  return '?';
}

Status Call(Store* store, const wchar_t* method, const std::string& text) {
  return DataService(store, L"ann")
      .Execute({L"OVDBBridgeSvcs.Main", method, FromUtf8(text), {}})
      .status;
}

TEST(PostgresFaultsTest, AServerCrashDuringASaveLeavesTheOldOrTheNewBridgeWhole) {
  if (testing::TestPostgresUri().empty()) GTEST_SKIP() << "OVC_TEST_POSTGRES_URI is not set";
  OwnCluster cluster;
  ASSERT_TRUE(cluster.Start());
  const std::string uri = cluster.Uri("faults");
  {
    std::unique_ptr<Store> store;
    ASSERT_TRUE(OpenStore(uri, OpenMode::kCreate, &store).ok());
    testing::FillPumpStore(store.get());
  }
  struct Case {
    const char* crash_before;  // the store call; "" crashes after the Save
    char kept;
  };
  for (const Case& test : {Case{"PutBridge", 'o'}, Case{"Commit", 'o'}, Case{"", 'n'}}) {
    SCOPED_TRACE(test.crash_before);
    std::unique_ptr<Store> store;
    ASSERT_TRUE(OpenStore(uri, OpenMode::kOpen, &store).ok());
    BridgeRecord bridge;
    ASSERT_TRUE(store->AddBridge(&bridge).ok());
    ASSERT_TRUE(Call(store.get(), L"SaveBridge", BridgeDocument(bridge.oid, 'o')).ok());
    bool crashed = false;
    testing::HookedStore crashing(store.get(), [&](std::string_view method) {
      if (method == test.crash_before && !crashed) crashed = cluster.Crash();
      return Status::Ok();
    });
    Status saved = Call(&crashing, L"SaveBridge", BridgeDocument(bridge.oid, 'n'));
    if (*test.crash_before == '\0') {
      EXPECT_TRUE(saved.ok()) << saved.message();
      ASSERT_TRUE(cluster.Crash());
    } else {
      ASSERT_TRUE(crashed);
      EXPECT_EQ(saved.code(), Status::Code::kStorage);
      EXPECT_NE(saved.message().find("server closed the connection"), std::string::npos)
          << saved.message();
    }
    store.reset();
    ASSERT_TRUE(cluster.Start());
    ASSERT_TRUE(OpenStore(uri, OpenMode::kOpen, &store).ok());
    EXPECT_EQ(StoredFiller(store.get(), bridge.oid), test.kept);
  }
}

}  // namespace
}  // namespace ovc::orvan
