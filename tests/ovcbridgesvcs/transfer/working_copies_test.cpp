#include "ovcbridgesvcs/transfer/working_copies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::transfer {
namespace {

using host_testing::Got;
using host_testing::RunInFrame;

const std::vector<std::pair<int32_t, std::wstring>> kThreePumps = {
    {1001, L"P-101A"}, {1002, L"P-101B"}, {1003, L"P-102A"}};

class WorkingCopiesTest : public bridge_testing::PlantBridgeTest {
 protected:
  // An iterative LinkSet over three pumps with Links on Stages and Flow.
  ComPtr<ILinkSet> AddTemplate() {
    ComPtr<ILinkSet> link_set = AddIterativePumpLinkSet(bridge_.get(), kThreePumps);
    AddLink(link_set.get(), L"Stages");
    AddLink(link_set.get(), L"Flow");
    return link_set;
  }
  ComPtr<ILinkSet> Template() {
    ComPtr<ILinkSet> found;
    EXPECT_EQ(
        RunInFrame([&](CMethodFrame& frame) { found = IterativeTemplate(frame, bridge_.get()); }),
        S_OK);
    return found;
  }
  void CreateCopies(ILinkSet* iterative_template) {
    ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
                CreateWorkingCopies(frame, bridge_.get(), iterative_template);
              }),
              S_OK);
  }
  void DeleteCopies(ILinkSet* iterative_template) {
    ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
                DeleteWorkingCopies(frame, bridge_.get(), iterative_template);
              }),
              S_OK);
  }
  ComPtr<ILinkSet> At(int32_t index) { return ItemAt<ILinkSet>(bridge_.get(), index); }

  ComPtr<IBridge> bridge_ = NewBridge();
};

TEST_F(WorkingCopiesTest, OnlyTheOneEnabledIterativeLinkSetWithLinksIsATemplate) {
  const struct {
    const char* name;
    void (*change)(ILinkSet* first, ILinkSet* second);
    int expected;  // 0: none, 1: the first, 2: the second
  } cases[] = {
      {"both qualify", [](ILinkSet*, ILinkSet*) {}, 0},
      {"second not iterative", [](ILinkSet*, ILinkSet* b) { b->put_Iterative(VARIANT_FALSE); }, 1},
      {"first disabled", [](ILinkSet* a, ILinkSet*) { a->put_Enabled(VARIANT_FALSE); }, 2},
      {"second without Links", [](ILinkSet*, ILinkSet* b) { b->RemoveAll(); }, 1},
      {"neither", [](ILinkSet* a, ILinkSet* b) { a->RemoveAll(), b->RemoveAll(); }, 0},
  };
  for (const auto& each : cases) {
    SCOPED_TRACE(each.name);
    bridge_->RemoveAll();
    AddPumpLinkSet(bridge_.get());
    const ComPtr<ILinkSet> first = AddTemplate();
    const ComPtr<ILinkSet> second = AddTemplate();
    each.change(first.get(), second.get());
    const ILinkSet* expected[] = {nullptr, first.get(), second.get()};
    EXPECT_EQ(Template().get(), expected[each.expected]);
  }
}

TEST_F(WorkingCopiesTest, CopiesWithLinkErrorsHandTheirStatusesToTheTemplateAndAllGo) {
  const ComPtr<ILinkSet> pumps = AddPumpLinkSet(bridge_.get());
  const ComPtr<ILinkSet> iterative = AddTemplate();
  CreateCopies(iterative.get());
  for (int32_t copy = 2; copy < 5; ++copy) {
    for (int32_t j = 0; j < 2; ++j) {
      const std::wstring status = L"copy " + std::to_wstring(copy) + L" link " + std::to_wstring(j);
      ASSERT_EQ(ItemAt<ILink>(At(copy).get(), j)->put_Status(status), S_OK);
    }
  }
  ASSERT_EQ(ItemAt<ILink>(At(2).get(), 1)->put_Error(VARIANT_TRUE), S_OK);
  ASSERT_EQ(ItemAt<ILink>(At(4).get(), 1)->put_Error(VARIANT_TRUE), S_OK);
  DeleteCopies(iterative.get());

  ASSERT_EQ(Got(bridge_.get(), &IBridge::get_Count), 2);
  EXPECT_EQ(At(0).get(), pumps.get());
  // Last copy first; copy 3 had no error and adds nothing.
  EXPECT_EQ(Got(ItemAt<ILink>(iterative.get(), 0).get(), &ILink::get_Status),
            L"copy 4 link 0\r\ncopy 2 link 0\r\n");
  EXPECT_EQ(Got(ItemAt<ILink>(iterative.get(), 1).get(), &ILink::get_Status),
            L"copy 4 link 1\r\ncopy 2 link 1\r\n");
  EXPECT_EQ(Got(ItemAt<ILink>(iterative.get(), 0).get(), &ILink::get_Error), VARIANT_FALSE);
  EXPECT_EQ(Got(ItemAt<ILink>(iterative.get(), 1).get(), &ILink::get_Error), VARIANT_TRUE);
}

}  // namespace
}  // namespace ovc::transfer
