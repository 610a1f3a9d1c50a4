// Loads the built libovcbridgesvcs.so as a client does and calls its exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/guid.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

using GetClassObjectFunction = HRESULT (*)(const CLSID&, const IID&, void**);
using EntryFunction = HRESULT (*)();

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::canonical(OVC_LIBRARY_PATH);
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
    RegistryStore::Current().Close();
    SetErrorInfo(nullptr);
  }
  template <class Function>
  Function Symbol(const char* name) {
    return reinterpret_cast<Function>(dlsym(handle_, name));
  }

  std::filesystem::path path_;
  void* handle_ = nullptr;
};

TEST_F(ExportsTest, ClassObjectsHoldTheLibraryLoaded) {
  EXPECT_EQ(dlsym(handle_, "_ZN3ovc12ServerModule8InstanceEv"), nullptr) << "only four exports";
  const auto get_class_object = Symbol<GetClassObjectFunction>("DllGetClassObject");
  const auto can_unload_now = Symbol<EntryFunction>("DllCanUnloadNow");
  ASSERT_EQ(can_unload_now(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object(CLSID_Bridge, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
  EXPECT_EQ(can_unload_now(), S_FALSE);
  EXPECT_EQ(factory->LockServer(true), S_OK);
  factory.Reset();
  EXPECT_EQ(can_unload_now(), S_FALSE) << "the server lock outlives the factory";
  ASSERT_EQ(get_class_object(CLSID_Bridge, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
  EXPECT_EQ(factory->LockServer(false), S_OK);
  factory.Reset();
  EXPECT_EQ(can_unload_now(), S_OK);
  void* object = &object;
  EXPECT_EQ(get_class_object(MakeGuid("38000299-BF26-11D5-A6FE-0002A500E8F9"), IClassFactory::kIid,
                             &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ExportsTest, RegistrationUsesTheLibrarysOwnPath) {
  RegistryStore& store = RegistryStore::Current();
  ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\CLSID"), S_OK);
  ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\TypeLib"), S_OK);
  const RegistryTree before = store.Snapshot();
  ASSERT_EQ(Symbol<EntryFunction>("DllRegisterServer")(), S_OK);
  std::wstring server;
  ASSERT_EQ(store.GetValue(
                L"HKEY_CLASSES_ROOT\\CLSID\\" + GuidToString(CLSID_Orvan) + L"\\InprocServer32",
                L"", &server),
            S_OK);
  EXPECT_EQ(server, FromUtf8(path_.string()));

  // The class registry now finds the library by path, loads it and creates.
  ComPtr<IDispatch> orvan;
  ASSERT_EQ(CreateObject(L"OVCBridgeSvcs.Orvan", &orvan), S_OK);
  orvan.Reset();
  ASSERT_EQ(Symbol<EntryFunction>("DllUnregisterServer")(), S_OK);
  EXPECT_EQ(store.Snapshot(), before);
}

}  // namespace
}  // namespace ovc
