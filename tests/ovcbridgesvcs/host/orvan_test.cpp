#include "ovcbridgesvcs/host/orvan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error_info.h"
#include "automation/safe_array.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/error_record.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/ovcbridgesvcs/host/fake_host.h"

namespace ovc {
namespace {

using host_testing::BridgeListResponse;
using host_testing::FakeHost;
using host_testing::TakeThreadError;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr wchar_t kOrvanSource[] = L"OVCBridgeSvcs.Orvan.380";

class OrvanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetErrorInfo(nullptr);
    orvan_ = MakeObject<COrvan>();
    workspace_ = host_.NewWorkspace();
    cache_ = host_.NewCache();
    host_.data().cases[-1] = {{L"Rated", 3}, {L"Design", 1}};
    host_.data().governing_case = 1;
    host_.data().unit_standard_names = {L"SI", L"US", L"Metric"};
  }
  void TearDown() override {
    orvan_->FinalCleanUp();
    SetErrorInfo(nullptr);
  }

  HRESULT InitializeWith(IDispatch* workspace, IDispatch* cache) {
    return orvan_->Initialize(workspace, cache);
  }
  HRESULT Initialize() { return InitializeWith(workspace_.get(), cache_.get()); }

  ComPtr<IDispatch> Workspace() {
    ComPtr<IDispatch> held;
    EXPECT_EQ(orvan_->get_Workspace(held.Receive()), S_OK);
    return held;
  }
  ComPtr<IDispatch> Cache() {
    ComPtr<IDispatch> held;
    EXPECT_EQ(orvan_->get_OVCCache(held.Receive()), S_OK);
    return held;
  }
  ComPtr<IDispatch> FieldFormatter() {
    ComPtr<IDispatch> held;
    EXPECT_EQ(orvan_->get_FieldFormatter(held.Receive()), S_OK);
    return held;
  }

  // The texts of a successful BridgeList.
  std::vector<std::wstring> BridgeList() {
    Variant list;
    EXPECT_EQ(orvan_->get_BridgeList(&list), S_OK);
    std::vector<std::wstring> texts;
    if (list.vt() != (VT_ARRAY | VT_BSTR)) {
      ADD_FAILURE() << "BridgeList gave type " << list.vt();
      return texts;
    }
    int32_t lower = -1;
    list.array().LowerBound(1, &lower);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(list.array().dimensions(), 1u);
    for (const Variant& text : list.array().data()) texts.push_back(text.bstr());
    return texts;
  }

  FakeHost host_;
  ComPtr<COrvan> orvan_;
  ComPtr<IOVWorkspace> workspace_;
  ComPtr<IOVCache> cache_;
};

TEST_F(OrvanTest, InitializeHoldsWorkspaceCacheAndWhatItMadeFromThem) {
  ASSERT_EQ(Initialize(), S_OK);
  EXPECT_TRUE(IsSameObject(Workspace().get(), workspace_.get()));
  EXPECT_TRUE(IsSameObject(Cache().get(), cache_.get()));
  const ComPtr<IDispatch> formatter = FieldFormatter();
  ASSERT_TRUE(formatter);
  EXPECT_TRUE(formatter.As<IOVFieldFormatter>());
  EXPECT_TRUE(IsSameObject(host_.data().formatter_workspace, workspace_.get()));

  HostState& state = HostState::Current();
  EXPECT_THAT(state.unit_standard_names(), ElementsAre(L"SI", L"US", L"Metric"));
  EXPECT_THAT(state.case_cache().entries(),
              ElementsAre(CaseEntry{L"Design", 1}, CaseEntry{L"Rated", 3}));
}

