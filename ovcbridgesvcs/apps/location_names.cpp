#include "ovcbridgesvcs/apps/location_names.h"

#include <algorithm>
#include <cstdint>

#include "automation/text.h"

namespace ovc::apps {
namespace {

constexpr size_t kLongestWorkbookName = 255;
constexpr size_t kLongestBookmark = 40;
constexpr uint32_t kLastColumn = 16'384;
constexpr uint32_t kLastRow = 1'048'576;
constexpr size_t kMostRowDigits = 7;

// Whether `digits` is a decimal number from 1 to `last`.
bool NumberUpTo(std::wstring_view digits, uint32_t last) {
  if (digits.empty() || digits.size() > kMostRowDigits ||
      !std::ranges::all_of(digits, IsAsciiDigit<wchar_t>)) {
    return false;
  }
  uint32_t value = 0;
  for (const wchar_t digit : digits) value = value * 10 + static_cast<uint32_t>(digit - L'0');
  return value >= 1 && value <= last;
}

// "B2", "TAX2019", "xfd1048576".
bool ReadsAsA1Cell(std::wstring_view name) {
  const size_t letters = std::ranges::find_if_not(name, IsAsciiLetter<wchar_t>) - name.begin();
  if (letters == 0 || letters > 3) return false;
  uint32_t column = 0;
  for (const wchar_t letter : name.substr(0, letters)) {
    column = column * 26 + static_cast<uint32_t>(ToUpperAscii(letter) - L'A' + 1);
  }
  return column <= kLastColumn && NumberUpTo(name.substr(letters), kLastRow);
}

// Takes `letter` and the number after it, if any, from the front of *name;
// false when *name does not start so.
bool TakeR1C1Part(std::wstring_view* name, wchar_t letter, uint32_t last) {
  if (name->empty() || ToUpperAscii(name->front()) != letter) return false;
  name->remove_prefix(1);
  const size_t digits = std::ranges::find_if_not(*name, IsAsciiDigit<wchar_t>) - name->begin();
  if (digits > 0 && !NumberUpTo(name->substr(0, digits), last)) return false;
  name->remove_prefix(digits);
  return true;
}

// "R", "C", "RC", "R2", "C3", "r2c3".
bool ReadsAsR1C1Cell(std::wstring_view name) {
  const bool row = TakeR1C1Part(&name, L'R', kLastRow);
  const bool column = TakeR1C1Part(&name, L'C', kLastColumn);
  return (row || column) && name.empty();
}

bool MayStartWorkbookName(wchar_t c) { return c == L'_' || c == L'\\' || IsLetter(c); }

bool MayContinueWorkbookName(wchar_t c) {
  return MayStartWorkbookName(c) || IsAsciiDigit(c) || c == L'.' || c == L'?';
}

bool MayContinueBookmark(wchar_t c) { return IsLetter(c) || IsAsciiDigit(c) || c == L'_'; }

std::wstring WorkbookNameProblem(std::wstring_view name) {
  if (name.size() > kLongestWorkbookName) return L"is longer than 255 characters";
  if (!MayStartWorkbookName(name.front())) {
    return L"does not start with a letter, \"_\" or \"\\\"";
  }
  if (!std::all_of(name.begin() + 1, name.end(), MayContinueWorkbookName)) {
    return L"holds characters other than letters, digits, \"_\", \".\", \"\\\" and \"?\"";
  }
  if (ReadsAsA1Cell(name) || ReadsAsR1C1Cell(name)) return L"reads as a cell reference";
  return {};
}

std::wstring BookmarkProblem(std::wstring_view name) {
  if (name.size() > kLongestBookmark) return L"is longer than 40 characters";
  if (!IsLetter(name.front())) return L"does not start with a letter";
  if (!std::all_of(name.begin() + 1, name.end(), MayContinueBookmark)) {
    return L"holds characters other than letters, digits and \"_\"";
  }
  return {};
}

}  // namespace

FileKind FileKindOf(std::wstring_view type) {
  const std::wstring lower = ToLower(type);
  if (lower == L".xlsx" || lower == L".xlsm" || lower == L".xls") return FileKind::kWorkbook;
  if (lower == L".docx" || lower == L".doc") return FileKind::kDocument;
  return FileKind::kNone;
}

std::wstring LocationNameProblem(FileKind kind, std::wstring_view name) {
  if (kind == FileKind::kNone) return {};
  if (name.empty()) return L"is empty";
  const bool workbook = kind == FileKind::kWorkbook;
  const std::wstring problem = workbook ? WorkbookNameProblem(name) : BookmarkProblem(name);
  if (problem.empty()) return problem;
  return (workbook ? L"is no valid workbook name: it " : L"is no valid bookmark: it ") + problem;
}

}  // namespace ovc::apps
