#pragma once

#include <memory>

#include <pugixml.hpp>

#include "automation/dispatch.h"
#include "automation/dom/node_store.h"

namespace ovc::dom {

class DomDocument;

// The automation object standing for `node` of `store`, AddRef'd into
// *object: the node's existing object, or a new one of the class for its
// type (element, text, attribute, other nodes). The root of a document tree
// is the owner document itself. An empty node, and the root of a fragment,
// give null and S_FALSE. E_POINTER when `object` is null.
HRESULT WrapNode(const std::shared_ptr<NodeStore>& store, pugi::xml_node node, DomDocument* owner,
                 IDispatch** object);

// The same for `attribute` of `element`.
HRESULT WrapAttribute(const std::shared_ptr<NodeStore>& store, pugi::xml_node element,
                      pugi::xml_attribute attribute, DomDocument* owner, IDispatch** object);

}  // namespace ovc::dom
