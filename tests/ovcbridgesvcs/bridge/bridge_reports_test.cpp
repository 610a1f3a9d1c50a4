#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "automation/text.h"
#include "tests/office/office_test_support.h"
#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;

constexpr std::wstring_view kHeading = L"Pre-Transfer Validation Errors:\r\n\r\n";
constexpr std::wstring_view kNoEnabledFile = L"    There are no enabled applications.";
constexpr std::wstring_view kNoLinks = L"    The configured and enabled linksets contain no links.";
constexpr std::wstring_view kNoWrite =
    L"    There is no Application Write Locations specified in this link.";
constexpr std::wstring_view kNoRead =
    L"    There is no Application Read Location specified in this link.";
constexpr std::wstring_view kOneIterative =
    L"   A maximum of 1 Iterative linkset is allowed for Autorun or AutoRun with Pause.";
constexpr std::wstring_view kIterativeNotTaken =
    L"   An Iterative linkset is only allowed for Autorun, AutoRun with Pause and Transfer from "
    L"Application to Orvan.";
constexpr std::wstring_view kNoRoute = L"   The attribute specified in this link is blank.";
constexpr std::wstring_view kWriteInvalid =
    L"   The Application Write Location specified in this link is invalid.";
constexpr std::wstring_view kReadInvalid =
    L"   The Application Read Location specified in this link is invalid.";

std::wstring Report(std::wstring_view text) { return std::wstring(kHeading) + std::wstring(text); }

// The sample plant and the workbook Calc.xlsx (names Rate, Total and
// Answer). Fresh makes a Bridge with that file and a LinkSet named Pumps
// bound to P-101A holding two Links that find their locations.
class BridgeReportsTest : public bridge_testing::PlantBridgeTest {
 protected:
  void SetUp() override {
    PlantBridgeTest::SetUp();
    std::filesystem::copy_file(office::testing::FixturePath("book.xlsx"), Calc());
    Fresh();
  }

  void Fresh() {
    bridge_ = BridgeByClass();
    app_ = AddFile(bridge_.get(), FromUtf8(Calc().string()));
    pumps_ = AddPumpLinkSet(bridge_.get());
    ASSERT_EQ(pumps_->put_Name(L"Pumps"), S_OK);
    AddLink(L"Stages", L"Rate", L"Total");
    AddLink(L"Stages", L"Rate", L"Total");
  }

 public:
  std::filesystem::path Calc() const { return files_.work().parent_path() / "Calc.xlsx"; }
  ComPtr<ILink> AddLink(const wchar_t* route, const wchar_t* write, const wchar_t* read) {
    ComPtr<ILink> link = PlantBridgeTest::AddLink(pumps_.get(), route);
    EXPECT_EQ(link->put_WriteLocation(write), S_OK);
    EXPECT_EQ(link->put_ReadLocation(read), S_OK);
    return link;
  }
  void AddIterative() {
    const ComPtr<ILink> link = PlantBridgeTest::AddLink(
        AddIterativePumpLinkSet(bridge_.get(), {{1001, L"P-101A"}}).get(), L"Stages");
    EXPECT_EQ(link->put_WriteLocation(L"Rate"), S_OK);
  }
  std::pair<OVCBRIDGEVALIDATE, std::wstring> Validate(OVCBRIDGETRANSFEROP op) {
    OVCBRIDGEVALIDATE level = ovWarning;
    std::wstring report;
    EXPECT_EQ(bridge_->get_Validate(op, &level, &report), S_OK) << TakeDesc();
    return {level, report};
  }

  apps_testing::AppFiles files_;
  ComPtr<IBridge> bridge_;
  ComPtr<IApp> app_;
  ComPtr<ILinkSet> pumps_;
};

