// Eight processes working on one PostgreSQL workspace at once, each as its
// own user: every change that was answered as done is kept, and every
// conflict is answered with the host's own refusal, never a database error.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "automation/text.h"
#include "orvan/files/file_checkout.h"
#include "orvan/format/number_text.h"
#include "orvan/service/data_service.h"
#include "orvan/service/xml_io.h"
#include "orvan/storage/postgres_store.h"
#include "tests/orvan/orvan_test_support.h"
#include "tests/orvan/storage/store_factory.h"

namespace ovc::orvan {
namespace {

using testing::TempDir;

constexpr int kProcesses = 8;
constexpr int kOperations = 200;
constexpr unsigned kSecondsPerProcess = 120;

// What one process reports back through its pipe.
struct Tally {
  int saves = 0;                       // saves of the shared bridge that went through
  int check_ins = 0;                   // check-ins of the shared file
  std::array<char, 512> unexpected{};  // the first answer no conflict explains
};

// The records every process works on.
struct Shared {
  int saved_bridge = 0;   // its Description counts the saves
  int locked_bridge = 0;  // only locked and released
  int file = 0;           // its content counts the check-ins
};

using testing::BridgeRequest;
using testing::ReleaseRequest;

// Every process writes these same values.
const std::string kWriteRequest =
    "<Objects><Object OID=\"1\" ClassView=\"Pumps\"><Attributes>"
    "<Attribute Route=\"Pressure\" Case=\"101\" Units=\"kPa\"><Values><Value Quantity=\"12.5\" "
    "Prefix=\"\" Postfix=\"\" Substitution=\"\"/></Values></Attribute>"
    "</Attributes></Object></Objects>";

int64_t ParseCount(std::string_view text) {
  int64_t count = -1;
  return ParseInteger(text, 0, INT32_MAX, &count) ? count : -1;
}

// One process's share of the work, as user "user<n>".
class Worker {
 public:
  Worker(Store* store, int number, const std::filesystem::path& folder, const Shared& shared)
      : number_(number),
        shared_(shared),
        service_(store, L"user" + std::to_wstring(number)),
        files_(store, service_.user(), folder / ("user" + std::to_string(number))) {}

  void Run() {
    for (int step = 0; step < kOperations && tally_.unexpected[0] == '\0'; ++step) {
      switch ((step + number_) % 4) {
        case 0:
          Expect(Call("WriteAttributes", kWriteRequest).status);
          break;
        case 1:
          SaveSharedBridge();
          break;
        case 2:
          CheckInSharedFile();
          break;
        case 3:
          LockAndRelease();
          break;
      }
    }
  }

  const Tally& tally() const { return tally_; }

 private:
  ServiceResponse Call(const char* method, const std::string& text) {
    return service_.Execute({L"OVDBBridgeSvcs.Main", FromUtf8(method), FromUtf8(text), {}});
  }

  // Opens the bridge; *document is its stored document, *locked whether
  // another user holds it.
  bool Open(int oid, pugi::xml_document* document, bool* locked) {
    ServiceResponse opened = Call("OpenBridge", BridgeRequest(oid));
    if (!Expect(opened.status)) return false;
    if (!document->load_string(ToUtf8(opened.text).c_str())) return Unexpected("not XML");
    pugi::xml_node root = document->document_element();
    *locked = root.attribute("Locked").as_int() != 0;
    root.remove_attribute("Locked");
    return true;
  }

  // Adds one to the count the document holds and saves it; a user who did
  // not get the lock tries to save anyway and must be refused unless nobody
  // saved in between.
  void SaveSharedBridge() {
    pugi::xml_document document;
    bool locked = false;
    if (!Open(shared_.saved_bridge, &document, &locked)) return;
    pugi::xml_node root = document.document_element();
    const int64_t count = ParseCount(root.attribute("Description").value());
    root.attribute("Description").set_value(std::to_string(count + 1).c_str());
    Status saved = Call("SaveBridge", SerializeXml(document, false)).status;
    if (saved.ok()) ++tally_.saves;
    if (locked) {
      if (!saved.ok()) ExpectConflict(saved);
    } else if (Expect(saved)) {
      Expect(Call("ReleaseLock", ReleaseRequest(shared_.saved_bridge)).status);
    }
  }

  void CheckInSharedFile() {
    std::filesystem::path path;
    Status out = files_.CheckOut(shared_.file, &path);
    if (!out.ok()) {
      ExpectConflict(out);
      return;
    }
    testing::WriteFile(path, std::to_string(ParseCount(testing::ReadFile(path)) + 1));
    if (Expect(files_.CheckIn(shared_.file))) ++tally_.check_ins;
  }

  // A user who did not get the lock may not release it, unless its holder
  // released it in between.
  void LockAndRelease() {
    pugi::xml_document document;
    bool locked = false;
    if (!Open(shared_.locked_bridge, &document, &locked)) return;
    Status released = Call("ReleaseLock", ReleaseRequest(shared_.locked_bridge)).status;
    if (!locked || released.ok()) {
      Expect(released);
    } else {
      ExpectConflict(released);
    }
  }

  bool Expect(const Status& status) { return status.ok() || Unexpected(status.message()); }

