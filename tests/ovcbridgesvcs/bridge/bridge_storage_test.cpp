#include <gtest/gtest.h>

#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;

class BridgeStorageTest : public bridge_testing::PlantBridgeTest {
 protected:
  static int32_t OidOf(IBridge* bridge) { return Got(bridge, &IBridge::get_OID); }
  static bool Flag(HRESULT (IBridge::*member)(VARIANT_BOOL*), IBridge* bridge) {
    return Got(bridge, member) != VARIANT_FALSE;
  }
  // A Bridge holding the file `name` of `files`, saved.
  ComPtr<IBridge> SavedWithFile(const apps_testing::AppFiles& files, const std::string& name,
                                VARIANT_BOOL check_out) {
    const ComPtr<IBridge> bridge = BridgeByClass();
    AddFile(bridge.get(), files.File(name));
    EXPECT_EQ(bridge->Save(check_out), S_OK) << TakeDesc();
    return bridge;
  }
  static ComPtr<IApp> FirstApp(IBridge* bridge) {
    Variant item;
    EXPECT_EQ(bridge->get_ItemApp(Variant::I4(0), &item), S_OK);
    return ComPtr<IDispatch>(item.dispatch()).As<IApp>();
  }
};

// Another user's copy can neither save nor delete the Bridge while the
// lock is held, nor overwrite what was saved after it was opened; opened
// again, it can.
TEST_F(BridgeStorageTest, ASavedBridgeOpensUnderItsLockAndAStaleCopyCannotOverwriteIt) {
  const ComPtr<IBridge> bridge = NewBridge();
  bridge->put_Name(L"Pump data");
  const ComPtr<ILinkSet> pumps = AddLinkSet(bridge.get());
  pumps->put_Class(L"Pumps");
  ASSERT_EQ(bridge->Save(VARIANT_FALSE), S_OK);
  const int32_t oid = OidOf(bridge.get());
  EXPECT_GT(oid, 0) << "the first save gives the Bridge its record";
  EXPECT_GT(Got(pumps.get(), &ILinkSet::get_OID), 0);
  EXPECT_FALSE(Flag(&IBridge::get_Dirty, bridge.get()));
  ASSERT_EQ(bridge->Save(VARIANT_FALSE), S_OK);
  EXPECT_EQ(OidOf(bridge.get()), oid);

  const ComPtr<IBridge> mine = NewBridge();
  ASSERT_EQ(mine->Open(oid), S_OK);
  EXPECT_EQ(Got(mine.get(), &IBridge::get_Count), 1);
  EXPECT_FALSE(Flag(&IBridge::get_Dirty, mine.get()));
  EXPECT_FALSE(Flag(&IBridge::IsLocked, mine.get()));

  const std::wstring owner = Got(workspace_.get(), &IOVWorkspace::get_UserName);
  ASSERT_EQ(workspace_->put_UserName(L"bob"), S_OK);
  const ComPtr<IBridge> theirs = NewBridge();
  ASSERT_EQ(theirs->Open(oid), S_OK);
  EXPECT_TRUE(Flag(&IBridge::IsLocked, theirs.get()));
  theirs->put_Description(L"stale");
  EXPECT_TRUE(Failed(theirs->Save(VARIANT_FALSE))) << "another user holds the lock";
  EXPECT_FALSE(TakeDesc().empty());
  EXPECT_TRUE(Flag(&IBridge::get_Dirty, theirs.get())) << "a failed save leaves it dirty";
  EXPECT_TRUE(Failed(theirs->Delete()));
  EXPECT_EQ(OidOf(theirs.get()), oid);

  ASSERT_EQ(workspace_->put_UserName(owner), S_OK);
  for (const wchar_t* description : {L"first", L"second"}) {
    mine->put_Description(description);
    ASSERT_EQ(mine->Save(VARIANT_FALSE), S_OK) << "saved again on its own save: " << TakeDesc();
  }
  ASSERT_EQ(mine->ReleaseLock(), S_OK);

  ASSERT_EQ(workspace_->put_UserName(L"bob"), S_OK);
  EXPECT_TRUE(Failed(theirs->Save(VARIANT_FALSE)));
  const std::wstring refusal = host_testing::TakeThreadError().first;
  EXPECT_NE(refusal.find(L"was saved by " + owner), std::wstring::npos) << ToUtf8(refusal);
  ASSERT_EQ(theirs->Open(oid), S_OK);
  EXPECT_EQ(Got(theirs.get(), &IBridge::get_Description), L"second");
  theirs->put_Description(L"fresh");
  EXPECT_EQ(theirs->Save(VARIANT_FALSE), S_OK) << ToUtf8(host_testing::TakeThreadError().first);
  EXPECT_EQ(theirs->ReleaseLock(), S_OK);

  ASSERT_EQ(workspace_->put_UserName(owner), S_OK);
  ASSERT_EQ(mine->Open(oid), S_OK) << "opened again";
  EXPECT_EQ(Got(mine.get(), &IBridge::get_Count), 1) << "the stored LinkSets replace those held";
  ASSERT_EQ(mine->ReleaseLock(), S_OK);
  ASSERT_EQ(mine->Delete(), S_OK);
  EXPECT_EQ(OidOf(mine.get()), -1);
  EXPECT_TRUE(Failed(NewBridge()->Open(oid)));
}

