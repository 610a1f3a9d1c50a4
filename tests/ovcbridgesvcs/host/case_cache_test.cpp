#include "ovcbridgesvcs/host/case_cache.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "tests/ovcbridgesvcs/host/fake_host.h"

namespace ovc {
namespace {

using host_testing::FakeHost;
using host_testing::RunInFrame;
using host_testing::TakeThreadError;
using ::testing::ElementsAre;

class CaseCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorInfo(nullptr);
    workspace_ = host_.NewWorkspace();
    host_.data().governing_case = 20;
  }
  void TearDown() override { SetErrorInfo(nullptr); }

  HRESULT Fill(CCaseCache& cache) {
    return RunInFrame([&](CMethodFrame& frame) { cache.Fill(frame, workspace_.get()); });
  }
  static HRESULT Insert(CCaseCache& cache, const wchar_t* name, int32_t oid) {
    return RunInFrame([&](CMethodFrame& frame) { cache.Insert(frame, name, oid); });
  }
  static std::vector<int32_t> OidsOf(const CCaseCache& cache) {
    std::vector<int32_t> oids;
    for (const CaseEntry& entry : cache.entries()) oids.push_back(entry.oid);
    return oids;
  }

  FakeHost host_;
  ComPtr<IOVWorkspace> workspace_;
};

TEST_F(CaseCacheTest, DescendingCaseListFillsInAscendingOidOrder) {
  host_.data().cases[-1] = {{L"Rated", 30}, {L"Normal", 20}, {L"Design", 10}};
  CCaseCache cache;
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_THAT(cache.entries(), ElementsAre(CaseEntry{L"Design", 10}, CaseEntry{L"Normal", 20},
                                           CaseEntry{L"Rated", 30}));
  EXPECT_THAT(host_.data().case_list_scopes, ElementsAre(-1));
  EXPECT_TRUE(IsSameObject(host_.data().case_list_workspaces.at(0), workspace_.get()));
}

TEST_F(CaseCacheTest, MixedOrderSortsAndFillReplacesPreviousEntries) {
  host_.data().cases[-1] = {{L"c", 7}, {L"a", -4}, {L"d", 12}, {L"b", 0}};
  CCaseCache cache;
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_THAT(OidsOf(cache), ElementsAre(-4, 0, 7, 12));
  host_.data().cases[-1] = {{L"only", 3}};
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_THAT(OidsOf(cache), ElementsAre(3));
}

TEST_F(CaseCacheTest, CaseNameFindsByOidOrAnswersUnknownWithStatusOne) {
  host_.data().cases[-1] = {{L"Design", 10}, {L"Normal", 20}, {L"Rated", 30}};
  CCaseCache cache;
  ASSERT_EQ(Fill(cache), S_OK);
  const struct {
    int32_t oid;
    HRESULT status;
    const wchar_t* name;
  } cases[] = {
      {10, S_OK, L"Design"},      {20, S_OK, L"Normal"},     {30, S_OK, L"Rated"},
      {15, 1, L"<unknown case>"}, {5, 1, L"<unknown case>"}, {31, 1, L"<unknown case>"},
      {-1, 1, L"<unknown case>"},
  };
  for (const auto& c : cases) {
    std::wstring name = L"unchanged";
    EXPECT_EQ(cache.CaseName(c.oid, &name), c.status) << c.oid;
    EXPECT_EQ(name, c.name) << c.oid;
  }
}

TEST_F(CaseCacheTest, EmptyCacheKnowsNoCase) {
  CCaseCache cache;
  std::wstring name;
  EXPECT_EQ(cache.CaseName(0, &name), S_FALSE);
  EXPECT_EQ(name, L"<unknown case>");
}

TEST_F(CaseCacheTest, DuplicateOidFailsTheFillAndLeavesTheCacheEmpty) {
  host_.data().cases[-1] = {{L"Design", 10}, {L"Normal", 20}, {L"Copy", 10}};
  CCaseCache cache;
  EXPECT_EQ(Fill(cache), E_FAIL);
  EXPECT_EQ(ExtractDesc(TakeThreadError().description), L"Duplicate Case Id");
  EXPECT_EQ(cache.count(), 0u);
}

TEST_F(CaseCacheTest, DuplicateInsertLeavesTheCacheAsItWas) {
  CCaseCache cache;
  ASSERT_EQ(Insert(cache, L"Design", 10), S_OK);
  ASSERT_EQ(Insert(cache, L"Normal", 20), S_OK);
  EXPECT_EQ(Insert(cache, L"Other", 20), E_FAIL);
  EXPECT_EQ(ExtractDesc(TakeThreadError().description), L"Duplicate Case Id");
  EXPECT_THAT(cache.entries(), ElementsAre(CaseEntry{L"Design", 10}, CaseEntry{L"Normal", 20}));
}

