#include "office/package/xml_names.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace ovc::office {
namespace {

std::string_view Prefix(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

// The URI `prefix` ("" for the default namespace) is bound to at `node`, or
// null when unbound. Walks the ancestors iteratively.
const char* Binding(pugi::xml_node node, std::string_view prefix) {
  const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
  for (; node && node.type() == pugi::node_element; node = node.parent()) {
    const pugi::xml_attribute declaration = node.attribute(attribute.c_str());
    if (declaration) return declaration.value();
  }
  if (prefix == "xml") return "http://www.w3.org/XML/1998/namespace";
  return nullptr;
}

// A prefix bound to the namespace in scope at `node`, if any.
std::optional<std::string> BoundPrefix(pugi::xml_node node, std::string_view namespace_uri) {
  for (pugi::xml_node scope = node; scope && scope.type() == pugi::node_element;
       scope = scope.parent()) {
    for (const pugi::xml_attribute& attribute : scope.attributes()) {
      const std::string_view attribute_name = attribute.name();
      if (attribute_name.substr(0, 6) != "xmlns:" || attribute.value() != namespace_uri) continue;
      const std::string_view prefix = attribute_name.substr(6);
      // A nearer declaration may rebind the prefix to another namespace.
      const char* bound = Binding(node, prefix);
      if (bound != nullptr && bound == namespace_uri) return std::string(prefix);
    }
  }
  return std::nullopt;
}

}  // namespace

std::string_view LocalName(const pugi::xml_node& element) {
  const std::string_view name = element.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view NamespaceUri(const pugi::xml_node& element) {
  const char* uri = Binding(element, Prefix(element.name()));
  return uri == nullptr ? std::string_view() : std::string_view(uri);
}

bool IsElement(const pugi::xml_node& node, std::string_view namespace_uri,
               std::string_view local_name) {
  return node.type() == pugi::node_element && LocalName(node) == local_name &&
         NamespaceUri(node) == namespace_uri;
}

pugi::xml_node ChildElement(const pugi::xml_node& parent, std::string_view namespace_uri,
                            std::string_view local_name) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (IsElement(child, namespace_uri, local_name)) return child;
  }
  return {};
}

bool QualifiedName(const pugi::xml_node& parent, std::string_view namespace_uri,
                   std::string_view local_name, std::string* name) {
  const char* default_uri = Binding(parent, "");
  if (default_uri != nullptr && namespace_uri == default_uri) {
    *name = std::string(local_name);
    return true;
  }
  const std::optional<std::string> prefix = BoundPrefix(parent, namespace_uri);
  if (!prefix) return false;
  *name = *prefix + ":" + std::string(local_name);
  return true;
}

pugi::xml_attribute AttributeIn(const pugi::xml_node& element, std::string_view namespace_uri,
                                std::string_view local_name) {
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    const std::string_view name = attribute.name();
    const std::string_view prefix = Prefix(name);
    if (name.substr(prefix.empty() ? 0 : prefix.size() + 1) != local_name) continue;
    const char* bound = prefix.empty() ? nullptr : Binding(element, prefix);
    const bool in_namespace = prefix.empty() ? NamespaceUri(element) == namespace_uri
                                             : bound != nullptr && bound == namespace_uri;
    if (in_namespace) return attribute;
  }
  return {};
}

std::string AttributePrefix(const pugi::xml_node& element, std::string_view namespace_uri,
                            std::string_view preferred) {
  if (std::optional<std::string> prefix = BoundPrefix(element, namespace_uri)) return *prefix;
  std::string prefix(preferred);
  for (int suffix = 1; Binding(element, prefix) != nullptr; ++suffix) {
    prefix = std::string(preferred) + std::to_string(suffix);
  }
  pugi::xml_node target = element;
  target.append_attribute(("xmlns:" + prefix).c_str()) = std::string(namespace_uri).c_str();
  return prefix;
}

std::string_view LocalNameIn(const pugi::xml_node& node, std::string_view namespace_uri) {
  if (node.type() != pugi::node_element || NamespaceUri(node) != namespace_uri) return {};
  return LocalName(node);
}

pugi::xml_node InsertInOrder(const pugi::xml_node& parent, std::string_view namespace_uri,
                             std::string_view local_name,
                             std::initializer_list<std::string_view> order) {
  std::string name;
  if (!QualifiedName(parent, namespace_uri, local_name, &name)) return {};
  const auto rank = [&order](std::string_view local) {
    return std::find(order.begin(), order.end(), local) - order.begin();
  };
  const auto own_rank = rank(local_name);
  pugi::xml_node after;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    const std::string_view local = LocalNameIn(child, namespace_uri);
    if (!local.empty() && rank(local) < own_rank) after = child;
  }
  pugi::xml_node target = parent;
  return after ? target.insert_child_after(name.c_str(), after)
               : target.prepend_child(name.c_str());
}

pugi::xml_node DocumentRoot(const pugi::xml_document* part) {
  return part == nullptr ? pugi::xml_node() : part->document_element();
}

std::optional<int64_t> ParseXmlInteger(std::string_view text, int64_t minimum, int64_t maximum) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);
  // from_chars takes a minus sign but no plus sign.
  if (text.starts_with('+') && !text.substr(1).starts_with('-')) text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < minimum ||
      value > maximum) {
    return std::nullopt;
  }
  return value;
}

bool BooleanAttribute(const pugi::xml_attribute& attribute, bool absent) {
  if (!attribute) return absent;
  const std::string_view value = attribute.value();
  return value == "1" || value == "true";
}

}  // namespace ovc::office
