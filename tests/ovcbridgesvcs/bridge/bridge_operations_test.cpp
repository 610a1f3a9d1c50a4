#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "automation/text.h"
#include "office/common/macro_registry.h"
#include "ovcbridgesvcs/frame/progress.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "tests/office/office_test_support.h"
#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;
using ::testing::HasSubstr;

class BridgeOperationsTest : public bridge_testing::PlantBridgeTest {
 protected:
  ComPtr<IBridge> bridge_ = NewBridge();
};

TEST_F(BridgeOperationsTest, FinalStatusMarksOnlyTheLinksOfEnabledLinkSets) {
  const ComPtr<ILinkSet> disabled = AddPumpLinkSet(bridge_.get());
  const ComPtr<ILinkSet> enabled = AddPumpLinkSet(bridge_.get());
  ASSERT_EQ(disabled->put_Enabled(VARIANT_FALSE), S_OK);
  const ComPtr<ILink> skipped = AddLink(disabled.get(), L"Stages");
  const ComPtr<ILink> marked = AddLink(enabled.get(), L"Stages");
  for (ILink* link : {skipped.get(), marked.get()}) {
    ASSERT_EQ(link->put_WriteLocation(L"Out"), S_OK);
  }
  ASSERT_EQ(bridge_->FinalStatus(ovWriteToApp), S_OK);
  EXPECT_EQ(Got(marked.get(), &ILink::get_Status), L"Value never written to Application(s)\r\n");
  EXPECT_EQ(Got(marked.get(), &ILink::get_Error), VARIANT_TRUE);
  EXPECT_EQ(Got(skipped.get(), &ILink::get_Status), L"");
}

const std::vector<std::pair<int32_t, std::wstring>> kThreePumps = {
    {1001, L"P-101A"}, {1002, L"P-101B"}, {1003, L"P-102A"}};

// Records the steps reported outside a file as "<phase> <object> done/total"
// and asks to stop at step number `stop_at` (from 1), or at the first step
// inside a file.
struct RecordingProgress final : Progress {
  bool Report(const ProgressStep& step) override {
    if (!step.file.empty()) return !stop_in_file;
    static constexpr const wchar_t* kPhases[] = {L"host read", L"write", L"read", L"host write"};
    std::wstring text = kPhases[static_cast<int>(step.phase)];
    if (!step.object.empty()) text += L" " + std::wstring(step.object);
    steps.push_back(text + L" " + std::to_wstring(step.done) + L"/" + std::to_wstring(step.total));
    if (steps.size() == stop_at && throws) throw std::runtime_error("window closed");
    return steps.size() != stop_at;
  }
  std::vector<std::wstring> steps;
  size_t stop_at = 0;
  bool throws = false;
  bool stop_in_file = false;
};

// A Bridge over the sample plant with the workbook Calc.xlsx (the fixture
// book.xlsx: Total = Rate*100). Its Links on Stages (case Design) write Rate
// and read Total back, so a run stores a hundred times the stages.
class BridgeRunTest : public bridge_testing::PlantBridgeTest {
 protected:
  void SetUp() override {
    PlantBridgeTest::SetUp();
    std::filesystem::copy_file(office::testing::FixturePath("book.xlsx"),
                               files_.work().parent_path() / "Calc.xlsx");
    app_ = AddFile(bridge_.get(), files_.File("Calc.xlsx"));
    SetProgress(progress_);
  }
  void TearDown() override {
    SetProgress(nullptr);
    PlantBridgeTest::TearDown();
  }

  static ComPtr<ILink> AddStagesLink(ILinkSet* link_set) {
    ComPtr<ILink> link = AddLink(link_set, L"Stages");
    EXPECT_EQ(link->put_CaseOID(101), S_OK);
    EXPECT_EQ(link->put_WriteLocation(L"Rate"), S_OK);
    EXPECT_EQ(link->put_ReadLocation(L"Total"), S_OK);
    return link;
  }
  ComPtr<ILinkSet> AddIterativeStages() {
    ComPtr<ILinkSet> iterative = AddIterativePumpLinkSet(bridge_.get(), kThreePumps);
    AddStagesLink(iterative.get());
    return iterative;
  }

