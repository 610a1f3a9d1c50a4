#include "ovcbridgesvcs/host/orvan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "automation/error_info.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/host/data_service.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc {
namespace {

using host_testing::TakeDesc;
using host_testing::TakeThreadError;
using host_testing::ThreadError;

constexpr wchar_t kOrvanSource[] = L"OVCBridgeSvcs.Orvan.380";

// A cache whose unit standard names throw.
class ThrowingCache final : public ComObject<DispatchImpl<IOVCache>> {
 public:
  explicit ThrowingCache(std::exception_ptr thrown) : thrown_(std::move(thrown)) {}

  HRESULT get_UnitStandardNames(Variant*) override { std::rethrow_exception(thrown_); }
  HRESULT ClassView(const std::wstring&, IDispatch**) override { return E_NOTIMPL; }
  HRESULT QuantityType(const std::wstring&, IDispatch**) override { return E_NOTIMPL; }
  HRESULT put_Workspace(IDispatch*) override { return E_NOTIMPL; }

 private:
  std::exception_ptr thrown_;
};

class OrvanTest : public host_testing::PlantTest {
 protected:
  HRESULT Initialize() { return orvan_->Initialize(workspace_.get(), cache_.get()); }
  // What get_Workspace, get_OVCCache or get_FieldFormatter hands out.
  ComPtr<IDispatch> Held(HRESULT (COrvan::*getter)(IDispatch**)) {
    ComPtr<IDispatch> held;
    EXPECT_EQ((orvan_.get()->*getter)(held.Receive()), S_OK);
    return held;
  }
  // Whether the host state holds what Initialize makes: each object, unit
  // standards and cases.
  std::vector<bool> HostHeld() {
    HostState& state = HostState::Current();
    return {bool(Held(&COrvan::get_Workspace)), bool(Held(&COrvan::get_OVCCache)),
            bool(Held(&COrvan::get_FieldFormatter)), !state.unit_standard_names().empty(),
            state.case_cache().count() > 0};
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
  EXPECT_EQ(HostHeld(), (std::vector{true, true, true, false, false}));
}

TEST_F(OrvanTest, WithoutAWorkspaceOrAfterFinalCleanUpNothingStays) {
  for (const bool clean_up : {false, true}) {
    ASSERT_EQ(Initialize(), S_OK);
    EXPECT_EQ(clean_up ? orvan_->FinalCleanUp() : orvan_->Initialize(nullptr, cache_.get()), S_OK);
    EXPECT_EQ(HostHeld(), std::vector<bool>(5, false));
  }
  Variant list;
  EXPECT_EQ(orvan_->get_BridgeList(&list), E_FAIL);
  EXPECT_EQ(TakeThreadError(),
            ThreadError(L"Invalid workspace.\nFailed to get list for Bridges.", kOrvanSource));
}

TEST_F(OrvanTest, FailedInitializeKeepsOnlyWhatItMadeBeforeTheFailure) {
  const ComPtr<IOVCache> unopened_cache = host_testing::CacheOf(host_testing::NewWorkspace().get());
  const struct {
    const char* name;
    IDispatch* workspace;
    IDispatch* cache;
    uint32_t message;
    std::vector<bool> held;
  } cases[] = {
      {"refused workspace", cache_.get(), cache_.get(), 1255, {false, false, false, false, false}},
      {"refused cache",
       workspace_.get(),
       workspace_.get(),
       1256,
       {true, false, false, false, false}},
      {"no cache", workspace_.get(), nullptr, 1256, {true, false, false, false, false}},
      {"unit standards",
       workspace_.get(),
       unopened_cache.get(),
       1256,
       {true, true, true, false, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Initialize(), S_OK);
    EXPECT_EQ(orvan_->Initialize(c.workspace, c.cache), E_FAIL);
    EXPECT_EQ(TakeThreadError(), ThreadError(LoadMessage(c.message), kOrvanSource));
    EXPECT_EQ(HostHeld(), c.held);
  }
}

// An exception thrown inside a method, called directly or through Invoke,
// ends as the method's status with its error object.
TEST_F(OrvanTest, ExceptionsInsideAMethodEndAsItsStatus) {
  const struct {
    std::exception_ptr thrown;
    HRESULT code;
    const wchar_t* description;
  } cases[] = {
      {std::make_exception_ptr(std::bad_alloc()), E_OUTOFMEMORY,
       L"Not enough memory resources are available to complete this operation."},
      {std::make_exception_ptr(std::runtime_error("host gone")), E_UNEXPECTED,
       L"Unhandled C++ exception (std::runtime_error): host gone"},
  };
  for (const auto& c : cases) {
    const ComPtr<IDispatch> cache = MakeObject<ThrowingCache>(c.thrown);
    EXPECT_EQ(orvan_->Initialize(workspace_.get(), cache.get()), c.code);
    const auto [description, source] = TakeThreadError();
    EXPECT_EQ(ExtractDesc(description), c.description);
    EXPECT_EQ(source, L"COrvan::Initialize");

    Variant args[] = {Variant(cache.get()), Variant(ComPtr<IDispatch>(workspace_).get())};
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO exception;
    const DISPID initialize = IOrvan::TypeInfo().IdOfName(L"Initialize");
    EXPECT_EQ(orvan_->Invoke(initialize, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception,
                             nullptr),
              c.code);
    EXPECT_EQ(ExtractDesc(exception.description), c.description);
  }
}

TEST_F(OrvanTest, BridgeListGivesSixTextsPerBridgeOrSaysWhyNot) {
  ASSERT_EQ(Initialize(), S_OK);
  ASSERT_EQ(host_testing::RunInFrame([&](CMethodFrame& frame) {
              for (const wchar_t* bridge : {L"<Bridge Name=\"B1\"/>", L"<Bridge Name=\"B2\"/>"}) {
                CallDataService(frame, workspace_.get(), {kBridgeService, L"SaveBridge", bridge});
              }
            }),
            S_OK);
  std::wstring user;
  ASSERT_EQ(workspace_->get_UserName(&user), S_OK);
  Variant list;
  ASSERT_EQ(orvan_->get_BridgeList(&list), S_OK);
  ASSERT_EQ(list.vt(), VT_ARRAY | VT_BSTR);
  int32_t lower = -1;
  list.array().LowerBound(1, &lower);
  EXPECT_EQ(lower, 0);
  std::vector<std::wstring> texts;
  for (const Variant& text : list.array().data()) texts.push_back(text.bstr());
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ(std::vector(texts.begin(), texts.begin() + 3),
            (std::vector<std::wstring>{L"1", L"B1", user}));
  EXPECT_EQ(std::vector(texts.begin() + 6, texts.begin() + 8),
            (std::vector<std::wstring>{L"2", L"B2"}));

  ASSERT_EQ(workspace_->Close(), S_OK);
  EXPECT_EQ(orvan_->get_BridgeList(&list), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Service call Execute Error.\nFailed to get Bridge list.");
  EXPECT_EQ(list.array().data().size(), 12u) << "unchanged";
}

}  // namespace
}  // namespace ovc
