#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "automation/text.h"
#include "ovcbridgesvcs/frame/user_interface.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;
using Answers = std::vector<Confirmation>;
using Counts = std::map<std::wstring, int>;
constexpr auto kYes = Confirmation::kYes;
constexpr auto kYesToAll = Confirmation::kYesToAll;
constexpr auto kNo = Confirmation::kNo;
constexpr auto kCancel = Confirmation::kCancel;

// Answers the overwrite questions from a script and the numbering question
// with `numbering`; records what was asked.
class ScriptedUser final : public UserInterface {
 public:
  ScriptedUser(Answers answers, LocationNumbering numbering)
      : answers_(std::move(answers)), numbering_(std::move(numbering)) {}

  int32_t MessageBox(std::wstring_view, std::wstring_view, uint32_t) override { return kAnswerOk; }
  Confirmation Confirm(std::wstring_view question, std::wstring_view caption) override {
    questions.emplace_back(question);
    EXPECT_EQ(caption, L"Confirm Binding Overwrite");
    if (questions.size() > answers_.size()) {
      ADD_FAILURE() << "unexpected question " << ToUtf8(question);
      return kCancel;
    }
    return answers_[questions.size() - 1];
  }
  LocationNumbering AskNumbering(const LocationNumbering& initial) override {
    EXPECT_EQ(initial, LocationNumbering{});
    ++numbering_asked;
    return numbering_;
  }

  std::vector<std::wstring> questions;
  int numbering_asked = 0;

 private:
  Answers answers_;
  LocationNumbering numbering_;
};

// A stored Bridge's LinkSet element bound to `objects` (OID, name).
std::wstring Element(const std::wstring& name, const std::wstring& class_view,
                     const std::vector<std::pair<int, std::wstring>>& objects, int case_oid = 101,
                     bool iterative = false) {
  std::wstring element = L"<Linkset Name=\"" + name + L"\" Class=\"" + class_view +
                         L"\" CaseSelected=\"" + std::to_wstring(case_oid) + L"\" Iterative=\"" +
                         (iterative ? L"1" : L"0") + L"\"><ClassViewObjects>";
  for (const auto& [oid, object] : objects) {
    element += L"<Object OID=\"" + std::to_wstring(oid) + L"\" ObjectName=\"" + object + L"\"/>";
  }
  return element + L"</ClassViewObjects><Links/></Linkset>";
}

class BridgeBindingsTest : public bridge_testing::PlantBridgeTest {
 protected:
  void TearDown() override {
    SetUserInterface(nullptr);
    PlantBridgeTest::TearDown();
  }

  std::shared_ptr<ScriptedUser> Script(Answers answers, LocationNumbering numbering = {}) {
    auto user = std::make_shared<ScriptedUser>(std::move(answers), std::move(numbering));
    SetUserInterface(user);
    return user;
  }

  // A LinkSet of the Bridge with one Link reading `read` and writing `write`.
  ComPtr<ILinkSet> Template(const std::wstring& name, const std::wstring& class_view,
                            const std::wstring& read = L"Flow_1",
                            const std::wstring& write = L"Temp3") {
    const ComPtr<ILinkSet> link_set = AddLinkSet(bridge_.get());
    EXPECT_EQ(link_set->put_Name(name), S_OK);
    EXPECT_EQ(link_set->put_Class(class_view), S_OK);
    const ComPtr<ILink> link = AddLink(link_set.get(), L"Flow");
    EXPECT_EQ(link->put_ReadLocation(read), S_OK);
    EXPECT_EQ(link->put_WriteLocation(write), S_OK);
    return link_set;
  }
  ComPtr<ILinkSet> BoundTemplate(const std::wstring& name, const std::wstring& class_view) {
    ComPtr<ILinkSet> link_set = Template(name, class_view);
    EXPECT_EQ(link_set->put_ObjectOID(1001), S_OK);
    EXPECT_EQ(link_set->put_ObjectName(L"P-101A"), S_OK);
    return link_set;
  }