  // Stages of pump `oid` in case Design as the host's data service gives it.
  std::wstring StoredStages(int32_t oid) {
    const std::wstring request = L"<Objects><Object OID=\"" + std::to_wstring(oid) +
                                 L"\" ClassView=\"Pumps\"><Attributes><Attribute Route=\"Stages\" "
                                 L"Case=\"101\" Units=\"\"/></Attributes></Object></Objects>";
    std::wstring response;
    DataServiceStep failed = DataServiceStep::kNone;
    EXPECT_EQ(RunDataServiceCall(workspace_.get(), {kBridgeService, L"ReadAttributes", request},
                                 &response, &failed),
              S_OK);
    const size_t start = response.find(L"Quantity=\"") + 10;
    return response.substr(start, response.find(L'"', start) - start);
  }
  std::vector<std::wstring> StoredStagesOfThreePumps() {
    return {StoredStages(1001), StoredStages(1002), StoredStages(1003)};
  }
  Variant InFile(const wchar_t* location) {
    Variant value;
    EXPECT_EQ(app_->GetValue(location, &value), S_OK);
    return value;
  }
  int32_t LinkSets() { return Got(bridge_.get(), &IBridge::get_Count); }

  apps_testing::AppFiles files_;
  ComPtr<IBridge> bridge_ = BridgeByClass();
  ComPtr<IApp> app_;
  std::shared_ptr<RecordingProgress> progress_ = std::make_shared<RecordingProgress>();
  const std::vector<std::wstring> unchanged_ = {L"1", L"1", L"2"};
};

TEST_F(BridgeRunTest, AutoRunWritesTheFilesAndStoresWhatTheyCalculate) {
  const ComPtr<ILink> stages = AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
  ASSERT_EQ(bridge_->AutoRun(VARIANT_FALSE), S_OK) << TakeDesc();
  EXPECT_EQ(StoredStages(1001), L"100");
  EXPECT_EQ(Got(stages.get(), &ILink::get_OrvanValue), Variant::I4(100));
  EXPECT_THAT(Got(stages.get(), &ILink::get_Status),
              HasSubstr(L"Calc.xlsx:  value written to Rate"));
  EXPECT_EQ(progress_->steps,
            (std::vector<std::wstring>{L"host read 0/1", L"host read 1/1", L"write 0/1",
                                       L"read 0/1", L"host write 0/1", L"host write 1/1",
                                       L"host read 0/1", L"host read 1/1"}));
}

// The host transfers on their own report their phases as a run does; the
// read that only refreshes the Links reports nothing and keeps their
// statuses. The write stores what the file gave and reads it back.
TEST_F(BridgeRunTest, HostTransfersReportTheirPhasesAndStatuses) {
  using Call = HRESULT (*)(IBridge*, ILink*);
  const std::wstring read = L"Stages of type Integer, read from Orvan\r\n";
  const std::wstring read_header = L"Read from Orvan:    Object = P-101A\r\n";
  const struct {
    Call transfer;
    std::vector<std::wstring> steps;
    std::wstring status;
  } cases[] = {
      {[](IBridge* b, ILink* link) {
         EXPECT_EQ(link->put_AppValue(Variant::I4(4)), S_OK);
         EXPECT_EQ(link->put_ReadValueFromApp(VARIANT_TRUE), S_OK);
         return b->WriteToOrvan(VARIANT_FALSE);
       },
       {L"host write 0/1", L"host write 1/1", L"host read 0/1", L"host read 1/1"},
       L"Write to Orvan:    Object = P-101A\r\nValue\twritten\tto Orvan\r\n" + read},
      {[](IBridge* b, ILink*) { return b->ReadFromOrvan(VARIANT_TRUE, VARIANT_FALSE); },
       {L"host read 0/1", L"host read 1/1"},
       read_header + read},
      {[](IBridge* b, ILink*) { return b->ReadFromOrvan(VARIANT_FALSE, VARIANT_FALSE); },
       {},
       read_header + read + read},
  };
  const ComPtr<ILink> stages = AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
  for (const auto& each : cases) {
    progress_->steps.clear();
    ASSERT_EQ(each.transfer(bridge_.get(), stages.get()), S_OK) << TakeDesc();
    EXPECT_EQ(progress_->steps, each.steps);
    EXPECT_EQ(Got(stages.get(), &ILink::get_Status), each.status);
    EXPECT_EQ(Got(stages.get(), &ILink::get_OrvanValue), Variant::I4(4));
  }
}

// Once the host is written, a stop would no longer keep it unwritten: the
// run ends as if none was asked for.
TEST_F(BridgeRunTest, AStopAskedAfterTheHostWriteIsNotTaken) {
  const ComPtr<ILink> stages = AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
  for (const size_t stop_at : {6U, 7U, 8U}) {
    SCOPED_TRACE(stop_at);
    progress_->steps.clear();
    progress_->stop_at = stop_at;
    ASSERT_EQ(bridge_->AutoRun(VARIANT_FALSE), S_OK) << TakeDesc();
    EXPECT_EQ(progress_->steps.size(), 8U);
    EXPECT_EQ(Got(stages.get(), &ILink::get_WrittenToOrvan), VARIANT_TRUE);
    EXPECT_EQ(StoredStages(1001), L"100");
  }
}

