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

using host_testing::RunInFrame;
using ::testing::ElementsAre;

// The first Desc of the thread's error chain, which is taken.
std::wstring TakeDesc() { return ExtractDesc(host_testing::TakeThreadError().description); }

std::vector<int32_t> OidsOf(const CCaseCache& cache) {
  std::vector<int32_t> oids;
  for (const CaseEntry& entry : cache.entries()) oids.push_back(entry.oid);
  return oids;
}

class CaseCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { host_.data().governing_case = 20; }
  void TearDown() override { SetErrorInfo(nullptr); }

  HRESULT Fill(CCaseCache& cache) {
    return RunInFrame([&](CMethodFrame& frame) { cache.Fill(frame, workspace_.get()); });
  }

  host_testing::FakeHost host_;
  ComPtr<IOVWorkspace> workspace_ = host_.NewWorkspace();
};

TEST_F(CaseCacheTest, FillSortsByOidAndReplacesTheEntries) {
  CCaseCache cache;
  host_.data().cases[-1] = {{L"c", 7}, {L"a", -4}, {L"d", 12}, {L"b", 0}};
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_THAT(OidsOf(cache), ElementsAre(-4, 0, 7, 12));
  host_.data().cases[-1] = {{L"Rated", 30}, {L"Normal", 20}, {L"Design", 10}};
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_THAT(cache.entries(), ElementsAre(CaseEntry{L"Design", 10}, CaseEntry{L"Normal", 20},
                                           CaseEntry{L"Rated", 30}));
  EXPECT_THAT(host_.data().case_list_scopes, ElementsAre(-1, -1));
  EXPECT_TRUE(IsSameObject(host_.data().case_list_workspaces.at(0), workspace_.get()));

  const struct {
    int32_t oid;
    HRESULT status;
    const wchar_t* name;
  } cases[] = {
      {20, S_OK, L"Normal"}, {15, S_FALSE, L"<unknown case>"}, {31, S_FALSE, L"<unknown case>"}};
  for (const auto& c : cases) {
    std::wstring name;
    EXPECT_EQ(cache.CaseName(c.oid, &name), c.status) << c.oid;
    EXPECT_EQ(name, c.name) << c.oid;
  }
}

TEST_F(CaseCacheTest, DuplicateOidFailsTheFillAndLeavesTheCacheEmpty) {
  host_.data().cases[-1] = {{L"Design", 10}, {L"Copy", 10}};
  CCaseCache cache;
  SetErrorResult(E_INVALIDARG, L"left over from an earlier call", L"Elsewhere");
  EXPECT_EQ(Fill(cache), E_FAIL);
  const std::wstring description = host_testing::TakeThreadError().description;
  EXPECT_EQ(ExtractDesc(description), L"Duplicate Case Id");
  EXPECT_THAT(description, ::testing::Not(::testing::HasSubstr(L"left over")));
  EXPECT_EQ(cache.count(), 0u);
}

TEST_F(CaseCacheTest, GoverningCaseIsAskedOnceAndRaisedWhileUnknown) {
  CCaseCache cache;
  int32_t governing = 0;
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { governing = cache.GoverningCase(frame); }),
            E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Governing Case is not initialised within the cache");
  ASSERT_EQ(Fill(cache), S_OK);
  ASSERT_EQ(Fill(cache), S_OK);
  EXPECT_EQ(host_.data().governing_case_asks, 1);
  EXPECT_EQ(host_.data().governing_case_scope, Variant::I4(-1));
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) { governing = cache.GoverningCase(frame); }), S_OK);
  EXPECT_EQ(governing, 20);
}

TEST_F(CaseCacheTest, HostFailuresAreRaised) {
  host_.data().failures[L"CaseList.Count"] = E_ACCESSDENIED;
  CCaseCache cache;
  EXPECT_EQ(Fill(cache), E_ACCESSDENIED);
  EXPECT_EQ(TakeDesc(), L"CaseList.Count failed");
  host_.Unregister(CLSID_CaseList);
  EXPECT_TRUE(Failed(Fill(cache)));
  EXPECT_EQ(TakeDesc(), L"SelectCaseDlg not registered.  Please run Setup.");
}

TEST_F(CaseCacheTest, ObjectCasesGoToTheTargetAndTheCacheIsFilledAgain) {
  host_.data().cases[-1] = {{L"Design", 10}, {L"Normal", 20}, {L"Rated", 30}};
  host_.data().cases[7] = {{L"Rated", 30}, {L"Design", 10}};
  host_.data().cases[0] = {{L"Normal", 20}};
  host_.data().cases[8] = {{L"Rated", 30}, {L"Again", 30}};
  const struct {
    int32_t object;
    int32_t scope;
    HRESULT status;
    std::vector<int32_t> target_oids;
  } cases[] = {{7, 7, S_OK, {10, 30}}, {1, 1, S_OK, {}}, {-5, 0, S_OK, {20}}, {8, 8, E_FAIL, {}}};
  for (const auto& c : cases) {
    host_.data().case_list_scopes.clear();
    CCaseCache cache;
    CCaseCache target;
    ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) { target.Insert(frame, L"stale", 99); }), S_OK);
    EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
                cache.LoadObjectCases(frame, workspace_.get(), c.object, target);
              }),
              c.status);
    EXPECT_EQ(OidsOf(target), c.target_oids) << c.object;
    if (Failed(c.status)) continue;
    EXPECT_THAT(host_.data().case_list_scopes, ElementsAre(c.scope, -1)) << c.object;
    EXPECT_THAT(OidsOf(cache), ElementsAre(10, 20, 30));
  }
}

}  // namespace
}  // namespace ovc
