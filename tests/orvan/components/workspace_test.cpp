#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "orvan/components/session.h"
#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using WorkspaceComponentTest = ComponentTest;

TEST(WorkspaceComponentClosedTest, MembersThatNeedTheDatabaseFailWithAnErrorObjectUntilOpen) {
  ASSERT_EQ(RegisterOrvanClasses(), S_OK);
  LateBound workspace = LateBound::Create(L"Orvan.Workspace");
  EXPECT_EQ(workspace.Get(L"Path"), Variant(L""));
  const wchar_t* members[] = {L"UnitStandardNames", L"DefaultCase", L"Export"};
  for (const wchar_t* member : members) {
    std::vector<Variant> args;
    if (std::wstring_view(member) == L"Export") args.push_back(Variant(L"/nonexistent/x.json"));
    EXPECT_EQ(workspace.Call(member, args), E_FAIL) << ToUtf8(member);
    EXPECT_EQ(workspace.error().source, L"Orvan.Workspace");
    EXPECT_NE(workspace.error().description.find(L"not open"), std::wstring::npos)
        << ToUtf8(workspace.error().description);
  }
  LateBound call = workspace.Object(L"NewDataServiceCall");
  call.Put(L"ServiceName", Variant(L"OVDBBridgeSvcs.Main"));
  call.Put(L"MethodName", Variant(L"GetUserName"));
  EXPECT_EQ(call.Call(L"Execute", {Variant(0)}), E_FAIL);
  EXPECT_EQ(call.error().source, L"Orvan.DataServiceCall");
}

TEST_F(WorkspaceComponentTest, OpenCreateAndCloseReportThePathAndRefuseWhatIsNotAWorkspace) {
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(path_));

  const std::string foreign = dir_.File("notes.txt");
  std::ofstream(foreign) << "not a database";
  EXPECT_EQ(workspace_.Call(L"Open", {Variant(FromUtf8(foreign))}), E_FAIL);
  EXPECT_FALSE(workspace_.error().description.empty());
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(path_)) << "a failed Open keeps the open workspace";

  EXPECT_NE(workspace_.Call(L"Create", {Variant(path_)}), S_OK) << "Create never overwrites";
  EXPECT_EQ(workspace_.Call(L"Open", {Variant(L"")}), E_INVALIDARG);
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(path_));

  const std::wstring fresh = FromUtf8(dir_.File("fresh.orvan"));
  ASSERT_EQ(workspace_.Call(L"Create", {Variant(fresh)}), S_OK);
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(fresh));
  EXPECT_TRUE(Texts(workspace_.Get(L"UnitStandardNames")).empty());

  ASSERT_EQ(workspace_.Call(L"Close"), S_OK);
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(L""));
  EXPECT_EQ(workspace_.Call(L"DefaultCase"), E_FAIL);
  ASSERT_EQ(workspace_.Call(L"Open", {Variant(path_)}), S_OK) << "a closed workspace opens again";
  EXPECT_EQ(workspace_.Get(L"DefaultCase"), Variant::I4(101));
}

TEST_F(WorkspaceComponentTest, GivesUnitStandardsDefaultCaseAndOneCache) {
  EXPECT_EQ(Texts(workspace_.Get(L"UnitStandardNames")), (std::vector<std::wstring>{L"SI", L"US"}));
  EXPECT_EQ(workspace_.Get(L"DefaultCase"), Variant::I4(101));
  Variant first = workspace_.Get(L"Cache");
  Variant second = workspace_.Get(L"Cache");
  ASSERT_EQ(first.vt(), VT_DISPATCH);
  EXPECT_TRUE(IsSameObject(first.dispatch(), second.dispatch()));
}

TEST_F(WorkspaceComponentTest, UserNameIsTheLoginNameUntilSetAndNeverEmpty) {
  EXPECT_EQ(workspace_.Get(L"UserName"), Variant(components::LoginName()));
  EXPECT_FALSE(components::LoginName().empty());
  ASSERT_EQ(workspace_.Put(L"UserName", Variant(L"ann")), S_OK);
  EXPECT_EQ(workspace_.Get(L"UserName"), Variant(L"ann"));
  EXPECT_EQ(workspace_.Put(L"UserName", Variant(L"")), E_INVALIDARG);
  EXPECT_EQ(workspace_.error().source, L"Orvan.Workspace");
  EXPECT_EQ(workspace_.Get(L"UserName"), Variant(L"ann"));
}

TEST_F(WorkspaceComponentTest, ExportedJsonImportsIntoAnotherWorkspace) {
  const std::wstring json = FromUtf8(dir_.File("plant.json"));
  ASSERT_EQ(workspace_.Call(L"Export", {Variant(json)}), S_OK);
  LateBound copy = LateBound::Create(L"Orvan.Workspace");
  ASSERT_EQ(copy.Call(L"Create", {Variant(FromUtf8(dir_.File("copy.orvan")))}), S_OK);
  ASSERT_EQ(copy.Call(L"Import", {Variant(json)}), S_OK) << ToUtf8(copy.error().description);
  EXPECT_EQ(Texts(copy.Get(L"UnitStandardNames")), (std::vector<std::wstring>{L"SI", L"US"}));
  EXPECT_EQ(copy.Get(L"DefaultCase"), Variant::I4(101));
  LateBound pumps = copy.Object(L"Cache").Object(L"ClassView", {Variant(L"Pumps")});
  EXPECT_EQ(Texts(pumps.Get(L"AttributeRoutes")).size(), 9u);
}

TEST_F(WorkspaceComponentTest, AFailedImportLeavesTheWorkspaceAsItWas) {
  const std::string broken = dir_.File("broken.json");
  std::ofstream(broken) << "{\"format\": ";
  EXPECT_NE(workspace_.Call(L"Import", {Variant(FromUtf8(broken))}), S_OK);
  EXPECT_FALSE(workspace_.error().description.empty());
  EXPECT_EQ(workspace_.Call(L"Import", {Variant(FromUtf8(dir_.File("missing.json")))}) < 0, true);
  EXPECT_EQ(Texts(workspace_.Get(L"UnitStandardNames")), (std::vector<std::wstring>{L"SI", L"US"}));
}

TEST_F(WorkspaceComponentTest, ImportsTheSamplePlant) {
  const char* data = std::getenv("OVC_TEST_DATA");
  const std::filesystem::path sample =
      std::filesystem::path(data == nullptr ? "." : data) / ".." / "samples" / "plant.json";
  if (!std::filesystem::exists(sample)) GTEST_SKIP() << "no sample plant at " << sample;
  ASSERT_EQ(workspace_.Call(L"Import", {Variant(FromUtf8(sample.string()))}), S_OK)
      << ToUtf8(workspace_.error().description);
  std::vector<std::wstring> standards = Texts(workspace_.Get(L"UnitStandardNames"));
  EXPECT_EQ(standards.size(), 3u);
  LateBound cases = LateBound::Create(L"Orvan.CaseList");
  ASSERT_EQ(cases.Call(L"Initialize", {Variant(-1), workspace_.AsArgument()}), S_OK);
  EXPECT_EQ(cases.Get(L"Count"), Variant::I4(3));
}

}  // namespace
}  // namespace ovc::orvan::testing