TEST_F(OrvanTest, InitializeAgainReplacesTheHostState) {
  ASSERT_EQ(Initialize(), S_OK);
  const ComPtr<IDispatch> first_formatter = FieldFormatter();
  FakeHost other;
  other.data().cases[-1] = {{L"Other", 9}};
  other.data().governing_case = 9;
  other.data().unit_standard_names = {L"Imperial"};
  const ComPtr<IOVWorkspace> other_workspace = other.NewWorkspace();
  ASSERT_EQ(InitializeWith(other_workspace.get(), other.NewCache().get()), S_OK);

  EXPECT_TRUE(IsSameObject(Workspace().get(), other_workspace.get()));
  EXPECT_FALSE(IsSameObject(FieldFormatter().get(), first_formatter.get()));
  EXPECT_THAT(HostState::Current().unit_standard_names(), ElementsAre(L"Imperial"));
  EXPECT_THAT(HostState::Current().case_cache().entries(), ElementsAre(CaseEntry{L"Other", 9}));
  orvan_->FinalCleanUp();
}

TEST_F(OrvanTest, EveryInstanceSharesTheOneHostState) {
  ASSERT_EQ(Initialize(), S_OK);
  const ComPtr<COrvan> second = MakeObject<COrvan>();
  ComPtr<IDispatch> seen;
  ASSERT_EQ(second->get_Workspace(seen.Receive()), S_OK);
  EXPECT_TRUE(IsSameObject(seen.get(), workspace_.get()));
}

TEST_F(OrvanTest, NullWorkspaceSucceedsAndLeavesNoHost) {
  ASSERT_EQ(Initialize(), S_OK);
  EXPECT_EQ(InitializeWith(nullptr, cache_.get()), S_OK);
  EXPECT_FALSE(Workspace());
  EXPECT_FALSE(Cache());

  Variant list;
  EXPECT_EQ(orvan_->get_BridgeList(&list), E_FAIL);
  const host_testing::ThreadError error = TakeThreadError();
  EXPECT_EQ(error.description, L"Invalid workspace.\nFailed to get list for Bridges.");
  EXPECT_EQ(error.source, kOrvanSource);
  EXPECT_TRUE(host_.data().calls.empty());
}

TEST_F(OrvanTest, RefusedWorkspaceReports1255AndHoldsNothing) {
  ASSERT_EQ(Initialize(), S_OK);
  EXPECT_EQ(InitializeWith(cache_.get(), cache_.get()), E_FAIL);
  const host_testing::ThreadError error = TakeThreadError();
  EXPECT_EQ(error.description, LoadMessage(1255));
  EXPECT_EQ(error.description,
            L"Bridge Error:  Workspace property put takes only OVWorkspace object");
  EXPECT_EQ(error.source, kOrvanSource);
  EXPECT_FALSE(Workspace());
  EXPECT_FALSE(Cache());
}

TEST_F(OrvanTest, RefusedCacheReports1256AndKeepsTheNewWorkspace) {
  for (IDispatch* refused :
       {static_cast<IDispatch*>(nullptr), static_cast<IDispatch*>(workspace_.get())}) {
    EXPECT_EQ(InitializeWith(workspace_.get(), refused), E_FAIL);
    const host_testing::ThreadError error = TakeThreadError();
    EXPECT_EQ(error.description, L"Bridge Error:  Unable to create the OV Cache service.");
    EXPECT_EQ(error.source, kOrvanSource);
    EXPECT_TRUE(IsSameObject(Workspace().get(), workspace_.get()));
    EXPECT_FALSE(Cache());
  }
}

TEST_F(OrvanTest, HostComponentFailuresReport1256WithTheirCode) {
  const wchar_t* members[] = {L"FieldFormatter.Workspace", L"UnitStandardNames"};
  for (const wchar_t* member : members) {
    host_.data().failures = {{member, E_ACCESSDENIED}};
    EXPECT_EQ(Initialize(), E_ACCESSDENIED) << member;
    EXPECT_EQ(TakeThreadError().description, LoadMessage(1256)) << member;
  }
  host_.data().failures.clear();
  host_.Unregister(CLSID_FieldFormatter);
  EXPECT_TRUE(Failed(Initialize()));
  EXPECT_EQ(TakeThreadError().description, LoadMessage(1256));
  EXPECT_FALSE(FieldFormatter());
}