TEST_F(BridgeRunTest, IterativeAutoRunRunsTheFilesOncePerObjectAndRemovesItsCopies) {
  const ComPtr<ILinkSet> iterative = AddIterativeStages();
  ASSERT_EQ(bridge_->AutoRun(VARIANT_FALSE), S_OK) << TakeDesc();
  EXPECT_EQ(StoredStagesOfThreePumps(), (std::vector<std::wstring>{L"100", L"100", L"200"}));
  EXPECT_EQ(InFile(L"Rate"), Variant::R8(2));
  EXPECT_EQ(LinkSets(), 1);
  EXPECT_EQ(progress_->steps,
            (std::vector<std::wstring>{L"host read 0/1", L"host read 1/1", L"write P-101A 0/3",
                                       L"read P-101A 0/3", L"write P-101B 1/3", L"read P-101B 1/3",
                                       L"write P-102A 2/3", L"read P-102A 2/3", L"host write 0/1",
                                       L"host write 1/1", L"host read 0/1", L"host read 1/1"}));
}

TEST_F(BridgeRunTest, PausedIterativeRunWritesTheHostOnlyAfterTheLastObject) {
  AddIterativeStages();
  ASSERT_EQ(bridge_->StartAutoRunWithPause(VARIANT_FALSE), S_OK) << TakeDesc();
  ASSERT_EQ(LinkSets(), 4);
  std::vector<VARIANT_BOOL> enabled;
  for (int32_t i = 1; i < 4; ++i) {
    enabled.push_back(Got(ItemAt<ILinkSet>(bridge_.get(), i).get(), &ILinkSet::get_Enabled));
  }
  EXPECT_EQ(enabled, (std::vector<VARIANT_BOOL>{VARIANT_TRUE, VARIANT_FALSE, VARIANT_FALSE}));
  EXPECT_THAT(Got(bridge_.get(), &IBridge::get_AutorunStatus),
              HasSubstr(L"completed the transfer for \"P-101A\" in the iterative linkset"));
  VARIANT_BOOL finished = VARIANT_TRUE;
  for (const wchar_t* next : {L"\"P-101B\"", L"\"P-102A\""}) {
    ASSERT_EQ(bridge_->ResumeAutoRunWithPause(VARIANT_FALSE, &finished), S_OK) << TakeDesc();
    EXPECT_EQ(finished, VARIANT_FALSE);
    EXPECT_THAT(Got(bridge_.get(), &IBridge::get_AutorunStatus), HasSubstr(next));
    EXPECT_EQ(StoredStagesOfThreePumps(), unchanged_);
  }
  ASSERT_EQ(bridge_->ResumeAutoRunWithPause(VARIANT_FALSE, &finished), S_OK) << TakeDesc();
  EXPECT_EQ(finished, VARIANT_TRUE);
  EXPECT_EQ(StoredStagesOfThreePumps(), (std::vector<std::wstring>{L"100", L"100", L"200"}));
  EXPECT_EQ(LinkSets(), 1);
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_AutorunStatus), L"");
}

// The first object reads an error value (#VALUE!); cancelling at the
// second hands that Link's error and status to the template.
TEST_F(BridgeRunTest, CancelledPauseLeavesTheHostAndNoCopiesButTheirErrors) {
  const ComPtr<ILinkSet> iterative = AddIterativeStages();
  VARIANT_BOOL finished = VARIANT_TRUE;
  ASSERT_EQ(bridge_->StartAutoRunWithPause(VARIANT_FALSE), S_OK) << TakeDesc();
  ASSERT_EQ(app_->SetValue(L"Rate", Variant(L"abc")), S_OK);
  ASSERT_EQ(bridge_->ResumeAutoRunWithPause(VARIANT_FALSE, &finished), S_OK) << TakeDesc();
  ASSERT_EQ(bridge_->CancelAutoRunWithPause(), S_OK);
  EXPECT_EQ(LinkSets(), 1);
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_AutorunStatus), L"");
  EXPECT_EQ(StoredStagesOfThreePumps(), unchanged_);
  const ComPtr<ILink> stages = ItemAt<ILink>(iterative.get(), 0);
  EXPECT_EQ(Got(stages.get(), &ILink::get_Error), VARIANT_TRUE);
  EXPECT_THAT(Got(stages.get(), &ILink::get_Status), HasSubstr(L"Error in application value"));
}

