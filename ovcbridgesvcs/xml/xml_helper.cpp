#include "ovcbridgesvcs/xml/xml_helper.h"

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/xml/variant_util.h"

namespace ovc::xml {

HRESULT AddAttribute(IXMLDOMDocument* document, IXMLDOMElement* element, std::wstring_view name,
                     const Variant& value) {
  CMethodFrame frame(L"XMLhelper::AddAttribute");
  return RunMethod(frame, [&]() -> HRESULT {
    if (document == nullptr || element == nullptr) return E_INVALIDARG;
    const Variant plain = value.Dereferenced();
    if (plain.vt() == VT_BSTR) {
      CheckAndRaise(
          frame, element->setAttribute(std::wstring(name), Variant(EscapeXmlText(plain.bstr()))));
    } else if (plain.vt() == VT_DATE) {
      std::wstring text;
      CheckAndRaise(frame, FormatForXML(plain, &text));
      CheckAndRaise(frame, element->setAttribute(std::wstring(name), Variant(std::move(text))));
    } else {
      CheckAndRaise(frame, element->setAttribute(std::wstring(name), plain));
    }
    return S_OK;
  });
}

HRESULT GetNodeText(IXMLDOMNode* node, std::wstring_view name, std::wstring* text) {
  CMethodFrame frame(L"XMLhelper::GetNodeText");
  return RunMethod(frame, [&]() -> HRESULT {
    if (node == nullptr) return E_INVALIDARG;
    if (text == nullptr) return E_POINTER;
    // Only elements have attributes.
    const ComPtr<IXMLDOMElement> element = ComPtr<IXMLDOMNode>(node).As<IXMLDOMElement>();
    if (!element) return S_OK;
    Variant value;
    const HRESULT found = element->getAttribute(std::wstring(name), &value);
    CheckAndRaise(frame, found);
    if (found == S_OK && value.vt() == VT_BSTR) *text = UnescapeXmlText(value.bstr());
    return S_OK;
  });
}

Variant FlagValue(bool flag) { return Variant(flag ? L"1" : L"0"); }

void AddAttributes(CMethodFrame& frame, IXMLDOMDocument* document, IXMLDOMElement* element,
                   std::initializer_list<NamedValue> values) {
  for (const NamedValue& each : values) {
    CheckAndRaise(frame, AddAttribute(document, element, each.name, each.value));
  }
}

std::wstring AttributeReader::Text(std::wstring_view name) const {
  std::wstring text;
  CheckAndRaise(frame_, GetNodeText(node_, name, &text));
  return text;
}

int32_t AttributeReader::Integer(std::wstring_view name) const {
  return LeadingInteger(Text(name));
}

int32_t AttributeReader::Oid(std::wstring_view name) const {
  bool found = false;
  const int32_t oid = LeadingInteger(Text(name), &found);
  return found ? oid : -1;
}

bool AttributeReader::Flag(std::wstring_view name) const { return Text(name) == L"1"; }

Variant AttributeReader::Date(std::wstring_view name) const {
  Variant date;
  bool converted = false;
  CheckAndRaise(frame_, ValueFromXMLText(Text(name), VT_DATE, &date, &converted));
  return converted ? date : Variant::Null();
}

}  // namespace ovc::xml