TEST_F(OrvanTest, CaseCacheFailuresComeBackAsErrorChains) {
  host_.data().cases[-1] = {{L"Design", 1}, {L"Twin", 1}};
  EXPECT_EQ(Initialize(), E_FAIL);
  const std::wstring description = TakeThreadError().description;
  EXPECT_TRUE(IsErrorChain(description));
  EXPECT_EQ(ExtractDesc(description), L"Duplicate Case Id");

  host_.data().cases[-1] = {{L"Design", 1}};
  host_.Unregister(CLSID_CaseList);
  EXPECT_TRUE(Failed(Initialize()));
  EXPECT_EQ(ExtractDesc(TakeThreadError().description), LoadMessage(1267));
}

TEST_F(OrvanTest, FinalCleanUpReleasesTheHostState) {
  ASSERT_EQ(Initialize(), S_OK);
  HostState& state = HostState::Current();
  CMethodFrame frame(L"Test::FileService");
  ASSERT_TRUE(state.FileService(frame));
  EXPECT_EQ(orvan_->FinalCleanUp(), S_OK);

  EXPECT_FALSE(Workspace());
  EXPECT_FALSE(Cache());
  EXPECT_FALSE(FieldFormatter());
  EXPECT_TRUE(state.unit_standard_names().empty());
  EXPECT_EQ(state.case_cache().count(), 0u);
  ASSERT_TRUE(state.FileService(frame));
  EXPECT_EQ(host_.data().file_services_made, 2);
}

TEST_F(OrvanTest, NullOutArgumentsAreRefused) {
  EXPECT_EQ(orvan_->get_Workspace(nullptr), E_POINTER);
  EXPECT_EQ(orvan_->get_OVCCache(nullptr), E_POINTER);
  EXPECT_EQ(orvan_->get_FieldFormatter(nullptr), E_POINTER);
  EXPECT_EQ(orvan_->get_BridgeList(nullptr), E_POINTER);
}

TEST_F(OrvanTest, BridgeListOfTwoBridgesGivesTwelveTextsInOrder) {
  ASSERT_EQ(Initialize(), S_OK);
  host_.data().responses[L"ListBridges"] = BridgeListResponse(2);
  EXPECT_THAT(BridgeList(), ElementsAre(L"101", L"Bridge 1", L"creator 1", L"2026-01-01",
                                        L"modifier 1", L"2026-02-01", L"102", L"Bridge 2",
                                        L"creator 2", L"2026-01-02", L"modifier 2", L"2026-02-02"));
  ASSERT_EQ(host_.data().calls.size(), 1u);
  const host_testing::RecordedCall& call = host_.data().calls[0];
  EXPECT_EQ(call.option, 0);
  EXPECT_EQ(call.service, L"OVDBBridgeSvcs.Main");
  EXPECT_EQ(call.method, L"ListBridges");
  EXPECT_EQ(call.request, L"");
  EXPECT_EQ(call.execute_flags, 0);
}

TEST_F(OrvanTest, BridgeListKeepsTheHostsTextsUnconverted) {
  ASSERT_EQ(Initialize(), S_OK);
  host_.data().responses[L"ListBridges"] =
      L"<?xml version=\"1.0\"?><Bridges><Other/><Bridge DateModified=\"\" ModifiedBy=\"a &amp; "
      L"b\" DateCreated=\"1/2/2026\" CreatedBy=\"&lt;me&gt;\" Name=\" spaced \" OID=\"007\"/>"
      L"</Bridges>";
  EXPECT_THAT(BridgeList(), ElementsAre(L"007", L" spaced ", L"<me>", L"1/2/2026", L"a & b", L""));
}

