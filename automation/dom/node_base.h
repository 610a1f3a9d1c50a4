#pragma once

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "automation/com_ptr.h"
#include "automation/dom/msxml.h"
#include "automation/dom/node_store.h"

namespace ovc::dom {

class DomDocument;

// What every DOM object of a node knows: the tree its node lives in, the
// node (for an attribute: the element holding it, and the attribute), and
// its owner document. Objects follow their node when it moves to another
// tree (see tree_transplant.h), so a handle here is always valid while the
// object lives. The members below implement IXMLDOMNode once for every node
// class; each returns the status the interface member returns.
class NodeBase {
 public:
  NodeBase(const NodeBase&) = delete;
  NodeBase& operator=(const NodeBase&) = delete;

  // The object's automation face, not AddRef'd.
  virtual IDispatch* Dispatch() = 0;

  const std::shared_ptr<NodeStore>& store() const { return store_; }
  pugi::xml_node node() const { return node_; }
  pugi::xml_attribute attribute() const { return attribute_; }
  // The owner document: the document itself for a document object.
  DomDocument* document();

  // Points the object at `node`, or at `attribute` of `node` when the
  // attribute is not empty, in `store`, owned by `owner` (null only for a
  // document object, which owns itself). The object registers in `store` and
  // leaves its previous store.
  void Bind(std::shared_ptr<NodeStore> store, pugi::xml_node node, pugi::xml_attribute attribute,
            DomDocument* owner);

  HRESULT NodeName(std::wstring* name);
  HRESULT NodeValue(Variant* value);
  HRESULT PutNodeValue(const Variant& value);
  HRESULT NodeType(DOMNodeType* type);
  HRESULT ParentNode(IDispatch** parent);
  HRESULT ChildNodes(IDispatch** list);
  HRESULT FirstChild(IDispatch** child);
  HRESULT LastChild(IDispatch** child);
  HRESULT PreviousSibling(IDispatch** sibling);
  HRESULT NextSibling(IDispatch** sibling);
  // Elements override this with their attribute map; other nodes have none.
  virtual HRESULT Attributes(IDispatch** map);
  HRESULT InsertBefore(IDispatch* new_child, const Variant& reference, IDispatch** result);
  HRESULT ReplaceChild(IDispatch* new_child, IDispatch* old_child, IDispatch** result);
  HRESULT RemoveChild(IDispatch* child, IDispatch** result);
  HRESULT AppendChild(IDispatch* new_child, IDispatch** result);
  HRESULT HasChildNodes(VARIANT_BOOL* has_children);
  HRESULT OwnerDocument(IDispatch** document);
  HRESULT CloneNode(VARIANT_BOOL deep, IDispatch** clone);
  HRESULT NodeTypeString(std::wstring* type);
  HRESULT Text(std::wstring* text);
  HRESULT PutText(const std::wstring& text);
  HRESULT TypedValue(Variant* value);
  HRESULT PutTypedValue(const Variant& value);
  HRESULT Xml(std::wstring* xml);
  HRESULT SelectNodes(const std::wstring& query, IDispatch** list);
  HRESULT SelectSingleNode(const std::wstring& query, IDispatch** node);
  HRESULT BaseName(std::wstring* name);
  // The elements below this node named `name` ("*": all), in document
  // order, as a node list that does not follow later changes.
  HRESULT ElementsByTagName(const std::wstring& name, IDispatch** list);

  // The DOM type of the node this object stands for.
  DOMNodeType Type() const;

  // The wrapped node behind an automation object of this DOM, or null for
  // any other object (or null).
  static NodeBase* FromObject(IUnknown* object);

 protected:
  NodeBase();
  virtual ~NodeBase();

  // A document object answers itself; every other node object null.
  virtual DomDocument* SelfDocument() { return nullptr; }
  // A copy of this node in a new fragment of the same owner (a document
  // copies itself into a new document), AddRef'd into *clone.
  virtual HRESULT Clone(bool deep, IDispatch** clone);

 private:
  const void* Key() const;
  bool IsChild(const NodeBase& node) const;
  bool IsInside(const NodeBase& ancestor) const;
  HRESULT CheckInsertion(NodeBase& child, const NodeBase* replaced) const;
  HRESULT Insert(NodeBase& child, pugi::xml_node before, IDispatch** result);
  HRESULT ResolveChild(IDispatch* object, NodeBase** child) const;

  std::shared_ptr<NodeStore> store_;
  pugi::xml_node node_;
  pugi::xml_attribute attribute_;
  ComPtr<DomDocument> owner_;
};

}  // namespace ovc::dom