  std::wstring Call(std::wstring_view method, const std::wstring& text) {
    std::wstring response;
    DataServiceStep step = DataServiceStep::kNone;
    EXPECT_EQ(RunDataServiceCall(workspace_.get(),
                                 {.service = kBridgeService, .method = method, .text = text},
                                 &response, &step),
              S_OK)
        << TakeDesc();
    return response;
  }
  static pugi::xml_node Root(pugi::xml_document& document, const std::wstring& text) {
    EXPECT_TRUE(document.load_string(ToUtf8(text).c_str()));
    return document.document_element();
  }
  // Stores a Bridge document holding `elements`; returns its OID.
  int32_t Store(const std::wstring& elements) {
    pugi::xml_document answer;
    const std::wstring text =
        L"<Bridge OID=\"-1\" Name=\"Plant\"><Linksets>" + elements + L"</Linksets></Bridge>";
    return Root(answer, Call(L"SaveBridge", text)).child("Bridge").attribute("OID").as_int();
  }
  void OpenAs(const std::wstring& user, int32_t oid) {
    const std::wstring me = Got(workspace_.get(), &IOVWorkspace::get_UserName);
    ASSERT_EQ(workspace_->put_UserName(user), S_OK);
    Call(L"OpenBridge", OidRequest(L"Bridge", oid));
    ASSERT_EQ(workspace_->put_UserName(me), S_OK);
  }
  // Whether someone holds the lock of `oid`: asked as a third user, who
  // gives back a lock it took.
  bool Locked(int32_t oid) {
    const std::wstring me = Got(workspace_.get(), &IOVWorkspace::get_UserName);
    EXPECT_EQ(workspace_->put_UserName(L"carol"), S_OK);
    pugi::xml_document answer;
    const bool locked =
        Root(answer, Call(L"OpenBridge", OidRequest(L"Bridge", oid))).attribute("Locked").as_int();
    if (!locked) Call(L"ReleaseLock", OidRequest(L"ReleaseLock", oid));
    EXPECT_EQ(workspace_->put_UserName(me), S_OK);
    return locked;
  }

  // Each LinkSet of the Bridge as "name|object|case|objects|read|write"
  // (the locations of its first Link).
  std::vector<std::wstring> LinkSets() {
    std::vector<std::wstring> link_sets;
    for (int32_t i = 0; i < Got(bridge_.get(), &IBridge::get_Count); ++i) {
      const auto set = ItemAt<ILinkSet>(bridge_.get(), i);
      std::wstring text = Got(set.get(), &ILinkSet::get_Name) + L"|" +
                          Got(set.get(), &ILinkSet::get_ObjectName) + L"|" +
                          std::to_wstring(Got(set.get(), &ILinkSet::get_CaseOID)) + L"|" +
                          std::to_wstring(Got(set.get(), &ILinkSet::get_ObjectCount));
      if (Got(set.get(), &ILinkSet::get_Count) > 0) {
        const auto link = ItemAt<ILink>(set.get(), 0);
        text += L"|" + Got(link.get(), &ILink::get_ReadLocation) + L"|" +
                Got(link.get(), &ILink::get_WriteLocation);
      }
      link_sets.push_back(text);
    }
    return link_sets;
  }
  Counts CountsByName() {
    Counts counts;
    for (const std::wstring& link_set : LinkSets())
      ++counts[link_set.substr(0, link_set.find('|'))];
    return counts;
  }
  bool Dirty() { return Got(bridge_.get(), &IBridge::get_Dirty) != VARIANT_FALSE; }

  ComPtr<IBridge> bridge_ = NewBridge();
};

