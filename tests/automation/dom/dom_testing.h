#pragma once

#include <gtest/gtest.h>

#include <string>

#include "automation/com_ptr.h"
#include "automation/dom/dom.h"
#include "automation/dom/msxml.h"
#include "automation/error_info.h"
#include "automation/text.h"

namespace ovc::dom_testing {

// Adopts an [out] interface pointer and asks it for interface I.
template <class I>
ComPtr<I> As(IDispatch* object) {
  return ComPtr<IDispatch>::Attach(object).As<I>();
}

inline ComPtr<IXMLDOMDocument2> NewDocument() {
  ComPtr<IXMLDOMDocument> document;
  EXPECT_EQ(CreateDomDocument(&document), S_OK);
  return document.As<IXMLDOMDocument2>();
}

// A document loaded from `xml`, which must parse.
inline ComPtr<IXMLDOMDocument2> Parse(const std::wstring& xml) {
  ComPtr<IXMLDOMDocument2> document = NewDocument();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  EXPECT_EQ(document->loadXML(xml, &loaded), S_OK);
  EXPECT_EQ(loaded, VARIANT_TRUE) << "does not parse: " << ToUtf8(xml);
  return document;
}

inline std::wstring XmlOf(IXMLDOMNode* node) {
  std::wstring xml;
  EXPECT_EQ(node->get_xml(&xml), S_OK);
  return xml;
}

inline ComPtr<IXMLDOMElement> Root(IXMLDOMDocument* document) {
  IDispatch* element = nullptr;
  EXPECT_EQ(document->get_documentElement(&element), S_OK);
  return As<IXMLDOMElement>(element);
}

// The one node that an XPath query selects from `context`.
template <class I = IXMLDOMNode>
ComPtr<I> Select(IXMLDOMNode* context, const std::wstring& query) {
  IDispatch* node = nullptr;
  EXPECT_EQ(context->selectSingleNode(query, &node), S_OK) << ToUtf8(query);
  return As<I>(node);
}

inline ComPtr<IXMLDOMElement> NewElement(IXMLDOMDocument* document, const std::wstring& name) {
  IDispatch* element = nullptr;
  EXPECT_EQ(document->createElement(name, &element), S_OK);
  return As<IXMLDOMElement>(element);
}

inline std::wstring AttributeText(IXMLDOMElement* element, const std::wstring& name) {
  Variant value;
  EXPECT_EQ(element->getAttribute(name, &value), S_OK) << ToUtf8(name);
  return value.vt() == VT_BSTR ? value.bstr() : L"<not text>";
}

// The reason, line, line position, text, code and URL of the document's
// parse error.
struct ParseFailure {
  std::wstring reason;
  int32_t line;
  int32_t position;
  std::wstring source_text;
  int32_t code = 0;
  std::wstring url;
};

inline ParseFailure FailureOf(IXMLDOMDocument2* document) {
  IDispatch* error_object = nullptr;
  EXPECT_EQ(document->get_parseError(&error_object), S_OK);
  ComPtr<IXMLDOMParseError> error = As<IXMLDOMParseError>(error_object);
  ParseFailure failure;
  error->get_errorCode(&failure.code);
  error->get_reason(&failure.reason);
  error->get_line(&failure.line);
  error->get_linepos(&failure.position);
  error->get_srcText(&failure.source_text);
  error->get_url(&failure.url);
  EXPECT_EQ(failure.code < 0, !failure.reason.empty());
  return failure;
}

}  // namespace ovc::dom_testing
