#include "orvan/service/bridge_requests.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "tests/orvan/service/service_fixture.h"

namespace ovc::orvan {
namespace {

using testing::BridgeRequest;
using testing::ReleaseRequest;

// A Bridge document as the library writes it: two linksets (one new, one
// stored), two files, a name with an ampersand.
std::string Document(int oid) {
  return "<?xml version=\"1.0\"?><Bridge OID=\"" + std::to_string(oid) +
         "\" Name=\"Pumps &amp;#38; tanks\" CreatedBy=\"x\" ModifiedBy=\"x\" Case=\"-10\" "
         "UnitStandard=\"&lt;Workspace Default&gt;\" Description=\"\" Optimize=\"0\">"
         "<Linksets>"
         "<Linkset OID=\"-1\" Name=\"P\" Class=\"Pumps\"><ClassViewObjects><Object OID=\"1\" "
         "ObjectName=\"P-101\"/></ClassViewObjects><Links><Link Route=\"Pressure\"/></Links>"
         "</Linkset>"
         "<Linkset OID=\"500\" Name=\"T\" Class=\"Tanks\"><ClassViewObjects/><Links/></Linkset>"
         "</Linksets>"
         "<BridgeFiles><File OID=\"7\" FileName=\"a&amp;b.xlsx\"/><File OID=\"8\"/></BridgeFiles>"
         "</Bridge>";
}

class BridgeRequestsTest : public testing::ServiceTest {
 protected:
  BridgeRequestsTest() : bob_(store_.get(), L"bob") {}

  int Create() {
    Answer answer = Call("CreateBridge", "");
    EXPECT_TRUE(answer.status.ok()) << answer.status.message();
    return Parse(answer).child("Bridge").attribute("OID").as_int();
  }

  std::string Locked(const Answer& answer) {
    EXPECT_TRUE(answer.status.ok()) << answer.status.message();
    return Parse(answer).child("Bridge").attribute("Locked").value();
  }

  // The OIDs of the elements `query` selects in the answer of a Save.
  std::vector<int> SavedOids(const std::string& document, const char* query) {
    Answer saved = Call("SaveBridge", document);
    EXPECT_TRUE(saved.status.ok()) << saved.status.message();
    const pugi::xml_document answer = Parse(saved);
    std::vector<int> oids;
    for (pugi::xpath_node node : answer.select_nodes(query)) {
      oids.push_back(node.node().attribute("OID").as_int());
    }
    return oids;
  }

