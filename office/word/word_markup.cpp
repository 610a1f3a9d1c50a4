#include "office/word/word_markup.h"

#include <algorithm>
#include <string>

#include "office/package/xml_names.h"

namespace ovc::word {
namespace {

// The prefix of an element's qualified name with its ":", or "".
std::string_view PrefixWithColon(pugi::xml_node element) {
  const std::string_view name = element.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon + 1);
}

std::string Qualified(pugi::xml_node element, std::string_view local) {
  return std::string(PrefixWithColon(element)) + std::string(local);
}

}  // namespace

bool IsWord(pugi::xml_node node, std::string_view local) {
  return office::IsElement(node, kWordNamespace, local);
}

pugi::xml_node WordChild(pugi::xml_node parent, std::string_view local) {
  return office::ChildElement(parent, kWordNamespace, local);
}

pugi::xml_attribute WordAttribute(pugi::xml_node element, std::string_view local) {
  return element.attribute(Qualified(element, local).c_str());
}

void SetWordAttribute(pugi::xml_node element, std::string_view local, std::string_view value) {
  const std::string name = Qualified(element, local);
  pugi::xml_attribute attribute = element.attribute(name.c_str());
  if (!attribute) attribute = element.append_attribute(name.c_str());
  attribute.set_value(std::string(value).c_str());
}

bool IsOn(pugi::xml_node property) {
  if (!property) return false;
  const pugi::xml_attribute value = WordAttribute(property, "val");
  if (!value) return true;
  const std::string_view text = value.value();
  return text != "0" && text != "false" && text != "off";
}

int32_t IntegerValue(pugi::xml_node element, int32_t absent) {
  return office::IntegerAttribute(WordAttribute(element, "val")).value_or(absent);
}

pugi::xml_node AppendWordChild(pugi::xml_node parent, std::string_view local) {
  return parent.append_child(Qualified(parent, local).c_str());
}

pugi::xml_node InsertWordChild(pugi::xml_node parent, std::string_view local,
                               std::span<const std::string_view> order) {
  const auto rank = [&order](std::string_view name) {
    return std::find(order.begin(), order.end(), name) - order.begin();
  };
  const auto own_rank = rank(local);
  pugi::xml_node after;
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    if (office::NamespaceUri(child) == kWordNamespace &&
        rank(office::LocalName(child)) < own_rank) {
      after = child;
    }
  }
  const std::string name = Qualified(parent, local);
  return after ? parent.insert_child_after(name.c_str(), after)
               : parent.prepend_child(name.c_str());
}

pugi::xml_node WordChildOrAdd(pugi::xml_node parent, std::string_view local,
                              std::span<const std::string_view> order) {
  const pugi::xml_node child = WordChild(parent, local);
  return child ? child : InsertWordChild(parent, local, order);
}

}  // namespace ovc::word
