#include "automation/registry_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/automation/registry_value.h"

namespace ovc {
namespace {

constexpr wchar_t kClass[] = L"HKEY_CLASSES_ROOT\\CLSID\\{38000201-BF26-11D5-A6FE-0002A500E8F9}";

using registry_testing::ValueOf;

TEST(RegistryTreeTest, KeysAndValuesIgnoreCaseAndKeepTheirSpelling) {
  RegistryTree tree;
  tree.SetValue(L"HKEY_CLASSES_ROOT\\Excel.Application\\CurVer", L"", L"Excel.Application.16");
  tree.SetValue(L"hkey_classes_root\\EXCEL.APPLICATION", L"Note", L"one");
  tree.SetValue(L"HKEY_CLASSES_ROOT\\excel.application", L"NOTE", L"two");
  EXPECT_EQ(ValueOf(tree, L"Hkey_Classes_Root\\Excel.APPLICATION\\curver", L""),
            L"Excel.Application.16");
  std::vector<std::wstring> subkeys;
  ASSERT_EQ(tree.GetSubkeys(L"HKEY_CLASSES_ROOT", &subkeys), S_OK);
  EXPECT_EQ(subkeys, std::vector<std::wstring>{L"Excel.Application"});
  std::vector<RegistryValue> values;
  ASSERT_EQ(tree.GetValues(L"HKEY_CLASSES_ROOT\\Excel.Application", &values), S_OK);
  ASSERT_EQ(values.size(), 1u) << "NOTE and Note are one value";
  EXPECT_EQ(values[0].name, L"Note");
  EXPECT_EQ(values[0].data, L"two");
}

TEST(RegistryTreeTest, MissingKeysAndValuesAreToldApartAndDeletionNeedsRecursion) {
  RegistryTree tree;
  const std::wstring server = std::wstring(kClass) + L"\\InprocServer32";
  tree.CreateKey(kClass);
  std::wstring data = L"kept";
  EXPECT_EQ(tree.GetValue(kClass, L"", &data), E_FILENOTFOUND);
  EXPECT_EQ(tree.GetValue(server, L"", &data), REGDB_E_KEYMISSING);
  EXPECT_EQ(data, L"kept");
  tree.SetValue(kClass, L"other", L"x");
  EXPECT_EQ(tree.DeleteValue(kClass, L"OTHER"), S_OK);
  EXPECT_EQ(tree.DeleteValue(kClass, L"other"), E_FILENOTFOUND);

  tree.SetValue(server, L"ThreadingModel", L"Apartment");
  EXPECT_EQ(tree.DeleteKey(kClass, false), E_ACCESSDENIED);
  EXPECT_EQ(tree.DeleteKey(server, false), S_OK);
  EXPECT_EQ(tree.DeleteKey(kClass, false), S_OK);
  EXPECT_TRUE(tree.KeyExists(L"HKEY_CLASSES_ROOT\\CLSID"));
  tree.CreateKey(server);
  EXPECT_EQ(tree.DeleteKey(L"HKEY_CLASSES_ROOT", true), S_OK) << "top-level keys too";
  EXPECT_EQ(tree, RegistryTree());
}

TEST(RegistryTreeTest, InvalidPathsAreRejected) {
  RegistryTree tree;
  for (const wchar_t* path : {L"", L"Top\\", L"Top\\\\Sub", L"Top\\Su\nb"}) {
    SCOPED_TRACE(testing::Message() << "path #" << std::wstring(path).size());
    std::wstring data;
    EXPECT_EQ(tree.CreateKey(path), E_INVALIDARG);
    EXPECT_EQ(tree.SetValue(path, L"", L"x"), E_INVALIDARG);
    EXPECT_EQ(tree.GetValue(path, L"", &data), E_INVALIDARG);
    EXPECT_EQ(tree.DeleteKey(path, true), E_INVALIDARG);
  }
  EXPECT_EQ(tree, RegistryTree()) << "nothing was created on the way";
}

TEST(RegistryTreeTest, TextRoundTripKeepsEverything) {
  RegistryTree tree;
  tree.SetValue(L"HKEY_CLASSES_ROOT\\OVCBridgeSvcs.Bridge\\CurVer", L"",
                L"OVCBridgeSvcs.Bridge.380");
  tree.CreateKey(std::wstring(kClass) + L"\\Programmable");
  tree.SetValue(kClass, L"quote\"name", L"C:\\path\\with \"quotes\"\r\n\tand tab");
  tree.SetValue(L"HKEY_CURRENT_USER\\Größe [mm]", L"Ω", L"π≈3.14 ]");
  tree.SetValue(L"HKEY_CURRENT_USER\\Größe [mm]", L"@", L"not the default");

  const std::string text = tree.ToText();
  EXPECT_NE(
      text.find(
          "[HKEY_CLASSES_ROOT\\OVCBridgeSvcs.Bridge\\CurVer]\n@=\"OVCBridgeSvcs.Bridge.380\"\n"),
      std::string::npos)
      << text;
  RegistryTree read;
  const RegistryLoadResult result = RegistryTree::Parse(text, &read);
  ASSERT_TRUE(result) << result.line;
  EXPECT_EQ(read, tree);
  EXPECT_EQ(read.ToText(), text);

  // Text made by hand may have comments, blank lines, spaces and CR LF.
  ASSERT_TRUE(RegistryTree::Parse(
      "; made by hand\r\n\r\n  [Top\\Key]  \r\n  @ = \"a\"  \r\n\"n\"=\"b\"\r\n", &read));
  EXPECT_EQ(ValueOf(read, L"Top\\Key", L""), L"a");
  EXPECT_EQ(ValueOf(read, L"Top\\Key", L"n"), L"b");
}

TEST(RegistryTreeTest, MalformedTextReportsTheLineAndLeavesTheTreeAlone) {
  const struct {
    const char* text;
    size_t line;
  } cases[] = {
      {"; c\n@=\"x\"\n", 2},                     // value before any key
      {"[Top\n", 1},                             // unclosed key
      {"[A]\n@=\"abc\n", 2},                     // unterminated value
      {"[A]\n@=\"1\"\n[B]\n[a]\n@=\"2\"\n", 5},  // one value twice
  };
  for (const auto& c : cases) {
    RegistryTree tree;
    tree.SetValue(L"Kept", L"", L"value");
    const RegistryTree before = tree;
    const RegistryLoadResult result = RegistryTree::Parse(c.text, &tree);
    EXPECT_FALSE(result) << c.text;
    EXPECT_EQ(result.status, REGDB_E_READREGDB) << c.text;
    EXPECT_EQ(result.line, c.line) << c.text;
    EXPECT_FALSE(result.description.empty()) << c.text;
    EXPECT_EQ(tree, before) << c.text;
  }
}

}  // namespace
}  // namespace ovc
