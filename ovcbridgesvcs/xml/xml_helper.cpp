#include "ovcbridgesvcs/xml/xml_helper.h"

#include "automation/dom/xml_chars.h"
#include "automation/number_text.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/xml/variant_util.h"

namespace ovc::xml {

namespace {

// Whether an attribute value holds a character reference that
// UnescapeXmlText resolves; without one it reads as it stands.
bool HoldsReference(std::string_view value) { return value.find("&#") != std::string_view::npos; }

std::wstring Unescaped(std::string_view value) {
  return HoldsReference(value) ? UnescapeXmlText(FromUtf8(value)) : FromUtf8(value);
}

int32_t LeadingIntegerOf(std::string_view value, bool* found = nullptr) {
  return HoldsReference(value) ? LeadingInteger(Unescaped(value), found)
                               : LeadingInteger(value, found);
}

}  // namespace

const ElementWriter& ElementWriter::Text(const char* name, std::wstring_view value) const {
  // One buffer per thread: attributes are written by the thousand.
  thread_local std::string utf8;
  utf8.clear();
  if (AppendEscapedUtf8(value, &utf8)) {
    Set(name, utf8);
    return *this;
  }
  // Refused: the check of the escaped text names the character and where.
  const std::wstring escaped = EscapeXmlText(value);
  CheckAndRaise(frame_, dom::CheckNodeText(NODE_ATTRIBUTE, escaped));
  Set(name, ToUtf8(escaped));
  return *this;
}

const ElementWriter& ElementWriter::Integer(const char* name, int32_t value) const {
  Set(name, std::to_string(value));
  return *this;
}

const ElementWriter& ElementWriter::Flag(const char* name, bool value) const {
  Set(name, value ? "1" : "0");
  return *this;
}

const ElementWriter& ElementWriter::Date(const char* name, const Variant& value) const {
  if (value.vt() != VT_DATE) return *this;
  std::wstring text;
  CheckAndRaise(frame_, FormatForXML(value, &text));
  Set(name, ToUtf8(text));
  return *this;
}

ElementWriter ElementWriter::Child(const char* name) const {
  pugi::xml_node element = element_;
  const pugi::xml_node child = element.append_child(name);
  if (!child) RaiseError(frame_, SourceLocation::Current(), E_OUTOFMEMORY);
  return ElementWriter(frame_, child);
}

void ElementWriter::Set(const char* name, std::string_view value) const {
  pugi::xml_node element = element_;
  if (!element.append_attribute(name).set_value(value.data(), value.size())) {
    RaiseError(frame_, SourceLocation::Current(), E_OUTOFMEMORY);
  }
}

std::wstring ElementReader::Text(const char* name) const {
  return Unescaped(element_.attribute(name).value());
}

int32_t ElementReader::Integer(const char* name) const {
  return LeadingIntegerOf(element_.attribute(name).value());
}

int32_t ElementReader::Oid(const char* name) const {
  bool found = false;
  const int32_t oid = LeadingIntegerOf(element_.attribute(name).value(), &found);
  return found ? oid : -1;
}

bool ElementReader::Flag(const char* name) const {
  const std::string_view value = element_.attribute(name).value();
  return HoldsReference(value) ? Unescaped(value) == L"1" : value == "1";
}

Variant ElementReader::Date(const char* name) const {
  Variant date;
  bool converted = false;
  if (Failed(ValueFromXMLText(Text(name), VT_DATE, &date, &converted)) || !converted) {
    return Variant::Null();
  }
  return date;
}

}  // namespace ovc::xml
