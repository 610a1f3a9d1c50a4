#include "automation/registry_tree.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

#include "automation/text.h"

namespace ovc {
namespace {

// Splits a key path into its components; nothing when the path is invalid.
std::optional<std::vector<std::wstring_view>> SplitPath(std::wstring_view path) {
  std::vector<std::wstring_view> components;
  while (true) {
    const size_t separator = path.find(L'\\');
    const std::wstring_view component = path.substr(0, separator);
    const bool has_control = std::any_of(component.begin(), component.end(),
                                         [](wchar_t c) { return c < 0x20 || c == 0x7F; });
    if (component.empty() || has_control) return std::nullopt;
    components.push_back(component);
    if (separator == std::wstring_view::npos) return components;
    path.remove_prefix(separator + 1);
  }
}

template <class Items>
auto FindNamed(Items& items, std::wstring_view name) {
  return std::find_if(items.begin(), items.end(),
                      [name](const auto& item) { return EqualsNoCase(item.name, name); });
}

// Characters written with a backslash in quoted texts, and the letter that
// follows the backslash. Both directions are derived from this table.
struct Escape {
  wchar_t character;
  wchar_t letter;
};
constexpr Escape kEscapes[] = {
    {L'"', L'"'}, {L'\\', L'\\'}, {L'\n', L'n'}, {L'\r', L'r'}, {L'\t', L't'},
};

void AppendQuoted(std::wstring_view text, std::wstring* out) {
  out->push_back(L'"');
  for (wchar_t c : text) {
    const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [c](const Escape& e) { return e.character == c; });
    if (escape != std::end(kEscapes)) out->push_back(L'\\');
    out->push_back(escape != std::end(kEscapes) ? escape->letter : c);
  }
  out->push_back(L'"');
}

// Reads a quoted text at the start of `line` and removes it from `line`.
// Returns an error description, or nothing on success.
std::optional<std::wstring> ReadQuoted(std::wstring_view* line, std::wstring* text) {
  if (line->empty() || line->front() != L'"') return L"expected '\"'";
  text->clear();
  for (size_t i = 1; i < line->size(); ++i) {
    const wchar_t c = (*line)[i];
    if (c == L'"') {
      line->remove_prefix(i + 1);
      return std::nullopt;
    }
    if (c != L'\\') {
      text->push_back(c);
      continue;
    }
    if (++i == line->size()) break;
    const wchar_t letter = (*line)[i];
    const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [letter](const Escape& e) { return e.letter == letter; });
    if (escape == std::end(kEscapes)) {
      return std::wstring(L"unknown escape '\\") + letter + L"'";
    }
    text->push_back(escape->character);
  }
  return L"unterminated quoted text";
}

}  // namespace

const RegistryTree::Key* RegistryTree::Find(std::wstring_view path, HRESULT* status) const {
  const auto components = SplitPath(path);
  if (!components) {
    *status = E_INVALIDARG;
    return nullptr;
  }
  const Key* key = &root_;
  for (std::wstring_view component : *components) {
    const auto found = FindNamed(key->subkeys, component);
    if (found == key->subkeys.end()) {
      *status = REGDB_E_KEYMISSING;
      return nullptr;
    }
    key = &*found;
  }
  *status = S_OK;
  return key;
}

RegistryTree::Key* RegistryTree::Find(std::wstring_view path, HRESULT* status) {
  return const_cast<Key*>(std::as_const(*this).Find(path, status));
}

RegistryTree::Key* RegistryTree::FindOrCreate(std::wstring_view path, HRESULT* status) {
  const auto components = SplitPath(path);
  if (!components) {
    *status = E_INVALIDARG;
    return nullptr;
  }
  Key* key = &root_;
  for (std::wstring_view component : *components) {
    auto found = FindNamed(key->subkeys, component);
    if (found == key->subkeys.end()) {
      key->subkeys.push_back(Key{std::wstring(component), {}, {}});
      found = std::prev(key->subkeys.end());
    }
    key = &*found;
  }
  *status = S_OK;
  return key;
}

HRESULT RegistryTree::CreateKey(std::wstring_view path) {
  HRESULT status;
  FindOrCreate(path, &status);
  return status;
}

HRESULT RegistryTree::SetValue(std::wstring_view path, std::wstring_view name, std::wstring data) {
  HRESULT status;
  Key* key = FindOrCreate(path, &status);
  if (key == nullptr) return status;
  const auto found = FindNamed(key->values, name);
  if (found != key->values.end()) {
    found->data = std::move(data);
  } else {
    key->values.push_back({std::wstring(name), std::move(data)});
  }
  return S_OK;
}

HRESULT RegistryTree::GetValue(std::wstring_view path, std::wstring_view name,
                               std::wstring* data) const {
  if (data == nullptr) return E_POINTER;
  HRESULT status;
  const Key* key = Find(path, &status);
  if (key == nullptr) return status;
  const auto found = FindNamed(key->values, name);
  if (found == key->values.end()) return E_FILENOTFOUND;
  *data = found->data;
  return S_OK;
}

