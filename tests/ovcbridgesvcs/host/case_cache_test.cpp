#include "ovcbridgesvcs/host/case_cache.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc {
namespace {

using host_testing::RunInFrame;
using host_testing::TakeDesc;
using ::testing::ElementsAre;

std::vector<int32_t> OidsOf(const CCaseCache& cache) {
  std::vector<int32_t> oids;
  for (const CaseEntry& entry : cache.entries()) oids.push_back(entry.oid);
  return oids;
}

class CaseCacheTest : public host_testing::PlantTest {
 protected:
  HRESULT Fill(CCaseCache& cache, IOVWorkspace* workspace) {
    return RunInFrame([&](CMethodFrame& frame) { cache.Fill(frame, workspace); });
  }
  HRESULT Insert(CCaseCache& cache, int32_t oid) {
    return RunInFrame([&](CMethodFrame& frame) { cache.Insert(frame, L"Case", oid); });
  }
};

TEST_F(CaseCacheTest, FillReadsTheCasesAndTheGoverningCase) {
  CCaseCache cache;
  int32_t governing = 0;
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { governing = cache.GoverningCase(frame); }),
            E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Governing Case is not initialised within the cache");
  ASSERT_EQ(Fill(cache, workspace_.get()), S_OK);
  EXPECT_THAT(cache.entries(), ElementsAre(CaseEntry{L"Design", 101}, CaseEntry{L"Rated", 102},
                                           CaseEntry{L"Normal", 103}));
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) { governing = cache.GoverningCase(frame); }), S_OK);
  EXPECT_EQ(governing, 102);
  const struct {
    int32_t oid;
    HRESULT status;
    const wchar_t* name;
  } cases[] = {
      {102, S_OK, L"Rated"}, {100, S_FALSE, L"<unknown case>"}, {104, S_FALSE, L"<unknown case>"}};
  for (const auto& c : cases) {
    std::wstring name;
    EXPECT_EQ(cache.CaseName(c.oid, &name), c.status) << c.oid;
    EXPECT_EQ(name, c.name) << c.oid;
  }
}

TEST_F(CaseCacheTest, InsertKeepsOidOrderRefusesADuplicateAndHostFailuresEmptyIt) {
  CCaseCache cache;
  for (const int32_t oid : {7, -4, 12, 0}) ASSERT_EQ(Insert(cache, oid), S_OK);
  SetErrorResult(E_INVALIDARG, L"left over from an earlier call", L"Elsewhere");
  EXPECT_EQ(Insert(cache, 12), E_FAIL);
  const std::wstring description = host_testing::TakeThreadError().first;
  EXPECT_EQ(ExtractDesc(description), L"Duplicate Case Id");
  EXPECT_THAT(description, ::testing::Not(::testing::HasSubstr(L"left over")));
  EXPECT_THAT(OidsOf(cache), ElementsAre(-4, 0, 7, 12));
  // Host failures are raised and leave the cache empty.
  ASSERT_EQ(Fill(cache, workspace_.get()), S_OK);
  EXPECT_EQ(Fill(cache, host_testing::NewWorkspace().get()), E_FAIL);
  EXPECT_THAT(TakeDesc(), ::testing::HasSubstr(L"not open"));
  EXPECT_EQ(cache.count(), 0u);
  const host_testing::ClassWithdrawn withdrawn(CLSID_CaseList);
  EXPECT_TRUE(Failed(Fill(cache, workspace_.get())));
  EXPECT_EQ(TakeDesc(), L"SelectCaseDlg not registered.  Please run Setup.");
}

TEST_F(CaseCacheTest, ObjectCasesGoToTheTargetAndTheCacheIsFilledAgain) {
  const struct {
    int32_t object;
    bool found;
    std::vector<int32_t> target_oids;
  } cases[] = {
      {4001, true, {101, 103}}, {1001, true, {101, 102, 103}}, {-5, true, {}}, {999999, false, {}}};
  for (const auto& c : cases) {
    CCaseCache cache;
    CCaseCache target;
    ASSERT_EQ(Insert(target, 99), S_OK);
    EXPECT_EQ(Succeeded(RunInFrame([&](CMethodFrame& frame) {
                cache.LoadObjectCases(frame, workspace_.get(), c.object, target);
              })),
              c.found);
    EXPECT_EQ(OidsOf(target), c.target_oids) << c.object;
    EXPECT_EQ(cache.count(), c.found ? 3u : 0u) << "filled again";
  }
}

}  // namespace
}  // namespace ovc
