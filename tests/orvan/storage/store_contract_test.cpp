// What every Store promises, run against each kind of store.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "tests/orvan/storage/store_factory.h"

namespace ovc::orvan {
namespace {

using testing::FillPumpStore;
using testing::PostgresFactory;
using testing::SqliteFactory;
using testing::StoreFactory;
using testing::TestPostgresUri;

class StoreContractTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "postgres") {
      if (TestPostgresUri().empty()) GTEST_SKIP() << "OVC_TEST_POSTGRES_URI is not set";
      factory_ = std::make_unique<PostgresFactory>();
    } else {
      factory_ = std::make_unique<SqliteFactory>();
    }
    Status status = factory_->Open(true, &store_);
    ASSERT_TRUE(status.ok()) << status.message();
    FillPumpStore(store_.get());
  }

  std::unique_ptr<Store> OpenAgain() {
    std::unique_ptr<Store> store;
    Status status = factory_->Open(false, &store);
    EXPECT_TRUE(status.ok()) << status.message();
    return store;
  }

  std::unique_ptr<StoreFactory> factory_;
  std::unique_ptr<Store> store_;
};

// Texts that break naive SQL or naive encodings; each goes into every kind of
// text field and must come back byte for byte. Names are keys of indexes,
// which a server may limit to a few kilobytes: the megabyte goes into the
// other fields alone.
struct HostileText {
  const char* label;
  std::string text;
  bool is_name;
};

std::vector<HostileText> HostileTexts() {
  return {
      {"quotes", "O'Brien \"the\" `pump` \\ 'x''", true},
      {"sql", "Pumps'); DROP TABLE objects; --", true},
      {"placeholders", "$1 ? ?1 :name %s", true},
      {"controls", "a\x01\x02\x1f\x7f\tb\r\nc", true},
      {"non-ascii",
       "Druck \xC2\xB0"
       "C \xE2\x82\xAC \xF0\x9F\x94\xA7",
       true},
      {"one megabyte", std::string(1 << 20, 'q') + "'", false},
  };
}

TEST_P(StoreContractTest, HostileTextsReadBackUnchanged) {
  for (const HostileText& hostile : HostileTexts()) {
    SCOPED_TRACE(hostile.label);
    const std::string& text = hostile.text;
    const std::string name = hostile.is_name ? text : "Name";
    Catalog catalog = testing::PumpCatalog();
    catalog.class_views.push_back({name, {{name, AttributeType::kEnum, "", false, false, {text}}}});
    catalog.unit_standards.push_back(text);
    catalog.texts.prefixes.push_back(text);
    catalog.cases.push_back({104, text});
    ASSERT_TRUE(store_->ReplaceCatalog(catalog).ok());
    ASSERT_TRUE(store_->PutObject({7, text, name, {}}).ok());
    Element element;
    element.value = text;
    element.prefix = text;
    element.entered_unit = text;
    ASSERT_TRUE(store_->PutValue({7, name, 104}, {element}).ok());
    BridgeRecord bridge{0, text, text, "1", text, "2", text, text};
    ASSERT_TRUE(store_->AddBridge(&bridge).ok());
    FileRecord file{0, text, true, text, text, text};
    ASSERT_TRUE(store_->AddFile(&file).ok());
    ASSERT_TRUE(store_->PutPrivilege({name, name, false}).ok());

    Catalog read_catalog;
    ASSERT_TRUE(store_->LoadCatalog(&read_catalog).ok());
    const ClassView* view = read_catalog.FindClassView(name);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->FindRoute(name), nullptr);
    EXPECT_EQ(view->routes[0].enum_texts, std::vector<std::string>{text});
    EXPECT_EQ(read_catalog.unit_standards.back(), text);
    EXPECT_EQ(read_catalog.texts.prefixes.back(), text);
    ASSERT_NE(read_catalog.FindCase(104), nullptr);
    EXPECT_EQ(read_catalog.FindCase(104)->name, text);
    std::vector<ObjectRecord> objects;
    ASSERT_TRUE(store_->ListObjects(name, &objects).ok());
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0].name, text);
    std::vector<Element> elements;
    ASSERT_TRUE(store_->GetValue({7, name, 104}, &elements).ok());
    EXPECT_EQ(elements, std::vector<Element>{element});
    BridgeRecord read_bridge;
    ASSERT_TRUE(store_->GetBridge(bridge.oid, true, &read_bridge).ok());
    EXPECT_EQ(read_bridge.name + read_bridge.lock_holder + read_bridge.document,
              text + text + text);
    FileRecord read_file;
    ASSERT_TRUE(store_->GetFile(file.oid, true, &read_file).ok());
    EXPECT_EQ(read_file.file_name + read_file.linked_path + read_file.holder + read_file.content,
              text + text + text + text);
    bool allowed = true;
    ASSERT_TRUE(store_->GetPrivilege(name, name, &allowed).ok());
    EXPECT_FALSE(allowed);
    int32_t number = 0;
    ASSERT_TRUE(store_->NextNumber(name, &number).ok());
    EXPECT_EQ(number, 1);
    ASSERT_TRUE(store_->Clear().ok());
  }
}

