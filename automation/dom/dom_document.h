#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "automation/com_object.h"
#include "automation/dom/node_impl.h"
#include "automation/dom/parse_error.h"

namespace ovc::dom {

// An XML document: the root of a tree, the factory of its nodes, and the
// loading and saving of XML text. Loading is always synchronous; `async`,
// `validateOnParse` and `resolveExternals` are kept and reported only (no
// schema or DTD validation, no external entities).
class DomDocument final : public ComObject<NodeImpl<IXMLDOMDocument2>> {
 public:
  DomDocument();

  // The document's one top-level element, or null and S_FALSE.
  HRESULT get_documentElement(IDispatch** element) override;
  // Makes an element the document element, replacing the current one (which
  // stays usable on its own).
  HRESULT putref_documentElement(IDispatch* element) override;
  // New nodes of this document that stand in no tree until inserted. E_FAIL
  // for names that are not XML names and for text a node of its type cannot
  // hold (see CheckNodeText).
  HRESULT createElement(const std::wstring& name, IDispatch** element) override;
  HRESULT createTextNode(const std::wstring& data, IDispatch** text) override;
  HRESULT createComment(const std::wstring& data, IDispatch** comment) override;
  HRESULT createAttribute(const std::wstring& name, IDispatch** attribute) override;
  HRESULT getElementsByTagName(const std::wstring& name, IDispatch** list) override {
    return ElementsByTagName(name, list);
  }
  // Loads the file named by a text (a path, or a "file://" URL). On a
  // missing file or a parse failure: VARIANT_FALSE, S_FALSE, the document
  // empty and parseError telling why. E_INVALIDARG for a source that is not
  // a text.
  HRESULT load(const Variant& source, VARIANT_BOOL* loaded) override;
  HRESULT get_parseError(IDispatch** error) override;
  // The location of the last load, "" after loadXML.
  HRESULT get_url(std::wstring* url) override;
  HRESULT get_async(VARIANT_BOOL* value) override;
  HRESULT put_async(VARIANT_BOOL value) override;
  // Parses XML text as load does a file.
  HRESULT loadXML(const std::wstring& xml, VARIANT_BOOL* loaded) override;
  // Writes `xml` as UTF-8 to the file named by a text (a path or a "file://"
  // URL), atomically (see WriteFileAtomically). The file system's status
  // with an error object naming the file on failure; E_INVALIDARG for a
  // destination that is not a text.
  HRESULT save(const Variant& destination) override;
  HRESULT get_validateOnParse(VARIANT_BOOL* value) override;
  HRESULT put_validateOnParse(VARIANT_BOOL value) override;
  HRESULT get_resolveExternals(VARIANT_BOOL* value) override;
  HRESULT put_resolveExternals(VARIANT_BOOL value) override;
  HRESULT get_preserveWhiteSpace(VARIANT_BOOL* value) override;
  HRESULT put_preserveWhiteSpace(VARIANT_BOOL value) override;
  // Second-level properties by name ("SelectionLanguage", "SelectionNamespaces",
  // "ProhibitDTD", ...). Every known property is kept and reported; XPath is
  // the selection language whatever is set. "MaxElementDepth" (256 at first)
  // limits the element levels later loads accept, 0 meaning no limit.
  // E_INVALIDARG for an unknown name or a value of the wrong type.
  HRESULT setProperty(const std::wstring& name, const Variant& value) override;
  HRESULT getProperty(const std::wstring& name, Variant* value) override;

 protected:
  DomDocument* SelfDocument() override { return this; }
  HRESULT Clone(bool deep, IDispatch** clone) override;

 private:
  // Replaces the tree; nodes still held from the old tree stay usable on
  // their own.
  void ReplaceTree(std::shared_ptr<NodeStore> tree);
  HRESULT Parse(std::string_view text, bool is_unicode_text, std::wstring url,
                VARIANT_BOOL* loaded);
  HRESULT LoadFailure(ParseErrorInfo error, VARIANT_BOOL* loaded);

  ParseErrorInfo parse_error_;
  std::wstring url_;
  bool async_ = true;
  bool validate_on_parse_ = true;
  bool resolve_externals_ = false;
  bool preserve_white_space_ = false;
  std::map<std::wstring, Variant, std::less<>> properties_;
};

}  // namespace ovc::dom