HRESULT RegistryTree::DeleteValue(std::wstring_view path, std::wstring_view name) {
  HRESULT status;
  Key* key = Find(path, &status);
  if (key == nullptr) return status;
  const auto found = FindNamed(key->values, name);
  if (found == key->values.end()) return E_FILENOTFOUND;
  key->values.erase(found);
  return S_OK;
}

HRESULT RegistryTree::DeleteKey(std::wstring_view path, bool recursive) {
  if (!SplitPath(path)) return E_INVALIDARG;
  const size_t separator = path.rfind(L'\\');
  const bool top_level = separator == std::wstring_view::npos;
  HRESULT status = S_OK;
  Key* parent = top_level ? &root_ : Find(path.substr(0, separator), &status);
  if (parent == nullptr) return status;
  const auto found = FindNamed(parent->subkeys, top_level ? path : path.substr(separator + 1));
  if (found == parent->subkeys.end()) return REGDB_E_KEYMISSING;
  if (!found->subkeys.empty() && !recursive) return E_ACCESSDENIED;
  parent->subkeys.erase(found);
  return S_OK;
}

bool RegistryTree::KeyExists(std::wstring_view path) const {
  HRESULT status;
  return Find(path, &status) != nullptr;
}

HRESULT RegistryTree::GetSubkeys(std::wstring_view path, std::vector<std::wstring>* names) const {
  if (names == nullptr) return E_POINTER;
  HRESULT status;
  const Key* key = Find(path, &status);
  if (key == nullptr) return status;
  names->clear();
  for (const Key& subkey : key->subkeys) names->push_back(subkey.name);
  return S_OK;
}

HRESULT RegistryTree::GetValues(std::wstring_view path, std::vector<RegistryValue>* values) const {
  if (values == nullptr) return E_POINTER;
  HRESULT status;
  const Key* key = Find(path, &status);
  if (key == nullptr) return status;
  *values = key->values;
  return S_OK;
}

void RegistryTree::WriteKey(const Key& key, const std::wstring& path, std::string* text) {
  std::wstring lines = L"[" + path + L"]\n";
  for (const RegistryValue& value : key.values) {
    if (value.name.empty()) {
      lines += L"@";
    } else {
      AppendQuoted(value.name, &lines);
    }
    lines += L"=";
    AppendQuoted(value.data, &lines);
    lines += L"\n";
  }
  *text += ToUtf8(lines);
  for (const Key& subkey : key.subkeys) WriteKey(subkey, path + L"\\" + subkey.name, text);
}

std::string RegistryTree::ToText() const {
  std::string text = "; registry store\n";
  for (const Key& top : root_.subkeys) WriteKey(top, top.name, &text);
  return text;
}

RegistryLoadResult RegistryTree::Parse(std::string_view text, RegistryTree* tree) {
  RegistryTree parsed;
  std::wstring current_key;
  const std::wstring all = FromUtf8(text);
  std::wstring_view rest = all;
  for (size_t line_number = 1; !rest.empty(); ++line_number) {
    const size_t end = rest.find(L'\n');
    std::wstring_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    const auto fail = [line_number](std::wstring what) {
      return RegistryLoadResult{REGDB_E_READREGDB, line_number, std::move(what)};
    };
    line = TrimSpacesAndTabs(line);
    if (line.empty() || line.front() == L';') continue;
    if (line.front() == L'[') {
      if (line.back() != L']') return fail(L"a key line must end with ']'");
      current_key = line.substr(1, line.size() - 2);
      if (Failed(parsed.CreateKey(current_key)))
        return fail(L"invalid key path '" + current_key + L"'");
      continue;
    }
    if (current_key.empty()) return fail(L"a value must follow a key line");
    std::wstring name;
    if (line.front() == L'@') {
      line.remove_prefix(1);
    } else if (auto error = ReadQuoted(&line, &name)) {
      return fail(L"value name: " + *error);
    }
    line = TrimSpacesAndTabs(line);
    if (line.empty() || line.front() != L'=') return fail(L"expected '=' after the value name");
    line = TrimSpacesAndTabs(line.substr(1));
    std::wstring data;
    if (auto error = ReadQuoted(&line, &data)) return fail(L"value: " + *error);
    if (!TrimSpacesAndTabs(line).empty()) return fail(L"unexpected text after the value");
    std::wstring existing;
    if (Succeeded(parsed.GetValue(current_key, name, &existing))) {
      return fail(L"value '" + name + L"' appears twice in key '" + current_key + L"'");
    }
    parsed.SetValue(current_key, name, std::move(data));
  }
  *tree = std::move(parsed);
  return {};
}

}  // namespace ovc
