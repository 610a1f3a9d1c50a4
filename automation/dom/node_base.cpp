#include "automation/dom/node_base.h"

#include <utility>

#include "automation/dom/child_node_list.h"
#include "automation/dom/dom_document.h"
#include "automation/dom/dom_error.h"
#include "automation/dom/node_factory.h"
#include "automation/dom/tree_transplant.h"
#include "automation/dom/tree_walk.h"
#include "automation/dom/typed_value.h"
#include "automation/dom/xml_chars.h"
#include "automation/dom/xml_writer.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

// The name the DOM gives each kind of node in nodeTypeString.
std::wstring TypeString(DOMNodeType type) {
  switch (type) {
    case NODE_ELEMENT:
      return L"element";
    case NODE_ATTRIBUTE:
      return L"attribute";
    case NODE_TEXT:
      return L"text";
    case NODE_CDATA_SECTION:
      return L"cdatasection";
    case NODE_PROCESSING_INSTRUCTION:
      return L"processinginstruction";
    case NODE_COMMENT:
      return L"comment";
    case NODE_DOCUMENT:
      return L"document";
    case NODE_DOCUMENT_TYPE:
      return L"documenttype";
    default:
      return L"";
  }
}

// The XML declaration's attributes as a processing instruction's data:
// version="1.0" encoding="UTF-8".
std::string DeclarationData(pugi::xml_node declaration) {
  std::string data;
  for (const pugi::xml_attribute attribute : declaration.attributes()) {
    if (!data.empty()) data += ' ';
    data += WriteXml(attribute);
  }
  return data;
}

// The text of the text and CDATA nodes inside `top`, in document order.
std::string GatherText(pugi::xml_node top) {
  std::string text;
  TreeWalk walk(top);
  while (walk.Next()) {
    const pugi::xml_node node = walk.node();
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) text += node.value();
  }
  return text;
}

HRESULT NotForType(DOMNodeType type) {
  return DomError(E_FAIL, L"This operation cannot be performed with a node of type " +
                              ToUpper(TypeString(type)) + L".");
}

}  // namespace

NodeBase::NodeBase() = default;

NodeBase::~NodeBase() {
  if (store_) store_->Unregister(Key());
}

const void* NodeBase::Key() const {
  return attribute_ ? static_cast<const void*>(attribute_.internal_object())
                    : static_cast<const void*>(node_.internal_object());
}

DomDocument* NodeBase::document() { return owner_ ? owner_.get() : SelfDocument(); }

void NodeBase::Bind(std::shared_ptr<NodeStore> store, pugi::xml_node node,
                    pugi::xml_attribute attribute, DomDocument* owner) {
  if (store_) store_->Unregister(Key());
  node_ = node;
  attribute_ = attribute;
  store.swap(store_);
  store_->Register(Key(), this);
  // Assigned last: releasing the old owner may end it and, with it, the
  // caller's last hold on the previous store.
  owner_ = ComPtr<DomDocument>(owner);
}

NodeBase* NodeBase::FromObject(IUnknown* object) { return dynamic_cast<NodeBase*>(object); }

DOMNodeType NodeBase::Type() const {
  if (attribute_) return NODE_ATTRIBUTE;
  switch (node_.type()) {
    case pugi::node_document:
      return NODE_DOCUMENT;
    case pugi::node_element:
      return NODE_ELEMENT;
    case pugi::node_pcdata:
      return NODE_TEXT;
    case pugi::node_cdata:
      return NODE_CDATA_SECTION;
    case pugi::node_comment:
      return NODE_COMMENT;
    case pugi::node_pi:
    case pugi::node_declaration:
      return NODE_PROCESSING_INSTRUCTION;
    case pugi::node_doctype:
      return NODE_DOCUMENT_TYPE;
    case pugi::node_null:
      break;
  }
  return NODE_INVALID;
}

