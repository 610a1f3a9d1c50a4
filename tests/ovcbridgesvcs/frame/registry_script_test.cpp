#include "ovcbridgesvcs/frame/registry_script.h"

#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "tests/automation/registry_value.h"

namespace ovc {
namespace {

const RegistryScript::Variables kVariables{
    {L"MODULE", L"/opt/o'brien {x}/lib.so"},
    {L"CLSID_Thing", L"{11111111-2222-3333-4444-555555555555}"},
};

// Every marking and value form, keywords in any case.
constexpr std::wstring_view kThingScript =
    LR"(HKCR
{
	Vendor.Thing = s 'Thing Class' { CLSID = s '%CLSID_Thing%' }
	NoRemove CLSID
	{
		forceremove %CLSID_Thing% = s 'Thing Class'
		{
			InprocServer32 = s '%MODULE%' { val ThreadingModel = s 'Apartment'  VAL Priority = d 0x10 }
			'It''s quoted' = s '100%% sure'
		}
	}
	Delete Obsolete
})";

constexpr std::wstring_view kClassKey =
    L"HKEY_CLASSES_ROOT\\CLSID\\{11111111-2222-3333-4444-555555555555}";

using registry_testing::ValueOf;

TEST(RegistryScriptTest, RegisterAndUnregisterFollowTheMarkings) {
  RegistryScript script;
  ASSERT_EQ(RegistryScript::Parse(kThingScript, kVariables, &script), S_OK);
  RegistryTree tree;
  const std::wstring class_key(kClassKey);
  ASSERT_EQ(tree.SetValue(class_key + L"\\Stale", L"", L"old"), S_OK);
  ASSERT_EQ(tree.SetValue(L"HKEY_CLASSES_ROOT\\Obsolete\\Deep", L"", L"old"), S_OK);
  ASSERT_EQ(tree.SetValue(L"HKEY_CLASSES_ROOT\\CLSID\\{other}", L"", L"Other"), S_OK);
  ASSERT_EQ(script.Register(tree), S_OK);

  EXPECT_EQ(ValueOf(tree, L"HKEY_CLASSES_ROOT\\Vendor.Thing\\CLSID"),
            L"{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(ValueOf(tree, class_key + L"\\InprocServer32"), L"/opt/o'brien {x}/lib.so");
  EXPECT_EQ(ValueOf(tree, class_key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ValueOf(tree, class_key + L"\\InprocServer32", L"Priority"), L"16");
  EXPECT_EQ(ValueOf(tree, class_key + L"\\It's quoted"), L"100% sure");
  EXPECT_FALSE(tree.KeyExists(class_key + L"\\Stale")) << "ForceRemove replaces the key whole";
  EXPECT_FALSE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\Obsolete"));

  ASSERT_EQ(tree.SetValue(L"HKEY_CLASSES_ROOT\\Vendor.Thing\\Extra", L"", L"x"), S_OK);
  ASSERT_EQ(script.Unregister(tree), S_OK);
  EXPECT_FALSE(tree.KeyExists(class_key));
  EXPECT_TRUE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\CLSID\\{other}")) << "NoRemove keys stay";
  EXPECT_TRUE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\Vendor.Thing\\Extra")) << "others' subkeys stay";
  EXPECT_FALSE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\Vendor.Thing\\CLSID"));
  EXPECT_EQ(script.Unregister(tree), S_OK) << "unregistering twice is harmless";
}

TEST(RegistryScriptTest, MalformedScriptsAreRefusedWithTheLine) {
  const struct {
    const wchar_t* text;
    const wchar_t* description;
  } cases[] = {
      {L"HKCR\n{\n  Key = s 'x'\n", L"Registry script line 4: expected '}'"},
      {L"HKXX { }", L"Registry script line 1: unknown root key 'HKXX'"},
      {L"HKCR {\n Key = x 'y' }", L"Registry script line 2: unsupported value type 'x'"},
      {L"HKCR {\n\n Key = s '%NOPE%' }", L"Registry script line 3: unknown variable %NOPE%"},
      {L"HKCR { 'a\\b' }", L"Registry script line 1: 'a\\b' is not a key name"},
  };
  for (const auto& c : cases) {
    RegistryScript script;
    ASSERT_EQ(RegistryScript::Parse(L"HKCR { Kept }", kVariables, &script), S_OK);
    EXPECT_EQ(RegistryScript::Parse(c.text, kVariables, &script), E_INVALIDARG) << c.text;
    EXPECT_EQ(TakeErrorDescription(), c.description);
    ASSERT_EQ(script.roots().size(), 1u) << "a failed parse leaves the script as it was";
    EXPECT_EQ(script.roots()[0].subkeys[0].name, L"Kept");
  }
}

}  // namespace
}  // namespace ovc
