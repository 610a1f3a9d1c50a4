// A "WriteAttributes" request is one transaction: whatever fails inside it
// (a store call, a file write of the commit, the process itself) leaves every
// value of the request as it was; values the host refuses are refused alone.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "tests/orvan/hooked_store.h"
#include "tests/orvan/service/service_fixture.h"

namespace ovc::orvan {
namespace {

// The default file system of SQLite with a fault planted in its writes: the
// write numbered `fault_at` (from 1, over every file of every connection
// opened while it is installed) fails with "disk full" or kills the process
// halfway through its bytes.
class FaultyWrites {
 public:
  enum class Fault { kDiskFull, kKillHalfway };

  FaultyWrites(int fault_at, Fault fault) : real_(sqlite3_vfs_find(nullptr)), vfs_(*real_) {
    countdown_ = fault_at;
    fault_ = fault;
    vfs_.zName = "faulty-writes";
    vfs_.pAppData = this;
    vfs_.xOpen = Open;
    sqlite3_vfs_register(&vfs_, 1);
  }
  ~FaultyWrites() {
    sqlite3_vfs_unregister(&vfs_);
    sqlite3_vfs_register(real_, 1);
  }
  FaultyWrites(const FaultyWrites&) = delete;
  FaultyWrites& operator=(const FaultyWrites&) = delete;

  // True when the planted fault was met.
  static bool met() { return countdown_ <= 0; }

 private:
  // The methods of one kind of file with the write replaced; `methods` first,
  // so that a file's methods lead back to the whole.
  struct Wrapped {
    sqlite3_io_methods methods;
    const sqlite3_io_methods* real;
  };

  static int Open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags, int* out) {
    auto* self = static_cast<FaultyWrites*>(vfs->pAppData);
    int rc = self->real_->xOpen(self->real_, name, file, flags, out);
    if (rc == SQLITE_OK && file->pMethods != nullptr) file->pMethods = &self->Wrap(file->pMethods);
    return rc;
  }

  const sqlite3_io_methods& Wrap(const sqlite3_io_methods* real) {
    for (const Wrapped& wrapped : wrapped_) {
      if (wrapped.real == real) return wrapped.methods;
    }
    Wrapped& wrapped = wrapped_.emplace_back(Wrapped{*real, real});
    wrapped.methods.xWrite = Write;
    return wrapped.methods;
  }

  static int Write(sqlite3_file* file, const void* data, int size, sqlite3_int64 offset) {
    const sqlite3_io_methods* real = reinterpret_cast<const Wrapped*>(file->pMethods)->real;
    if (--countdown_ != 0) return real->xWrite(file, data, size, offset);
    if (fault_ == Fault::kDiskFull) return SQLITE_FULL;
    real->xWrite(file, data, size / 2, offset);
    raise(SIGKILL);
    return SQLITE_IOERR;
  }

  static inline int countdown_ = 0;
  static inline Fault fault_ = Fault::kDiskFull;
  sqlite3_vfs* real_;
  sqlite3_vfs vfs_;
  std::deque<Wrapped> wrapped_;  // stays in place as it grows
};

// A single value with its prefix.
std::vector<Element> One(Scalar value, std::string prefix = "") {
  Element element;
  element.value = std::move(value);
  element.prefix = std::move(prefix);
  return {element};
}

// Every stored value, in key order.
using Values = std::vector<std::tuple<int32_t, std::string, int32_t, std::vector<Element>>>;

Values ValuesOf(Store* store) {
  std::vector<StoredValue> stored;
  EXPECT_TRUE(store->ListValues(&stored).ok());
  Values values;
  for (StoredValue& value : stored) {
    values.emplace_back(value.key.object, value.key.route, value.key.case_oid,
                        std::move(value.elements));
  }
  return values;
}

// Writes to two pumps: a real in a unit, texts alone (which reads the stored
// value), a vector, a refused Enum text, a route the class view lacks, and an
// object that does not exist.
constexpr const char* kRequest =
    "<Objects><Object OID=\"1\" ClassView=\"Pumps\"><Attributes>"
    "<Attribute Route=\"Pressure\" Case=\"101\" Units=\"kPa\"><Values>"
    "<Value Quantity=\"5\"/></Values></Attribute>"
    "<Attribute Route=\"Stages\" Case=\"101\"><Values><Value Prefix=\"~\"/></Values></Attribute>"
    "<Attribute Route=\"Curve\" Case=\"101\" Units=\"kPa\"><Values>"
    "<Value Quantity=\"1\"/><Value Quantity=\"2\"/></Values></Attribute>"
    "<Attribute Route=\"Service\" Case=\"101\"><Values>"
    "<Value Quantity=\"Steam\"/></Values></Attribute>"
    "<Attribute Route=\"Flow\" Case=\"101\"><Values><Value Quantity=\"1\"/></Values></Attribute>"
    "</Attributes></Object>"
    "<Object OID=\"2\" ClassView=\"Pumps\"><Attributes>"
    "<Attribute Route=\"Tag\" Case=\"101\"><Values><Value Quantity=\"new\"/></Values></Attribute>"
    "</Attributes></Object>"
    "<Object OID=\"77\" ClassView=\"Pumps\"><Attributes>"
    "<Attribute Route=\"Tag\" Case=\"101\"><Values><Value Quantity=\"x\"/></Values></Attribute>"
    "</Attributes></Object></Objects>";

class AttributeWriteFaultsTest : public testing::ServiceTest {
 protected:
  AttributeWriteFaultsTest() {
    Seed(1, "Stages", {int64_t{3}});
    Seed(1, "Service", {std::string("Oil")});
    Seed(2, "Tag", {std::string("old")});
    before_ = ValuesOf(store_.get());
  }

