#include "automation/dom/dom_document.h"

#include <utility>

#include "automation/conversion.h"
#include "automation/dom/dom_error.h"
#include "automation/dom/node_factory.h"
#include "automation/dom/tree_transplant.h"
#include "automation/dom/xml_chars.h"
#include "automation/dom/xml_name.h"
#include "automation/dom/xml_parse.h"
#include "automation/dom/xml_writer.h"
#include "automation/file_io.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

// The second-level properties and their initial values.
std::map<std::wstring, Variant, std::less<>> DefaultProperties() {
  std::map<std::wstring, Variant, std::less<>> properties;
  properties[L"SelectionLanguage"] = Variant(L"XPath");
  properties[L"SelectionNamespaces"] = Variant(L"");
  properties[L"ProhibitDTD"] = Variant(true);
  properties[L"AllowDocumentFunction"] = Variant(false);
  properties[L"AllowXsltScript"] = Variant(false);
  properties[L"NewParser"] = Variant(true);
  properties[L"ResolveExternals"] = Variant(false);
  properties[L"ServerHTTPRequest"] = Variant(false);
  properties[L"UseInlineSchema"] = Variant(false);
  properties[L"ValidateOnParse"] = Variant(false);
  properties[L"MultipleErrorMessages"] = Variant(false);
  properties[L"NormalizeAttributeValues"] = Variant(false);
  properties[L"ForcedResync"] = Variant(true);
  properties[L"MaxElementDepth"] = Variant(int32_t{256});
  properties[L"MaxXMLSize"] = Variant(int32_t{0});
  return properties;
}

// A file name from a load or save argument: a path, or a "file://" URL.
// False for anything that is not a text.
bool FilePath(const Variant& argument, std::wstring* given, std::string* path) {
  const Variant plain = argument.Dereferenced();
  if (plain.vt() != VT_BSTR) return false;
  *given = plain.bstr();
  std::wstring_view name = *given;
  constexpr std::wstring_view kFileScheme = L"file://";
  if (name.substr(0, kFileScheme.size()) == kFileScheme) name.remove_prefix(kFileScheme.size());
  *path = ToUtf8(name);
  return true;
}

