#include "ovcbridgesvcs/host/orvan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/ovcbridgesvcs/host/fake_host.h"

namespace ovc {
namespace {

using host_testing::FakeHost;
using host_testing::TakeThreadError;
using ::testing::ElementsAre;

constexpr wchar_t kOrvanSource[] = L"OVCBridgeSvcs.Orvan.380";

class OrvanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorInfo(nullptr);
    host_.data().cases[-1] = {{L"Rated", 3}, {L"Design", 1}};
    host_.data().governing_case = 1;
    host_.data().unit_standard_names = {L"SI", L"US"};
  }
  void TearDown() override {
    orvan_->FinalCleanUp();
    SetErrorInfo(nullptr);
  }

  HRESULT Initialize() { return orvan_->Initialize(workspace_.get(), cache_.get()); }
  template <class Getter>
  ComPtr<IDispatch> Held(Getter getter) {
    ComPtr<IDispatch> held;
    EXPECT_EQ((orvan_.get()->*getter)(held.Receive()), S_OK);
    return held;
  }
  ComPtr<IDispatch> Workspace() { return Held(&COrvan::get_Workspace); }
  ComPtr<IDispatch> Cache() { return Held(&COrvan::get_OVCCache); }
  ComPtr<IDispatch> FieldFormatter() { return Held(&COrvan::get_FieldFormatter); }
  // The host state holds nothing Initialize makes.
  void ExpectNoHost() {
    EXPECT_FALSE(Workspace());
    EXPECT_FALSE(Cache());
    EXPECT_FALSE(FieldFormatter());
    EXPECT_TRUE(HostState::Current().unit_standard_names().empty());
    EXPECT_EQ(HostState::Current().case_cache().count(), 0u);
  }

  FakeHost host_;
  ComPtr<COrvan> orvan_ = MakeObject<COrvan>();
  ComPtr<IOVWorkspace> workspace_ = host_.NewWorkspace();
  ComPtr<IOVCache> cache_ = host_.NewCache();
};

TEST_F(OrvanTest, InitializeFillsTheOneSharedHostState) {
  ASSERT_EQ(Initialize(), S_OK);
  EXPECT_TRUE(IsSameObject(Workspace().get(), workspace_.get()));
  EXPECT_TRUE(IsSameObject(Cache().get(), cache_.get()));
  ASSERT_TRUE(FieldFormatter().As<IOVFieldFormatter>());
  EXPECT_TRUE(IsSameObject(host_.data().formatter_workspace, workspace_.get()));
  EXPECT_THAT(HostState::Current().unit_standard_names(), ElementsAre(L"SI", L"US"));
  EXPECT_THAT(HostState::Current().case_cache().entries(),
              ElementsAre(CaseEntry{L"Design", 1}, CaseEntry{L"Rated", 3}));
  ComPtr<IDispatch> seen;  // every instance shares it
  ASSERT_EQ(MakeObject<COrvan>()->get_Workspace(seen.Receive()), S_OK);
  EXPECT_TRUE(IsSameObject(seen.get(), workspace_.get()));
}

TEST_F(OrvanTest, EveryInitializeReplacesTheWholeHostState) {
  ASSERT_EQ(Initialize(), S_OK);
  const ComPtr<IDispatch> first_formatter = FieldFormatter();
  FakeHost other;
  other.data().cases[-1] = {{L"Other", 9}};
  other.data().governing_case = 9;
  other.data().unit_standard_names = {L"Imperial"};
  const ComPtr<IOVWorkspace> other_workspace = other.NewWorkspace();
  ASSERT_EQ(orvan_->Initialize(other_workspace.get(), other.NewCache().get()), S_OK);
  EXPECT_TRUE(IsSameObject(Workspace().get(), other_workspace.get()));
  EXPECT_FALSE(IsSameObject(FieldFormatter().get(), first_formatter.get()));
  EXPECT_THAT(HostState::Current().unit_standard_names(), ElementsAre(L"Imperial"));
  EXPECT_THAT(HostState::Current().case_cache().entries(), ElementsAre(CaseEntry{L"Other", 9}));

  // Without a workspace the library is left without a host: nothing stays.
  EXPECT_EQ(orvan_->Initialize(nullptr, cache_.get()), S_OK);
  ExpectNoHost();
  Variant list;
  EXPECT_EQ(orvan_->get_BridgeList(&list), E_FAIL);
  const host_testing::ThreadError error = TakeThreadError();
  EXPECT_EQ(error.description, L"Invalid workspace.\nFailed to get list for Bridges.");
  EXPECT_EQ(error.source, kOrvanSource);
}

