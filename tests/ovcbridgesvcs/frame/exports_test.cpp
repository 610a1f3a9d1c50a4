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
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/automation/registry_value.h"

namespace ovc {
namespace {

using registry_testing::ValueOf;

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
  EXPECT_EQ(dlsym(handle_, "_ZN3ovc12ServerModule8InstanceEv"), nullptr)
      << "only the entry points are exported";
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

// Every class of the type library is found by both its ProgIDs, served by
// the library from its own path in the apartment model, and tied to the
// type library; unregistering leaves what others registered.
TEST_F(ExportsTest, RegistrationUsesTheLibrarysOwnPath) {
  RegistryStore& store = RegistryStore::Current();
  const std::wstring root = L"HKEY_CLASSES_ROOT\\";
  ASSERT_EQ(store.SetValue(root + L"CLSID\\{00000000-0000-0000-0000-000000000001}", L"", L"x"),
            S_OK);
  ASSERT_EQ(store.CreateKey(root + L"TypeLib"), S_OK);
  const RegistryTree before = store.Snapshot();
  const auto register_server = Symbol<EntryFunction>("DllRegisterServer");
  ASSERT_EQ(register_server(), S_OK);
  ASSERT_EQ(register_server(), S_OK) << "registering twice is harmless";
  const std::wstring module = FromUtf8(path_.string());
  const std::wstring libid = L"{38000000-BF26-11D5-A6FE-0002A500E8F9}";
  EXPECT_EQ(ValueOf(store, root + L"TypeLib\\" + libid + L"\\380.0\\0\\win64"), module);
  for (const LibraryClass& entry : LibraryClasses().classes()) {
    const CoclassInfo& coclass = *entry.coclass;
    SCOPED_TRACE(ProgId(coclass));
    for (const std::wstring& prog_id : {ProgId(coclass), VersionedProgId(coclass)}) {
      CLSID clsid{};
      EXPECT_EQ(CLSIDFromProgID(prog_id, &clsid), S_OK);
      EXPECT_EQ(clsid, coclass.clsid);
    }
    std::wstring prog_id;
    EXPECT_EQ(ProgIDFromCLSID(coclass.clsid, &prog_id), S_OK);
    EXPECT_EQ(prog_id, VersionedProgId(coclass));
    const std::wstring key = root + L"CLSID\\" + GuidToString(coclass.clsid);
    EXPECT_EQ(ValueOf(store, key + L"\\InprocServer32"), module);
    EXPECT_EQ(ValueOf(store, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ValueOf(store, key + L"\\TypeLib"), libid);
  }

  // The class registry now finds the library by path, loads it and creates.
  ComPtr<IDispatch> orvan;
  ASSERT_EQ(CreateObject(L"OVCBridgeSvcs.Orvan", &orvan), S_OK);
  orvan.Reset();
  const auto unregister_server = Symbol<EntryFunction>("DllUnregisterServer");
  ASSERT_EQ(unregister_server(), S_OK);
  EXPECT_EQ(store.Snapshot(), before);
  EXPECT_EQ(unregister_server(), S_OK) << "unregistering twice is harmless";
}

}  // namespace
}  // namespace ovc
