#include "ovcbridgesvcs/xml/xml_document.h"

#include <utility>

#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/raise_error.h"

namespace ovc::xml {
namespace {

// The nodes of a DOM node list, in its order.
std::vector<ComPtr<IXMLDOMNode>> NodesOf(CMethodFrame& frame,
                                         const ComPtr<IDispatch>& list_dispatch) {
  ComPtr<IXMLDOMNodeList> list;
  CheckAndRaise(frame, list_dispatch.As(&list));
  int32_t count = 0;
  CheckAndRaise(frame, list->get_length(&count));
  std::vector<ComPtr<IXMLDOMNode>> nodes;
  nodes.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    ComPtr<IDispatch> item;
    CheckAndRaise(frame, list->get_item(i, item.Receive()));
    ComPtr<IXMLDOMNode> node;
    CheckAndRaise(frame, item.As(&node));
    nodes.push_back(std::move(node));
  }
  return nodes;
}

// "<reason> (line <n>, position <m>)" of a document that did not load.
std::wstring ParseFailure(IXMLDOMDocument* document) {
  ComPtr<IDispatch> dispatch;
  ComPtr<IXMLDOMParseError> error;
  std::wstring reason;
  int32_t line = 0;
  int32_t position = 0;
  if (Failed(document->get_parseError(dispatch.Receive())) || Failed(dispatch.As(&error)) ||
      Failed(error->get_reason(&reason)) || Failed(error->get_line(&line)) ||
      Failed(error->get_linepos(&position))) {
    return L"the document cannot be read";
  }
  return FormatMessageText(L"%s (line %ld, position %ld)", reason, line, position);
}

void RefuseDocumentType(CMethodFrame& frame, IXMLDOMDocument* document) {
  ComPtr<IDispatch> children;
  CheckAndRaise(frame, document->get_childNodes(children.Receive()));
  for (const ComPtr<IXMLDOMNode>& child : NodesOf(frame, children)) {
    DOMNodeType type = NODE_INVALID;
    CheckAndRaise(frame, child->get_nodeType(&type));
    if (type == NODE_DOCUMENT_TYPE) {
      RaiseErrorText(frame, SourceLocation::Current(), E_INVALIDARG,
                     L"The XML document has a document type declaration; none is read.");
    }
  }
}

ComPtr<IXMLDOMDocument> NewDocument(CMethodFrame& frame) {
  ComPtr<IXMLDOMDocument> document;
  if (Failed(CheckResult(frame, CreateDomDocument(&document)))) {
    RaiseErrorText(frame, SourceLocation::Current(), std::nullopt,
                   L"Unable to create an instance of the XML document");
  }
  return document;
}

void CheckLoaded(CMethodFrame& frame, IXMLDOMDocument* document, HRESULT hr, VARIANT_BOOL loaded,
                 std::wstring_view failure) {
  CheckAndRaise(frame, hr);
  if (loaded != VARIANT_TRUE) {
    RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                   std::wstring(failure) + ParseFailure(document));
  }
  RefuseDocumentType(frame, document);
}

}  // namespace

ComPtr<IXMLDOMDocument> ParseDocument(CMethodFrame& frame, std::wstring_view xml) {
  ComPtr<IXMLDOMDocument> document = NewDocument(frame);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  const HRESULT hr = document->loadXML(std::wstring(xml), &loaded);
  CheckLoaded(frame, document.get(), hr, loaded, L"The text is not well-formed XML: ");
  return document;
}

ComPtr<IXMLDOMDocument> LoadLocalDocument(CMethodFrame& frame, const std::wstring& path) {
  const size_t scheme_end = path.find(L"://");
  if (scheme_end != std::wstring::npos && path.substr(0, scheme_end) != L"file") {
    RaiseErrorText(frame, SourceLocation::Current(), E_INVALIDARG,
                   L"Only local files are read, not " + path);
  }
  ComPtr<IXMLDOMDocument> document = NewDocument(frame);
  CheckAndRaise(frame, document->put_validateOnParse(VARIANT_TRUE));
  VARIANT_BOOL loaded = VARIANT_FALSE;
  const HRESULT hr = document->load(Variant(path), &loaded);
  CheckLoaded(frame, document.get(), hr, loaded, L"Cannot read the XML file " + path + L": ");
  return document;
}

