#include <gtest/gtest.h>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using ObjectListComponentTest = ComponentTest;

TEST_F(ObjectListComponentTest, ListsTheObjectsOfAClassViewInOidOrder) {
  struct Case {
    const wchar_t* class_view;
    std::vector<std::pair<int32_t, std::wstring>> objects;
  };
  const Case cases[] = {
      {L"Pumps", {{1, L"P-101"}, {2, L"P-102"}}},
      {L"Tanks", {{3, L"T-1"}}},
      {L"", {{1, L"P-101"}, {2, L"P-102"}, {3, L"T-1"}}},
  };
  for (const Case& c : cases) {
    LateBound list = LateBound::Create(L"Orvan.ObjectList");
    ASSERT_EQ(list.Call(L"Initialize", {Variant(c.class_view), workspace_.AsArgument()}), S_OK);
    EXPECT_EQ(Entries(list, L"ObjectOID", L"ObjectName"), c.objects) << ToUtf8(c.class_view);
    EXPECT_EQ(list.Call(L"ObjectOID", {Variant(int32_t(c.objects.size() + 1))}), DISP_E_BADINDEX);
    EXPECT_EQ(list.Call(L"ObjectName", {Variant(0)}), DISP_E_BADINDEX);
  }
}

}  // namespace
}  // namespace ovc::orvan::testing
