#include "office/excel/cell_text.h"

#include "automation/text.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

namespace {

// The code unit of an escape "_xHHHH_" at `text`'s start, or -1.
int EscapeAt(std::string_view text) {
  if (text.size() < 7 || text[0] != '_' || text[1] != 'x' || text[6] != '_') return -1;
  int unit = 0;
  for (size_t i = 2; i < 6; ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool EscapeAt(std::wstring_view text) {
  if (text.size() < 7 || text[0] != L'_' || text[1] != L'x' || text[6] != L'_') return false;
  for (size_t i = 2; i < 6; ++i) {
    if (HexDigitValue(text[i]) < 0) return false;
  }
  return true;
}

bool IsSurrogate(int unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

bool MustEscape(wchar_t c) {
  return (c < 0x20 && c != L'\t' && c != L'\n') || c == 0xFFFE || c == 0xFFFF;
}

void AppendEscape(std::string* out, unsigned unit) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out->append("_x");
  for (int shift = 12; shift >= 0; shift -= 4) out->push_back(kHex[(unit >> shift) & 0xF]);
  out->push_back('_');
}

void AppendText(pugi::xml_node t, std::string* out) {
  for (pugi::xml_node part = t.first_child(); part; part = part.next_sibling()) {
    if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata)
      out->append(part.value());
  }
}

}  // namespace

std::string DecodeCellText(std::string_view stored) {
  std::string decoded;
  decoded.reserve(stored.size());
  size_t i = 0;
  while (i < stored.size()) {
    const int unit = stored[i] == '_' ? EscapeAt(stored.substr(i)) : -1;
    if (unit < 0) {
      decoded.push_back(stored[i] == '\r' ? '\n' : stored[i]);
      ++i;
      continue;
    }
    i += 7;
    wchar_t code = IsSurrogate(unit) ? L'\xFFFD' : static_cast<wchar_t>(unit);
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const int low = EscapeAt(stored.substr(i));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 7;
      }
    }
    decoded += ToUtf8(std::wstring_view(&code, 1));
  }
  return decoded;
}

HRESULT EncodeCellText(std::wstring_view text, std::string* stored, std::string* reason) {
  if (Utf16Length(text) > kMaxCellTextLength) {
    *reason = "text longer than 32,767 characters";
    return E_INVALIDARG;
  }
  std::wstring plain;
  std::string out;
  const auto flush = [&] {
    out += ToUtf8(plain);
    plain.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (IsSurrogate(static_cast<int>(c)) || static_cast<uint32_t>(c) > 0x10FFFF) {
      *reason = "text holds a character that is not Unicode (a lone surrogate)";
      return E_INVALIDARG;
    }
    if (MustEscape(c)) {
      flush();
      AppendEscape(&out, static_cast<unsigned>(c));
    } else if (c == L'_' && EscapeAt(text.substr(i))) {
      flush();
      AppendEscape(&out, '_');
    } else {
      plain.push_back(c);
    }
  }
  flush();
  *stored = std::move(out);
  return S_OK;
}

size_t Utf16Length(std::wstring_view text) {
  size_t length = text.size();
  for (wchar_t c : text) length += static_cast<uint32_t>(c) > 0xFFFF;
  return length;
}

std::string StringItemText(pugi::xml_node item) {
  std::string stored;
  for (pugi::xml_node child = item.first_child(); child; child = child.next_sibling()) {
    if (IsSpreadsheetElement(child, "t")) {
      AppendText(child, &stored);
    } else if (IsSpreadsheetElement(child, "r")) {
      AppendText(SpreadsheetChild(child, "t"), &stored);
    }
  }
  return DecodeCellText(stored);
}

void SetStringItemText(pugi::xml_node item, std::string_view stored) {
  while (item.first_child()) item.remove_child(item.first_child());
  pugi::xml_node t = item.append_child(SpreadsheetName(item, "t").c_str());
  if (!stored.empty() && (IsBlank(stored.front()) || IsBlank(stored.back()))) {
    t.append_attribute("xml:space") = "preserve";
  }
  t.append_child(pugi::node_pcdata).set_value(std::string(stored).c_str());
}

}  // namespace ovc::excel
