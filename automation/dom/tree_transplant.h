#pragma once

#include <memory>

#include <pugixml.hpp>

#include "automation/dom/node_store.h"

namespace ovc::dom {

class DomDocument;

// Moving nodes between trees. pugixml moves a node only within its own
// tree; between trees the subtree is copied and the original removed. Either
// way every DOM object standing for a moved node or attribute is re-bound to
// its new place and takes `owner` as its owner document, so objects held by
// callers stay valid.

// Moves `node` of `from` under `parent` of `to`, before `before` (appended
// when `before` is empty). Returns the node's new handle, or an empty one
// when pugixml refuses the position (nothing then changed). The caller has
// checked that `parent` is not inside `node`.
pugi::xml_node TransplantNode(std::shared_ptr<NodeStore> from, pugi::xml_node node,
                              const std::shared_ptr<NodeStore>& to, DomDocument* owner,
                              pugi::xml_node parent, pugi::xml_node before);

// Takes `node` out of its tree. When objects stand for it or for anything
// inside it, it moves into a new fragment of `owner` and stays usable there;
// otherwise it is destroyed. False, with nothing changed, when memory ran
// out.
bool DetachNode(std::shared_ptr<NodeStore> from, pugi::xml_node node, DomDocument* owner);

// Moves `attribute` of `from_element` in `from` to `element` of `to`, after
// `after` (appended when empty). Returns the new attribute, or an empty one
// when it could not be added.
pugi::xml_attribute TransplantAttribute(std::shared_ptr<NodeStore> from,
                                        pugi::xml_node from_element, pugi::xml_attribute attribute,
                                        const std::shared_ptr<NodeStore>& to, DomDocument* owner,
                                        pugi::xml_node element, pugi::xml_attribute after);

// Takes `attribute` off `element`: into a new attribute holder when an
// object stands for it, otherwise it is destroyed. False, with nothing
// changed, when memory ran out.
bool DetachAttribute(std::shared_ptr<NodeStore> from, pugi::xml_node element,
                     pugi::xml_attribute attribute, DomDocument* owner);

// A new attribute holder with one attribute `name` = `value`; *attribute
// and *holder_element receive its handles. Empty on allocation failure.
std::shared_ptr<NodeStore> NewAttributeHolder(const char* name, const char* value,
                                              pugi::xml_node* holder_element,
                                              pugi::xml_attribute* attribute);

}  // namespace ovc::dom
