#pragma once

#include <memory>
#include <unordered_map>

#include <pugixml.hpp>

namespace ovc::dom {

class NodeBase;

// One pugixml tree and the automation objects that currently stand for its
// nodes and attributes (at most one object per node, so that a node keeps its
// identity while callers hold it). A store is shared: the document object and
// every node object of the tree hold it, so a tree lives as long as anything
// refers into it. Not thread-safe; a document and its nodes are used from one
// thread at a time.
class NodeStore {
 public:
  enum class Kind {
    kDocument,         // the tree of a document; its root is the document node
    kFragment,         // nodes not in any document: created, removed or cloned
    kAttributeHolder,  // one attribute not attached to any element
  };

  explicit NodeStore(Kind kind) : kind_(kind) {}
  NodeStore(const NodeStore&) = delete;
  NodeStore& operator=(const NodeStore&) = delete;

  Kind kind() const { return kind_; }
  // A document that replaces its tree (loading) turns the old one into a
  // fragment, so that nodes still held from it stop answering as children of
  // the document.
  void BecomeFragment() { kind_ = Kind::kFragment; }

  pugi::xml_document& tree() { return tree_; }
  pugi::xml_node root() const { return tree_.root(); }

  // The object standing for a pugixml node or attribute (its
  // internal_object()), or null. Objects register themselves while they are
  // bound to this store; the store does not own them.
  NodeBase* Find(const void* key) const;
  void Register(const void* key, NodeBase* object);
  void Unregister(const void* key);

 private:
  Kind kind_;
  pugi::xml_document tree_;
  std::unordered_map<const void*, NodeBase*> objects_;
};

// The first child of `node` that is an element (the document element, for
// a document's root), or an empty node.
pugi::xml_node FirstElementChild(pugi::xml_node node);

}  // namespace ovc::dom
