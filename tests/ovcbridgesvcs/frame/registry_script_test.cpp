#include "ovcbridgesvcs/frame/registry_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/error_info.h"

namespace ovc {
namespace {

const RegistryScript::Variables kVariables{
    {L"MODULE", L"/opt/o'brien {x}/lib.so"},
    {L"CLSID_Thing", L"{11111111-2222-3333-4444-555555555555}"},
    {L"MajorVersion", L"380"},
};

constexpr std::wstring_view kThingScript =
    LR"(HKCR
{
	Vendor.Thing.%MajorVersion% = s 'Thing Class'
	{
		CLSID = s '%CLSID_Thing%'
	}
	NoRemove CLSID
	{
		ForceRemove %CLSID_Thing% = s 'Thing Class'
		{
			ForceRemove Programmable
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
				val Priority = d 0x10
			}
			'It''s quoted' = s '100%% sure'
		}
	}
})";

RegistryScript ParseOrFail(std::wstring_view text) {
  RegistryScript script;
  const HRESULT hr = RegistryScript::Parse(text, kVariables, &script);
  EXPECT_EQ(hr, S_OK);
  if (Failed(hr)) {
    std::wstring description;
    if (const ComPtr<IErrorInfo> error = GetErrorInfo()) error->GetDescription(&description);
    ADD_FAILURE() << description;
  }
  return script;
}

std::wstring ValueOf(const RegistryTree& tree, std::wstring_view key, std::wstring_view name) {
  std::wstring data;
  EXPECT_EQ(tree.GetValue(key, name, &data), S_OK);
  return data;
}

constexpr std::wstring_view kClassKey =
    L"HKEY_CLASSES_ROOT\\CLSID\\{11111111-2222-3333-4444-555555555555}";