  // Another user holding the bridge or the file is the one conflict there is.
  void ExpectConflict(const Status& status) {
    static const std::regex kConflict(
        R"(Bridge \d+ is locked by user\d\.|)"
        R"(Bridge \d+ was saved by user\d on .+ after this copy was opened; .+|)"
        R"(File \d+ \(count\.txt\) is checked out by user\d\.)");
    if (status.code() == Status::Code::kRefused && std::regex_match(status.message(), kConflict)) {
      return;
    }
    Unexpected(status.ok() ? "no conflict" : status.message());
  }

  bool Unexpected(const std::string& what) {
    if (tally_.unexpected[0] == '\0') {
      std::string text = "user" + std::to_string(number_) + ": " + what;
      text.resize(std::min(text.size(), tally_.unexpected.size() - 1));
      std::memcpy(tally_.unexpected.data(), text.data(), text.size());
    }
    return false;
  }

  int number_;
  Shared shared_;
  DataService service_;
  FileCheckout files_;
  Tally tally_;
};

class PostgresConcurrencyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::TestPostgresUri().empty()) GTEST_SKIP() << "OVC_TEST_POSTGRES_URI is not set";
    workspace_ = std::make_unique<testing::PostgresFactory>();
    std::unique_ptr<Store> store;
    Status created = workspace_->Open(true, &store);
    ASSERT_TRUE(created.ok()) << created.message();
    testing::FillPumpStore(store.get());
    DataService ann(store.get(), L"ann");
    shared_.saved_bridge = NewBridge(&ann, "0");
    shared_.locked_bridge = NewBridge(&ann, "");
    testing::WriteFile(dir_.path() / "count.txt", "0");
    FileCheckout files(store.get(), L"ann", dir_.path() / "ann");
    Status added = files.AddFile(dir_.path() / "count.txt", false, &shared_.file);
    ASSERT_TRUE(added.ok()) << added.message();
  }

  static int NewBridge(DataService* service, const std::string& description) {
    ServiceResponse created = service->Execute({L"OVDBBridgeSvcs.Main", L"CreateBridge", L"", {}});
    pugi::xml_document answer;
    answer.load_string(ToUtf8(created.text).c_str());
    const int oid = answer.child("Bridge").attribute("OID").as_int();
    const std::string document = "<Bridge OID=\"" + std::to_string(oid) +
                                 "\" Name=\"Shared\" Description=\"" + description + "\"/>";
    EXPECT_TRUE(service->Execute({L"OVDBBridgeSvcs.Main", L"SaveBridge", FromUtf8(document), {}})
                    .status.ok());
    return oid;
  }

  // Runs process `number` in a child, which writes its tally to `out`.
  [[noreturn]] void RunChild(int number, int out) {
    alarm(kSecondsPerProcess);
    std::unique_ptr<Store> store;
    Tally tally;
    if (workspace_->Open(false, &store).ok()) {
      Worker worker(store.get(), number, dir_.path(), shared_);
      worker.Run();
      tally = worker.tally();
    } else {
      std::strcpy(tally.unexpected.data(), "the workspace does not open");
    }
    const bool written = write(out, &tally, sizeof tally) == sizeof tally;
    _exit(written ? 0 : 1);
  }

  std::unique_ptr<testing::PostgresFactory> workspace_;
  TempDir dir_;
  Shared shared_;
};

TEST_F(PostgresConcurrencyTest, EightProcessesLoseNoUpdateAndMeetOnlyTheHostsConflicts) {
  std::vector<pid_t> children;
  std::vector<int> pipes;
  for (int number = 1; number <= kProcesses; ++number) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) RunChild(number, ends[1]);
    close(ends[1]);
    children.push_back(child);
    pipes.push_back(ends[0]);
  }
  Tally total;
  for (int i = 0; i < kProcesses; ++i) {
    Tally tally;
    const bool read_whole = read(pipes[i], &tally, sizeof tally) == sizeof tally;
    close(pipes[i]);
    int status = 0;
    ASSERT_EQ(waitpid(children[i], &status, 0), children[i]);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 && read_whole)
        << "process " << i + 1 << " ended with " << status;
    EXPECT_STREQ(tally.unexpected.data(), "");
    total.saves += tally.saves;
    total.check_ins += tally.check_ins;
  }

  std::unique_ptr<Store> store;
  ASSERT_TRUE(workspace_->Open(false, &store).ok());
  BridgeRecord saved;
  ASSERT_TRUE(store->GetBridge(shared_.saved_bridge, true, &saved).ok());
  EXPECT_NE(saved.document.find("Description=\"" + std::to_string(total.saves) + "\""),
            std::string::npos)
      << total.saves << " saves: " << saved.document;
  FileRecord file;
  ASSERT_TRUE(store->GetFile(shared_.file, true, &file).ok());
  EXPECT_EQ(file.content, std::to_string(total.check_ins));
  EXPECT_EQ(file.holder, "");
  BridgeRecord locked;
  ASSERT_TRUE(store->GetBridge(shared_.locked_bridge, false, &locked).ok());
  EXPECT_EQ(locked.lock_holder, "");
  EXPECT_EQ(saved.lock_holder, "");
  std::vector<Element> pressure;
  ASSERT_TRUE(store->GetValue({1, "Pressure", 101}, &pressure).ok());
  ASSERT_EQ(pressure.size(), 1u);
  EXPECT_EQ(pressure[0].entered, 12.5);
  EXPECT_GT(total.saves, 0);
  EXPECT_GT(total.check_ins, 0);
}

}  // namespace
}  // namespace ovc::orvan
