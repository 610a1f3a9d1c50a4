#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

// The pump workspace with its cases stored in descending OID order and a
// pump P-103 (OID 4) that names its cases 103 and 101 in that order and an
// unknown case 999.
class CaseListComponentTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    std::unique_ptr<SqliteStore> store;
    ASSERT_TRUE(SqliteStore::Open(ToUtf8(path_), SqliteStore::Mode::kOpen, &store).ok());
    Catalog catalog;
    ASSERT_TRUE(store->LoadCatalog(&catalog).ok());
    std::reverse(catalog.cases.begin(), catalog.cases.end());
    ASSERT_TRUE(store->ReplaceCatalog(catalog).ok());
    ASSERT_TRUE(store->PutObject({4, "P-103", "Pumps", {103, 101, 999}}).ok());
    ASSERT_EQ(workspace_.Call(L"Open", {Variant(path_)}), S_OK);
  }

  // (OID, name) of every case of a list initialized with `scope`.
  std::vector<std::pair<int32_t, std::wstring>> CasesOf(int32_t scope) {
    LateBound list = LateBound::Create(L"Orvan.CaseList");
    EXPECT_EQ(list.Call(L"Initialize", {Variant(scope), workspace_.AsArgument()}), S_OK)
        << ToUtf8(list.error().description);
    return Entries(list, L"CaseOID", L"CaseName");
  }
};

using Cases = std::vector<std::pair<int32_t, std::wstring>>;

TEST_F(CaseListComponentTest, ScopesGiveTheirCasesInAscendingOidOrder) {
  const Cases all = {{101, L"Design"}, {102, L"Rated"}, {103, L"Normal"}};
  EXPECT_EQ(CasesOf(-1), all);
  EXPECT_EQ(CasesOf(0), Cases{}) << "0 stands for no object";
  EXPECT_EQ(CasesOf(1), all) << "an object that names no cases has all of them";
  EXPECT_EQ(CasesOf(2), (Cases{{101, L"Design"}}));
  EXPECT_EQ(CasesOf(4), (Cases{{101, L"Design"}, {103, L"Normal"}}));
  LateBound list = LateBound::Create(L"Orvan.CaseList");
  ASSERT_EQ(list.Call(L"Initialize", {Variant(2), workspace_.AsArgument()}), S_OK);
  EXPECT_EQ(list.Call(L"CaseOID", {Variant(2)}), DISP_E_BADINDEX);
  EXPECT_EQ(list.Call(L"CaseName", {Variant(0)}), DISP_E_BADINDEX);
}

TEST_F(CaseListComponentTest, GoverningCaseIsTheWorkspacesForScopeMinusOne) {
  LateBound service = LateBound::Create(L"Orvan.GoverningCase");
  ASSERT_EQ(service.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  EXPECT_EQ(service.Get(L"GoverningCase", {Variant(-1)}), Variant::I4(102));
  EXPECT_EQ(service.Get(L"GoverningCase", {Variant::I2(-1)}), Variant::I4(102));
  EXPECT_EQ(service.Call(L"GoverningCase", {Variant(5)}), E_INVALIDARG);
}

}  // namespace
}  // namespace ovc::orvan::testing