// A stop asked at any step of any operation, or a progress service that
// fails, ends it there with E_ABORT: no working copy and no pause are left
// and the host keeps its values.
TEST_F(BridgeRunTest, AStopEndsEveryOperationWithoutCopiesPauseOrHostWrite) {
  using Call = HRESULT (*)(IBridge*);
  const Call run = [](IBridge* b) { return b->AutoRun(VARIANT_FALSE); };
  const Call start = [](IBridge* b) { return b->StartAutoRunWithPause(VARIANT_FALSE); };
  const Call resume = [](IBridge* b) {
    VARIANT_BOOL finished = VARIANT_FALSE;
    return b->ResumeAutoRunWithPause(VARIANT_FALSE, &finished);
  };
  const Call read = [](IBridge* b) { return b->ReadFromAppsIterative(VARIANT_FALSE); };
  const Call import = [](IBridge* b) { return b->ImportOrvanFromApp(VARIANT_FALSE); };
  const struct {
    Call before;  // may be null
    Call stopped;
    size_t stop_at;  // 0: at the first step inside a file
    const wchar_t* last_step;
    bool throws = false;
  } cases[] = {
      {nullptr, run, 1, L"host read 0/1"},     {nullptr, run, 5, L"write P-101B 1/3"},
      {nullptr, run, 9, L"host write 0/1"},    {nullptr, run, 4, L"read P-101A 0/3", true},
      {nullptr, run, 0, L"write P-101A 0/3"},  {nullptr, start, 3, L"write P-101A 0/3"},
      {start, resume, 2, L"write P-101B 1/3"}, {nullptr, read, 2, L"read P-101B 1/3"},
      {read, import, 1, L"host write 0/1"},
  };
  AddIterativeStages();
  for (const auto& each : cases) {
    SCOPED_TRACE(ToUtf8(each.last_step));
    progress_->stop_at = 0;
    progress_->stop_in_file = false;
    if (each.before != nullptr) {
      ASSERT_EQ(each.before(bridge_.get()), S_OK) << TakeDesc();
    }
    progress_->steps.clear();
    progress_->stop_at = each.stop_at;
    progress_->stop_in_file = each.stop_at == 0;
    progress_->throws = each.throws;
    EXPECT_EQ(each.stopped(bridge_.get()), E_ABORT);
    EXPECT_THAT(host_testing::TakeThreadError().first,
                HasSubstr(each.throws ? L"The progress service failed: window closed"
                                      : L"stopped at the request of the progress service"));
    EXPECT_EQ(progress_->steps.back(), each.last_step);
    EXPECT_EQ(LinkSets(), 1);
    EXPECT_EQ(Got(bridge_.get(), &IBridge::get_AutorunStatus), L"");
    EXPECT_EQ(StoredStagesOfThreePumps(), unchanged_);
  }
}

TEST_F(BridgeRunTest, ResumeWithoutAStartReadsTheFilesAndWritesTheHost) {
  AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
  ASSERT_EQ(app_->SetValue(L"Rate", Variant::I4(3)), S_OK);
  VARIANT_BOOL finished = VARIANT_FALSE;
  ASSERT_EQ(bridge_->ResumeAutoRunWithPause(VARIANT_FALSE, &finished), S_OK) << TakeDesc();
  EXPECT_EQ(finished, VARIANT_TRUE);
  EXPECT_EQ(StoredStages(1001), L"300");
}

TEST_F(BridgeRunTest, PausedRunWithoutIterativeLinkSetPausesBeforeReadingTheFiles) {
  const ComPtr<ILink> stages = AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
  ASSERT_EQ(bridge_->StartAutoRunWithPause(VARIANT_FALSE), S_OK) << TakeDesc();
  EXPECT_THAT(Got(bridge_.get(), &IBridge::get_AutorunStatus),
              HasSubstr(L"completed the transfer from Orvan to the Applications"));
  EXPECT_EQ(InFile(L"Total"), Variant::R8(100));
  EXPECT_EQ(StoredStages(1001), L"1");
  VARIANT_BOOL finished = VARIANT_FALSE;
  ASSERT_EQ(bridge_->ResumeAutoRunWithPause(VARIANT_FALSE, &finished), S_OK) << TakeDesc();
  EXPECT_EQ(finished, VARIANT_TRUE);
  EXPECT_EQ(StoredStages(1001), L"100");
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_AutorunStatus), L"");
}