TEST_F(OrvanTest, BridgeListWithoutBridgesIsEmpty) {
  ASSERT_EQ(Initialize(), S_OK);
  host_.data().responses[L"ListBridges"] = L"<Bridges/>";
  EXPECT_TRUE(BridgeList().empty());
}

TEST_F(OrvanTest, BridgeMissingAnyOfTheSixAttributesFailsWithEPointer) {
  ASSERT_EQ(Initialize(), S_OK);
  const wchar_t* attributes[] = {L"OID",         L"Name",       L"CreatedBy",
                                 L"DateCreated", L"ModifiedBy", L"DateModified"};
  for (const wchar_t* missing : attributes) {
    std::wstring second = L"<Bridge";
    for (const wchar_t* attribute : attributes) {
      if (std::wstring_view(attribute) != missing)
        second += std::wstring(L" ") + attribute + L"=\"x\"";
    }
    host_.data().responses[L"ListBridges"] =
        L"<Bridges>" + BridgeListResponse(1) + second + L"/></Bridges>";
    Variant list = Variant(L"unchanged");
    EXPECT_EQ(orvan_->get_BridgeList(&list), E_POINTER) << missing;
    EXPECT_THAT(TakeThreadError().description, HasSubstr(L"HR=\"E_POINTER\"")) << missing;
    EXPECT_EQ(list, Variant(L"unchanged"));
  }
}

TEST_F(OrvanTest, BridgeListReportsEachFailingStepWithItsText) {
  ASSERT_EQ(Initialize(), S_OK);
  const struct {
    const wchar_t* member;
    const wchar_t* text;
  } cases[] = {
      {L"NewDataServiceCall", L"NewDataServiceCall error.\nFailed to list for Bridges."},
      {L"Execute", L"Service call Execute Error.\nFailed to get Bridge list."},
      {L"ResponseText", L"Invalid server response.\nFailed to get Bridge list."},
  };
  for (const auto& c : cases) {
    host_.data().failures = {{c.member, E_ACCESSDENIED}};
    Variant list;
    EXPECT_EQ(orvan_->get_BridgeList(&list), E_ACCESSDENIED) << c.member;
    const host_testing::ThreadError error = TakeThreadError();
    EXPECT_EQ(error.description, c.text);
    EXPECT_EQ(error.source, kOrvanSource);
  }
}

TEST_F(OrvanTest, BridgeListSetUpFailureIsRaisedWithTheComponentsError) {
  ASSERT_EQ(Initialize(), S_OK);
  host_.data().failures = {{L"MethodName", E_INVALIDARG}};
  Variant list;
  EXPECT_EQ(orvan_->get_BridgeList(&list), E_INVALIDARG);
  const std::wstring description = TakeThreadError().description;
  EXPECT_TRUE(IsErrorChain(description));
  EXPECT_EQ(ExtractDesc(description), L"MethodName failed");
}

TEST_F(OrvanTest, BridgeListResponseThatIsNotXmlIsAnInvalidResponse) {
  ASSERT_EQ(Initialize(), S_OK);
  for (const wchar_t* response : {L"", L"not xml", L"<Bridges><Bridge"}) {
    host_.data().responses[L"ListBridges"] = response;
    Variant list;
    EXPECT_EQ(orvan_->get_BridgeList(&list), E_FAIL) << response;
    EXPECT_EQ(TakeThreadError().description,
              L"Invalid server response.\nFailed to get Bridge list.");
  }
}

TEST_F(OrvanTest, ClassObjectOfTheLibraryMakesOrvanObjects) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(GetLibraryClassObject(CLSID_Orvan, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
  ComPtr<IOrvan> made;
  ASSERT_EQ(factory->CreateInstance(nullptr, IOrvan::kIid, made.ReceiveVoid()), S_OK);
  ComPtr<ISupportErrorInfo> support = made.As<ISupportErrorInfo>();
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IOrvan::kIid), S_OK);
  EXPECT_TRUE(made.As<IDispatch>());
}

}  // namespace
}  // namespace ovc
