#include "ovcbridgesvcs/transfer/app_transfer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "office/common/macro_registry.h"
#include "ovcbridgesvcs/frame/progress.h"
#include "ovcbridgesvcs/frame/user_interface.h"
#include "ovcbridgesvcs/transfer/change_report.h"
#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::transfer {
namespace {

using bridge_testing::StatusOf;
using host_testing::Got;
using ::testing::HasSubstr;
using ::testing::StartsWith;

Variant Vector(std::vector<Variant> values) { return Variant(SafeArray::FromValues(values)); }

// Counts the message boxes shown and answers OK.
struct CountingUserInterface final : UserInterface {
  int32_t MessageBox(std::wstring_view text, std::wstring_view caption, uint32_t) override {
    shown.push_back(std::wstring(caption) + L": " + std::wstring(text));
    return kAnswerOk;
  }
  Confirmation Confirm(std::wstring_view, std::wstring_view) override { return Confirmation::kYes; }
  LocationNumbering AskNumbering(const LocationNumbering& initial) override { return initial; }
  std::vector<std::wstring> shown;
};

// A Bridge with one LinkSet on P-101A and the workbook Plant.xlsx (a copy
// of the fixture cells.xlsx), transferred by the engine.
class AppTransferTest : public bridge_testing::PlantBridgeTest {
 protected:
  void SetUp() override {
    PlantBridgeTest::SetUp();
    ASSERT_EQ(pumps_->SetDataModelSvcs(), S_OK);  // made before the host was there
  }
  void TearDown() override {
    SetUserInterface(nullptr);
    SetProgress(nullptr);
    PlantBridgeTest::TearDown();
  }

  ComPtr<IApp> AddApp(const std::string& file) { return AddFile(bridge_.get(), files_.File(file)); }
  ComPtr<IAppCollection> Apps() {
    Variant apps;
    EXPECT_EQ(bridge_->get_AppCollection(&apps), S_OK);
    return ComPtr<IDispatch>(apps.dispatch()).As<IAppCollection>();
  }
  HostTransfer Transfer(bool report) {
    HostTransfer transfer{
        .link_sets = link_sets_, .apps = apps_.get(), .bridge_name = L"Plant", .record_change = {}};
    if (report) {
      transfer.record_change = [this](ChangeEntry entry) { AppendChangeEntry(entry, &report_); };
    }
    return transfer;
  }
  // A Link writing `value` (as read from the host) to `location`.
  ComPtr<ILink> WriteLink(const std::wstring& location, const Variant& value) {
    ComPtr<ILink> link = AddLink(pumps_.get(), L"Stages");
    EXPECT_EQ(link->put_WriteLocation(location), S_OK);
    EXPECT_EQ(link->put_OrvanValue(value), S_OK);
    return link;
  }
  // A Link reading `location`.
  ComPtr<ILink> ReadLink(const std::wstring& route, const std::wstring& location) {
    ComPtr<ILink> link = AddLink(pumps_.get(), route);
    EXPECT_EQ(link->put_ReadLocation(location), S_OK);
    return link;
  }
  Variant InFile(const std::wstring& location) {
    Variant value;
    EXPECT_EQ(plant_->GetValue(location, &value), S_OK);
    return value;
  }

  apps_testing::AppFiles files_;
  ComPtr<IBridge> bridge_ = BridgeByClass();
  ComPtr<ILinkSet> pumps_ = AddPumpLinkSet(bridge_.get());
  std::vector<ComPtr<ILinkSet>> link_sets_{pumps_};
  ComPtr<IApp> plant_ = AddApp("Plant.xlsx");
  ComPtr<IAppCollection> apps_ = Apps();
  std::vector<std::wstring> report_;
};

TEST_F(AppTransferTest, WriteLeavesItsStatusOnEachLinkAndGoesOnAfterAFailedLink) {
  struct Case {
    std::wstring location;
    Variant value;  // empty: no value read from the host
    std::wstring status;
    bool written;
  };
  const std::vector<Case> cases = {
      {L"", {}, L"Value not written to \"\" because no value was read from Orvan.", false},
      {L"Commented",
       {},
       L"Value not written to \"Commented\" because no value was read from Orvan.",
       false},
      {L"", Variant::I4(3), L"", false},  // nothing to do
      {L"Temp", Variant::I4(3),
       L"Value not written to \"Temp\" because location does not exist in \"Plant.xlsx\"", false},
      {L"LockedCell", Variant::I4(3),
       L"Plant.xlsx:  The application location 'LockedCell' is locked", false},
      {L"Commented", Variant::I4(7), L"Plant.xlsx:  value written to Commented", true},
      {L"Puts", Vector({Variant::I4(1), Variant::I4(2)}),
       L"Plant.xlsx:  vector value written to Puts", true},
  };
  std::vector<ComPtr<ILink>> links;
  for (const Case& each : cases) {
    links.push_back(WriteLink(each.location, each.value));
    if (each.value.IsEmpty()) {
      ASSERT_EQ(links.back()->put_ReadFromOrvan(VARIANT_FALSE), S_OK);
    }
  }
  ASSERT_EQ(TransferToApp(Transfer(false), plant_.get()), S_OK);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(StatusOf(links[i].get()), cases[i].status.empty() ? L"" : cases[i].status + L"\r\n");
    EXPECT_EQ(Got(links[i].get(), &ILink::get_WrittenToApp), ToVariantBool(cases[i].written));
  }
  EXPECT_EQ(InFile(L"Commented"), Variant::R8(7));
  EXPECT_EQ(InFile(L"Cells!M2"), Variant::R8(2));
}

