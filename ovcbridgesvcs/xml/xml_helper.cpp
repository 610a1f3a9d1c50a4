#include "ovcbridgesvcs/xml/xml_helper.h"

#include "automation/dom/xml_chars.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/xml/variant_util.h"

namespace ovc::xml {

const ElementWriter& ElementWriter::Text(const char* name, std::wstring_view value) const {
  const std::wstring escaped = EscapeXmlText(value);
  CheckAndRaise(frame_, dom::CheckNodeText(NODE_ATTRIBUTE, escaped));
  Set(name, ToUtf8(escaped).c_str());
  return *this;
}

const ElementWriter& ElementWriter::Integer(const char* name, int32_t value) const {
  Set(name, std::to_string(value).c_str());
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
  Set(name, ToUtf8(text).c_str());
  return *this;
}

ElementWriter ElementWriter::Child(const char* name) const {
  pugi::xml_node element = element_;
  const pugi::xml_node child = element.append_child(name);
  if (!child) RaiseError(frame_, SourceLocation::Current(), E_OUTOFMEMORY);
  return ElementWriter(frame_, child);
}

void ElementWriter::Set(const char* name, const char* value) const {
  pugi::xml_node element = element_;
  if (!element.append_attribute(name).set_value(value)) {
    RaiseError(frame_, SourceLocation::Current(), E_OUTOFMEMORY);
  }
}

std::wstring ElementReader::Text(const char* name) const {
  return UnescapeXmlText(FromUtf8(element_.attribute(name).value()));
}

int32_t ElementReader::Integer(const char* name) const { return LeadingInteger(Text(name)); }

int32_t ElementReader::Oid(const char* name) const {
  bool found = false;
  const int32_t oid = LeadingInteger(Text(name), &found);
  return found ? oid : -1;
}

bool ElementReader::Flag(const char* name) const { return Text(name) == L"1"; }

Variant ElementReader::Date(const char* name) const {
  Variant date;
  bool converted = false;
  if (Failed(ValueFromXMLText(Text(name), VT_DATE, &date, &converted)) || !converted) {
    return Variant::Null();
  }
  return date;
}

}  // namespace ovc::xml
