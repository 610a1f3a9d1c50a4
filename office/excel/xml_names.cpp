#include "office/excel/xml_names.h"

#include <algorithm>

namespace ovc::excel {

namespace {

std::string_view PrefixOf(std::string_view qualified) {
  const size_t colon = qualified.find(':');
  return colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
}

}  // namespace

pugi::xml_node DocumentRoot(const pugi::xml_document* part) {
  return part == nullptr ? pugi::xml_node() : part->document_element();
}

bool BooleanAttribute(pugi::xml_attribute attribute, bool absent) {
  if (!attribute) return absent;
  const std::string_view value = attribute.value();
  return value == "1" || value == "true";
}

XmlNames::XmlNames(pugi::xml_node root, std::string_view uri) {
  std::string_view prefix = PrefixOf(root.name());
  for (pugi::xml_attribute attribute : root.attributes()) {
    const std::string_view name = attribute.name();
    if (attribute.value() != uri) continue;
    if (name == "xmlns") {
      prefix = {};
      declared_ = true;
      break;
    }
    if (name.starts_with("xmlns:")) {
      prefix = name.substr(6);
      declared_ = true;
      break;
    }
  }
  if (!prefix.empty()) prefix_ = std::string(prefix) + ":";
}

bool XmlNames::Is(pugi::xml_node node, std::string_view local) const {
  return LocalName(node) == local;
}

std::string_view XmlNames::LocalName(pugi::xml_node node) const {
  if (node.type() != pugi::node_element) return {};
  const std::string_view name = node.name();
  if (!name.starts_with(prefix_)) return {};
  const std::string_view local = name.substr(prefix_.size());
  return local.find(':') == std::string_view::npos ? local : std::string_view();
}

pugi::xml_node XmlNames::Child(pugi::xml_node parent, std::string_view local) const {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (Is(child, local)) return child;
  }
  return {};
}

std::string XmlNames::Name(std::string_view local) const { return prefix_ + std::string(local); }

pugi::xml_node XmlNames::InsertInOrder(pugi::xml_node parent, std::string_view local,
                                       std::initializer_list<std::string_view> order) const {
  const auto rank = [&order](std::string_view name) {
    return std::find(order.begin(), order.end(), name) - order.begin();
  };
  const auto own_rank = rank(local);
  pugi::xml_node after;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    const std::string_view name = LocalName(child);
    if (!name.empty() && rank(name) < own_rank) after = child;
  }
  const std::string name = Name(local);
  return after ? parent.insert_child_after(name.c_str(), after)
               : parent.prepend_child(name.c_str());
}

}  // namespace ovc::excel
