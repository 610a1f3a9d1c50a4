#include "office/word/word_names.h"

#include <cstring>
#include <vector>

#include "office/package/xml_names.h"

namespace ovc::word {
namespace {

bool DeclaresNamespace(pugi::xml_node element) {
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    const std::string_view name = attribute.name();
    if (name == "xmlns" || name.starts_with("xmlns:")) return true;
  }
  return false;
}

// True when no element below the root declares a namespace.
bool OnlyRootDeclares(pugi::xml_node root) {
  std::vector<pugi::xml_node> pending;
  for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling()) {
    pending.push_back(child);
  }
  while (!pending.empty()) {
    const pugi::xml_node node = pending.back();
    pending.pop_back();
    if (node.type() != pugi::node_element) continue;
    if (DeclaresNamespace(node)) return false;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      pending.push_back(child);
    }
  }
  return true;
}

}  // namespace

WordNames::WordNames(const pugi::xml_document& part) {
  const pugi::xml_node root = part.document_element();
  // New elements take the prefix the root binds, even where names below are
  // resolved one by one.
  std::string qualified;
  const bool bound = root && office::QualifiedName(root, kWordNamespace, "x", &qualified);
  if (bound) prefix_ = qualified.substr(0, qualified.size() - 1);
  uniform_ = bound && OnlyRootDeclares(root);
}

std::string_view WordNames::Local(pugi::xml_node node) const {
  if (node.type() != pugi::node_element) return {};
  const std::string_view name = node.name();
  if (uniform_) {
    if (!name.starts_with(prefix_)) return {};
    const std::string_view local = name.substr(prefix_.size());
    return local.find(':') == std::string_view::npos ? local : std::string_view();
  }
  return office::NamespaceUri(node) == kWordNamespace ? office::LocalName(node)
                                                      : std::string_view();
}

bool WordNames::Is(pugi::xml_node node, std::string_view local) const {
  if (!uniform_) return Local(node) == local;
  if (node.type() != pugi::node_element) return false;
  const char* name = node.name();
  return std::strncmp(name, prefix_.data(), prefix_.size()) == 0 &&
         std::strncmp(name + prefix_.size(), local.data(), local.size()) == 0 &&
         name[prefix_.size() + local.size()] == '\0';
}

pugi::xml_attribute WordNames::Attribute(pugi::xml_node element, std::string_view local) const {
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    const std::string_view name = attribute.name();
    if (uniform_ ? name.size() == prefix_.size() + local.size() && name.starts_with(prefix_) &&
                       name.ends_with(local)
                 : name.ends_with(local) && (name.size() == local.size() ||
                                             name[name.size() - local.size() - 1] == ':')) {
      return attribute;
    }
  }
  return {};
}

pugi::xml_node WordNames::Child(pugi::xml_node parent, std::string_view local) const {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (Local(child) == local) return child;
  }
  return {};
}

bool IsMarkup(pugi::xml_node node, std::string_view local) {
  return office::IsElement(node, kMarkupNamespace, local);
}

}  // namespace ovc::word