// Reals keep every bit, integers their whole range; each kind of scalar
// comes back as the kind it went in.
TEST_P(StoreContractTest, ScalarsKeepTheirKindAndBits) {
  const Scalar scalars[] = {
      std::monostate(),
      -0.0,
      std::numeric_limits<double>::denorm_min(),
      std::numeric_limits<double>::max(),
      0.1 + 0.2,
      std::numeric_limits<int64_t>::min(),
      std::numeric_limits<int64_t>::max(),
      int64_t{0},
      std::string(),
      std::string("0"),
  };
  std::vector<Element> stored;
  for (const Scalar& scalar : scalars) {
    Element element;
    element.value = scalar;
    stored.push_back(element);
  }
  stored[1].entered = -0.0;
  stored[1].entered_unit = "kPa";
  ASSERT_TRUE(store_->PutValue({1, "Curve", 101}, stored).ok());
  std::vector<Element> read;
  ASSERT_TRUE(store_->GetValue({1, "Curve", 101}, &read).ok());
  ASSERT_EQ(read, stored);
  for (size_t i = 0; i < read.size(); ++i) {
    if (const auto* real = std::get_if<double>(&read[i].value)) {
      EXPECT_EQ(std::bit_cast<uint64_t>(*real),
                std::bit_cast<uint64_t>(std::get<double>(scalars[i])))
          << i;
    }
  }
  EXPECT_TRUE(std::signbit(*read[1].entered));
}

// Every byte value, in a content larger than any buffer a driver keeps.
TEST_P(StoreContractTest, FileContentKeepsEveryByte) {
  std::string content;
  for (int i = 0; i < (3 << 20) + 5; ++i) content.push_back(static_cast<char>(i * 7 % 256));
  FileRecord file{0, "pump.xlsx", false, "", "", content};
  ASSERT_TRUE(store_->AddFile(&file).ok());
  FileRecord read;
  ASSERT_TRUE(store_->GetFile(file.oid, false, &read).ok());
  EXPECT_EQ(read.file_name, "pump.xlsx");
  EXPECT_EQ(read.content, "");
  ASSERT_TRUE(store_->GetFile(file.oid, true, &read).ok());
  EXPECT_TRUE(read.content == content);
  std::vector<FileRecord> files;
  ASSERT_TRUE(store_->ListFiles(&files).ok());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].file_name, "pump.xlsx");
  EXPECT_EQ(files[0].content, "") << "listed without content";
}

TEST_P(StoreContractTest, UnknownOidsAreNotFound) {
  BridgeRecord bridge;
  FileRecord file;
  ObjectRecord object;
  struct Case {
    const char* operation;
    Status status;
  };
  const Case cases[] = {
      {"GetObject", store_->GetObject(99, &object)},
      {"GetBridge", store_->GetBridge(99, false, &bridge)},
      {"SetBridgeLock", store_->SetBridgeLock(99, "bob")},
      {"DeleteBridge", store_->DeleteBridge(99)},
      {"GetFile", store_->GetFile(99, false, &file)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.status.code(), Status::Code::kNotFound)
        << c.operation << ": " << c.status.message();
  }
}

