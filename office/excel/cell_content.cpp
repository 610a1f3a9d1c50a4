#include "office/excel/cell_content.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "automation/conversion.h"
#include "automation/number_text.h"
#include "automation/text.h"
#include "office/common/xml_text.h"
#include "office/excel/cell_error.h"
#include "office/excel/cell_text.h"
#include "office/excel/number_format.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

namespace {

// Blanks, an optional sign, digits with an optional "." fraction, an
// optional exponent, blanks: nothing else reads as a number.
bool ReadsAsNumber(std::wstring_view text, double* number) {
  text = TrimSpacesAndTabs(text);
  size_t i = 0;
  const auto digits = [&] {
    const size_t start = i;
    while (i < text.size() && IsAsciiDigit(text[i])) ++i;
    return i - start;
  };
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
  size_t mantissa = digits();
  if (i < text.size() && text[i] == L'.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
    if (digits() == 0) return false;
  }
  if (i != text.size()) return false;
  std::string ascii = ToUtf8(text);
  if (ascii[0] == '+') ascii.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) {
    return false;
  }
  *number = value;
  return true;
}

HRESULT NumberContent(double value, CellContent* content, std::string* reason) {
  if (!std::isfinite(value)) {
    *reason = "not a number or infinite";
    return E_INVALIDARG;
  }
  content->kind = CellContent::Kind::kNumber;
  content->number = value == 0 ? 0.0 : value;
  return S_OK;
}

HRESULT FormulaContent(std::wstring_view formula, CellContent* content, std::string* reason) {
  if (formula.empty()) {
    *reason = "empty formula";
    return E_INVALIDARG;
  }
  if (Utf16Length(formula) > kMaxFormulaLength) {
    *reason = "formula longer than 8,192 characters";
    return E_INVALIDARG;
  }
  if (!office::IsXmlText(formula)) {
    *reason = "formula holds a character a workbook cannot carry";
    return E_INVALIDARG;
  }
  content->kind = CellContent::Kind::kFormula;
  content->text = ToUtf8(formula);
  return S_OK;
}

HRESULT TextContent(std::wstring_view text, CellContent* content, std::string* reason) {
  if (!text.empty() && text[0] == L'\'') {
    content->quote_prefix = true;
    text.remove_prefix(1);
  } else if (double number = 0; ReadsAsNumber(text, &number)) {
    return NumberContent(number, content, reason);
  } else if (!text.empty() && text[0] == L'=') {
    return FormulaContent(text.substr(1), content, reason);
  }
  content->kind = CellContent::Kind::kText;
  return EncodeCellText(text, &content->text, reason);
}

HRESULT DateContent(DATE date, formula::DateSystem system, CellContent* content,
                    std::string* reason) {
  double serial = 0;
  if (!std::isfinite(date) || !formula::DateToSerial(date, system, &serial)) {
    *reason = system == formula::DateSystem::k1904 ? "date before 1904-01-01 or after 9999"
                                                   : "date before 1900-01-01 or after 9999";
    return E_INVALIDARG;
  }
  content->kind = CellContent::Kind::kNumber;
  content->number = serial;
  content->date_format = serial < 1                     ? kTimeFormatId
                         : serial != std::floor(serial) ? kDateTimeFormatId
                                                        : kDateFormatId;
  return S_OK;
}

}  // namespace

HRESULT ContentFromValue(const Variant& given, formula::DateSystem system, CellContent* content,
                         std::string* reason) {
  const Variant value = given.Dereferenced();
  *content = CellContent();
  switch (value.vt()) {
    case VT_EMPTY:
    case VT_NULL:
      return S_OK;
    case VT_BSTR:
      return TextContent(value.bstr(), content, reason);
    case VT_R8:
      return NumberContent(value.r8(), content, reason);
    case VT_I2:
    case VT_I4:
      return NumberContent(value.vt() == VT_I2 ? value.i2() : value.i4(), content, reason);
    case VT_BOOL:
      content->kind = CellContent::Kind::kBoolean;
      content->boolean = value.boolVal() != VARIANT_FALSE;
      return S_OK;
    case VT_DATE:
      return DateContent(value.date(), system, content, reason);
    case VT_ERROR:
      if (!ErrorTextFromCode(value.scode()).empty()) {
        content->kind = CellContent::Kind::kError;
        content->error = value.scode();
        return S_OK;
      }
      break;
    default:
      if (!value.IsArray()) {
        Variant number;
        if (Succeeded(VariantChangeType(&number, value, VARIANT_NOVALUEPROP, VT_R8)) &&
            value.vt() != VT_DISPATCH && value.vt() != VT_UNKNOWN) {
          return NumberContent(number.r8(), content, reason);
        }
      }
      break;
  }
  *reason = "a cell cannot hold a value of type " + ToUtf8(VarTypeName(value.vt()));
  return DISP_E_TYPEMISMATCH;
}

void StoreContent(pugi::xml_node c, const CellContent& content) {
  for (pugi::xml_node child = c.first_child(); child;) {
    const pugi::xml_node next = child.next_sibling();
    const std::string_view local = office::LocalName(child);
    if ((local == "f" || local == "v" || local == "is") && IsSpreadsheetElement(child, local)) {
      c.remove_child(child);
    }
    child = next;
  }
  for (const char* attribute : {"t", "cm", "vm"}) c.remove_attribute(attribute);
  const auto add = [&](std::string_view local, std::string_view text) {
    pugi::xml_node node = office::InsertInOrder(c, kSpreadsheetNamespace, local, {"f", "v", "is"});
    if (!text.empty()) node.text().set(text.data(), text.size());
    return node;
  };
  switch (content.kind) {
    case CellContent::Kind::kEmpty:
      return;
    case CellContent::Kind::kNumber:
      add("v", ToUtf8(DoubleToRoundTripText(content.number)));
      return;
    case CellContent::Kind::kBoolean:
      c.append_attribute("t") = "b";
      add("v", content.boolean ? "1" : "0");
      return;
    case CellContent::Kind::kError:
      c.append_attribute("t") = "e";
      add("v", ErrorTextFromCode(content.error));
      return;
    case CellContent::Kind::kText:
      c.append_attribute("t") = "inlineStr";
      SetStringItemText(add("is", {}), content.text);
      return;
    case CellContent::Kind::kFormula:
      add("f", content.text);
      return;
  }
}

}  // namespace ovc::excel
