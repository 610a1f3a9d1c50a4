#include "automation/dom/xml_writer.h"

#include <string_view>

#include "automation/dom/tree_walk.h"

namespace ovc::dom {

namespace {

void AppendCharacterReference(std::string& out, unsigned char c) {
  out += "&#";
  out += std::to_string(c);
  out += ';';
}

void AppendEscapedText(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (code < 32 && c != '\t' && c != '\n') {
      AppendCharacterReference(out, code);
    } else {
      out += c;
    }
  }
}

void AppendAttribute(std::string& out, pugi::xml_attribute attribute) {
  out += attribute.name();
  out += "=\"";
  for (const char c : std::string_view(attribute.value())) {
    const auto code = static_cast<unsigned char>(c);
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (code < 32) {
      AppendCharacterReference(out, code);
    } else {
      out += c;
    }
  }
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
      AppendEscapedText(out, node.value());
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