TEST_F(BridgeBindingsTest, CopyLogsEachWalkAndNumbersTheLocationsOfOneNameOnce) {
  BoundTemplate(L"Pump", L"Pumps");
  AddLinkSet(bridge_.get())->put_Name(L"Loose");
  Template(L"Tank", L"Tanks", L"", L"Level");
  const int32_t oid =
      Store(Element(L"", L"Pumps", {}) + Element(L"Pump", L"Pumps", {{1002, L"P-101B"}}) +
            Element(L"Valve", L"Pumps", {{1003, L"P-102A"}}) +
            Element(L"Tank", L"Tanks", {{2001, L"T-201"}}) +
            Element(L"Pump", L"Pumps", {{1003, L"P-102A"}}) +
            Element(L"Pump", L"Pumps", {{1004, L"P-102B"}}));
  const auto user = Script({kYesToAll}, {.delimiter = L"_", .digits = 2, .start = 4});
  ASSERT_EQ(bridge_->CopyBrObjectBindings(oid), S_OK) << TakeDesc();
  const std::wstring log = Got(bridge_.get(), &IBridge::get_ErrorReport);
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_StatusReport), log);
  EXPECT_EQ(log,
            L"Validating Source Bridge\r\n"
            L"Class view not set for linkset Loose . Linkset will be skipped.\r\n"
            L"Source Bridge Validation Complete\r\n"
            L"\r\nValidating Target Bridge\r\n"
            L"Name not set for linkset 1 . Linkset will be skipped.\r\n"
            L"Target Bridge Validation Complete\r\n"
            L"\r\nCopying bindings for 4 linksets.\r\n"
            L"\r\nObject P-101B bound to linkset Pump (linkset # 1) with classview Pumps.\r\n"
            L"\r\nObject P-102A bound to linkset Pump (linkset # 2) with classview Pumps.\r\n"
            L"\r\nObject P-102B bound to linkset Pump (linkset # 3) with classview Pumps.\r\n" +
                std::wstring(85, L'=') +
                L"\r\n"
                L"\r\nObject T-201 bound to linkset Tank (linkset # 4) with classview Tanks.\r\n");
  EXPECT_EQ(user->questions, std::vector<std::wstring>{
                                 L"Object Binding already set for linkset Pump, (linkset # 2); "
                                 L"Do you wish to over-write?"});
  EXPECT_EQ(user->numbering_asked, 1);
  EXPECT_EQ(LinkSets(), (std::vector<std::wstring>{
                            L"Loose||-11|0", L"Pump|P-101B|101|1|Flow_04|Temp3_04",
                            L"Pump|P-102A|101|1|Flow_05|Temp3_05",
                            L"Pump|P-102B|101|1|Flow_06|Temp3_06", L"Tank|T-201|101|1||Level"}));
  EXPECT_FALSE(Locked(oid)) << "the lock taken by opening is given back";
}

// Every element gets a copy of its own, with its own objects, case and
// Iterative flag; Cancel, even after Yes, and No to all leave the Bridge as
// it was. Only a lock the copy's own opening took is given back, also after
// Cancel; a Bridge another user holds is copied and stays theirs.
TEST_F(BridgeBindingsTest, CopyAnswersTable) {
  struct Case {
    Answers answers;
    size_t questions;
    std::vector<std::wstring> link_sets;  // empty: unchanged
    bool held_by_other = false;
  };
  const std::wstring iterative = L"Pump|** Iterative (2 objects) **|103|2|";
  const std::vector<std::wstring> both = {L"Pump|P-101B|101|1|Flow_1|Temp3_1",
                                          iterative + L"Flow_2|Temp3_2"};
  const Case cases[] = {
      {{kYesToAll}, 1, both},
      {{kYes, kYes}, 2, both},
      {{kNo, kYes}, 2, {iterative + L"Flow_1|Temp3"}},
      {{kYes, kCancel}, 2, {}},
      {{kNo, kNo}, 2, {}},
      {{kCancel}, 1, {}},
      {{kYes, kYes}, 2, both, true},
      {{kCancel}, 1, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "answers " << c.answers.size() << ", first "
                 << static_cast<int>(c.answers.front()) << ", held " << c.held_by_other);
    bridge_ = NewBridge();
    BoundTemplate(L"Pump", L"Pumps");
    const int32_t oid =
        Store(Element(L"Pump", L"Pumps", {{1002, L"P-101B"}}) +
              Element(L"Pump", L"Pumps", {{1003, L"P-102A"}, {1004, L"P-102B"}}, 103, true));
    if (c.held_by_other) OpenAs(L"bob", oid);
    ASSERT_EQ(bridge_->put_Dirty(VARIANT_FALSE), S_OK);
    const std::vector<std::wstring> before = LinkSets();
    const auto user = Script(c.answers);
    ASSERT_EQ(bridge_->CopyBrObjectBindings(oid), S_OK) << TakeDesc();
    EXPECT_EQ(LinkSets(), c.link_sets.empty() ? before : c.link_sets);
    if (c.link_sets.empty()) {
      EXPECT_FALSE(Dirty());
    }
    EXPECT_EQ(user->questions.size(), c.questions);
    EXPECT_EQ(Locked(oid), c.held_by_other);
  }
}

