#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dom/dom.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/method_frame.h"

// Building and reading the library's XML documents through the DOM. Every
// function that takes a frame raises its failure through it (RaiseError),
// with a text where the DOM gives none worth showing.
namespace ovc::xml {

// A new document parsed from `xml` (e.g. "<?xml version=\"1.0\"?><Link/>").
// Raises when the document cannot be made, the text does not parse (the
// text names the parser's reason, line and position) or it holds a document
// type declaration: the library reads no DTD.
ComPtr<IXMLDOMDocument> ParseDocument(CMethodFrame& frame, std::wstring_view xml);

// A document loaded from the local file `path` (a path or a "file://"
// URL). Raises as ParseDocument does, and for any other URL: only local
// files are read.
ComPtr<IXMLDOMDocument> LoadLocalDocument(CMethodFrame& frame, const std::wstring& path);

// The document element; raises E_FAIL when there is none.
ComPtr<IXMLDOMElement> DocumentElement(CMethodFrame& frame, IXMLDOMDocument* document);

// A new element `name` of `document`, appended as the last child of
// `parent` (which then owns it).
ComPtr<IXMLDOMElement> AppendNewElement(CMethodFrame& frame, IXMLDOMDocument* document,
                                        IXMLDOMNode* parent, std::wstring_view name);

// Moves `child` (of any document) to the end of `parent`'s children.
void AppendNode(CMethodFrame& frame, IXMLDOMNode* parent, IXMLDOMNode* child);

// The nodes `query` (XPath) selects from `node`, in document order.
std::vector<ComPtr<IXMLDOMNode>> SelectNodes(CMethodFrame& frame, IXMLDOMNode* node,
                                             std::wstring_view query);

// The first node `query` selects from `node`, or null.
ComPtr<IXMLDOMNode> SelectFirstNode(CMethodFrame& frame, IXMLDOMNode* node,
                                    std::wstring_view query);

// The DOM node a variant holds (VT_DISPATCH, also by reference), or null
// for any other value or an object that is no node.
ComPtr<IXMLDOMNode> NodeOf(const Variant& value);

// The text a variant holds (VT_BSTR, also by reference), or false.
bool TextOf(const Variant& value, std::wstring* text);

// What the text given to a ReadXML is.
enum class TextSource { kFilePath, kXmlText };

// The element a ReadXML reads from `value`: a DOM element named `name`
// itself, or the one element named `name` in the document that a text
// gives (a local file loaded by LoadLocalDocument, or XML text parsed by
// ParseDocument). Null, with nothing raised, for any other value, for a
// node that is no such element and for a document without exactly one;
// raises when the text cannot be loaded or parsed.
ComPtr<IXMLDOMElement> ElementToRead(CMethodFrame& frame, const Variant& value,
                                     std::wstring_view name, TextSource source);

// `document` as the VT_DISPATCH value GetXML hands out.
Variant DocumentValue(IXMLDOMDocument* document);

}  // namespace ovc::xml
