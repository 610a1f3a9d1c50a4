#include "ovcbridgesvcs/frame/server_registration.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/guid.h"
#include "automation/registry_store.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "tests/ovcbridgesvcs/frame/registry_value.h"

namespace ovc {
namespace {

const std::wstring kModulePath = L"/opt/ovc/lib/libovcbridgesvcs.so";
const std::wstring kRoot = L"HKEY_CLASSES_ROOT\\";

using frame_testing::ValueOf;

// Every class of the type library is found by both its ProgIDs, served by
// the module in the apartment model, and tied to the type library.
TEST(ServerRegistrationTest, RegistersEveryClassAndTheTypeLibraryAndUnregistersThem) {
  RegistryStore& store = RegistryStore::Current();
  ASSERT_TRUE(store.path().empty()) << "the tests run on the in-memory store";
  // What others registered under the shared keys, which stay.
  ASSERT_EQ(store.SetValue(kRoot + L"CLSID\\{00000000-0000-0000-0000-000000000001}", L"", L"x"),
            S_OK);
  ASSERT_EQ(store.CreateKey(kRoot + L"TypeLib"), S_OK);
  const RegistryTree before = store.Snapshot();
  ASSERT_EQ(RegisterServer(store, kModulePath), S_OK);
  ASSERT_EQ(RegisterServer(store, kModulePath), S_OK) << "registering twice is harmless";

  const std::wstring libid = L"{38000000-BF26-11D5-A6FE-0002A500E8F9}";
  EXPECT_EQ(ValueOf(store, kRoot + L"TypeLib\\" + libid + L"\\380.0\\0\\win64"), kModulePath);
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
    const std::wstring key = kRoot + L"CLSID\\" + GuidToString(coclass.clsid);
    EXPECT_EQ(ValueOf(store, key + L"\\InprocServer32"), kModulePath);
    EXPECT_EQ(ValueOf(store, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ValueOf(store, key + L"\\TypeLib"), libid);
  }

  ASSERT_EQ(UnregisterServer(store, kModulePath), S_OK);
  EXPECT_EQ(store.Snapshot(), before);
  EXPECT_EQ(UnregisterServer(store, kModulePath), S_OK) << "unregistering twice is harmless";
  store.Close();
  SetErrorInfo(nullptr);
}

}  // namespace
}  // namespace ovc