// A vector goes down a column (Puts, written above) unless its format says
// Row.
TEST_F(AppTransferTest, VectorIsWrittenAsARowWhenTheFormatSaysRow) {
  const ComPtr<ILink> row =
      WriteLink(L"Volatile", Vector({Variant::I4(1), Variant::I4(2), Variant::I4(3)}));
  ASSERT_EQ(row->put_WriteFormat(L"/!Row!/"), S_OK);
  ASSERT_EQ(TransferToApp(Transfer(false), plant_.get()), S_OK);
  EXPECT_EQ(InFile(L"Cells!N1"), Variant::R8(3));
}

TEST_F(AppTransferTest, ChangeReportOfAVectorHasOneGroupPerNewElement) {
  ASSERT_EQ(plant_->SetVectorValue(L"Puts", Vector({Variant::R8(7), Variant::R8(8)}), VARIANT_TRUE),
            S_OK);
  WriteLink(L"Puts", Vector({Variant::I4(1), Variant::I4(2), Variant::I4(3)}));
  ASSERT_EQ(TransferToApp(Transfer(true), plant_.get()), S_OK);
  const std::vector<std::wstring> expected = {L"Plant.xlsx", L"P-101A", L"Puts 0", L"7", L"1",
                                              L"Plant.xlsx", L"P-101A", L"Puts 1", L"8", L"2",
                                              L"Plant.xlsx", L"P-101A", L"Puts 2", L"",  L"3"};
  EXPECT_EQ(report_, expected);
}

TEST_F(AppTransferTest, ReadConvertsEachValueAndReportsOnlyWhatWasRead) {
  const ComPtr<ILink> money = ReadLink(L"Power", L"Money");
  const ComPtr<ILink> text = ReadLink(L"Tag", L"Commented");
  const ComPtr<ILink> missing = ReadLink(L"Stages", L"Temp");
  ASSERT_EQ(text->put_OrvanValue(Variant(L"P-101A")), S_OK);
  ASSERT_EQ(TransferFromApp(Transfer(true), plant_.get()), S_OK);
  EXPECT_EQ(Got(money.get(), &ILink::get_AppValue), Variant::R8(1234.5));
  EXPECT_EQ(Got(text.get(), &ILink::get_AppValue), Variant(L"commented"));
  EXPECT_EQ(StatusOf(missing.get()), L"");
  EXPECT_EQ(Got(missing.get(), &ILink::get_ReadFromApp), VARIANT_FALSE);
  const std::vector<std::wstring> expected = {L"Plant",  L"P-101A",   L"Power",  L"",
                                              L"1234.5", L"Plant",    L"P-101A", L"Tag",
                                              L"P-101A", L"commented"};
  EXPECT_EQ(report_, expected);
}

TEST_F(AppTransferTest, ReadWithoutClassViewOnTheFirstEnabledLinkSetWarnsAndReadsNothing) {
  const auto user = std::make_shared<CountingUserInterface>();
  SetUserInterface(user);
  ASSERT_EQ(pumps_->put_Enabled(VARIANT_FALSE), S_OK);
  const ComPtr<ILinkSet> unbound = AddLinkSet(bridge_.get());
  const ComPtr<ILink> link = AddLink(unbound.get(), L"Tag");
  ASSERT_EQ(link->put_ReadLocation(L"Commented"), S_OK);
  link_sets_.push_back(unbound);
  link_sets_.push_back(AddPumpLinkSet(bridge_.get()));
  ASSERT_EQ(TransferFromApp(Transfer(false), plant_.get()), S_OK);
  EXPECT_EQ(user->shown, std::vector<std::wstring>{
                             L"Warning: At least one linkset does not have a class view set"});
  EXPECT_EQ(Got(link.get(), &ILink::get_RawAppValue), Variant());
  ASSERT_EQ(pumps_->put_Enabled(VARIANT_TRUE), S_OK);
  ASSERT_EQ(TransferFromApp(Transfer(false), plant_.get()), S_OK);
  EXPECT_EQ(user->shown.size(), 1U);
}