// Taking and releasing a lock changes the holder alone; a bridge read without
// its document has every other field.
TEST_P(StoreContractTest, BridgeLockChangesTheHolderAlone) {
  BridgeRecord stored{0, "B", "ann", "1", "ann", "2", "", "<Bridge/>", 7};
  ASSERT_TRUE(store_->AddBridge(&stored).ok());
  ASSERT_TRUE(store_->SetBridgeLock(stored.oid, "bob").ok());
  BridgeRecord read;
  ASSERT_TRUE(store_->GetBridge(stored.oid, true, &read).ok());
  EXPECT_EQ(read.lock_holder, "bob");
  EXPECT_EQ(read.document, "<Bridge/>");
  ASSERT_TRUE(store_->SetBridgeLock(stored.oid, "").ok());
  ASSERT_TRUE(store_->GetBridge(stored.oid, false, &read).ok());
  EXPECT_EQ(read.lock_holder, "");
  EXPECT_EQ(read.document, "");
  EXPECT_EQ(read.name, "B");
  EXPECT_EQ(read.date_modified, "2");
  EXPECT_EQ(read.version, 7);
  ASSERT_TRUE(store_->DeleteBridge(stored.oid).ok());
  std::vector<BridgeRecord> bridges;
  ASSERT_TRUE(store_->ListBridges(&bridges).ok());
  EXPECT_TRUE(bridges.empty());
}

TEST_P(StoreContractTest, CountersCountFromOneAndClearRestartsThem) {
  struct Step {
    const char* counter;
    int32_t raise_to;  // 0: draw a number
    int32_t expected;
  };
  const Step steps[] = {
      {"linkset", 0, 1},  {"linkset", 0, 2}, {"file", 0, 1},     {"linkset", 10, 11},
      {"linkset", 5, 12}, {"new", 7, 8},     {"linkset", 0, 13},
  };
  for (const Step& step : steps) {
    if (step.raise_to > 0) {
      ASSERT_TRUE(store_->RaiseCounter(step.counter, step.raise_to).ok());
    }
    int32_t number = 0;
    ASSERT_TRUE(store_->NextNumber(step.counter, &number).ok());
    EXPECT_EQ(number, step.expected) << step.counter;
  }
  std::vector<Counter> counters;
  ASSERT_TRUE(store_->ListCounters(&counters).ok());
  EXPECT_EQ(counters, (std::vector<Counter>{{"file", 1}, {"linkset", 13}, {"new", 8}}));
  ASSERT_TRUE(store_->Clear().ok());
  int32_t number = 0;
  ASSERT_TRUE(store_->NextNumber("linkset", &number).ok());
  EXPECT_EQ(number, 1);
  std::vector<ObjectRecord> objects;
  ASSERT_TRUE(store_->ListObjects("", &objects).ok());
  EXPECT_TRUE(objects.empty());
  Catalog catalog;
  ASSERT_TRUE(store_->LoadCatalog(&catalog).ok());
  EXPECT_TRUE(catalog.class_views.empty());
}

TEST_P(StoreContractTest, RollbackForgetsAndTransactionsDoNotNest) {
  ASSERT_TRUE(store_->Begin(true).ok());
  EXPECT_EQ(store_->Begin(false).code(), Status::Code::kInvalidArgument);
  ASSERT_TRUE(store_->PutObject({9, "P-109", "Pumps", {}}).ok());
  ASSERT_TRUE(store_->PutPrivilege({"ann", "RunBridge", false}).ok());
  store_->Rollback();
  ObjectRecord object;
  EXPECT_EQ(store_->GetObject(9, &object).code(), Status::Code::kNotFound);
  bool allowed = false;
  ASSERT_TRUE(store_->GetPrivilege("ann", "RunBridge", &allowed).ok());
  EXPECT_TRUE(allowed);
  EXPECT_EQ(store_->Commit().code(), Status::Code::kInvalidArgument);
}

