#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "automation/guid.h"
#include "automation/registry_tree.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::frame_testing {

struct ExpectedClass {
  const wchar_t* name;
  CLSID clsid;
};

inline constexpr ExpectedClass kExpectedClasses[] = {
    {L"Bridge", CLSID_Bridge},     {L"LinkSet", CLSID_LinkSet},
    {L"Link", CLSID_Link},         {L"AppCollection", CLSID_AppCollection},
    {L"App", CLSID_App},           {L"WordApp", CLSID_WordApp},
    {L"ExcelApp", CLSID_ExcelApp}, {L"Orvan", CLSID_Orvan},
};

inline std::wstring ValueOf(const RegistryTree& tree, const std::wstring& key,
                            std::wstring_view name = L"") {
  std::wstring data;
  EXPECT_EQ(tree.GetValue(key, name, &data), S_OK) << key;
  return data;
}

// Checks the keys and values that registering the library at `module_path`
// leaves in `tree`.
inline void ExpectRegistered(const RegistryTree& tree, const std::wstring& module_path) {
  const std::wstring root = L"HKEY_CLASSES_ROOT\\";
  const std::wstring libid = L"{38000000-BF26-11D5-A6FE-0002A500E8F9}";
  for (const ExpectedClass& expected : kExpectedClasses) {
    SCOPED_TRACE(expected.name);
    const std::wstring description = std::wstring(expected.name) + L" Class";
    const std::wstring prog_id = L"OVCBridgeSvcs." + std::wstring(expected.name);
    const std::wstring versioned = prog_id + L".380";
    const std::wstring clsid = GuidToString(expected.clsid);
    EXPECT_EQ(ValueOf(tree, root + versioned), description);
    EXPECT_EQ(ValueOf(tree, root + versioned + L"\\CLSID"), clsid);
    EXPECT_EQ(ValueOf(tree, root + prog_id), description);
    EXPECT_EQ(ValueOf(tree, root + prog_id + L"\\CLSID"), clsid);
    EXPECT_EQ(ValueOf(tree, root + prog_id + L"\\CurVer"), versioned);
    const std::wstring key = root + L"CLSID\\" + clsid;
    EXPECT_EQ(ValueOf(tree, key), description);
    EXPECT_EQ(ValueOf(tree, key + L"\\ProgID"), versioned);
    EXPECT_EQ(ValueOf(tree, key + L"\\VersionIndependentProgID"), prog_id);
    EXPECT_TRUE(tree.KeyExists(key + L"\\Programmable"));
    EXPECT_EQ(ValueOf(tree, key + L"\\InprocServer32"), module_path);
    EXPECT_EQ(ValueOf(tree, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ValueOf(tree, key + L"\\TypeLib"), libid);
  }
  const std::wstring type_library = root + L"TypeLib\\" + libid + L"\\380.0";
  EXPECT_EQ(ValueOf(tree, type_library), L"OVCBridgeSvcs Version 38.0");
  EXPECT_EQ(ValueOf(tree, type_library + L"\\0\\win64"), module_path);
}

}  // namespace ovc::frame_testing
