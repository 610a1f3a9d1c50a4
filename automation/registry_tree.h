#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "automation/hresult.h"

namespace ovc {

// The outcome of reading a registry text: S_OK, or a failure with the
// 1-based line it was found on (0 when it concerns no line, e.g. a file that
// cannot be read) and what was wrong.
struct RegistryLoadResult {
  HRESULT status = S_OK;
  size_t line = 0;
  std::wstring description;

  explicit operator bool() const { return Succeeded(status); }
};

struct RegistryValue {
  std::wstring name;  // empty for the key's default value
  std::wstring data;

  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// A tree of registry keys, each with named text values. Key and value names
// are matched without regard to letter case and keep the spelling they were
// created with. A key path names keys from the top level down, separated by
// backslashes ("HKEY_CLASSES_ROOT\Excel.Application\CLSID"); the components
// must be non-empty and free of control characters, otherwise the
// operations below fail with E_INVALIDARG. Missing keys give
// REGDB_E_KEYMISSING, missing values E_FILENOTFOUND. Keys and values are
// listed in the order they were created.
class RegistryTree {
 public:
  // Creates the key and any missing parents. S_OK also when it exists.
  HRESULT CreateKey(std::wstring_view path);
  // Sets value `name` of the key (created as by CreateKey when missing).
  HRESULT SetValue(std::wstring_view path, std::wstring_view name, std::wstring data);
  HRESULT GetValue(std::wstring_view path, std::wstring_view name, std::wstring* data) const;
  HRESULT DeleteValue(std::wstring_view path, std::wstring_view name);
  // Deletes the key with its values. A key that has subkeys is deleted only
  // when `recursive` is set, otherwise E_ACCESSDENIED.
  HRESULT DeleteKey(std::wstring_view path, bool recursive);
  bool KeyExists(std::wstring_view path) const;
  // The names of the direct subkeys, or of the values, of the key.
  HRESULT GetSubkeys(std::wstring_view path, std::vector<std::wstring>* names) const;
  HRESULT GetValues(std::wstring_view path, std::vector<RegistryValue>* values) const;

  // The tree in the registry text format (UTF-8), which Parse reads back:
  //   [Top\Key\Sub]
  //   @="default value"
  //   "name"="value with \"quotes\", \\ backslashes and \n line breaks"
  // Lines starting with ';' are comments; blank lines are ignored.
  std::string ToText() const;
  // Reads a registry text into *tree. On failure *tree is left unchanged.
  static RegistryLoadResult Parse(std::string_view text, RegistryTree* tree);

  friend bool operator==(const RegistryTree&, const RegistryTree&) = default;

 private:
  struct Key {
    std::wstring name;
    std::vector<RegistryValue> values;
    std::vector<Key> subkeys;

    friend bool operator==(const Key&, const Key&) = default;
  };

  const Key* Find(std::wstring_view path, HRESULT* status) const;
  Key* Find(std::wstring_view path, HRESULT* status);
  Key* FindOrCreate(std::wstring_view path, HRESULT* status);
  static void WriteKey(const Key& key, const std::wstring& path, std::string* text);

  Key root_;
};

}  // namespace ovc
