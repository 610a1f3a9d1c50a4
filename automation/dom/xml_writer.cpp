#include "automation/dom/xml_writer.h"

#include <array>
#include <string_view>

#include "automation/dom/tree_walk.h"

namespace ovc::dom {

namespace {

// The bytes that stand for themselves in text or in an attribute value, and
// the ones that are written as a reference.
using EscapeSet = std::array<bool, 256>;

constexpr EscapeSet MakeEscapeSet(std::string_view markup, std::string_view literal_controls) {
  EscapeSet set{};
  for (char c = 0; c < 32; ++c)
    set[static_cast<unsigned char>(c)] = literal_controls.find(c) == std::string_view::npos;
  for (const char c : markup) set[static_cast<unsigned char>(c)] = true;
  return set;
}

constexpr EscapeSet kTextEscapes = MakeEscapeSet("&<>", "\t\n");
constexpr EscapeSet kAttributeEscapes = MakeEscapeSet("&<\"", "");

void AppendReference(std::string& out, unsigned char c) {
  switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += "&#";
      out += std::to_string(c);
      out += ';';
  }
}

// Appends `text` with every byte in `escaped` written as its reference; the
// runs between go in whole.
void AppendEscaped(std::string& out, std::string_view text, const EscapeSet& escaped) {
  size_t run = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto code = static_cast<unsigned char>(text[i]);
    if (!escaped[code]) continue;
    out.append(text.substr(run, i - run));
    AppendReference(out, code);
    run = i + 1;
  }
  out.append(text.substr(run));
}

void AppendAttribute(std::string& out, pugi::xml_attribute attribute) {
  out += attribute.name();
  out += "=\"";
  AppendEscaped(out, attribute.value(), kAttributeEscapes);
  out += '"';
}

void AppendAttributes(std::string& out, pugi::xml_node node) {
  for (const pugi::xml_attribute attribute : node.attributes()) {
    out += ' ';
    AppendAttribute(out, attribute);
  }
}

// A node as it stands before its children: a whole node, or an element's
// start tag (its empty-element tag when it has no children).
void AppendOpening(std::string& out, pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_element:
      out += '<';
      out += node.name();
      AppendAttributes(out, node);
      out += node.first_child() ? ">" : "/>";
      break;
    case pugi::node_pcdata:
      AppendEscaped(out, node.value(), kTextEscapes);
      break;
    case pugi::node_cdata:
      out.append("<![CDATA[").append(node.value()).append("]]>");
      break;
    case pugi::node_comment:
      out.append("<!--").append(node.value()).append("-->");
      break;
    case pugi::node_pi:
      out.append("<?").append(node.name());
      if (*node.value() != '\0') out.append(" ").append(node.value());
      out += "?>";
      break;
    case pugi::node_declaration:
      out.append("<?").append(node.name());
      AppendAttributes(out, node);
      out += "?>";
      break;
    case pugi::node_doctype:
      out.append("<!DOCTYPE ").append(node.value()).append(">");
      break;
    case pugi::node_document:
    case pugi::node_null:
      break;
  }
}

void AppendClosing(std::string& out, pugi::xml_node node) {
  if (node.type() != pugi::node_element) return;
  out += "</";
  out += node.name();
  out += '>';
}

}  // namespace

std::string WriteXml(pugi::xml_node node) {
  std::string out;
  TreeWalk walk(node);
  do {
    AppendOpening(out, walk.node());
  } while (walk.Next([&out](pugi::xml_node left) { AppendClosing(out, left); }));
  return out;
}

std::string WriteXml(pugi::xml_attribute attribute) {
  std::string out;
  AppendAttribute(out, attribute);
  return out;
}

}  // namespace ovc::dom