TEST_F(BridgeReportsTest, ValidateReportsWhatEachOperationNeeds) {
  const auto link = [](int number, std::wstring_view text) {
    return L"\r\n    Linkset 1 - Pumps, Link " + std::to_wstring(number) + L": " +
           std::wstring(text);
  };
  const struct {
    const char* name;
    std::function<void(BridgeReportsTest&)> arrange;
    OVCBRIDGETRANSFEROP op;
    OVCBRIDGEVALIDATE level;
    std::wstring report;
  } cases[] = {
      {"all found", [](auto&) {}, ovAutorun, ovOK, L""},
      {"letter case of a location", [](auto& t) { t.AddLink(L"Stages", L"rate", L"TOTAL"); },
       ovAutorun, ovOK, L""},
      {"no write location, host op", [](auto& t) { t.AddLink(L"Stages", L"", L"Total"); },
       ovReadFromOrvan, ovOK, L""},
      {"no write location", [](auto& t) { t.AddLink(L"Stages", L"", L"Total"); }, ovWriteToApp,
       ovOK, Report(link(3, kNoWrite))},
      {"no read location, write found", [](auto& t) { t.AddLink(L"Stages", L"Rate", L""); },
       ovReadFromApp, ovOK, L""},
      {"no read location, write missing", [](auto& t) { t.AddLink(L"Stages", L"Gone", L""); },
       ovReadFromApp, ovOK, Report(link(3, kWriteInvalid) + link(3, kNoRead))},
      {"both missing", [](auto& t) { t.AddLink(L"Stages", L"Gone", L"Lost"); }, ovReadFromOrvan,
       ovOK, Report(link(3, kWriteInvalid) + link(3, kReadInvalid))},
      {"blank route", [](auto& t) { t.AddLink(L"", L"Rate", L"Total"); }, ovExportOrvanToApp,
       ovError, Report(link(3, kNoRoute))},
      {"disabled link", [](auto& t) { t.AddLink(L"", L"", L"")->put_Enabled(VARIANT_FALSE); },
       ovAutorun, ovOK, L""},
      {"no enabled file", [](auto& t) { t.app_->put_Enabled(VARIANT_FALSE); }, ovWriteToApp,
       ovError, Report(kNoEnabledFile)},
      {"no enabled file, host op", [](auto& t) { t.app_->put_Enabled(VARIANT_FALSE); },
       ovWriteToOrvan, ovOK, L""},
      {"two iterative", [](auto& t) { t.AddIterative(), t.AddIterative(); }, ovAutorunPause,
       ovError, Report(kOneIterative)},
      {"one iterative, autorun", [](auto& t) { t.AddIterative(); }, ovAutorun, ovOK, L""},
      {"one iterative, file read", [](auto& t) { t.AddIterative(); }, ovReadFromApp, ovError,
       Report(kIterativeNotTaken)},
      {"no links", [](auto& t) { t.pumps_->RemoveAll(); }, ovReadFromOrvan, ovOK, Report(kNoLinks)},
      {"class view unknown", [](auto& t) { t.pumps_->put_Class(L"NoSuchView"); }, ovReadFromOrvan,
       ovOK, Report(L"\r\nThe class view is not valid:  NoSuchView")},
      {"no file, no LinkSet", [this](auto&) { bridge_ = NewBridge(); }, ovAutorun, ovError,
       Report(std::wstring(kNoEnabledFile) + L"\r\n" + std::wstring(kNoLinks))},
      {"read-only file",
       [this](auto&) { std::filesystem::permissions(Calc(), std::filesystem::perms::owner_read); },
       ovAutorun, ovOK, L""},
      {"file gone", [this](auto&) { std::filesystem::remove(Calc()); }, ovWriteToApp, ovOK,
       Report(link(1, kWriteInvalid) + link(1, kReadInvalid) + link(2, kWriteInvalid) +
              link(2, kReadInvalid))},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.name);
    Fresh();
    each.arrange(*this);
    EXPECT_EQ(Validate(each.op), std::make_pair(each.level, each.report));
  }
}

// Pumps holds a Link that went well, one that failed and a disabled one in
// error; a disabled and an iterative LinkSet hold one Link in error each,
// and one more LinkSet a Link that went well.
class BridgeReportsFilledTest : public BridgeReportsTest {
 protected:
  void SetUp() override {
    BridgeReportsTest::SetUp();
    ASSERT_EQ(pumps_->RemoveAll(), S_OK);
    AddFinishedLink(pumps_.get(), L"fine", false);
    AddFinishedLink(pumps_.get(), L"failed", true);
    ASSERT_EQ(AddFinishedLink(pumps_.get(), L"off", true)->put_Enabled(VARIANT_FALSE), S_OK);
    const ComPtr<ILinkSet> disabled = AddPumpLinkSet(bridge_.get());
    ASSERT_EQ(disabled->put_Enabled(VARIANT_FALSE), S_OK);
    AddFinishedLink(disabled.get(), L"disabled set", true);
    AddFinishedLink(
        AddIterativePumpLinkSet(bridge_.get(), {{1002, L"P-101B"}, {1003, L"P-102A"}}).get(),
        L"template", true);
    AddFinishedLink(AddPumpLinkSet(bridge_.get()).get(), L"also fine", false);
  }

  // A Link of `link_set` with a status and an error flag as a transfer
  // leaves them.
  static ComPtr<ILink> AddFinishedLink(ILinkSet* link_set, const wchar_t* status, bool error) {
    ComPtr<ILink> link = PlantBridgeTest::AddLink(link_set, L"Stages");
    EXPECT_EQ(link->put_CaseOID(101), S_OK);
    EXPECT_EQ(link->put_Status(status), S_OK);
    EXPECT_EQ(link->put_Error(error ? VARIANT_TRUE : VARIANT_FALSE), S_OK);
    return link;
  }
};

TEST_F(BridgeReportsFilledTest, ReportsListTheEnabledLinksOfTheLinkSetsThatTookPart) {
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_StatusReport),
            L"Bridge Status Report:\r\n\r\nfine\r\nfailed\r\n\r\nalso fine\r\n\r\n");
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_ErrorReport),
            L"Bridge Error Report:\r\n\r\nfailed\r\n\r\n");
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_LinkErrorCount), 4);
}

TEST_F(BridgeReportsFilledTest, ValidateClearsTheStatusesOfTheOperation) {
  Validate(ovWriteToApp);
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_ErrorReport), L"Bridge Error Report:\r\n\r\n");
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_LinkErrorCount), 0);
}

TEST_F(BridgeReportsFilledTest, ProfileNamesEveryBoundObjectWithItsEnabledRoutes) {
  const std::wstring stages = L"<ProfileAttr Route = \"Stages\" Case = \"101\" ></ProfileAttr>";
  const auto object = [](int oid, const std::wstring& routes) {
    return L"<ProfileObject OID = \"" + std::to_wstring(oid) + L"\" ClassView =\"Pumps\" >" +
           routes + L"</ProfileObject>";
  };
  EXPECT_EQ(Got(bridge_.get(), &IBridge::GetBridgeProfile),
            L"<Profile>" + object(1001, stages + stages) + object(1001, stages) +
                object(1002, stages) + object(1003, stages) + object(1001, stages) + L"</Profile>");
}

}  // namespace
}  // namespace ovc::bridge
