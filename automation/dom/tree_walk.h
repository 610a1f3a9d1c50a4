#pragma once

#include <cstddef>

#include <pugixml.hpp>

namespace ovc::dom {

// A walk through a subtree in document order that keeps no stack, so that
// trees of any depth are safe: from a node it goes to its first child, else
// to its next sibling, else to the next sibling of the nearest ancestor that
// has one, never leaving the subtree of `top`.
class TreeWalk {
 public:
  explicit TreeWalk(pugi::xml_node top) : top_(top), node_(top) {}

  // The current node, the top at first.
  pugi::xml_node node() const { return node_; }
  // The levels between the current node and the top (0 at the top).
  size_t depth() const { return depth_; }

  // Moves to the next node; false when the subtree is done. Calls
  // `leave(node)` for each node whose children are all visited, as the walk
  // climbs out of it (nodes without children are never left).
  template <class Leave>
  bool Next(Leave&& leave) {
    if (const pugi::xml_node child = node_.first_child()) {
      node_ = child;
      ++depth_;
      return true;
    }
    while (node_ != top_ && !node_.next_sibling()) {
      node_ = node_.parent();
      --depth_;
      leave(node_);
    }
    if (node_ == top_) return false;
    node_ = node_.next_sibling();
    return true;
  }
  bool Next() {
    return Next([](pugi::xml_node) {});
  }

 private:
  pugi::xml_node top_;
  pugi::xml_node node_;
  size_t depth_ = 0;
};

// Removes `node` and everything inside it from its tree, deepest nodes
// first, so that the removal does not recurse (pugixml's own removal does).
// False, with nothing changed, when `node` has no parent.
bool RemoveSubtree(pugi::xml_node node);

}  // namespace ovc::dom