HRESULT Flag(bool field, VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  *value = field ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace

DomDocument::DomDocument() : properties_(DefaultProperties()) {
  auto tree = std::make_shared<NodeStore>(NodeStore::Kind::kDocument);
  const pugi::xml_node root = tree->root();
  Bind(std::move(tree), root, pugi::xml_attribute(), nullptr);
}

void DomDocument::ReplaceTree(std::shared_ptr<NodeStore> tree) {
  const std::shared_ptr<NodeStore> old = store();
  old->BecomeFragment();
  const pugi::xml_node root = tree->root();
  Bind(std::move(tree), root, pugi::xml_attribute(), nullptr);
}

HRESULT DomDocument::get_documentElement(IDispatch** element) {
  return WrapNode(store(), FirstElementChild(node()), this, element);
}

HRESULT DomDocument::putref_documentElement(IDispatch* element) {
  NodeBase* candidate = FromObject(element);
  if (candidate == nullptr || candidate->Type() != NODE_ELEMENT) {
    return DomError(E_INVALIDARG, L"The document element must be an element.");
  }
  ComPtr<IDispatch> current;
  get_documentElement(current.Receive());
  if (!current) return AppendChild(element, nullptr);
  return ReplaceChild(element, current.get(), nullptr);
}

HRESULT DomDocument::createElement(const std::wstring& name, IDispatch** element) {
  if (element == nullptr) return E_POINTER;
  *element = nullptr;
  const HRESULT hr = CheckXmlName(name);
  if (Failed(hr)) return hr;
  auto fragment = std::make_shared<NodeStore>(NodeStore::Kind::kFragment);
  const pugi::xml_node created = fragment->root().append_child(ToUtf8(name).c_str());
  if (!created) return E_OUTOFMEMORY;
  return WrapNode(fragment, created, this, element);
}

HRESULT DomDocument::createTextNode(const std::wstring& data, IDispatch** text) {
  if (text == nullptr) return E_POINTER;
  *text = nullptr;
  const HRESULT hr = CheckNodeText(NODE_TEXT, data);
  if (Failed(hr)) return hr;
  auto fragment = std::make_shared<NodeStore>(NodeStore::Kind::kFragment);
  pugi::xml_node created = fragment->root().append_child(pugi::node_pcdata);
  if (!created || !created.set_value(ToUtf8(data).c_str())) return E_OUTOFMEMORY;
  return WrapNode(fragment, created, this, text);
}

HRESULT DomDocument::createComment(const std::wstring& data, IDispatch** comment) {
  if (comment == nullptr) return E_POINTER;
  *comment = nullptr;
  const HRESULT hr = CheckNodeText(NODE_COMMENT, data);
  if (Failed(hr)) return hr;
  auto fragment = std::make_shared<NodeStore>(NodeStore::Kind::kFragment);
  pugi::xml_node created = fragment->root().append_child(pugi::node_comment);
  if (!created || !created.set_value(ToUtf8(data).c_str())) return E_OUTOFMEMORY;
  return WrapNode(fragment, created, this, comment);
}

HRESULT DomDocument::createAttribute(const std::wstring& name, IDispatch** attribute) {
  if (attribute == nullptr) return E_POINTER;
  *attribute = nullptr;
  const HRESULT hr = CheckXmlName(name);
  if (Failed(hr)) return hr;
  pugi::xml_node holder_element;
  pugi::xml_attribute created;
  auto holder = NewAttributeHolder(ToUtf8(name).c_str(), "", &holder_element, &created);
  if (!holder) return E_OUTOFMEMORY;
  return WrapAttribute(holder, holder_element, created, this, attribute);
}

HRESULT DomDocument::load(const Variant& source, VARIANT_BOOL* loaded) {
  if (loaded == nullptr) return E_POINTER;
  *loaded = VARIANT_FALSE;
  std::wstring url;
  std::string path;
  if (!FilePath(source, &url, &path)) {
    return DomError(E_INVALIDARG, L"A document is loaded from a file named by a text.");
  }
  std::string content;
  const HRESULT hr = HresultFromErrno(ReadWholeFile(path, &content));
  if (Failed(hr)) {
    ParseErrorInfo error;
    error.code = hr;
    error.url = url;
    error.reason = SystemMessage(hr).value_or(L"The file cannot be read.");
    return LoadFailure(std::move(error), loaded);
  }
  return Parse(content, false, std::move(url), loaded);
}

HRESULT DomDocument::loadXML(const std::wstring& xml, VARIANT_BOOL* loaded) {
  if (loaded == nullptr) return E_POINTER;
  return Parse(ToUtf8(xml), true, L"", loaded);
}

HRESULT DomDocument::Parse(std::string_view text, bool is_unicode_text, std::wstring url,
                           VARIANT_BOOL* loaded) {
  auto tree = std::make_shared<NodeStore>(NodeStore::Kind::kDocument);
  ParseOptions options;
  options.is_unicode_text = is_unicode_text;
  options.preserve_white_space = preserve_white_space_;
  options.max_element_depth = static_cast<size_t>(properties_[L"MaxElementDepth"].i4());
  ParseErrorInfo error;
  if (!ParseXml(text, options, &tree->tree(), &error)) {
    error.url = std::move(url);
    return LoadFailure(std::move(error), loaded);
  }
  ReplaceTree(std::move(tree));
  parse_error_ = ParseErrorInfo();
  url_ = std::move(url);
  *loaded = VARIANT_TRUE;
  return S_OK;
}

HRESULT DomDocument::LoadFailure(ParseErrorInfo error, VARIANT_BOOL* loaded) {
  ReplaceTree(std::make_shared<NodeStore>(NodeStore::Kind::kDocument));
  url_ = error.url;
  parse_error_ = std::move(error);
  *loaded = VARIANT_FALSE;
  return S_FALSE;
}

HRESULT DomDocument::save(const Variant& destination) {
  std::wstring given;
  std::string path;
  if (!FilePath(destination, &given, &path)) {
    return DomError(E_INVALIDARG, L"A document is saved to a file named by a text.");
  }
  const HRESULT hr = HresultFromErrno(ReplaceFileAtomically(path, WriteXml(node())));
  if (Failed(hr)) {
    return DomError(hr,
                    L"The document cannot be saved to \"" + given + L"\": " +
                        std::wstring(SystemMessage(hr).value_or(L"the file cannot be written")));
  }
  return S_OK;
}

HRESULT DomDocument::get_parseError(IDispatch** error) {
  if (error == nullptr) return E_POINTER;
  *error = MakeObject<ParseError>(parse_error_).Detach();
  return S_OK;
}

HRESULT DomDocument::get_url(std::wstring* url) {
  if (url == nullptr) return E_POINTER;
  *url = url_;
  return S_OK;
}

HRESULT DomDocument::get_async(VARIANT_BOOL* value) { return Flag(async_, value); }
HRESULT DomDocument::put_async(VARIANT_BOOL value) {
  async_ = value != VARIANT_FALSE;
  return S_OK;
}
HRESULT DomDocument::get_validateOnParse(VARIANT_BOOL* value) {
  return Flag(validate_on_parse_, value);
}
HRESULT DomDocument::put_validateOnParse(VARIANT_BOOL value) {
  validate_on_parse_ = value != VARIANT_FALSE;
  return S_OK;
}
HRESULT DomDocument::get_resolveExternals(VARIANT_BOOL* value) {
  return Flag(resolve_externals_, value);
}
HRESULT DomDocument::put_resolveExternals(VARIANT_BOOL value) {
  resolve_externals_ = value != VARIANT_FALSE;
  return S_OK;
}
HRESULT DomDocument::get_preserveWhiteSpace(VARIANT_BOOL* value) {
  return Flag(preserve_white_space_, value);
}
HRESULT DomDocument::put_preserveWhiteSpace(VARIANT_BOOL value) {
  preserve_white_space_ = value != VARIANT_FALSE;
  return S_OK;
}

HRESULT DomDocument::setProperty(const std::wstring& name, const Variant& value) {
  const auto found = properties_.find(name);
  if (found == properties_.end()) {
    return DomError(E_INVALIDARG, L"The property name \"" + name + L"\" is not valid.");
  }
  Variant plain = value.Dereferenced();
  if (name == L"MaxElementDepth") {
    Variant depth;
    const bool count = Succeeded(VariantChangeType(&depth, plain, 0, VT_I4)) && depth.i4() >= 0;
    if (!count) return DomError(E_INVALIDARG, L"MaxElementDepth must be a whole number from 0 up.");
    plain = depth;
  }
  if (name == L"SelectionLanguage") {
    const bool known =
        plain.vt() == VT_BSTR && (plain.bstr() == L"XPath" || plain.bstr() == L"XSLPattern");
    if (!known) {
      return DomError(E_INVALIDARG, L"The selection language must be \"XPath\" or \"XSLPattern\".");
    }
  }
  found->second = plain;
  return S_OK;
}

HRESULT DomDocument::getProperty(const std::wstring& name, Variant* value) {
  if (value == nullptr) return E_POINTER;
  const auto found = properties_.find(name);
  if (found == properties_.end()) {
    return DomError(E_INVALIDARG, L"The property name \"" + name + L"\" is not valid.");
  }
  *value = found->second;
  return S_OK;
}

HRESULT DomDocument::Clone(bool deep, IDispatch** clone) {
  ComPtr<DomDocument> copy = MakeObject<DomDocument>();
  copy->async_ = async_;
  copy->validate_on_parse_ = validate_on_parse_;
  copy->resolve_externals_ = resolve_externals_;
  copy->preserve_white_space_ = preserve_white_space_;
  copy->properties_ = properties_;
  if (deep) {
    for (const pugi::xml_node child : node().children()) {
      if (!copy->node().append_copy(child)) return E_OUTOFMEMORY;
    }
  }
  *clone = copy.Detach();
  return S_OK;
}

}  // namespace ovc::dom
