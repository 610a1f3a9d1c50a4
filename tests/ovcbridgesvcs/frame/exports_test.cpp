// Loads the built libovcbridgesvcs.so as a client does and calls its exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/registry_store.h"
#include "automation/text.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/frame/registration_expectations.h"

namespace ovc {
namespace {

using GetClassObjectFunction = HRESULT (*)(const CLSID&, const IID&, void**);
using EntryFunction = HRESULT (*)();

class ExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef OVC_LIBRARY_PATH
    GTEST_SKIP() << "the test program does not know where the library is";
#else
    path_ = std::filesystem::canonical(OVC_LIBRARY_PATH);
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    get_class_object_ = Symbol<GetClassObjectFunction>("DllGetClassObject");
    can_unload_now_ = Symbol<EntryFunction>("DllCanUnloadNow");
    register_server_ = Symbol<EntryFunction>("DllRegisterServer");
    unregister_server_ = Symbol<EntryFunction>("DllUnregisterServer");
#endif
  }
  void TearDown() override {
    if (handle_ != nullptr) dlclose(handle_);
    SetErrorInfo(nullptr);
  }

  template <class Function>
  Function Symbol(const char* name) {
    void* symbol = dlsym(handle_, name);
    EXPECT_NE(symbol, nullptr) << name;
    return reinterpret_cast<Function>(symbol);
  }

  std::filesystem::path path_;
  void* handle_ = nullptr;
  GetClassObjectFunction get_class_object_ = nullptr;
  EntryFunction can_unload_now_ = nullptr;
  EntryFunction register_server_ = nullptr;
  EntryFunction unregister_server_ = nullptr;
};

TEST_F(ExportsTest, OnlyTheFourEntryPointsAreExported) {
  EXPECT_EQ(dlsym(handle_, "_ZN3ovc12ServerModule8InstanceEv"), nullptr);
  EXPECT_EQ(dlsym(handle_, "_ZN3ovc24OVCBridgeSvcsTypeLibraryEv"), nullptr);
}

TEST_F(ExportsTest, ClassObjectsHoldTheLibraryLoaded) {
  ASSERT_EQ(can_unload_now_(), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(get_class_object_(CLSID_Bridge, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
  EXPECT_EQ(can_unload_now_(), S_FALSE);

  ComPtr<IUnknown> outer;
  ASSERT_EQ(get_class_object_(CLSID_Link, IUnknown::kIid, outer.ReceiveVoid()), S_OK);
  ComPtr<IUnknown> instance;
  EXPECT_EQ(factory->CreateInstance(outer.get(), IUnknown::kIid, instance.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  outer.Reset();

  EXPECT_EQ(factory->LockServer(true), S_OK);
  factory.Reset();
  EXPECT_EQ(can_unload_now_(), S_FALSE) << "the server lock outlives the factory";
  ASSERT_EQ(get_class_object_(CLSID_Bridge, IClassFactory::kIid, factory.ReceiveVoid()), S_OK);
  EXPECT_EQ(factory->LockServer(false), S_OK);
  factory.Reset();
  EXPECT_EQ(can_unload_now_(), S_OK);
}

TEST_F(ExportsTest, UnknownClassIsNotAvailable) {
  void* object = &object;
  EXPECT_EQ(get_class_object_(MakeGuid("38000299-BF26-11D5-A6FE-0002A500E8F9"), IClassFactory::kIid,
                              &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
}

TEST_F(ExportsTest, RegistrationUsesTheLibrarysOwnPath) {
  RegistryStore& store = RegistryStore::Current();
  ASSERT_TRUE(store.path().empty()) << "the tests run on the in-memory store";
  // The shared keys that unregistering keeps.
  ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\CLSID"), S_OK);
  ASSERT_EQ(store.CreateKey(L"HKEY_CLASSES_ROOT\\TypeLib"), S_OK);
  const RegistryTree before = store.Snapshot();

  ASSERT_EQ(register_server_(), S_OK);
  frame_testing::ExpectRegistered(store.Snapshot(), FromUtf8(path_.string()));

  // The class registry now finds the library by path and loads it.
  CLSID clsid{};
  ASSERT_EQ(CLSIDFromProgID(L"OVCBridgeSvcs.Orvan", &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_Orvan);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(
      CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, IClassFactory::kIid, factory.ReceiveVoid()),
      S_OK);
  factory.Reset();

  ASSERT_EQ(unregister_server_(), S_OK);
  EXPECT_EQ(store.Snapshot(), before);
}

}  // namespace
}  // namespace ovc
