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
    ComPtr<IDispatch> created;
    if (Failed(
            CheckResult(frame, document->createAttribute(std::wstring(name), created.Receive())))) {
      RaiseError(frame, SourceLocation::Current(), E_FAIL);
    }
    ComPtr<IXMLDOMAttribute> attribute;
    CheckAndRaise(frame, created.As(&attribute));
    const Variant plain = value.Dereferenced();
    if (plain.vt() == VT_BSTR) {
      CheckAndRaise(frame, attribute->put_value(Variant(EscapeXmlText(plain.bstr()))));
    } else if (plain.vt() == VT_DATE) {
      std::wstring text;
      CheckAndRaise(frame, FormatForXML(plain, &text));
      CheckAndRaise(frame, attribute->put_value(Variant(std::move(text))));
    } else {
      CheckAndRaise(frame, attribute->put_nodeTypedValue(plain));
    }
    ComPtr<IDispatch> replaced;
    CheckAndRaise(frame, element->setAttributeNode(attribute.get(), replaced.Receive()));
    return S_OK;
  });
}

HRESULT GetNodeText(IXMLDOMNode* node, std::wstring_view name, std::wstring* text) {
  CMethodFrame frame(L"XMLhelper::GetNodeText");
  return RunMethod(frame, [&]() -> HRESULT {
    if (node == nullptr) return E_INVALIDARG;
    if (text == nullptr) return E_POINTER;
    ComPtr<IDispatch> map_dispatch;
    CheckAndRaise(frame, node->get_attributes(map_dispatch.Receive()));
    const ComPtr<IXMLDOMNamedNodeMap> attributes = map_dispatch.As<IXMLDOMNamedNodeMap>();
    if (!attributes) return S_OK;
    ComPtr<IDispatch> found;
    CheckAndRaise(frame, attributes->getNamedItem(std::wstring(name), found.Receive()));
    if (!found) return S_OK;
    ComPtr<IXMLDOMNode> attribute;
    CheckAndRaise(frame, found.As(&attribute));
    Variant value;
    CheckAndRaise(frame, attribute->get_nodeValue(&value));
    std::wstring raw;
    CheckAndRaise(frame, FormatForXML(value, &raw));
    *text = UnescapeXmlText(raw);
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
