#pragma once

#include <string>

#include "automation/com_object.h"
#include "automation/dom/node_impl.h"

namespace ovc::dom {

// An element: a node with a tag name, attributes in their order and
// children.
class DomElement final : public ComObject<NodeImpl<IXMLDOMElement>> {
 public:
  DomElement() = default;

  HRESULT get_tagName(std::wstring* name) override;
  // The attribute's text, or VT_NULL and S_FALSE when the element has none
  // of that name.
  HRESULT getAttribute(const std::wstring& name, Variant* value) override;
  // Sets the attribute to the text of a typed value (see TypedValueText),
  // adding it after the existing ones when the element has none of that
  // name. E_FAIL for a name that is not an XML name.
  HRESULT setAttribute(const std::wstring& name, const Variant& value) override;
  // Succeeds also when there is no such attribute.
  HRESULT removeAttribute(const std::wstring& name) override;
  // The attribute node, or null and S_FALSE.
  HRESULT getAttributeNode(const std::wstring& name, IDispatch** attribute) override;
  // Attaches an attribute node that belongs to no element. An attribute of
  // the same name is replaced in its place and handed to *replaced (null
  // when there was none; `replaced` may be null). E_INVALIDARG for an
  // object that is not an attribute node, E_FAIL for one that belongs to
  // another element.
  HRESULT setAttributeNode(IDispatch* attribute, IDispatch** replaced) override;
  // Takes one of this element's attribute nodes off it; the node stays
  // usable. E_INVALIDARG when it is not one of this element's attributes.
  HRESULT removeAttributeNode(IDispatch* attribute, IDispatch** removed) override;
  HRESULT getElementsByTagName(const std::wstring& name, IDispatch** list) override {
    return ElementsByTagName(name, list);
  }

  // The live map of this element's attributes.
  HRESULT Attributes(IDispatch** map) override;
  // The attribute node of `name` taken off this element, handed to
  // *removed; null and S_FALSE when there is none.
  HRESULT RemoveNamedAttribute(const std::wstring& name, IDispatch** removed);
};

}  // namespace ovc::dom
