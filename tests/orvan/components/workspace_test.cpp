#include <gtest/gtest.h>

#include <fstream>

#include "orvan/components/session.h"
#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using WorkspaceComponentTest = ComponentTest;

TEST_F(WorkspaceComponentTest, OpenCreateAndCloseReportThePathAndRefuseWhatIsNotAWorkspace) {
  EXPECT_EQ(Texts(workspace_.Get(L"UnitStandardNames")), (std::vector<std::wstring>{L"SI", L"US"}));
  EXPECT_NE(workspace_.Call(L"Create", {Variant(path_)}), S_OK) << "Create never overwrites";
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(path_)) << "a failed call keeps the open workspace";
  EXPECT_FALSE(components::LoginName().empty());
  EXPECT_EQ(workspace_.Get(L"UserName"), Variant(components::LoginName())) << "until set";

  const std::wstring fresh = FromUtf8(dir_.File("fresh.orvan"));
  ASSERT_EQ(workspace_.Call(L"Create", {Variant(fresh)}), S_OK);
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(fresh));
  EXPECT_TRUE(Texts(workspace_.Get(L"UnitStandardNames")).empty());

  ASSERT_EQ(workspace_.Call(L"Close"), S_OK);
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(L""));
  ASSERT_EQ(workspace_.Call(L"Open", {Variant(path_)}), S_OK) << "a closed workspace opens again";
  EXPECT_EQ(workspace_.Get(L"DefaultCase"), Variant::I4(101));
  Variant cache = workspace_.Get(L"Cache");
  ASSERT_EQ(cache.vt(), VT_DISPATCH);
  EXPECT_TRUE(IsSameObject(cache.dispatch(), workspace_.Get(L"Cache").dispatch()));
}

// No server listens in a folder that does not exist, so both calls fail
// quickly; neither may show the password.
TEST_F(WorkspaceComponentTest, ADatabaseUriIsNeverShownWithItsPassword) {
  const std::wstring uri = L"postgresql://ann:s3cret@/plant?host=/nonexistent&password=s3cret";
  for (const wchar_t* method : {L"Open", L"Create"}) {
    EXPECT_NE(workspace_.Call(method, {Variant(uri)}), S_OK);
    EXPECT_EQ(workspace_.error().description.find(L"s3cret"), std::wstring::npos)
        << ToUtf8(workspace_.error().description);
    EXPECT_NE(workspace_.error().description.find(L"postgresql://ann@/plant"), std::wstring::npos)
        << ToUtf8(workspace_.error().description);
  }
  EXPECT_EQ(workspace_.Get(L"Path"), Variant(path_));
}

TEST_F(WorkspaceComponentTest, ExportedJsonImportsIntoAnotherWorkspaceAndBadJsonIsRefused) {
  const std::wstring json = FromUtf8(dir_.File("plant.json"));
  ASSERT_EQ(workspace_.Call(L"Export", {Variant(json)}), S_OK);
  LateBound copy = LateBound::Create(L"Orvan.Workspace");
  ASSERT_EQ(copy.Call(L"Create", {Variant(FromUtf8(dir_.File("copy.orvan")))}), S_OK);
  ASSERT_EQ(copy.Call(L"Import", {Variant(json)}), S_OK) << ToUtf8(copy.error().description);
  EXPECT_EQ(copy.Get(L"DefaultCase"), Variant::I4(101));

  const std::string broken = dir_.File("broken.json");
  std::ofstream(broken) << "{\"format\": ";
  EXPECT_EQ(copy.Call(L"Import", {Variant(FromUtf8(broken))}), E_INVALIDARG);
}

}  // namespace
}  // namespace ovc::orvan::testing