TEST_F(OrvanTest, FailedInitializeKeepsOnlyWhatItMadeBeforeTheFailure) {
  const struct {
    const char* name;
    IDispatch* workspace;
    IDispatch* cache;
    std::map<std::wstring, HRESULT> failures;
    HRESULT code;
    bool workspace_kept;
    std::wstring description;
  } cases[] = {
      {"refused workspace", cache_.get(), cache_.get(), {}, E_FAIL, false, LoadMessage(1255)},
      {"refused cache", workspace_.get(), workspace_.get(), {}, E_FAIL, true, LoadMessage(1256)},
      {"no cache", workspace_.get(), nullptr, {}, E_FAIL, true, LoadMessage(1256)},
      {"unit standards",
       workspace_.get(),
       cache_.get(),
       {{L"UnitStandardNames", E_ACCESSDENIED}},
       E_ACCESSDENIED,
       true,
       LoadMessage(1256)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Initialize(), S_OK);
    host_.data().failures = c.failures;
    EXPECT_EQ(orvan_->Initialize(c.workspace, c.cache), c.code);
    const host_testing::ThreadError error = TakeThreadError();
    EXPECT_EQ(error.description, c.description);
    EXPECT_EQ(error.source, kOrvanSource);
    EXPECT_EQ(bool(Workspace()), c.workspace_kept);
    EXPECT_THAT(HostState::Current().unit_standard_names(), ElementsAre()) << "none stays";
    host_.data().failures.clear();
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
      {std::make_exception_ptr(42), E_UNEXPECTED, L"Unhandled C++ exception (int)"},
  };
  for (const auto& c : cases) {
    host_.data().throws = {{L"UnitStandardNames", c.thrown}};
    EXPECT_EQ(Initialize(), c.code);
    const host_testing::ThreadError error = TakeThreadError();
    EXPECT_EQ(ExtractDesc(error.description), c.description);
    EXPECT_EQ(error.source, L"COrvan::Initialize");

    Variant args[] = {Variant(ComPtr<IDispatch>(cache_).get()),
                      Variant(ComPtr<IDispatch>(workspace_).get())};
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO exception;
    const DISPID initialize = IOrvan::TypeInfo().IdOfName(L"Initialize");
    EXPECT_EQ(orvan_->Invoke(initialize, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &exception,
                             nullptr),
              c.code);
    EXPECT_EQ(ExtractDesc(exception.description), c.description);
  }
}

TEST_F(OrvanTest, FinalCleanUpReleasesTheHostState) {
  ASSERT_EQ(Initialize(), S_OK);
  CMethodFrame frame(L"Test::FileService");
  ASSERT_TRUE(HostState::Current().FileService(frame));
  EXPECT_EQ(orvan_->FinalCleanUp(), S_OK);
  ExpectNoHost();
  ASSERT_TRUE(HostState::Current().FileService(frame));
  EXPECT_EQ(host_.data().file_services_made, 2);
}

TEST_F(OrvanTest, BridgeListGivesSixTextsPerBridgeAsTheHostWroteThem) {
  ASSERT_EQ(Initialize(), S_OK);
  host_.data().responses[L"ListBridges"] =
      L"<Bridges><Other/><Bridge OID=\"101\" Name=\"B\" CreatedBy=\"c\" DateCreated=\"d\" "
      L"ModifiedBy=\"m\" DateModified=\"t\"/><Bridge DateModified=\"\" ModifiedBy=\"a &amp; b\" "
      L"DateCreated=\"1/2/2026\" "
      L"CreatedBy=\"&lt;me&gt;\" Name=\" spaced \" OID=\"007\"/></Bridges>";
  Variant list;
  ASSERT_EQ(orvan_->get_BridgeList(&list), S_OK);
  ASSERT_EQ(list.vt(), VT_ARRAY | VT_BSTR);
  int32_t lower = -1;
  list.array().LowerBound(1, &lower);
  EXPECT_EQ(lower, 0);
  std::vector<std::wstring> texts;
  for (const Variant& text : list.array().data()) texts.push_back(text.bstr());
  EXPECT_THAT(texts, ElementsAre(L"101", L"B", L"c", L"d", L"m", L"t", L"007", L" spaced ", L"<me>",
                                 L"1/2/2026", L"a & b", L""));
  ASSERT_EQ(host_.data().calls.size(), 1u);
  EXPECT_EQ(host_.data().calls[0].service, L"OVDBBridgeSvcs.Main");
  EXPECT_EQ(host_.data().calls[0].method, L"ListBridges");
}

TEST_F(OrvanTest, BridgeListFailures) {
  ASSERT_EQ(Initialize(), S_OK);
  const std::wstring missing_name =
      L"<Bridges><Bridge OID=\"1\" CreatedBy=\"\" DateCreated=\"\" "
      L"ModifiedBy=\"\" DateModified=\"\"/></Bridges>";
  const struct {
    std::wstring failing_member;
    std::wstring response;
    HRESULT code;
    const wchar_t* description;
  } cases[] = {
      {L"NewDataServiceCall", L"", E_ACCESSDENIED,
       L"NewDataServiceCall error.\nFailed to list for Bridges."},
      {L"Execute", L"", E_ACCESSDENIED, L"Service call Execute Error.\nFailed to get Bridge list."},
      {L"ResponseText", L"", E_ACCESSDENIED,
       L"Invalid server response.\nFailed to get Bridge list."},
      {L"MethodName", L"", E_ACCESSDENIED, L"MethodName failed"},
      {L"", L"<Bridges><Bridge", E_FAIL, L"Invalid server response.\nFailed to get Bridge list."},
      {L"", missing_name, E_POINTER, L"Invalid pointer"},
  };
  for (const auto& c : cases) {
    host_.data().failures = {{c.failing_member, E_ACCESSDENIED}};
    host_.data().responses[L"ListBridges"] = c.response;
    Variant list(L"unchanged");
    EXPECT_EQ(orvan_->get_BridgeList(&list), c.code) << c.description;
    EXPECT_EQ(ExtractDesc(TakeThreadError().description), c.description);
    EXPECT_EQ(list, Variant(L"unchanged"));
  }
}

}  // namespace
}  // namespace ovc
