#include "ovcbridgesvcs/frame/server_registration.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/class_registry.h"
#include "automation/error_info.h"
#include "automation/guid.h"
#include "automation/registry_store.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "tests/ovcbridgesvcs/frame/registration_expectations.h"

namespace ovc {
namespace {

const std::wstring kModulePath = L"/opt/ovc/lib/libovcbridgesvcs.so";

TEST(ServerRegistrationTest, VariablesNameEveryClassAndTheLibrary) {
  const RegistryScript::Variables variables = RegistrationVariables(kModulePath);
  EXPECT_EQ(variables.at(L"MODULE"), kModulePath);
  EXPECT_EQ(variables.at(L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(variables.at(L"MajorVersion"), L"380");
  EXPECT_EQ(variables.at(L"MinorVersion"), L"0");
  EXPECT_EQ(variables.at(L"LIBID"), L"{38000000-BF26-11D5-A6FE-0002A500E8F9}");
  for (const frame_testing::ExpectedClass& expected : frame_testing::kExpectedClasses) {
    EXPECT_EQ(variables.at(L"CLSID_" + std::wstring(expected.name)), GuidToString(expected.clsid));
  }
}

TEST(ServerRegistrationTest, RegisterWritesEveryClassAndTheTypeLibrary) {
  RegistryStore store;
  ASSERT_EQ(RegisterServer(store, kModulePath), S_OK);
  frame_testing::ExpectRegistered(store.Snapshot(), kModulePath);
}

TEST(ServerRegistrationTest, UnregisterRestoresTheRegistryAsItWas) {
  RegistryStore store;
  // What others registered under the same shared keys.
  ASSERT_EQ(store.SetValue(L"HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-000000000001}", L"",
                           L"Other Class"),
            S_OK);
  ASSERT_EQ(store.SetValue(L"HKEY_CLASSES_ROOT\\TypeLib\\{00000000-0000-0000-0000-000000000002}"
                           L"\\1.0",
                           L"", L"Other Library"),
            S_OK);
  const RegistryTree before = store.Snapshot();

  ASSERT_EQ(RegisterServer(store, kModulePath), S_OK);
  ASSERT_EQ(RegisterServer(store, kModulePath), S_OK) << "registering twice is harmless";
  ASSERT_EQ(UnregisterServer(store, kModulePath), S_OK);
  EXPECT_EQ(store.Snapshot(), before);
  EXPECT_EQ(UnregisterServer(store, kModulePath), S_OK) << "unregistering twice is harmless";
}

TEST(ServerRegistrationTest, ClassRegistryFindsTheRegisteredClasses) {
  RegistryStore& store = RegistryStore::Current();
  ASSERT_TRUE(store.path().empty()) << "the tests run on the in-memory store";
  ASSERT_EQ(RegisterServer(store, kModulePath), S_OK);
  for (const frame_testing::ExpectedClass& expected : frame_testing::kExpectedClasses) {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"OVCBridgeSvcs." + std::wstring(expected.name), &clsid), S_OK);
    EXPECT_EQ(clsid, expected.clsid);
    std::wstring prog_id;
    EXPECT_EQ(ProgIDFromCLSID(expected.clsid, &prog_id), S_OK);
    EXPECT_EQ(prog_id, L"OVCBridgeSvcs." + std::wstring(expected.name) + L".380");
  }
  ASSERT_EQ(UnregisterServer(store, kModulePath), S_OK);
  CLSID clsid{};
  EXPECT_EQ(CLSIDFromProgID(L"OVCBridgeSvcs.Bridge", &clsid), CO_E_CLASSSTRING);
  SetErrorInfo(nullptr);
}

}  // namespace
}  // namespace ovc