  void Seed(int32_t object, const char* route, Scalar value) {
    EXPECT_TRUE(store_->PutValue({object, route, 101}, One(std::move(value))).ok());
  }

  static ServiceResponse Call(Store* store, const wchar_t* method) {
    return DataService(store, L"ann")
        .Execute({L"OVDBBridgeSvcs.Main", method, FromUtf8(kRequest), {}});
  }
  static ServiceResponse Write(Store* store) { return Call(store, L"WriteAttributes"); }

  // Another connection to the workspace.
  std::unique_ptr<SqliteStore> Connect() const {
    std::unique_ptr<SqliteStore> connection;
    Status status =
        SqliteStore::Open(dir_.File("plant.orvan"), SqliteStore::Mode::kOpen, &connection);
    EXPECT_TRUE(status.ok()) << status.message();
    return connection;
  }

  // The request's answer: each refusal alone, the other values written.
  void ExpectAnswered(const ServiceResponse& response) {
    ASSERT_TRUE(response.status.ok()) << response.status.message();
    Answer answer{response.status, ToUtf8(response.text)};
    pugi::xml_document document = Parse(answer);
    std::vector<std::string> errors;
    for (pugi::xml_node object : document.child("Objects").children("Object")) {
      for (pugi::xml_node attribute : object.first_child().children()) {
        errors.push_back(attribute.attribute("Error").value());
      }
    }
    const std::vector<std::string> expected = {
        "Write Successful",
        "Write Successful",
        "Write Successful",
        "The value 'Steam' sent for 'Service' is not one of its allowed texts.",
        "The attribute route 'Flow' is not in class view 'Pumps'.",
        "Write Successful",
        "Object 77 does not exist."};
    EXPECT_EQ(errors, expected);
    ExpectStored();
  }

  // The values the request stores beside those it leaves alone.
  void ExpectStored() {
    std::vector<Element> stored;
    ASSERT_TRUE(store_->GetValue({1, "Stages", 101}, &stored).ok());
    EXPECT_EQ(stored, One(int64_t{3}, "~"));
    ASSERT_TRUE(store_->GetValue({1, "Service", 101}, &stored).ok());
    EXPECT_EQ(stored, One(std::string("Oil")));
    ASSERT_TRUE(store_->GetValue({2, "Tag", 101}, &stored).ok());
    EXPECT_EQ(stored, One(std::string("new")));
    ASSERT_TRUE(store_->GetValue({1, "Curve", 101}, &stored).ok());
    EXPECT_EQ(stored.size(), 2u);
    ASSERT_TRUE(store_->GetValue({1, "Pressure", 101}, &stored).ok());
    EXPECT_EQ(stored.size(), 1u);
  }

  Values before_;
};

// As the storage tests of SQLite do: the request runs once per store call,
// with that call failing, until it runs through without meeting the fault.
TEST_F(AttributeWriteFaultsTest, AFailingStoreCallStoresNoneOfTheRequest) {
  for (int fail_at = 1;; ++fail_at) {
    int calls = 0;
    testing::HookedStore faulty(store_.get(), [&](std::string_view) {
      return ++calls == fail_at ? Status::Storage("database error: disk I/O error") : Status::Ok();
    });
    ServiceResponse response = Write(&faulty);
    if (calls < fail_at) {
      ExpectAnswered(response);
      break;
    }
    EXPECT_EQ(response.status.code(), Status::Code::kStorage) << "call " << fail_at;
    EXPECT_NE(response.text.find(L"<Error "), std::wstring::npos);
    ASSERT_EQ(ValuesOf(store_.get()), before_) << "call " << fail_at;
  }
}

// The disk fills up at each file write of the request in turn (the writes of
// its commit); another connection sees nothing of it, and the connection
// that failed serves the next request.
TEST_F(AttributeWriteFaultsTest, ADiskFullAtAnyWriteStoresNoneOfTheRequest) {
  for (int fault_at = 1;; ++fault_at) {
    FaultyWrites faulty(fault_at, FaultyWrites::Fault::kDiskFull);
    std::unique_ptr<SqliteStore> connection = Connect();
    ServiceResponse response = Write(connection.get());
    if (!FaultyWrites::met()) {
      ExpectAnswered(response);
      EXPECT_GT(fault_at, 1);
      break;
    }
    EXPECT_EQ(response.status.code(), Status::Code::kStorage) << "write " << fault_at;
    EXPECT_NE(response.status.message().find("full"), std::string::npos)
        << response.status.message();
    ASSERT_EQ(ValuesOf(store_.get()), before_) << "write " << fault_at;
    EXPECT_TRUE(Call(connection.get(), L"ReadAttributes").status.ok()) << "write " << fault_at;
  }
}

// A process killed halfway through each file write of the request in turn:
// the workspace, opened again, holds none of the request. No connection is
// open across the fork.
TEST_F(AttributeWriteFaultsTest, AProcessKilledAtAnyWriteStoresNoneOfTheRequest) {
  store_.reset();
  for (int fault_at = 1;; ++fault_at) {
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      FaultyWrites faulty(fault_at, FaultyWrites::Fault::kKillHalfway);
      _exit(Write(Connect().get()).status.ok() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    store_ = Connect();
    if (WIFEXITED(status)) {
      ASSERT_EQ(WEXITSTATUS(status), 0);
      ExpectStored();
      EXPECT_GT(fault_at, 1);
      break;
    }
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "write " << fault_at;
    ASSERT_EQ(ValuesOf(store_.get()), before_) << "write " << fault_at;
    store_.reset();
  }
}

}  // namespace
}  // namespace ovc::orvan