  DataService bob_;
};

TEST_F(BridgeRequestsTest, ListGivesEveryBridgeWithItsDescriptionAndLockHolder) {
  EXPECT_EQ(Create(), 1);
  ASSERT_TRUE(
      Call("SaveBridge", "<Bridge OID=\"1\" Name=\"B\" Description=\"a &amp; b\"/>").status.ok());
  EXPECT_EQ(Create(), 2);
  ASSERT_TRUE(CallAs(&bob_, "OpenBridge", BridgeRequest(1)).status.ok());
  const pugi::xml_document list = Parse(Call("ListBridges", ""));
  const pugi::xpath_node_set bridges = list.select_nodes("/Bridges/Bridge");
  ASSERT_EQ(bridges.size(), 2u);
  const struct {
    const char* description;
    const char* locked_by;
  } expected[] = {{"a &#38; b", "bob"}, {"", ""}};  // texts carry the character-reference layer
  for (size_t i = 0; i < 2; ++i) {
    const pugi::xml_node bridge = bridges[i].node();
    EXPECT_STREQ(bridge.attribute("Description").value(), expected[i].description);
    EXPECT_STREQ(bridge.attribute("LockedBy").value(), expected[i].locked_by);
    EXPECT_STREQ(bridge.attribute("CreatedBy").value(), "ann");
    EXPECT_STREQ(bridge.attribute("ModifiedBy").value(), "ann");
    EXPECT_GT(bridge.attribute("DateCreated").as_double(), 40000);
    EXPECT_TRUE(bridge.attribute("Name") && bridge.attribute("DateModified"));
  }
}

TEST_F(BridgeRequestsTest, SaveAnswersOidsInDocumentOrderAndOpenReturnsTheDocument) {
  int oid = Create();
  EXPECT_EQ(SavedOids(Document(oid), "//File"), (std::vector<int>{7, 8}));
  const std::vector<int> linksets = SavedOids(Document(oid), "//Linkset");
  ASSERT_EQ(linksets.size(), 2u);
  EXPECT_GT(linksets[0], 0);
  EXPECT_EQ(linksets[1], 500);

  Answer opened = Call("OpenBridge", BridgeRequest(oid));
  EXPECT_EQ(Locked(opened), "0");
  pugi::xml_document document = Parse(opened);
  pugi::xml_node bridge = document.child("Bridge");
  EXPECT_EQ(bridge.attribute("OID").as_int(), oid);
  EXPECT_STREQ(bridge.attribute("Name").value(), "Pumps &#38; tanks");
  EXPECT_STREQ(bridge.attribute("UnitStandard").value(), "<Workspace Default>");
  EXPECT_EQ(bridge.child("Linksets").first_child().attribute("OID").as_int(), linksets[0]);
  EXPECT_STREQ(bridge.select_node("//Link").node().attribute("Route").value(), "Pressure");
  EXPECT_STREQ(bridge.select_node("//File").node().attribute("FileName").value(), "a&b.xlsx");
}

// A number handed to a new Linkset is above every Linkset OID saved before,
// and above those of the same document.
TEST_F(BridgeRequestsTest, NewLinksetsAreNumberedAboveEveryOidGiven) {
  const int oid = Create();
  const auto save = [&](const std::string& linksets) {
    return SavedOids("<Bridge OID=\"" + std::to_string(oid) + "\"><Linksets>" + linksets +
                         "</Linksets></Bridge>",
                     "//Linkset");
  };
  const std::string fresh = "<Linkset OID=\"0\"/>";
  EXPECT_EQ(save("<Linkset OID=\"3\"/>"), (std::vector<int>{3}));
  EXPECT_EQ(save(fresh + fresh + fresh + fresh), (std::vector<int>{4, 5, 6, 7}));
  EXPECT_EQ(save(fresh + "<Linkset OID=\"20\"/>"), (std::vector<int>{21, 20}));
}

// Only the holder releases a lock; until then another user opens read-only.
TEST_F(BridgeRequestsTest, AnotherUsersLockHoldsUntilItsHolderReleasesIt) {
  int oid = Create();
  ASSERT_TRUE(Call("SaveBridge", Document(oid)).status.ok());
  EXPECT_EQ(Locked(Call("OpenBridge", BridgeRequest(oid))), "0");
  EXPECT_EQ(Locked(CallAs(&bob_, "OpenBridge", BridgeRequest(oid))), "1");
  Answer refused = CallAs(&bob_, "ReleaseLock", ReleaseRequest(oid));
  EXPECT_EQ(refused.status.code(), Status::Code::kRefused);
  EXPECT_NE(refused.status.message().find("locked by ann"), std::string::npos);
  ASSERT_TRUE(Call("ReleaseLock", ReleaseRequest(oid)).status.ok());
  EXPECT_EQ(Locked(CallAs(&bob_, "OpenBridge", BridgeRequest(oid))), "0");
}

TEST_F(BridgeRequestsTest, AUserWithoutTheModifyPrivilegeIsRefused) {
  ASSERT_TRUE(store_->PutPrivilege({"bob", "ModifyBridge", false}).ok());
  EXPECT_EQ(CallAs(&bob_, "ModifyBridgePrivilege", "").text, "false");
  EXPECT_EQ(CallAs(&bob_, "CreateBridge", "").status.code(), Status::Code::kRefused);
  EXPECT_EQ(CallAs(&bob_, "SaveBridge", Document(Create())).status.code(), Status::Code::kRefused);
}

// Two processes opening one bridge at once: exactly one of them gets the lock.
TEST_F(BridgeRequestsTest, OnlyOneProcessTakesALock) {
  int oid = Create();
  ASSERT_TRUE(Call("SaveBridge", Document(oid)).status.ok());
  pid_t children[2];
  for (int i = 0; i < 2; ++i) {
    children[i] = fork();
    ASSERT_GE(children[i], 0);
    if (children[i] == 0) {
      std::unique_ptr<SqliteStore> store;
      if (!SqliteStore::Open(dir_.File("plant.orvan"), SqliteStore::Mode::kOpen, &store).ok()) {
        _exit(2);
      }
      DataService service(store.get(), i == 0 ? L"carl" : L"dora");
      Answer answer = CallAs(&service, "OpenBridge", BridgeRequest(oid));
      pugi::xml_document document;
      if (!answer.status.ok() || !document.load_string(answer.text.c_str())) _exit(3);
      _exit(10 + document.child("Bridge").attribute("Locked").as_int());
    }
  }
  int locked = 0;
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_GE(WEXITSTATUS(status), 10) << WEXITSTATUS(status);
    locked += WEXITSTATUS(status) - 10;
  }
  EXPECT_EQ(locked, 1);
}

// A copy opened while another user held the lock is stale once that user
// saves: storing it would undo their save.
TEST_F(BridgeRequestsTest, ASaveBasedOnAnOlderVersionIsRefused) {
  const int oid = Create();
  const Answer bobs = CallAs(&bob_, "OpenBridge", BridgeRequest(oid));
  const Answer anns = Call("OpenBridge", BridgeRequest(oid));
  ASSERT_EQ(Locked(anns), "1");
  const Answer saved = CallAs(&bob_, "SaveBridge", bobs.text);
  ASSERT_TRUE(saved.status.ok()) << saved.status.message();
  EXPECT_STREQ(Parse(saved).select_node("/SaveBridge/Bridge/@Version").attribute().value(), "1");
  ASSERT_TRUE(CallAs(&bob_, "ReleaseLock", ReleaseRequest(oid)).status.ok());

  const std::string reopened = Call("OpenBridge", BridgeRequest(oid)).text;
  const std::string oid_text = std::to_string(oid);
  const struct {
    std::string document;
    Status::Code code;
    const char* says;
    int64_t stored_version;
  } saves[] = {
      {anns.text, Status::Code::kRefused, "was saved by bob on 20", 1},
      {reopened, Status::Code::kOk, "", 2},
      {reopened, Status::Code::kRefused, "was saved by ann on 20", 2},
      {"<Bridge OID=\"" + oid_text + "\"/>", Status::Code::kOk, "", 3},
      {"<Bridge OID=\"" + oid_text + "\" Version=\"-1\"/>", Status::Code::kInvalidArgument,
       "is not a version number", 3},
  };
  for (const auto& save : saves) {
    const Answer answer = Call("SaveBridge", save.document);
    EXPECT_EQ(answer.status.code(), save.code) << answer.status.message();
    EXPECT_NE(answer.status.message().find(save.says), std::string::npos)
        << answer.status.message();
    BridgeRecord stored;
    ASSERT_TRUE(store_->GetBridge(oid, false, &stored).ok());
    EXPECT_EQ(stored.version, save.stored_version) << save.document;
  }
}

TEST_F(BridgeRequestsTest, UnitDefaultsAndObjectLists) {
  pugi::xml_document defaults = Parse(Call("UnitDefaults", ""));
  std::vector<std::string> entries;
  for (pugi::xml_node node : defaults.document_element().children()) {
    entries.push_back(std::string(node.attribute("Unit").value()) + "=" +
                      node.attribute("Format").value());
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"kPa=0.00", "°C=0.0"}));

  Answer all = Call("ListObjects", "", "OVDBGenericSvcs.Main");
  EXPECT_EQ(Parse(all).child("Objects").select_nodes("Object").size(), 3u);
  Answer unknown = Call("ListObjects", "", "OVDBGenericSvcs.Main", {{L"FilterView", L"Valves"}});
  EXPECT_EQ(unknown.status.code(), Status::Code::kNotFound);
  EXPECT_NE(unknown.status.message().find("Valves"), std::string::npos);
}

}  // namespace
}  // namespace ovc::orvan