// A write transaction holds what it read: another writer waits for its
// Commit instead of changing the bridge between its read and its write.
TEST_P(StoreContractTest, WriteTransactionHoldsWhatItReadUntilCommit) {
  BridgeRecord bridge{0, "B", "ann", "1", "ann", "1", "", ""};
  ASSERT_TRUE(store_->AddBridge(&bridge).ok());
  std::unique_ptr<Store> other = OpenAgain();
  ASSERT_TRUE(store_->Begin(true).ok());
  ASSERT_TRUE(store_->GetBridge(bridge.oid, false, &bridge).ok());
  ASSERT_EQ(bridge.lock_holder, "");
  std::atomic<bool> committing = false;
  bool other_waited = false;
  Status other_status;
  std::thread writer([&] {
    other_status = other->SetBridgeLock(bridge.oid, "bob");
    other_waited = committing;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(store_->SetBridgeLock(bridge.oid, "ann").ok());
  committing = true;
  ASSERT_TRUE(store_->Commit().ok());
  writer.join();
  ASSERT_TRUE(other_status.ok()) << other_status.message();
  EXPECT_TRUE(other_waited);
  ASSERT_TRUE(store_->GetBridge(bridge.oid, false, &bridge).ok());
  EXPECT_EQ(bridge.lock_holder, "bob");
}

// Two processes writing to one workspace at once lose nothing: each waits
// for the other's transaction instead of failing.
TEST_P(StoreContractTest, TwoProcessesWritingLoseNothing) {
  constexpr int kWrites = 150;
  pid_t children[2];
  for (int process = 0; process < 2; ++process) {
    children[process] = fork();
    ASSERT_GE(children[process], 0);
    if (children[process] == 0) {
      std::unique_ptr<Store> store;
      if (!factory_->Open(false, &store).ok()) _exit(2);
      for (int i = 0; i < kWrites; ++i) {
        Element element;
        element.value = static_cast<double>(i);
        int32_t bridge_number = 0;
        Transaction transaction(store.get(), true);
        if (!store->PutValue({process + 1, "Pressure", 101 + i}, {element}).ok()) _exit(3);
        if (!store->NextNumber("linkset", &bridge_number).ok()) _exit(4);
        if (!transaction.Commit().ok()) _exit(5);
      }
      store.reset();
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::vector<StoredValue> values;
  ASSERT_TRUE(store_->ListValues(&values).ok());
  EXPECT_EQ(values.size(), 2u * kWrites);
  int32_t next = 0;
  ASSERT_TRUE(store_->NextNumber("linkset", &next).ok());
  EXPECT_EQ(next, 2 * kWrites + 1);
}

// Listings come in the same order from every store, texts by their bytes.
TEST_P(StoreContractTest, ListingsAreOrderedByBytes) {
  const char* routes[] = {"b", "B", "a", "_", "\xC3\xA4", "A"};
  for (const char* route : routes) {
    Element element;
    element.value = std::string(route);
    ASSERT_TRUE(store_->PutValue({1, route, 101}, {element}).ok());
    ASSERT_TRUE(store_->PutPrivilege({route, "RunBridge", false}).ok());
  }
  std::vector<StoredValue> values;
  ASSERT_TRUE(store_->ListValues(&values).ok());
  std::vector<Privilege> privileges;
  ASSERT_TRUE(store_->ListPrivileges(&privileges).ok());
  std::vector<std::string> value_routes, users;
  for (const StoredValue& value : values) value_routes.push_back(value.key.route);
  for (const Privilege& privilege : privileges) users.push_back(privilege.user);
  const std::vector<std::string> expected = {"A", "B", "_", "a", "b", "\xC3\xA4"};
  EXPECT_EQ(value_routes, expected);
  EXPECT_EQ(users, expected);
}

std::string StoreName(const ::testing::TestParamInfo<std::string>& store) { return store.param; }

INSTANTIATE_TEST_SUITE_P(Stores, StoreContractTest, ::testing::Values("sqlite", "postgres"),
                         StoreName);

}  // namespace
}  // namespace ovc::orvan