HRESULT NodeBase::NodeName(std::wstring* name) {
  if (name == nullptr) return E_POINTER;
  switch (Type()) {
    case NODE_ATTRIBUTE:
      *name = FromUtf8(attribute_.name());
      break;
    case NODE_TEXT:
      *name = L"#text";
      break;
    case NODE_CDATA_SECTION:
      *name = L"#cdata-section";
      break;
    case NODE_COMMENT:
      *name = L"#comment";
      break;
    case NODE_DOCUMENT:
      *name = L"#document";
      break;
    case NODE_DOCUMENT_TYPE: {
      const std::string_view value = node_.value();
      *name = FromUtf8(value.substr(0, value.find_first_of(" \t\r\n[")));
      break;
    }
    default:
      *name = FromUtf8(node_.name());
      break;
  }
  return S_OK;
}

HRESULT NodeBase::BaseName(std::wstring* name) {
  if (name == nullptr) return E_POINTER;
  const DOMNodeType type = Type();
  if (type != NODE_ELEMENT && type != NODE_ATTRIBUTE && type != NODE_PROCESSING_INSTRUCTION) {
    name->clear();
    return S_OK;
  }
  NodeName(name);
  const size_t colon = name->find(L':');
  if (colon != std::wstring::npos) name->erase(0, colon + 1);
  return S_OK;
}

HRESULT NodeBase::NodeType(DOMNodeType* type) {
  if (type == nullptr) return E_POINTER;
  *type = Type();
  return S_OK;
}

HRESULT NodeBase::NodeTypeString(std::wstring* type) {
  if (type == nullptr) return E_POINTER;
  *type = TypeString(Type());
  return S_OK;
}

HRESULT NodeBase::NodeValue(Variant* value) {
  if (value == nullptr) return E_POINTER;
  switch (Type()) {
    case NODE_ATTRIBUTE:
      *value = Variant(FromUtf8(attribute_.value()));
      break;
    case NODE_ELEMENT:
    case NODE_DOCUMENT:
    case NODE_DOCUMENT_TYPE:
      *value = Variant::Null();
      break;
    default:
      *value = Variant(FromUtf8(node_.type() == pugi::node_declaration ? DeclarationData(node_)
                                                                       : node_.value()));
      break;
  }
  return S_OK;
}

HRESULT NodeBase::PutNodeValue(const Variant& value) {
  const DOMNodeType type = Type();
  if (type == NODE_ELEMENT || type == NODE_DOCUMENT || type == NODE_DOCUMENT_TYPE ||
      node_.type() == pugi::node_declaration) {
    return NotForType(type);
  }
  std::wstring text;
  HRESULT hr = TypedValueText(value, &text);
  if (Succeeded(hr)) hr = CheckNodeText(type, text);
  if (Failed(hr)) return hr;
  const std::string utf8 = ToUtf8(text);
  const bool stored =
      attribute_ ? attribute_.set_value(utf8.c_str()) : node_.set_value(utf8.c_str());
  return stored ? S_OK : E_OUTOFMEMORY;
}

HRESULT NodeBase::Text(std::wstring* text) {
  if (text == nullptr) return E_POINTER;
  const DOMNodeType type = Type();
  if (type == NODE_ELEMENT || type == NODE_DOCUMENT) {
    *text = FromUtf8(GatherText(node_));
    return S_OK;
  }
  if (type == NODE_DOCUMENT_TYPE) {
    text->clear();
    return S_OK;
  }
  Variant value;
  NodeValue(&value);
  *text = value.bstr();
  return S_OK;
}

HRESULT NodeBase::PutText(const std::wstring& text) {
  if (Type() != NODE_ELEMENT) return PutNodeValue(Variant(text));
  const HRESULT hr = CheckNodeText(NODE_TEXT, text);
  if (Failed(hr)) return hr;
  while (const pugi::xml_node child = node_.first_child()) {
    if (!DetachNode(store_, child, document())) return E_OUTOFMEMORY;
  }
  if (text.empty()) return S_OK;
  pugi::xml_node content = node_.append_child(pugi::node_pcdata);
  return content && content.set_value(ToUtf8(text).c_str()) ? S_OK : E_OUTOFMEMORY;
}