TEST_F(BridgeStorageTest, UserPrivilegesAndTheMissingWorkspace) {
  const ComPtr<IBridge> bridge = NewBridge();
  ASSERT_EQ(bridge->Create(), S_OK);
  EXPECT_GT(OidOf(bridge.get()), 0);
  std::wstring user;
  ASSERT_EQ(workspace_->put_UserName(L"guest"), S_OK);
  ASSERT_EQ(bridge->get_UserName(&user), S_OK);
  EXPECT_EQ(user, L"guest");
  EXPECT_FALSE(Flag(&IBridge::CanModifyBridge, bridge.get()));
  EXPECT_TRUE(Flag(&IBridge::CanUseBridge, bridge.get()));

  HostState::Current().Clear();
  EXPECT_FALSE(Flag(&IBridge::CanUseBridge, bridge.get()));
  EXPECT_EQ(bridge->Create(), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Invalid workspace.\nFailed to Create Bridge.");
  EXPECT_EQ(bridge->Save(VARIANT_FALSE), E_FAIL);
  EXPECT_EQ(TakeDesc(), L"Invalid workspace.\nFailed to Save Bridge.");
  EXPECT_EQ(bridge->get_UserName(&user), E_FAIL);
  EXPECT_EQ(user, L"guest") << "the name last read stays";
}

// SaveAs stores each file as a new record, which the stored document names
// whether or not the files are checked out again; the first "&" of a file
// name stands plain in that document.
TEST_F(BridgeStorageTest, SaveAsWithoutACheckoutStoresTheFilesAsWrittenUnderTheirNames) {
  apps_testing::AppFiles files;
  const ComPtr<IBridge> bridge = SavedWithFile(files, "A&B.xlsx", VARIANT_TRUE);
  ASSERT_EQ(FirstApp(bridge.get())->SetValue(L"Linked", Variant(L"written")), S_OK) << TakeDesc();
  ASSERT_EQ(bridge->SaveAs(VARIANT_FALSE), S_OK) << TakeDesc();
  ASSERT_EQ(bridge->ReleaseLock(), S_OK);

  const ComPtr<IBridge> opened = BridgeByClass();
  ASSERT_EQ(opened->Open(OidOf(bridge.get())), S_OK) << TakeDesc();
  const ComPtr<IApp> file = FirstApp(opened.get());
  EXPECT_EQ(Got(file.get(), &IApp::get_FullName), L"A&B.xlsx");
  Variant value;
  ASSERT_EQ(file->GetValue(L"Linked", &value), S_OK) << TakeDesc();
  EXPECT_EQ(value, Variant(L"written"));
}

}  // namespace
}  // namespace ovc::bridge