TEST_F(AppTransferTest, AllFilesSkipDisabledOnesAndOneFileIsCheckedForItsIndex) {
  const ComPtr<IApp> second = AddApp("Second.xlsx");
  ASSERT_EQ(plant_->put_Enabled(VARIANT_FALSE), S_OK);
  const ComPtr<ILink> link = WriteLink(L"Commented", Variant::I4(5));
  ASSERT_EQ(AppsTransfer(Transfer(false), true, false), S_OK);
  EXPECT_EQ(StatusOf(link.get()), L"Second.xlsx:  value written to Commented\r\n");
  EXPECT_EQ(AppTransfer(Transfer(false), 0, true), S_OK);
  EXPECT_EQ(StatusOf(link.get()), L"Second.xlsx:  value written to Commented\r\n");
  EXPECT_EQ(AppTransfer(Transfer(false), 2, true), E_FAIL);
  EXPECT_EQ(host_testing::TakeDesc(), L"Bridge:  App index is out of range (2 of [0..1])");
}

TEST_F(AppTransferTest, HostReadReportsToTheBridgeWhenTransferringData) {
  const ComPtr<ILink> stages = WriteLink(L"Commented", {});
  ASSERT_EQ(stages->put_CaseOID(101), S_OK);
  const auto report = [&] {
    Variant texts;
    EXPECT_EQ(bridge_->GetChangeReport(&texts), S_OK);
    const std::span<const Variant> all = texts.array().data();
    std::vector<std::wstring> result;
    for (const Variant& text : all) result.push_back(text.bstr());
    return result;
  };
  ASSERT_EQ(bridge_->ReadFromOrvan(VARIANT_FALSE, VARIANT_FALSE), S_OK);
  EXPECT_EQ(report(), std::vector<std::wstring>{});
  ASSERT_EQ(bridge_->ReadFromOrvan(VARIANT_TRUE, VARIANT_FALSE), S_OK);
  EXPECT_EQ(report(), (std::vector<std::wstring>{L"Plant.xlsx", L"P-101A", L"Commented",
                                                 L"commented", L"1"}));
  ASSERT_EQ(bridge_->ClearChangeReport(), S_OK);
  EXPECT_EQ(report(), std::vector<std::wstring>{});
}

// The data table's cell exists but cannot be read: its formula is never
// calculated.
TEST_F(AppTransferTest, FailedReadOfAnExistingLocationLeavesItsReasonAndNoReport) {
  const ComPtr<ILink> table = ReadLink(L"Stages", L"DataTable");
  ASSERT_EQ(TransferFromApp(Transfer(true), plant_.get()), S_OK);
  EXPECT_EQ(StatusOf(table.get()),
            L"Plant.xlsx:  Plant.xlsx: Cells!F3: formula not recalculated (cannot be calculated: "
            L"data tables are not calculated)\r\n");
  EXPECT_EQ(report_, std::vector<std::wstring>{});
}

// The first Link's write leaves the shared formula at SharedMaster stale, so
// its old value cannot be read.
TEST_F(AppTransferTest, UnreadableOldValueIsReportedEmptyAndTheNewValueStillWritten) {
  WriteLink(L"Cells!A5", Variant::I4(50));
  const ComPtr<ILink> master = WriteLink(L"SharedMaster", Variant::I4(9));
  ASSERT_EQ(TransferToApp(Transfer(true), plant_.get()), S_OK);
  EXPECT_EQ(StatusOf(master.get()), L"Plant.xlsx:  value written to SharedMaster\r\n");
  EXPECT_EQ(InFile(L"SharedMaster"), Variant::R8(9));
  const std::vector<std::wstring> master_entry = {L"Plant.xlsx", L"P-101A", L"SharedMaster", L"",
                                                  L"9"};
  ASSERT_EQ(report_.size(), 10U);
  EXPECT_EQ(std::vector<std::wstring>(report_.begin() + 5, report_.end()), master_entry);
}

// Answers each step with `go_on` and keeps what it was told: file, object,
// objects done and Links moved.
struct RecordingProgress final : Progress {
  explicit RecordingProgress(bool go_on) : go_on(go_on) {}
  bool Report(const ProgressStep& step) override {
    steps.push_back(std::wstring(step.file) + L"|" + std::wstring(step.object) + L"|" +
                    std::to_wstring(step.done) + L"/" + std::to_wstring(step.total) + L"|" +
                    std::to_wstring(step.links));
    return go_on;
  }
  bool go_on;
  std::vector<std::wstring> steps;
};