HRESULT NodeBase::TypedValue(Variant* value) {
  if (value == nullptr) return E_POINTER;
  std::wstring text;
  const HRESULT hr = Text(&text);
  if (Succeeded(hr)) *value = Variant(std::move(text));
  return hr;
}

HRESULT NodeBase::PutTypedValue(const Variant& value) {
  std::wstring text;
  const HRESULT hr = TypedValueText(value, &text);
  return Failed(hr) ? hr : PutText(text);
}

HRESULT NodeBase::Xml(std::wstring* xml) {
  if (xml == nullptr) return E_POINTER;
  *xml = FromUtf8(attribute_ ? WriteXml(attribute_) : WriteXml(node_));
  return S_OK;
}

HRESULT NodeBase::ParentNode(IDispatch** parent) {
  if (parent == nullptr) return E_POINTER;
  if (attribute_) {
    *parent = nullptr;
    return S_FALSE;
  }
  return WrapNode(store_, node_.parent(), document(), parent);
}

HRESULT NodeBase::ChildNodes(IDispatch** list) {
  if (list == nullptr) return E_POINTER;
  *list = MakeObject<ChildNodeList>(this).Detach();
  return S_OK;
}

HRESULT NodeBase::FirstChild(IDispatch** child) {
  if (child == nullptr) return E_POINTER;
  return WrapNode(store_, attribute_ ? pugi::xml_node() : node_.first_child(), document(), child);
}

HRESULT NodeBase::LastChild(IDispatch** child) {
  if (child == nullptr) return E_POINTER;
  return WrapNode(store_, attribute_ ? pugi::xml_node() : node_.last_child(), document(), child);
}

HRESULT NodeBase::PreviousSibling(IDispatch** sibling) {
  if (sibling == nullptr) return E_POINTER;
  return WrapNode(store_, attribute_ ? pugi::xml_node() : node_.previous_sibling(), document(),
                  sibling);
}

HRESULT NodeBase::NextSibling(IDispatch** sibling) {
  if (sibling == nullptr) return E_POINTER;
  return WrapNode(store_, attribute_ ? pugi::xml_node() : node_.next_sibling(), document(),
                  sibling);
}

HRESULT NodeBase::Attributes(IDispatch** map) {
  if (map == nullptr) return E_POINTER;
  *map = nullptr;
  return S_FALSE;
}

HRESULT NodeBase::HasChildNodes(VARIANT_BOOL* has_children) {
  if (has_children == nullptr) return E_POINTER;
  *has_children = !attribute_ && node_.first_child() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT NodeBase::OwnerDocument(IDispatch** document) {
  if (document == nullptr) return E_POINTER;
  *document = owner_ ? owner_->Dispatch() : nullptr;
  if (*document == nullptr) return S_FALSE;
  (*document)->AddRef();
  return S_OK;
}

HRESULT NodeBase::CloneNode(VARIANT_BOOL deep, IDispatch** clone) {
  if (clone == nullptr) return E_POINTER;
  *clone = nullptr;
  return Clone(deep != VARIANT_FALSE, clone);
}

HRESULT NodeBase::Clone(bool deep, IDispatch** clone) {
  if (attribute_) {
    pugi::xml_node holder_element;
    pugi::xml_attribute copy;
    auto holder = NewAttributeHolder(attribute_.name(), attribute_.value(), &holder_element, &copy);
    if (!holder) return E_OUTOFMEMORY;
    return WrapAttribute(holder, holder_element, copy, document(), clone);
  }
  auto fragment = std::make_shared<NodeStore>(NodeStore::Kind::kFragment);
  pugi::xml_node copy;
  if (deep || node_.type() != pugi::node_element) {
    copy = fragment->root().append_copy(node_);
  } else {
    copy = fragment->root().append_child(node_.name());
    for (const pugi::xml_attribute attribute : node_.attributes()) {
      if (copy) copy.append_copy(attribute);
    }
  }
  if (!copy) return E_OUTOFMEMORY;
  return WrapNode(fragment, copy, document(), clone);
}

}  // namespace ovc::dom
