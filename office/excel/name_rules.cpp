#include "office/excel/name_rules.h"

#include <algorithm>

#include "automation/text.h"
#include "office/excel/area_reference.h"

namespace ovc::excel {

namespace {

bool MayStartName(wchar_t c) { return c == L'_' || c == L'\\' || IsLetter(c); }

bool MayContinueName(wchar_t c) {
  return MayStartName(c) || IsAsciiDigit(c) || c == L'.' || c == L'?';
}

bool ReadsAsCellReference(std::string_view name) {
  CellRef cell;
  return ParseA1Cell(name, &cell) || ReadsAsR1C1Reference(name);
}

}  // namespace

bool CheckName(std::string_view name, std::string* reason) {
  const std::wstring wide = FromUtf8(name);
  if (wide.empty()) {
    *reason = "a name cannot be empty";
  } else if (wide.size() > kMaxNameLength) {
    *reason = "a name has at most 255 characters";
  } else if (!MayStartName(wide.front())) {
    *reason = "a name must start with a letter, '_' or '\\'";
  } else if (wide.find_first_of(L" \t") != std::wstring::npos) {
    *reason = "a name cannot contain spaces";
  } else if (!std::all_of(wide.begin() + 1, wide.end(), MayContinueName)) {
    *reason = "a name may hold only letters, digits, '_', '.', '\\' and '?'";
  } else if (ReadsAsCellReference(name)) {
    *reason = "a name cannot read as a cell reference";
  } else {
    return true;
  }
  return false;
}

std::string NameKey(std::string_view name) {
  // Most names are ASCII, whose letters upper-case alike in every locale.
  if (std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
    std::string key(name);
    for (char& c : key) c = ToUpperAscii(c);
    return key;
  }
  return ToUtf8(ToUpper(FromUtf8(name)));
}

}  // namespace ovc::excel