// The Links counted are those whose value was written: not the one whose
// location the file lacks.
TEST_F(AppTransferTest, WalkReportsEachEnabledNonIterativeObjectAndTheEndOfTheFile) {
  const auto progress = std::make_shared<RecordingProgress>(true);
  SetProgress(progress);
  const ComPtr<ILinkSet> disabled = AddPumpLinkSet(bridge_.get());
  const ComPtr<ILinkSet> iterative = AddPumpLinkSet(bridge_.get());
  const ComPtr<ILinkSet> last = AddPumpLinkSet(bridge_.get());
  ASSERT_EQ(disabled->put_Enabled(VARIANT_FALSE), S_OK);
  ASSERT_EQ(iterative->put_Iterative(VARIANT_TRUE), S_OK);
  link_sets_.insert(link_sets_.end(), {disabled, iterative, last});
  WriteLink(L"Cells!A5", Variant::I4(5));
  WriteLink(L"Nowhere", Variant::I4(6));
  const ComPtr<ILink> in_last = AddLink(last.get(), L"Stages");
  ASSERT_EQ(in_last->put_WriteLocation(L"Cells!A6"), S_OK);
  ASSERT_EQ(in_last->put_OrvanValue(Variant::I4(7)), S_OK);
  ASSERT_EQ(TransferToApp(Transfer(false), plant_.get()), S_OK);
  EXPECT_EQ(progress->steps,
            (std::vector<std::wstring>{L"Plant.xlsx|P-101A|0/2|0", L"Plant.xlsx|P-101A|1/2|1",
                                       L"Plant.xlsx||2/2|2"}));
}

// A stop asked by the progress service ends the walk inside the bracket;
// the closing hook still runs (its macro fails too) and the stop is the
// result.
TEST_F(AppTransferTest, ClosingHookRunsWhenTheWalkFailsAndTheFirstFailureIsReturned) {
  int closed = 0;
  office::RegisterMacro(L"Close", [&](IDispatch*, std::span<const Variant>, Variant*) {
    ++closed;
    return SetErrorResult(E_FAIL, L"closing failed", L"test");
  });
  ASSERT_EQ(plant_->put_MacroPostImport(L"Close"), S_OK);
  ASSERT_EQ(plant_->put_MacroPostExport(L"Close"), S_OK);
  const ComPtr<ILink> link = WriteLink(L"Commented", Variant::I4(5));
  ASSERT_EQ(link->put_ReadLocation(L"Commented"), S_OK);
  SetProgress(std::make_shared<RecordingProgress>(false));
  EXPECT_EQ(TransferToApp(Transfer(false), plant_.get()), E_ABORT);
  EXPECT_EQ(host_testing::TakeDesc(),
            L"The transfer was stopped at the request of the progress service; nothing was "
            L"written to Orvan.");
  EXPECT_EQ(TransferFromApp(Transfer(false), plant_.get()), E_ABORT);
  office::UnregisterMacro(L"Close");
  EXPECT_EQ(closed, 2);
  EXPECT_EQ(StatusOf(link.get()), L"");
}

TEST_F(AppTransferTest, DocumentTakesTheValueAsTextAndGivesItBack) {
  const ComPtr<IApp> sheet = AddApp("Sheet.docx");
  const ComPtr<ILink> power = AddLink(pumps_.get(), L"Power");
  ASSERT_EQ(power->put_WriteLocation(L"Runs"), S_OK);
  ASSERT_EQ(power->put_ReadLocation(L"Runs"), S_OK);
  ASSERT_EQ(power->put_OrvanValue(Variant::R8(227.9)), S_OK);
  ASSERT_EQ(TransferToApp(Transfer(true), sheet.get()), S_OK);
  EXPECT_EQ(StatusOf(power.get()), L"Sheet.docx:  value written to Runs\r\n");
  EXPECT_EQ(report_, (std::vector<std::wstring>{L"Sheet.docx", L"P-101A", L"Runs", L"bold italic",
                                                L"227.9"}));
  ASSERT_EQ(TransferFromApp(Transfer(false), sheet.get()), S_OK);
  EXPECT_EQ(Got(power.get(), &ILink::get_AppValue), Variant::R8(227.9));
}

TEST_F(AppTransferTest, AFileThatVanishedEndsTheWalkOverAllFilesBeforeTheNextOne) {
  AddApp("Second.xlsx");
  const ComPtr<ILink> link = WriteLink(L"Commented", Variant::I4(5));
  std::filesystem::remove(ToUtf8(files_.File("Plant.xlsx")));
  EXPECT_EQ(AppsTransfer(Transfer(false), true, false), E_FAIL);
  const std::wstring reason = host_testing::TakeDesc();
  EXPECT_THAT(reason, StartsWith(L"Error opening Excel file:  "));
  EXPECT_THAT(reason, HasSubstr(L"Plant.xlsx (Plant.xlsx: No such file or directory)"));
  EXPECT_EQ(StatusOf(link.get()), L"");
}

}  // namespace
}  // namespace ovc::transfer