ComPtr<IXMLDOMElement> DocumentElement(CMethodFrame& frame, IXMLDOMDocument* document) {
  ComPtr<IDispatch> element;
  CheckAndRaise(frame, document->get_documentElement(element.Receive()));
  if (!element) {
    RaiseErrorText(frame, SourceLocation::Current(), E_FAIL,
                   L"The XML document has no document element.");
  }
  ComPtr<IXMLDOMElement> typed;
  CheckAndRaise(frame, element.As(&typed));
  return typed;
}

ComPtr<IXMLDOMElement> AppendNewElement(CMethodFrame& frame, IXMLDOMDocument* document,
                                        IXMLDOMNode* parent, std::wstring_view name) {
  ComPtr<IDispatch> created;
  CheckAndRaise(frame, document->createElement(std::wstring(name), created.Receive()));
  ComPtr<IDispatch> appended;
  CheckAndRaise(frame, parent->appendChild(created.get(), appended.Receive()));
  ComPtr<IXMLDOMElement> element;
  CheckAndRaise(frame, appended.As(&element));
  return element;
}

void AppendNode(CMethodFrame& frame, IXMLDOMNode* parent, IXMLDOMNode* child) {
  ComPtr<IDispatch> appended;
  CheckAndRaise(frame, parent->appendChild(child, appended.Receive()));
}

std::vector<ComPtr<IXMLDOMNode>> SelectNodes(CMethodFrame& frame, IXMLDOMNode* node,
                                             std::wstring_view query) {
  ComPtr<IDispatch> list;
  CheckAndRaise(frame, node->selectNodes(std::wstring(query), list.Receive()));
  return NodesOf(frame, list);
}

ComPtr<IXMLDOMNode> SelectFirstNode(CMethodFrame& frame, IXMLDOMNode* node,
                                    std::wstring_view query) {
  ComPtr<IDispatch> selected;
  CheckAndRaise(frame, node->selectSingleNode(std::wstring(query), selected.Receive()));
  return selected ? selected.As<IXMLDOMNode>() : nullptr;
}

ComPtr<IXMLDOMNode> NodeOf(const Variant& value) {
  const Variant plain = value.Dereferenced();
  if (plain.vt() != VT_DISPATCH || plain.dispatch() == nullptr) return nullptr;
  return ComPtr<IDispatch>(plain.dispatch()).As<IXMLDOMNode>();
}

bool TextOf(const Variant& value, std::wstring* text) {
  const Variant plain = value.Dereferenced();
  if (plain.vt() != VT_BSTR) return false;
  *text = plain.bstr();
  return true;
}

ComPtr<IXMLDOMElement> ElementToRead(CMethodFrame& frame, const Variant& value,
                                     std::wstring_view name, TextSource source) {
  std::wstring text;
  ComPtr<IXMLDOMNode> node = NodeOf(value);
  if (!node && TextOf(value, &text)) {
    const ComPtr<IXMLDOMDocument> document = source == TextSource::kFilePath
                                                 ? LoadLocalDocument(frame, text)
                                                 : ParseDocument(frame, text);
    ComPtr<IDispatch> list;
    CheckAndRaise(frame, document->getElementsByTagName(std::wstring(name), list.Receive()));
    std::vector<ComPtr<IXMLDOMNode>> found = NodesOf(frame, list);
    if (found.size() != 1) return nullptr;
    node = std::move(found.front());
  }
  const ComPtr<IXMLDOMElement> element = node ? node.As<IXMLDOMElement>() : nullptr;
  std::wstring tag;
  if (!element || Failed(element->get_tagName(&tag)) || tag != name) return nullptr;
  return element;
}

Variant DocumentValue(IXMLDOMDocument* document) {
  return Variant(static_cast<IDispatch*>(document));
}

}  // namespace ovc::xml