TEST_F(BridgeRunTest, PausedRunOverATemplateWithoutObjectsIsNotPerformed) {
  const ComPtr<ILinkSet> iterative = AddIterativePumpLinkSet(bridge_.get(), {});
  AddStagesLink(iterative.get());
  EXPECT_EQ(bridge_->StartAutoRunWithPause(VARIANT_FALSE), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Error:  Transfer not performed");
  EXPECT_EQ(Got(bridge_.get(), &IBridge::get_AutorunStatus), L"");
}

TEST_F(BridgeRunTest, IterativeReadKeepsItsCopiesUntilTheImport) {
  AddIterativeStages();
  ASSERT_EQ(app_->SetValue(L"Rate", Variant::I4(3)), S_OK);
  ASSERT_EQ(bridge_->ReadFromAppsIterative(VARIANT_FALSE), S_OK) << TakeDesc();
  EXPECT_EQ(LinkSets(), 4);
  ASSERT_EQ(bridge_->ImportOrvanFromApp(VARIANT_FALSE), S_OK) << TakeDesc();
  EXPECT_EQ(StoredStagesOfThreePumps(), (std::vector<std::wstring>{L"300", L"300", L"300"}));
  EXPECT_EQ(LinkSets(), 1);
}

// Only WriteToApps shows the files it wrote.
TEST_F(BridgeRunTest, OnlyWriteToAppsShowsTheFiles) {
  AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
  bool visible = false;
  office::RegisterMacro(L"SeeVisible", [&](IDispatch* excel, std::span<const Variant>, Variant*) {
    visible = office::testing::Call(excel, L"Visible") == Variant::Bool(true);
    return S_OK;
  });
  ASSERT_EQ(bridge_->ReadFromOrvan(VARIANT_TRUE, VARIANT_FALSE), S_OK);
  const struct {
    const char* name;
    HRESULT (*run)(IBridge*);
    bool shown;
  } cases[] = {
      {"WriteToApp", [](IBridge* b) { return b->WriteToApp(0, VARIANT_FALSE); }, false},
      {"ExportOrvanToApp", [](IBridge* b) { return b->ExportOrvanToApp(VARIANT_FALSE); }, false},
      {"WriteToApps", [](IBridge* b) { return b->WriteToApps(VARIANT_FALSE); }, true},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.name);
    ASSERT_EQ(each.run(bridge_.get()), S_OK) << TakeDesc();
    ASSERT_EQ(app_->RunMacro(L"SeeVisible"), S_OK) << TakeDesc();
    EXPECT_EQ(visible, each.shown);
  }
  office::UnregisterMacro(L"SeeVisible");
}

TEST_F(BridgeRunTest, AutoRunOverNothingSucceeds) {
  const struct {
    const char* name;
    int link_sets;
    bool files;
  } cases[] = {{"no LinkSet", 0, true}, {"1,000 LinkSets", 1000, true}, {"no file", 1, false}};
  for (const auto& each : cases) {
    SCOPED_TRACE(each.name);
    ASSERT_EQ(bridge_->RemoveAll(), S_OK);
    if (!each.files) {
      ASSERT_EQ(bridge_->RemoveAllApps(), S_OK);
    }
    for (int i = 0; i < each.link_sets; ++i) AddStagesLink(AddPumpLinkSet(bridge_.get()).get());
    EXPECT_EQ(bridge_->AutoRun(VARIANT_FALSE), S_OK) << TakeDesc();
    EXPECT_EQ(LinkSets(), each.link_sets);
  }
}

// A file gone or broken since the Bridge was opened fails the run, naming
// the file, and leaves the host as it was.
TEST_F(BridgeRunTest, AFileGoneOrBrokenFailsTheRunBeforeTheHost) {
  using Spoil = void (*)(const std::filesystem::path& file);
  const Spoil spoils[] = {
      [](const std::filesystem::path& file) { std::filesystem::remove(file); },
      [](const std::filesystem::path& file) { files_testing::WriteFile(file, "not a workbook"); },
  };
  AddIterativeStages();
  for (const Spoil spoil : spoils) {
    const std::filesystem::path file = ToUtf8(files_.File("Calc.xlsx"));
    spoil(file);
    EXPECT_TRUE(Failed(bridge_->AutoRun(VARIANT_FALSE)));
    EXPECT_THAT(TakeDesc(), HasSubstr(L"Calc.xlsx"));
    EXPECT_EQ(StoredStagesOfThreePumps(), unchanged_);
    std::filesystem::remove(file);
  }
}

}  // namespace
}  // namespace ovc::bridge
