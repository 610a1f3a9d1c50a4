#include <gtest/gtest.h>

#include <fstream>

#include "orvan/components/session.h"
#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using WorkspaceComponentTest = ComponentTest;

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
}

TEST_F(WorkspaceComponentTest, ExportedJsonImportsIntoAnotherWorkspaceAndBadJsonChangesNothing) {
  const std::wstring json = FromUtf8(dir_.File("plant.json"));
  ASSERT_EQ(workspace_.Call(L"Export", {Variant(json)}), S_OK);
  LateBound copy = LateBound::Create(L"Orvan.Workspace");
  ASSERT_EQ(copy.Call(L"Create", {Variant(FromUtf8(dir_.File("copy.orvan")))}), S_OK);
  ASSERT_EQ(copy.Call(L"Import", {Variant(json)}), S_OK) << ToUtf8(copy.error().description);
  EXPECT_EQ(copy.Get(L"DefaultCase"), Variant::I4(101));
  LateBound pumps = copy.Object(L"Cache").Object(L"ClassView", {Variant(L"Pumps")});
  EXPECT_EQ(Texts(pumps.Get(L"AttributeRoutes")).size(), 9u);

  const std::string broken = dir_.File("broken.json");
  std::ofstream(broken) << "{\"format\": ";
  EXPECT_EQ(copy.Call(L"Import", {Variant(FromUtf8(broken))}), E_INVALIDARG);
  EXPECT_NE(copy.error().description.find(L"cannot be imported"), std::wstring::npos);
  EXPECT_EQ(copy.Call(L"Import", {Variant(FromUtf8(dir_.File("missing.json")))}), E_INVALIDARG);
  EXPECT_EQ(Texts(copy.Get(L"UnitStandardNames")), (std::vector<std::wstring>{L"SI", L"US"}));
}

}  // namespace
}  // namespace ovc::orvan::testing
