#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "automation/dom/dom.h"
#include "automation/hresult.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/method_frame.h"

// Writing and reading attribute values of the library's XML documents. Text
// values carry the character-reference layer of EscapeXmlText
// (variant_util.h) beneath the DOM's own escaping; these functions add and
// remove it, so every writer and reader of the library matches.
namespace ovc::xml {

// Sets attribute `name` of `element` (replacing one of the same name) to
// `value`: a text escaped (EscapeXmlText), a date as FormatForXML gives it,
// anything else as the DOM writes that typed value (integers in decimal).
// E_INVALIDARG for a null document or element; E_FAIL for a name XML does
// not allow; other DOM and format failures as they come, with an error.
HRESULT AddAttribute(IXMLDOMDocument* document, IXMLDOMElement* element, std::wstring_view name,
                     const Variant& value);

// When `node` has attribute `name`, stores its value, unescaped
// (UnescapeXmlText), in *text; otherwise leaves *text as it was.
// E_INVALIDARG for a null node, E_POINTER for a null `text`.
HRESULT GetNodeText(IXMLDOMNode* node, std::wstring_view name, std::wstring* text);

// One attribute to write.
struct NamedValue {
  std::wstring_view name;
  Variant value;
};

// The value of a flag attribute: "1" or "0".
Variant FlagValue(bool flag);

// AddAttribute for each of `values` in order; raises the first failure.
void AddAttributes(CMethodFrame& frame, IXMLDOMDocument* document, IXMLDOMElement* element,
                   std::initializer_list<NamedValue> values);

// Reads the attributes of one element; DOM failures raise through the
// frame.
class AttributeReader {
 public:
  // `node` must outlive the reader.
  AttributeReader(CMethodFrame& frame, IXMLDOMNode* node) : frame_(frame), node_(node) {}

  // The unescaped text; empty when absent.
  std::wstring Text(std::wstring_view name) const;
  // The leading decimal digits; 0 when absent or without digits.
  int32_t Integer(std::wstring_view name) const;
  // An OID: the leading decimal digits; -1 (none) when absent, empty or
  // without digits, so that a missing OID never names record 0.
  int32_t Oid(std::wstring_view name) const;
  // True exactly for "1" (any case is the same for a digit).
  bool Flag(std::wstring_view name) const;
  // A date from its serial number; null when absent or not a number.
  Variant Date(std::wstring_view name) const;

 private:
  CMethodFrame& frame_;
  IXMLDOMNode* node_;
};

}  // namespace ovc::xml