TEST_F(CaseCacheTest, OwnFailuresAreNotChainedToAnEarlierError) {
  SetErrorResult(E_INVALIDARG, L"left over from an earlier call", L"Elsewhere");
  CCaseCache cache;
  ASSERT_EQ(Insert(cache, L"Design", 10), S_OK);
  EXPECT_EQ(Insert(cache, L"Design", 10), E_FAIL);
  EXPECT_THAT(TakeThreadError().description, ::testing::Not(::testing::HasSubstr(L"left over")));
}

TEST_F(CaseCacheTest, CapacityStartsAtOneDoublesAndGrowsByAtMost512) {
  const struct {
    int inserts;
    size_t capacity;
  } cases[] = {{0, 0},     {1, 1},      {2, 2},       {3, 4},       {5, 8},      {9, 16},
               {512, 512}, {513, 1024}, {1024, 1024}, {1025, 1536}, {1537, 2048}};
  for (const auto& c : cases) {
    CCaseCache cache;
    const HRESULT hr = RunInFrame([&](CMethodFrame& frame) {
      for (int i = 0; i < c.inserts; ++i) cache.Insert(frame, L"case", c.inserts - i);
    });
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(cache.count(), static_cast<size_t>(c.inserts));
    EXPECT_EQ(cache.capacity(), c.capacity) << c.inserts << " inserts";
  }
}

TEST_F(CaseCacheTest, GoverningCaseIsAskedOnceWithScopeMinusOne) {
  host_.data().cases[-1] = {{L"Design", 10}, {L"Normal", 20}};
  CCaseCache cache;
  ASSERT_EQ(Fill(cache), S_OK);
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_EQ(host_.data().governing_case_asks, 1);
  EXPECT_EQ(host_.data().governing_case_scope, Variant::I4(-1));
  int32_t governing = 0;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) { governing = cache.GoverningCase(frame); }), S_OK);
  EXPECT_EQ(governing, 20);
}

TEST_F(CaseCacheTest, UnknownGoverningCaseRaises) {
  CCaseCache never_filled;
  host_.data().governing_case = 0;
  CCaseCache filled_without_one;
  ASSERT_EQ(Fill(filled_without_one), S_OK);
  for (CCaseCache* cache : {&never_filled, &filled_without_one}) {
    EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { cache->GoverningCase(frame); }), E_FAIL);
    EXPECT_EQ(ExtractDesc(TakeThreadError().description),
              L"Governing Case is not initialised within the cache");
  }
}

TEST_F(CaseCacheTest, MissingCaseListRaisesMessage1267) {
  host_.Unregister(CLSID_CaseList);
  CCaseCache cache;
  EXPECT_TRUE(Failed(Fill(cache)));
  EXPECT_EQ(ExtractDesc(TakeThreadError().description), LoadMessage(1267));
  EXPECT_EQ(LoadMessage(1267), L"SelectCaseDlg not registered.  Please run Setup.");
}

TEST_F(CaseCacheTest, CaseListFailurePassesOnWithTheComponentsRecord) {
  host_.data().failures[L"CaseList.Count"] = E_ACCESSDENIED;
  CCaseCache cache;
  EXPECT_EQ(Fill(cache), E_ACCESSDENIED);
  EXPECT_THAT(TakeThreadError().description, ::testing::HasSubstr(L"CaseList.Count failed"));
}

TEST_F(CaseCacheTest, ObjectCasesGoToTheTargetAndTheCacheIsFilledAgain) {
  host_.data().cases[-1] = {{L"Design", 10}, {L"Normal", 20}, {L"Rated", 30}};
  host_.data().cases[7] = {{L"Rated", 30}, {L"Design", 10}};
  host_.data().cases[0] = {{L"Normal", 20}};
  const struct {
    int32_t object;
    int32_t scope;
    std::vector<int32_t> target_oids;
  } cases[] = {{7, 7, {10, 30}}, {1, 1, {}}, {0, 0, {20}}, {-5, 0, {20}}};
  for (const auto& c : cases) {
    host_.data().case_list_scopes.clear();
    CCaseCache cache;
    CCaseCache target;
    ASSERT_EQ(Insert(target, L"stale", 99), S_OK);
    ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
                cache.LoadObjectCases(frame, workspace_.get(), c.object, target);
              }),
              S_OK);
    EXPECT_THAT(host_.data().case_list_scopes, ElementsAre(c.scope, -1)) << c.object;
    EXPECT_EQ(OidsOf(target), c.target_oids) << c.object;
    EXPECT_THAT(OidsOf(cache), ElementsAre(10, 20, 30));
  }
}

TEST_F(CaseCacheTest, DuplicateObjectCaseLeavesTheTargetEmpty) {
  host_.data().cases[7] = {{L"Rated", 30}, {L"Again", 30}};
  CCaseCache cache;
  CCaseCache target;
  ASSERT_EQ(Insert(target, L"stale", 99), S_OK);
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              cache.LoadObjectCases(frame, workspace_.get(), 7, target);
            }),
            E_FAIL);
  EXPECT_EQ(ExtractDesc(TakeThreadError().description), L"Duplicate Case Id");
  EXPECT_EQ(target.count(), 0u);
}

}  // namespace
}  // namespace ovc