TEST_F(BridgeBindingsTest, CopyFromAMissingOrOddStoredBridge) {
  BoundTemplate(L"Pump", L"Pumps");
  Script({kYesToAll});
  const std::vector<std::wstring> before = LinkSets();
  EXPECT_TRUE(Failed(bridge_->CopyBrObjectBindings(987654)));
  EXPECT_EQ(TakeDesc(), L"Service call to open Bridge failed.");
  EXPECT_EQ(LinkSets(), before);

  // Elements without attributes, a case that is no number, two objects on
  // a LinkSet that is not iterative, an object without OID.
  const int32_t odd = Store(
      L"<Linkset/><Linkset Name=\"Pump\" Class=\"Pumps\" CaseSelected=\"x\" Iterative=\"yes\">"
      L"<ClassViewObjects><Object OID=\"1003\" ObjectName=\"P-102A\"/>"
      L"<Object OID=\"1004\" ObjectName=\"P-102B\"/></ClassViewObjects></Linkset>"
      L"<Linkset Name=\"Pump\" Class=\"Pumps\"><ClassViewObjects><Object ObjectName=\"?\"/>"
      L"</ClassViewObjects></Linkset>");
  ASSERT_EQ(bridge_->CopyBrObjectBindings(odd), S_OK) << TakeDesc();
  EXPECT_EQ(LinkSets(), (std::vector<std::wstring>{L"Pump|P-102A|0|1|Flow_1|Temp3_1",
                                                   L"Pump|?|0|1|Flow_2|Temp3_2"}));
}

// AutoCreate: one copy per host object for the first template of each class
// view; the templates leave only when their copies are in.
TEST_F(BridgeBindingsTest, AutoCreateAnswersTable) {
  struct Case {
    Answers answers;
    Counts counts;  // empty: unchanged
  };
  const Case cases[] = {
      {{kYesToAll}, {{L"Loose", 1}, {L"Pump", 12}, {L"Pump2", 1}, {L"Tank", 10}}},
      {{kYes, kNo}, {{L"Loose", 1}, {L"Pump", 12}, {L"Pump2", 1}, {L"Tank", 1}}},
      {{kNo, kYes}, {{L"Loose", 1}, {L"Pump", 1}, {L"Pump2", 12}, {L"Tank", 10}}},
      {{kYes, kCancel}, {}},
      {{kCancel}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "answers " << c.answers.size() << ", first "
                                      << static_cast<int>(c.answers.front()));
    bridge_ = NewBridge();
    BoundTemplate(L"Pump", L"Pumps");
    const ComPtr<ILinkSet> tanks = AddIterativePumpLinkSet(bridge_.get(), {{2001, L"T-201"}});
    ASSERT_EQ(tanks->put_Name(L"Tank"), S_OK);
    ASSERT_EQ(tanks->put_Class(L"Tanks"), S_OK);
    AddLinkSet(bridge_.get())->put_Name(L"Loose");
    Template(L"Pump2", L"Pumps");
    ASSERT_EQ(bridge_->put_Dirty(VARIANT_FALSE), S_OK);
    const std::vector<std::wstring> before = LinkSets();
    const auto user = Script(c.answers, {.delimiter = L"", .digits = 3, .start = 7});
    ASSERT_EQ(bridge_->AutoCreateObjectBindings(), S_OK) << TakeDesc();
    if (c.counts.empty()) {
      EXPECT_EQ(LinkSets(), before);
      EXPECT_FALSE(Dirty());
    } else {
      EXPECT_EQ(CountsByName(), c.counts);
      EXPECT_EQ(user->numbering_asked, 1);
    }
  }
}

