#include "ovcbridgesvcs/host/orvan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc {
namespace {

using host_testing::TakeThreadError;
using host_testing::ThreadError;

constexpr wchar_t kOrvanSource[] = L"OVCBridgeSvcs.Orvan.380";

class OrvanTest : public host_testing::PlantTest {
 protected:
  HRESULT Initialize() { return orvan_->Initialize(workspace_.get(), cache_.get()); }
  // What get_Workspace, get_OVCCache or get_FieldFormatter hands out.
  ComPtr<IDispatch> Held(HRESULT (COrvan::*getter)(IDispatch**)) {
    ComPtr<IDispatch> held;
    EXPECT_EQ((orvan_.get()->*getter)(held.Receive()), S_OK);
    return held;
  }
  // Whether the host state holds what Initialize makes, one digit each: the
  // workspace, the cache, the field formatter, unit standards and cases.
  std::string HostHeld() {
    HostState& state = HostState::Current();
    std::string held;
    for (const bool each : {bool(Held(&COrvan::get_Workspace)), bool(Held(&COrvan::get_OVCCache)),
                            bool(Held(&COrvan::get_FieldFormatter)),
                            !state.unit_standard_names().empty(), state.case_cache().count() > 0}) {
      held += each ? '1' : '0';
    }
    return held;
  }

  ComPtr<COrvan> orvan_ = MakeObject<COrvan>();
};

TEST_F(OrvanTest, InitializeFillsTheOneSharedHostStateAndEachCallReplacesIt) {
  ASSERT_EQ(Initialize(), S_OK);
  EXPECT_TRUE(IsSameObject(Held(&COrvan::get_OVCCache).get(), cache_.get()));
  const ComPtr<IOVFieldFormatter> formatter =
      Held(&COrvan::get_FieldFormatter).As<IOVFieldFormatter>();
  Variant prefixes;
  ASSERT_TRUE(formatter);
  EXPECT_EQ(formatter->get_Prefixes(&prefixes), S_OK) << "it knows the workspace";
  EXPECT_THAT(HostState::Current().unit_standard_names(),
              ::testing::ElementsAre(L"SI", L"US", L"Metric"));
  EXPECT_EQ(HostState::Current().case_cache().count(), 3u);
  ComPtr<IDispatch> seen;  // every instance shares it
  ASSERT_EQ(MakeObject<COrvan>()->get_Workspace(seen.Receive()), S_OK);
  EXPECT_TRUE(IsSameObject(seen.get(), workspace_.get()));

  const ComPtr<IOVWorkspace> empty = host_testing::NewWorkspace();
  ASSERT_EQ(empty->Create(L":memory:"), S_OK);
  ASSERT_EQ(orvan_->Initialize(empty.get(), host_testing::CacheOf(empty.get()).get()), S_OK);
  EXPECT_TRUE(IsSameObject(Held(&COrvan::get_Workspace).get(), empty.get()));
  EXPECT_FALSE(IsSameObject(Held(&COrvan::get_FieldFormatter).get(), formatter.get()));
  EXPECT_EQ(HostHeld(), "11100");
  ASSERT_EQ(orvan_->Initialize(nullptr, cache_.get()), S_OK);
  EXPECT_EQ(HostHeld(), "00000") << "without a workspace nothing stays";
}

TEST_F(OrvanTest, FailedInitializeKeepsOnlyWhatItMadeBeforeTheFailure) {
  const ComPtr<IOVCache> unopened_cache = host_testing::CacheOf(host_testing::NewWorkspace().get());
  const struct {
    const char* name;
    IDispatch* workspace;
    IDispatch* cache;
    uint32_t message;
    const char* held;
  } cases[] = {
      {"refused workspace", cache_.get(), cache_.get(), 1255, "00000"},
      {"refused cache", workspace_.get(), workspace_.get(), 1256, "10000"},
      {"no cache", workspace_.get(), nullptr, 1256, "10000"},
      {"unit standards", workspace_.get(), unopened_cache.get(), 1256, "11101"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Initialize(), S_OK);
    EXPECT_EQ(orvan_->Initialize(c.workspace, c.cache), E_FAIL);
    EXPECT_EQ(TakeThreadError(), ThreadError(LoadMessage(c.message), kOrvanSource));
    EXPECT_EQ(HostHeld(), c.held);
  }
}

}  // namespace
}  // namespace ovc
