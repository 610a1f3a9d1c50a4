#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

std::string Contents(const std::wstring& path) { return ReadFile(ToUtf8(path)); }

// Two users, ann and bob, each with a workspace object on the same database
// and a file service of their own; ann adds an embedded file.
class FileServiceComponentTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    ASSERT_EQ(workspace_.Put(L"UserName", Variant(L"ann")), S_OK);
    bob_ = LateBound::Create(L"Orvan.Workspace");
    ASSERT_EQ(bob_.Call(L"Open", {Variant(path_)}), S_OK);
    ASSERT_EQ(bob_.Put(L"UserName", Variant(L"bob")), S_OK);
    for (LateBound* service : {&ann_files_, &bob_files_}) {
      *service = LateBound::Create(L"Orvan.FileService");
      const std::string folder = dir_.File(service == &ann_files_ ? "ann" : "bob");
      ASSERT_EQ(service->Put(L"WorkingFolder", Variant(FromUtf8(folder))), S_OK);
    }
    oid_ = Add("pump.xlsx", "first", false);
    ASSERT_GT(oid_, 0);
    WriteFile(dir_.File("pump.xlsx"), "changed after adding");  // the record has a copy
  }

  // The OID of the file `name` holding `content`, added by ann.
  int32_t Add(const char* name, const char* content, bool linked) {
    WriteFile(dir_.File(name), content);
    const Variant path(FromUtf8(dir_.File(name)));
    return ann_files_.Get(L"AddFile", {path, Variant::Bool(linked), workspace_.AsArgument()}).i4();
  }
  // The arguments of most members: the file and the workspace.
  std::vector<Variant> File(const LateBound& workspace) const {
    return {Variant(oid_), workspace.AsArgument()};
  }

  // (holder, file name, linked) of the file as `files` sees it in `workspace`.
  std::tuple<std::wstring, std::wstring, bool> Record(LateBound& files, LateBound& workspace) {
    std::wstring holder, name;
    VARIANT_BOOL linked = VARIANT_TRUE;
    EXPECT_EQ(files.Call(L"FileRecord",
                         {Variant(oid_), workspace.AsArgument(), Variant::ByRef(VT_BSTR, &holder),
                          Variant::ByRef(VT_BSTR, &name), Variant::ByRef(VT_BOOL, &linked)}),
              S_OK)
        << ToUtf8(files.error().description);
    return {holder, name, linked != VARIANT_FALSE};
  }

  LateBound bob_;
  LateBound ann_files_;
  LateBound bob_files_;
  int32_t oid_ = 0;
};

TEST_F(FileServiceComponentTest, CheckOutAndCheckInCarryTheContentAndTheHolder) {
  EXPECT_EQ(Record(ann_files_, workspace_), std::make_tuple(L"", L"pump.xlsx", false));
  const std::wstring path = ann_files_.Get(L"CheckOut", File(workspace_)).bstr();
  EXPECT_EQ(path.rfind(FromUtf8(dir_.File("ann")), 0), 0u) << ToUtf8(path);
  EXPECT_EQ(Contents(path), "first");
  EXPECT_EQ(Record(bob_files_, bob_), std::make_tuple(L"ann", L"pump.xlsx", false));

  EXPECT_EQ(bob_files_.Call(L"CheckOut", File(bob_)), E_FAIL);
  EXPECT_NE(bob_files_.error().description.find(L"ann"), std::wstring::npos)
      << ToUtf8(bob_files_.error().description);
  EXPECT_EQ(
      bob_files_.Get(L"OwnCheckOut", {Variant(oid_), Variant(L"pump.xlsx"), bob_.AsArgument()}),
      Variant(L""));
  // Checking out again what the user holds keeps the local edits.
  WriteFile(ToUtf8(path), "second");
  EXPECT_EQ(ann_files_.Get(L"OwnCheckOut",
                           {Variant(oid_), Variant(L"pump.xlsx"), workspace_.AsArgument()}),
            Variant(path));

  ASSERT_EQ(ann_files_.Call(L"CheckIn", File(workspace_)), S_OK);
  EXPECT_EQ(Record(bob_files_, bob_), std::make_tuple(L"", L"pump.xlsx", false));
  EXPECT_EQ(Contents(bob_files_.Get(L"GetCopy", File(bob_)).bstr()), "second");
}

TEST_F(FileServiceComponentTest, ACopyForAnotherUserOfTheFolderLeavesTheHoldersEditsAlone) {
  ASSERT_EQ(bob_files_.Put(L"WorkingFolder", Variant(FromUtf8(dir_.File("ann")))), S_OK);
  const std::wstring held = ann_files_.Get(L"CheckOut", File(workspace_)).bstr();
  WriteFile(ToUtf8(held), "ann's edits");
  EXPECT_EQ(Contents(bob_files_.Get(L"GetCopy", File(bob_)).bstr()), "first");
  EXPECT_EQ(Contents(held), "ann's edits");
}

TEST_F(FileServiceComponentTest, UndoCheckOutFreesTheFileWithoutStoringIt) {
  WriteFile(ToUtf8(ann_files_.Get(L"CheckOut", File(workspace_)).bstr()), "discarded");
  ASSERT_EQ(ann_files_.Call(L"UndoCheckOut", File(workspace_)), S_OK);
  EXPECT_EQ(Contents(bob_files_.Get(L"CheckOut", File(bob_)).bstr()), "first");
}

TEST_F(FileServiceComponentTest, LinkedFilesStayWhereTheyAreUntilEmbedded) {
  oid_ = Add("linked.docx", "linked content", true);
  EXPECT_EQ(Record(ann_files_, workspace_), std::make_tuple(L"", L"linked.docx", true));
  EXPECT_EQ(ann_files_.Get(L"CheckOut", File(workspace_)),
            Variant(FromUtf8(dir_.File("linked.docx"))));
  ASSERT_EQ(ann_files_.Call(L"CheckIn", File(workspace_)), S_OK);
  ASSERT_EQ(ann_files_.Call(L"ConvertToEmbedded", File(workspace_)), S_OK)
      << ToUtf8(ann_files_.error().description);
  std::filesystem::remove(dir_.File("linked.docx"));
  EXPECT_EQ(Record(ann_files_, workspace_), std::make_tuple(L"", L"linked.docx", false));
  EXPECT_EQ(Contents(bob_files_.Get(L"GetCopy", File(bob_)).bstr()), "linked content");
}

TEST_F(FileServiceComponentTest, TheDefaultWorkingFolderFollowsHome) {
  const char* home = std::getenv("HOME");
  const std::string saved = home != nullptr ? home : "";
  setenv("HOME", dir_.File("home").c_str(), 1);
  LateBound files = LateBound::Create(L"Orvan.FileService");
  home != nullptr ? setenv("HOME", saved.c_str(), 1) : unsetenv("HOME");
  const std::wstring copy = files.Get(L"GetCopy", File(workspace_)).bstr();
  EXPECT_EQ(copy.rfind(FromUtf8(dir_.File("home/Orvan Files/")), 0), 0u) << ToUtf8(copy);
}

TEST_F(FileServiceComponentTest, AFreeFileOrAClosedWorkspaceIsRefused) {
  EXPECT_EQ(ann_files_.Call(L"CheckIn", File(workspace_)), E_INVALIDARG);
  ASSERT_EQ(bob_.Call(L"Close"), S_OK);
  EXPECT_EQ(bob_files_.Call(L"GetCopy", File(bob_)), E_FAIL);
  EXPECT_NE(bob_files_.error().description.find(L"not open"), std::wstring::npos);
}

}  // namespace
}  // namespace ovc::orvan::testing
