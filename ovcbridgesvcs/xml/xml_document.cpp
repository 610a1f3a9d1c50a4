#include "ovcbridgesvcs/xml/xml_document.h"

#include <utility>

#include "automation/dom/xml_parse.h"
#include "automation/dom/xml_writer.h"
#include "automation/text.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"

namespace ovc::xml {
namespace {

constexpr std::wstring_view kNotWellFormed = L"The text is not well-formed XML: ";

// "<reason> (line <n>, position <m>)" of a text that did not parse.
std::wstring ParseFailure(const std::wstring& reason, int32_t line, int32_t position) {
  return FormatMessageText(L"%s (line %ld, position %ld)", reason, line, position);
}

// The reason a DOM document did not load.
std::wstring DocumentParseFailure(IXMLDOMDocument* document) {
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
  return ParseFailure(reason, line, position);
}

void RefuseDocumentType(CMethodFrame& frame, pugi::xml_document* tree) {
  for (const pugi::xml_node child : tree->children()) {
    if (child.type() != pugi::node_doctype) continue;
    tree->reset();
    RaiseErrorText(frame, SourceLocation::Current(), E_INVALIDARG,
                   L"The XML document has a document type declaration; none is read.");
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
                   std::wstring(failure) + DocumentParseFailure(document));
  }
}

// `value` itself, or the target of a by-reference `value` copied into
// *target: a whole document's text is read where it stands.
const Variant& Plain(const Variant& value, Variant* target) {
  if (!value.IsByRef()) return value;
  *target = value.Dereferenced();
  return *target;
}

// The one element named `name` in `tree`, or null when there are none or
// several.
pugi::xml_node OnlyElementNamed(const pugi::xml_document& tree, std::string_view name) {
  pugi::xml_node found;
  int count = 0;
  ForEachElementNamed(tree, name, [&](pugi::xml_node element) {
    found = element;
    ++count;
  });
  return count == 1 ? found : pugi::xml_node();
}

bool TryParseTree(std::string_view text, pugi::xml_document* tree, dom::ParseErrorInfo* error) {
  dom::ParseOptions options;
  options.is_unicode_text = true;
  return dom::ParseXml(text, options, tree, error);
}

}  // namespace

bool TryParseTree(std::string_view text, pugi::xml_document* tree) {
  dom::ParseErrorInfo error;
  return TryParseTree(text, tree, &error);
}

void ParseTree(CMethodFrame& frame, std::string_view text, pugi::xml_document* tree) {
  dom::ParseErrorInfo error;
  if (!TryParseTree(text, tree, &error)) {
    RaiseErrorText(
        frame, SourceLocation::Current(), E_FAIL,
        std::wstring(kNotWellFormed) + ParseFailure(error.reason, error.line, error.line_position));
  }
  RefuseDocumentType(frame, tree);
}

std::string TreeText(pugi::xml_node node) { return dom::WriteXml(node); }

void StartDocument(CMethodFrame& frame, pugi::xml_document* tree) {
  pugi::xml_node declaration = tree->append_child(pugi::node_declaration);
  if (!declaration.set_name("xml") || !declaration.append_attribute("version").set_value("1.0")) {
    RaiseError(frame, SourceLocation::Current(), E_OUTOFMEMORY);
  }
}

Variant DocumentValue(CMethodFrame& frame, const pugi::xml_document& tree) {
  const ComPtr<IXMLDOMDocument> document = DomDocumentOf(frame, tree);
  return Variant(static_cast<IDispatch*>(document.get()));
}

ComPtr<IXMLDOMDocument> DomDocumentOf(CMethodFrame& frame, pugi::xml_node node) {
  ComPtr<IXMLDOMDocument> document = NewDocument(frame);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  const HRESULT hr = document->loadXML(FromUtf8(TreeText(node)), &loaded);
  CheckLoaded(frame, document.get(), hr, loaded, kNotWellFormed);
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

pugi::xml_node TreeOfNode(CMethodFrame& frame, IXMLDOMNode* node, pugi::xml_document* tree) {
  std::wstring text;
  CheckAndRaise(frame, node->get_xml(&text));
  ParseTree(frame, ToUtf8(text), tree);
  return tree->document_element();
}

ComPtr<IXMLDOMNode> NodeOf(const Variant& value) {
  Variant target;
  const Variant& plain = Plain(value, &target);
  if (plain.vt() != VT_DISPATCH || plain.dispatch() == nullptr) return nullptr;
  return ComPtr<IDispatch>(plain.dispatch()).As<IXMLDOMNode>();
}

bool TextOf(const Variant& value, std::wstring* text) {
  Variant target;
  const Variant& plain = Plain(value, &target);
  if (plain.vt() != VT_BSTR) return false;
  *text = plain.bstr();
  return true;
}

pugi::xml_node ElementToRead(CMethodFrame& frame, const Variant& value, const char* name,
                             TextSource source, pugi::xml_document* tree) {
  if (const ComPtr<IXMLDOMNode> node = NodeOf(value)) {
    const ComPtr<IXMLDOMElement> element = node.As<IXMLDOMElement>();
    if (!element) return {};
    const pugi::xml_node read = TreeOfNode(frame, element.get(), tree);
    return std::string_view(read.name()) == name ? read : pugi::xml_node();
  }
  Variant target;
  const Variant& given = Plain(value, &target);
  if (given.vt() != VT_BSTR) return {};
  if (source == TextSource::kFilePath) {
    TreeOfNode(frame, LoadLocalDocument(frame, given.bstr()).get(), tree);
  } else {
    ParseTree(frame, ToUtf8(given.bstr()), tree);
  }
  return OnlyElementNamed(*tree, name);
}

HRESULT RunReadXml(std::wstring_view method, const CLSID& clsid, const Variant& value,
                   const char* name, TextSource source, std::wstring_view refusal,
                   const std::function<void(CMethodFrame&, pugi::xml_node)>& read,
                   const SourceLocation& where) {
  CMethodFrame frame(method);
  return RunMethod(
      frame,
      [&]() -> HRESULT {
        pugi::xml_document tree;
        const pugi::xml_node element = ElementToRead(frame, value, name, source, &tree);
        if (!element) return ReportError(clsid, refusal, IID_NULL, E_INVALIDARG);
        read(frame, element);
        return S_OK;
      },
      where);
}

}  // namespace ovc::xml
