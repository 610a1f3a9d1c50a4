#include "office/excel/refers_to.h"

#include <charconv>
#include <utility>

#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "office/excel/sheet_prefix.h"

namespace ovc::excel {

namespace {

bool IsNameCharacter(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '.' || c == '\\' ||
         static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

std::vector<std::string_view> SplitFormulaList(std::string_view formula) {
  std::vector<std::string_view> items;
  char quote = 0;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < formula.size(); ++i) {
    const char c = formula[i];
    if (quote != 0) {
      if (c == quote) quote = 0;  // a doubled quote closes and reopens
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '(' || c == '{' || c == '[') {
      ++depth;
    } else if (c == ')' || c == '}' || c == ']') {
      --depth;
    } else if (c == ',' && depth == 0) {
      items.push_back(formula.substr(start, i - start));
      start = i + 1;
    }
  }
  items.push_back(formula.substr(start));
  return items;
}

namespace {

// One "Sheet!area" of this workbook.
bool ParseSheetArea(std::string_view text, SheetArea* area) {
  SheetQualified split;
  if (!SplitSheetPrefix(text, &split) || split.sheet.empty() || !split.book.empty()) return false;
  if (split.sheet.find_first_of(":[]") != std::string::npos) return false;
  area->sheet = std::move(split.sheet);
  return ParseAreaReference(split.rest, &area->area);
}

// What a formula holds outside its strings and quoted sheet names.
struct FormulaShape {
  std::string bare;  // the formula upper-cased, strings as "", quoted names as '
  bool quoted_external = false;
  bool quoted_3d = false;
};

FormulaShape ShapeOf(std::string_view formula) {
  FormulaShape shape;
  for (size_t i = 0; i < formula.size(); ++i) {
    const char c = formula[i];
    if (c != '"' && c != '\'') {
      shape.bare.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
      continue;
    }
    size_t end = i + 1;
    while (end < formula.size()) {
      if (formula[end] != c) {
        ++end;
      } else if (end + 1 < formula.size() && formula[end + 1] == c) {
        end += 2;  // a doubled quote stands for one
      } else {
        break;
      }
    }
    const std::string_view inside = formula.substr(i + 1, end - i - 1);
    const bool names_sheet = c == '\'' && end + 1 < formula.size() && formula[end + 1] == '!';
    if (names_sheet && inside.find('[') != std::string_view::npos) shape.quoted_external = true;
    if (names_sheet && inside.find(':') != std::string_view::npos) shape.quoted_3d = true;
    shape.bare.append(2, c);
    i = end;
  }
  return shape;
}

// "[1]Sheet1!A1", "[Book.xlsx]!Name": a bracket that opens a token; the
// brackets of "Table1[Column]" follow a name instead.
bool HasExternalBook(std::string_view bare) {
  for (size_t i = 0; i < bare.size(); ++i) {
    if (bare[i] == '[' && (i == 0 || !IsNameCharacter(bare[i - 1]))) return true;
  }
  return false;
}

// "Sheet1:Sheet3!A1": a run of name characters holding ":" right before "!".
bool HasUnquoted3d(std::string_view bare) {
  for (size_t bang = bare.find('!'); bang != std::string_view::npos;
       bang = bare.find('!', bang + 1)) {
    size_t start = bang;
    while (start > 0 && (IsNameCharacter(bare[start - 1]) || bare[start - 1] == ':')) --start;
    if (bare.substr(start, bang - start).find(':') != std::string_view::npos) return true;
  }
  return false;
}

// The first function that makes a reference at run time, or "".
std::string_view DynamicFunctionIn(std::string_view bare) {
  for (std::string_view function : {"OFFSET", "INDEX", "INDIRECT"}) {
    for (size_t at = bare.find(function); at != std::string_view::npos;
         at = bare.find(function, at + 1)) {
      const size_t after = at + function.size();
      const bool starts_token =
          at == 0 || !IsNameCharacter(bare[at - 1]) || bare.substr(0, at).ends_with("_XLFN.");
      if (starts_token && after < bare.size() && bare[after] == '(') return function;
    }
  }
  return {};
}

bool IsNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  if (text.empty() || !(IsAsciiDigit(text.front()) || text.front() == '.')) {
    return false;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool IsStringLiteral(std::string_view text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  const std::string_view inside = text.substr(1, text.size() - 2);
  for (size_t i = 0; i < inside.size(); ++i) {
    if (inside[i] != '"') continue;
    if (i + 1 >= inside.size() || inside[i + 1] != '"') return false;
    ++i;
  }
  return true;
}

bool IsErrorLiteral(std::string_view text) {
  if (text.size() < 2 || text.front() != '#') return false;
  for (char c : text.substr(1)) {
    if (!((c >= 'A' && c <= 'Z') || c == '/' || c == '0' || c == '!' || c == '?' || c == '_')) {
      return false;
    }
  }
  return true;
}

std::string ClassifyFailure(std::string_view formula) {
  const FormulaShape shape = ShapeOf(formula);
  if (shape.bare.find("#REF!") != std::string::npos) {
    return "refers to a deleted reference (#REF!)";
  }
  if (shape.quoted_external || HasExternalBook(shape.bare)) return "refers to another workbook";
  if (shape.quoted_3d || HasUnquoted3d(shape.bare)) {
    return "refers to several sheets (3-D reference)";
  }
  const std::string_view dynamic = DynamicFunctionIn(shape.bare);
  if (!dynamic.empty()) return "is dynamic (" + std::string(dynamic) + ")";
  if (IsConstantFormula(formula)) return "refers to a constant";
  return "refers to a formula";
}

}  // namespace

bool IsConstantFormula(std::string_view formula) {
  formula = TrimSpaces(formula);
  const std::string upper = ToUtf8(ToUpper(FromUtf8(formula)));
  return IsNumber(formula) || IsStringLiteral(formula) || upper == "TRUE" || upper == "FALSE" ||
         IsErrorLiteral(upper) ||
         (formula.size() >= 2 && formula.front() == '{' && formula.back() == '}');
}

bool ParseRefersTo(std::string_view formula, std::vector<SheetArea>* areas, std::string* reason) {
  formula = TrimSpaces(formula);
  if (!formula.empty() && formula.front() == '=') formula = TrimSpaces(formula.substr(1));
  if (formula.empty()) {
    *reason = "refers to nothing";
    return false;
  }
  std::vector<SheetArea> parsed;
  for (std::string_view item : SplitFormulaList(formula)) {
    SheetArea area;
    if (!ParseSheetArea(TrimSpaces(item), &area)) {
      *reason = ClassifyFailure(formula);
      return false;
    }
    parsed.push_back(std::move(area));
  }
  *areas = std::move(parsed);
  return true;
}

}  // namespace ovc::excel
