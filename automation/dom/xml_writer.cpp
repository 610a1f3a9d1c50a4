#include "automation/dom/xml_writer.h"

#include <string_view>

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

void AppendNode(std::string& out, pugi::xml_node node);

void AppendChildren(std::string& out, pugi::xml_node node) {
  for (const pugi::xml_node child : node.children()) AppendNode(out, child);
}

void AppendElement(std::string& out, pugi::xml_node node) {
  out += '<';
  out += node.name();
  AppendAttributes(out, node);
  if (!node.first_child()) {
    out += "/>";
    return;
  }
  out += '>';
  AppendChildren(out, node);
  out += "</";
  out += node.name();
  out += '>';
}

void AppendNode(std::string& out, pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_document:
      AppendChildren(out, node);
      break;
    case pugi::node_element:
      AppendElement(out, node);
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
    case pugi::node_null:
      break;
  }
}

}  // namespace

std::string WriteXml(pugi::xml_node node) {
  std::string out;
  AppendNode(out, node);
  return out;
}

std::string WriteXml(pugi::xml_attribute attribute) {
  std::string out;
  AppendAttribute(out, attribute);
  return out;
}

}  // namespace ovc::dom