TEST(RegistryScriptTest, RegisterCreatesKeysAndValues) {
  const RegistryScript script = ParseOrFail(kThingScript);
  RegistryTree tree;
  ASSERT_EQ(script.Register(tree), S_OK);

  EXPECT_EQ(ValueOf(tree, L"HKEY_CLASSES_ROOT\\Vendor.Thing.380", L""), L"Thing Class");
  EXPECT_EQ(ValueOf(tree, L"HKEY_CLASSES_ROOT\\Vendor.Thing.380\\CLSID", L""),
            L"{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(ValueOf(tree, kClassKey, L""), L"Thing Class");
  EXPECT_TRUE(tree.KeyExists(std::wstring(kClassKey) + L"\\Programmable"));
  const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
  EXPECT_EQ(ValueOf(tree, server, L""), L"/opt/o'brien {x}/lib.so");
  EXPECT_EQ(ValueOf(tree, server, L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(ValueOf(tree, server, L"Priority"), L"16");
  EXPECT_EQ(ValueOf(tree, std::wstring(kClassKey) + L"\\It's quoted", L""), L"100% sure");
}

TEST(RegistryScriptTest, ForceRemoveReplacesTheKeyWhole) {
  RegistryTree tree;
  ASSERT_EQ(tree.SetValue(std::wstring(kClassKey) + L"\\Stale", L"", L"old"), S_OK);
  ASSERT_EQ(ParseOrFail(kThingScript).Register(tree), S_OK);
  EXPECT_FALSE(tree.KeyExists(std::wstring(kClassKey) + L"\\Stale"));
}

TEST(RegistryScriptTest, UnregisterRemovesWhatRegisterMadeAndKeepsTheRest) {
  RegistryTree tree;
  // Entries of others: under a NoRemove key, and under a plain key.
  ASSERT_EQ(tree.SetValue(L"HKEY_CLASSES_ROOT\\CLSID\\{other}", L"", L"Other"), S_OK);
  ASSERT_EQ(tree.SetValue(L"HKEY_CLASSES_ROOT\\Vendor.Thing.380\\Extra", L"", L"x"), S_OK);
  const RegistryScript script = ParseOrFail(kThingScript);
  ASSERT_EQ(script.Register(tree), S_OK);
  // Something another installer added inside the force-removed class key.
  ASSERT_EQ(tree.CreateKey(std::wstring(kClassKey) + L"\\Implemented Categories"), S_OK);

  ASSERT_EQ(script.Unregister(tree), S_OK);
  EXPECT_FALSE(tree.KeyExists(kClassKey));
  EXPECT_TRUE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\CLSID\\{other}"));
  // The plain key still has a subkey of someone else's, so it stays.
  EXPECT_TRUE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\Vendor.Thing.380\\Extra"));
  EXPECT_FALSE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\Vendor.Thing.380\\CLSID"));

  ASSERT_EQ(tree.DeleteKey(L"HKEY_CLASSES_ROOT\\Vendor.Thing.380\\Extra", false), S_OK);
  ASSERT_EQ(script.Register(tree), S_OK);
  ASSERT_EQ(script.Unregister(tree), S_OK);
  EXPECT_FALSE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\Vendor.Thing.380"));
  EXPECT_TRUE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\CLSID")) << "NoRemove keys stay";
}

TEST(RegistryScriptTest, UnregisterOfNothingSucceeds) {
  RegistryTree tree;
  EXPECT_EQ(ParseOrFail(kThingScript).Unregister(tree), S_OK);
  EXPECT_EQ(tree, RegistryTree());
}

TEST(RegistryScriptTest, ValuesDeclaredUnderAKeptKeyAreRemoved) {
  const RegistryScript script = ParseOrFail(LR"(HKLM { NoRemove Software { val Flag = s 'on' } })");
  RegistryTree tree;
  ASSERT_EQ(tree.SetValue(L"HKEY_LOCAL_MACHINE\\Software", L"Other", L"kept"), S_OK);
  ASSERT_EQ(script.Register(tree), S_OK);
  EXPECT_EQ(ValueOf(tree, L"HKEY_LOCAL_MACHINE\\Software", L"Flag"), L"on");
  ASSERT_EQ(script.Unregister(tree), S_OK);
  std::wstring data;
  EXPECT_EQ(tree.GetValue(L"HKEY_LOCAL_MACHINE\\Software", L"Flag", &data), E_FILENOTFOUND);
  EXPECT_EQ(ValueOf(tree, L"HKEY_LOCAL_MACHINE\\Software", L"Other"), L"kept");
}

TEST(RegistryScriptTest, DeleteRemovesOnRegisterOnly) {
  const RegistryScript script = ParseOrFail(LR"(HKCU { Delete Obsolete Fresh = s 'new' })");
  RegistryTree tree;
  ASSERT_EQ(tree.SetValue(L"HKEY_CURRENT_USER\\Obsolete\\Deep", L"", L"old"), S_OK);
  ASSERT_EQ(script.Register(tree), S_OK);
  EXPECT_FALSE(tree.KeyExists(L"HKEY_CURRENT_USER\\Obsolete"));
  EXPECT_EQ(ValueOf(tree, L"HKEY_CURRENT_USER\\Fresh", L""), L"new");
}

TEST(RegistryScriptTest, MalformedScriptsAreRefusedWithTheLine) {
  const struct {
    const wchar_t* text;
    const wchar_t* description;
  } cases[] = {
      {L"HKCR\n{\n  Key = s 'x'\n", L"Registry script line 4: expected '}'"},
      {L"HKXX { }", L"Registry script line 1: unknown root key 'HKXX'"},
      {L"HKCR Key", L"Registry script line 1: expected '{' after the root key"},
      {L"HKCR {\n Key = x 'y' }", L"Registry script line 2: unsupported value type 'x'"},
      {L"HKCR { Key = s 'open }", L"Registry script line 1: a quoted text is not closed"},
      {L"HKCR {\n\n Key = s '%NOPE%' }", L"Registry script line 3: unknown variable %NOPE%"},
      {L"HKCR { Key = s '%MODULE' }", L"Registry script line 1: a variable is not closed"},
      {L"HKCR { Key = d 'ten' }", L"Registry script line 1: 'ten' is not a number"},
      {L"HKCR { 'a\\b' }", L"Registry script line 1: 'a\\b' is not a key name"},
      {L"HKCR { '' }", L"Registry script line 1: '' is not a key name"},
      {L"HKCR { val = s 'x' }", L"Registry script line 1: expected a name"},
  };
  for (const auto& c : cases) {
    SetErrorInfo(nullptr);
    RegistryScript script = ParseOrFail(L"HKCR { Kept }");
    EXPECT_EQ(RegistryScript::Parse(c.text, kVariables, &script), E_INVALIDARG) << c.text;
    const ComPtr<IErrorInfo> error = GetErrorInfo();
    ASSERT_TRUE(error) << c.text;
    std::wstring description;
    error->GetDescription(&description);
    EXPECT_EQ(description, c.description) << c.text;
    ASSERT_EQ(script.roots().size(), 1u) << "a failed parse leaves the script as it was";
    EXPECT_EQ(script.roots()[0].subkeys[0].name, L"Kept");
  }
}

TEST(RegistryScriptTest, RootNamesAndKeywordsIgnoreCase) {
  const RegistryScript script =
      ParseOrFail(L"hkey_classes_root { noremove A { forceremove B VAL c = S 'd' } }");
  ASSERT_EQ(script.roots().size(), 1u);
  const RegistryScript::Key& root = script.roots()[0];
  EXPECT_EQ(root.name, L"HKEY_CLASSES_ROOT");
  ASSERT_EQ(root.subkeys.size(), 1u);
  EXPECT_EQ(root.subkeys[0].removal, RegistryScript::Removal::kNoRemove);
  ASSERT_EQ(root.subkeys[0].subkeys.size(), 1u);
  EXPECT_EQ(root.subkeys[0].subkeys[0].removal, RegistryScript::Removal::kForceRemove);
  ASSERT_EQ(root.subkeys[0].values.size(), 1u);
  EXPECT_EQ(root.subkeys[0].values[0].name, L"c");
  EXPECT_EQ(root.subkeys[0].values[0].data, L"d");
}

}  // namespace
}  // namespace ovc
