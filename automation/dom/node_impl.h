#pragma once

#include <string>

#include "automation/dispatch_impl.h"
#include "automation/dom/msxml.h"
#include "automation/dom/node_base.h"

namespace ovc::dom {

// IXMLDOMNode for a node class implementing interface I (derived from
// IXMLDOMNode), forwarded to NodeBase.
template <class I>
class NodeImpl : public DispatchImpl<I>, public NodeBase {
 public:
  IDispatch* Dispatch() override { return this; }

  HRESULT get_nodeName(std::wstring* name) override { return NodeName(name); }
  HRESULT get_nodeValue(Variant* value) override { return NodeValue(value); }
  HRESULT put_nodeValue(const Variant& value) override { return PutNodeValue(value); }
  HRESULT get_nodeType(DOMNodeType* type) override { return NodeType(type); }
  HRESULT get_parentNode(IDispatch** parent) override { return ParentNode(parent); }
  HRESULT get_childNodes(IDispatch** list) override { return ChildNodes(list); }
  HRESULT get_firstChild(IDispatch** child) override { return FirstChild(child); }
  HRESULT get_lastChild(IDispatch** child) override { return LastChild(child); }
  HRESULT get_previousSibling(IDispatch** sibling) override { return PreviousSibling(sibling); }
  HRESULT get_nextSibling(IDispatch** sibling) override { return NextSibling(sibling); }
  HRESULT get_attributes(IDispatch** map) override { return Attributes(map); }
  HRESULT insertBefore(IDispatch* new_child, const Variant& reference,
                       IDispatch** result) override {
    return InsertBefore(new_child, reference, result);
  }
  HRESULT replaceChild(IDispatch* new_child, IDispatch* old_child, IDispatch** result) override {
    return ReplaceChild(new_child, old_child, result);
  }
  HRESULT removeChild(IDispatch* child, IDispatch** result) override {
    return RemoveChild(child, result);
  }
  HRESULT appendChild(IDispatch* new_child, IDispatch** result) override {
    return AppendChild(new_child, result);
  }
  HRESULT hasChildNodes(VARIANT_BOOL* has_children) override { return HasChildNodes(has_children); }
  HRESULT get_ownerDocument(IDispatch** document) override { return OwnerDocument(document); }
  HRESULT cloneNode(VARIANT_BOOL deep, IDispatch** clone) override {
    return CloneNode(deep, clone);
  }
  HRESULT get_nodeTypeString(std::wstring* type) override { return NodeTypeString(type); }
  HRESULT get_text(std::wstring* text) override { return Text(text); }
  HRESULT put_text(const std::wstring& text) override { return PutText(text); }
  HRESULT get_nodeTypedValue(Variant* value) override { return TypedValue(value); }
  HRESULT put_nodeTypedValue(const Variant& value) override { return PutTypedValue(value); }
  HRESULT get_xml(std::wstring* xml) override { return Xml(xml); }
  HRESULT selectNodes(const std::wstring& query, IDispatch** list) override {
    return SelectNodes(query, list);
  }
  HRESULT selectSingleNode(const std::wstring& query, IDispatch** node) override {
    return SelectSingleNode(query, node);
  }
  HRESULT get_baseName(std::wstring* name) override { return BaseName(name); }
};

}  // namespace ovc::dom