TEST_F(BridgeBindingsTest, AutoCreateLogsSkippedTemplatesAndNumbersFromTheStart) {
  Template(L"Tank", L"Tanks", L"Level12", L"");
  AddLinkSet(bridge_.get())->put_Name(L"Loose");
  Template(L"Other tank", L"Tanks");
  Script({}, {.delimiter = L"", .digits = 0, .start = 5});
  ASSERT_EQ(bridge_->AutoCreateObjectBindings(), S_OK) << TakeDesc();
  const std::wstring log = Got(bridge_.get(), &IBridge::get_ErrorReport);
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_StatusReport), log);
  EXPECT_TRUE(log.starts_with(
      L"Class view not set for linkset Loose . Linkset will be skipped.\n"
      L"Skipping linkset Other tank with class view Tanks. A linkset with the same class view "
      L"already processed.\r\n"
      L"\r\nCopying bindings for 10 linksets.\r\n"
      L"\r\nObject T-201 bound to linkset Tank (linkset # 1) with classview Tanks.\r\n"))
      << ToUtf8(log);
  const std::vector<std::wstring> link_sets = LinkSets();
  ASSERT_EQ(link_sets.size(), 12U);
  EXPECT_EQ(link_sets[2], L"Tank|T-201|-11|1|Level5|");
  EXPECT_EQ(link_sets[11], L"Tank|T-210|-11|1|Level14|");
}

// A class view the host does not know fails and changes nothing; one
// without objects keeps its template; a thousand objects give as many
// LinkSets, numbered past three digits.
TEST_F(BridgeBindingsTest, AutoCreateOverEmptyUnknownAndLargeClassViews) {
  std::stringstream plant;
  plant << std::ifstream(OVC_SAMPLE_PLANT).rdbuf();
  std::string text = plant.str();
  std::string objects = "\"objects\": [";
  for (int i = 0; i < 1000; ++i) {
    objects += "{\"cases\": [], \"classView\": \"Valves\", \"name\": \"V-" + std::to_string(i) +
               "\", \"oid\": " + std::to_string(100000 + i) + ", \"values\": []}, ";
  }
  text.replace(text.find("\"objects\": ["), 12, objects);
  text.replace(text.find("\"classViews\": ["), 15,
               "\"classViews\": [{\"name\": \"Valves\", \"routes\": []}, "
               "{\"name\": \"Spares\", \"routes\": []}, ");
  const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "valves.json";
  std::ofstream(file) << text;
  ASSERT_EQ(workspace_->Import(file.wstring()), S_OK);
  Script({});

  Template(L"Ghost", L"Nowhere");
  EXPECT_TRUE(Failed(bridge_->AutoCreateObjectBindings()));
  EXPECT_FALSE(TakeDesc().empty());
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_Count), 1);
  ASSERT_EQ(bridge_->Remove(0), S_OK);

  Template(L"Spare", L"Spares");
  Template(L"Valve", L"Valves", L"Open_9");
  ASSERT_EQ(bridge_->AutoCreateObjectBindings(), S_OK) << TakeDesc();
  const std::vector<std::wstring> link_sets = LinkSets();
  ASSERT_EQ(link_sets.size(), 1001U);
  EXPECT_EQ(link_sets.front(), L"Spare||-11|0|Flow_1|Temp3");
  EXPECT_EQ(link_sets.back(), L"Valve|V-999|-11|1|Open_1000|Temp3_1000");
}

}  // namespace
}  // namespace ovc::bridge
