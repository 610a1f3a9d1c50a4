#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "automation/com_ptr.h"
#include "automation/dom/dom.h"
#include "automation/dom/tree_walk.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/source_location.h"

// The library's XML documents: built and read as pugixml trees in UTF-8,
// handed to scripts as DOM documents. Every function that takes a frame
// raises its failure through it (RaiseError), with a text where the parser
// gives none worth showing.
namespace ovc::xml {

// Parses UTF-8 `text` into the empty `tree` with the DOM's parser and limits
// (no references but the predefined entities and character references,
// elements nested 256 levels at most). Raises when the text does not parse
// (the text names the parser's reason, line and position) or holds a
// document type declaration: the library reads no DTD. `tree` is then empty.
void ParseTree(CMethodFrame& frame, std::string_view text, pugi::xml_document* tree);

// ParseTree without a reason: false, with `tree` empty, when the text does
// not parse. A document type declaration is kept.
bool TryParseTree(std::string_view text, pugi::xml_document* tree);

// `node` serialised exactly as the DOM writes it (its `xml`), in UTF-8.
std::string TreeText(pugi::xml_node node);

// Starts the empty `tree` as every document of the library starts: with the
// declaration <?xml version="1.0"?>.
void StartDocument(CMethodFrame& frame, pugi::xml_document* tree);

// The DOM document holding `tree`, as the VT_DISPATCH value GetXML hands
// out.
Variant DocumentValue(CMethodFrame& frame, const pugi::xml_document& tree);

// A new DOM document parsed from the text of `node` (TreeText). Raises when
// the document cannot be made or the text does not parse (the text names the
// parser's reason, line and position).
ComPtr<IXMLDOMDocument> DomDocumentOf(CMethodFrame& frame, pugi::xml_node node);

// A DOM document loaded from the local file `path` (a path or a "file://"
// URL). Raises as DomDocumentOf does, and for any other URL: only local
// files are read.
ComPtr<IXMLDOMDocument> LoadLocalDocument(CMethodFrame& frame, const std::wstring& path);

// The text of DOM `node` (its `xml`) parsed into the empty `tree` by
// ParseTree; returns the tree's document element.
pugi::xml_node TreeOfNode(CMethodFrame& frame, IXMLDOMNode* node, pugi::xml_document* tree);

// The DOM node a variant holds (VT_DISPATCH, also by reference), or null
// for any other value or an object that is no node.
ComPtr<IXMLDOMNode> NodeOf(const Variant& value);

// The text a variant holds (VT_BSTR, also by reference), or false.
bool TextOf(const Variant& value, std::wstring* text);

// What the text given to a ReadXML is.
enum class TextSource { kFilePath, kXmlText };

// The element a ReadXML reads from `value`, copied into the empty `tree`:
// a DOM element named `name` itself, or the one element named `name` in the
// document that a text gives (a local file loaded by LoadLocalDocument, or
// XML text). A null node, with nothing raised, for any other value, for a
// DOM node that is no such element and for a document without exactly one;
// raises when the text cannot be loaded or parsed (ParseTree).
pugi::xml_node ElementToRead(CMethodFrame& frame, const Variant& value, const char* name,
                             TextSource source, pugi::xml_document* tree);

// The whole of the ReadXML method `method` of an object of class `clsid`:
// hands the element ElementToRead finds to `read`; E_INVALIDARG with
// `refusal` when there is none.
HRESULT RunReadXml(std::wstring_view method, const CLSID& clsid, const Variant& value,
                   const char* name, TextSource source, std::wstring_view refusal,
                   const std::function<void(CMethodFrame&, pugi::xml_node)>& read,
                   const SourceLocation& where = SourceLocation::Current());

// The elements of the subtree of `top` (`top` included) named `name`, in
// document order, handed one by one to `visit`.
template <class Visit>
void ForEachElementNamed(pugi::xml_node top, std::string_view name, Visit&& visit) {
  dom::TreeWalk walk(top);
  do {
    const pugi::xml_node node = walk.node();
    if (node.type() == pugi::node_element && name == node.name()) visit(node);
  } while (walk.Next());
}

}  // namespace ovc::xml
