#include "automation/dom/xml_parse.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "automation/dom/tree_walk.h"
#include "automation/dom/xml_chars.h"
#include "automation/dom/xml_references.h"
#include "automation/text.h"

namespace ovc::dom {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

int32_t CountCharacters(std::string_view text) {
  int32_t count = 0;
  for (const char c : text) count += IsContinuationByte(c) ? 0 : 1;
  return count;
}

// Fills the position fields of *error for a byte offset into `text`.
void Locate(std::string_view text, size_t offset, ParseErrorInfo* error) {
  offset = std::min(offset, text.size());
  const std::string_view before = text.substr(0, offset);
  const size_t line_start =
      before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  size_t line_end = text.find('\n', line_start);
  if (line_end == std::string_view::npos) line_end = text.size();
  std::string_view line = text.substr(line_start, line_end - line_start);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  error->line = 1;
  for (const char c : before) error->line += c == '\n' ? 1 : 0;
  error->line_position = CountCharacters(before.substr(line_start)) + 1;
  error->file_position = CountCharacters(before);
  error->source_text = FromUtf8(line);
}

// Where a node starts in the parsed text: pugixml gives the offset of the
// name for tags and of the value for text.
size_t StartOf(pugi::xml_node node) {
  const auto offset = static_cast<size_t>(node.offset_debug());
  switch (node.type()) {
    case pugi::node_element:
      return offset - 1;
    case pugi::node_declaration:
    case pugi::node_pi:
      return offset - 2;
    default:
      return offset;
  }
}

bool IsVersionNumber(std::string_view value) {
  return value.size() > 2 && value.starts_with("1.") &&
         value.find_first_not_of("0123456789", 2) == std::string_view::npos;
}

bool IsEncodingName(std::string_view value) {
  if (value.empty() || !IsAsciiLetter(value.front())) return false;
  for (char c : value) {
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '.' && c != '_' && c != '-') return false;
  }
  return true;
}

// An XML declaration holds version, then optionally encoding and
// standalone, in that order, each with a value of its own form.
bool IsSoundDeclaration(pugi::xml_node declaration) {
  pugi::xml_attribute attribute = declaration.first_attribute();
  if (!attribute || std::string_view(attribute.name()) != "version" ||
      !IsVersionNumber(attribute.value())) {
    return false;
  }
  attribute = attribute.next_attribute();
  if (attribute && std::string_view(attribute.name()) == "encoding") {
    if (!IsEncodingName(attribute.value())) return false;
    attribute = attribute.next_attribute();
  }
  if (attribute && std::string_view(attribute.name()) == "standalone") {
    const std::string_view value = attribute.value();
    if (value != "yes" && value != "no") return false;
    attribute = attribute.next_attribute();
  }
  return !attribute;
}

// Checks the top level of a document parsed as a fragment: white space text
// is dropped; other text, a second element or a late declaration is an
// error, as is a missing element. Returns the offending node (with
// *reason), an empty node with an empty *reason when the top level is sound,
// or an empty node with a reason when there is no element.
pugi::xml_node CheckTopLevel(pugi::xml_document& tree, std::wstring* reason) {
  bool seen_element = false;
  bool first = true;
  for (pugi::xml_node node = tree.first_child(); node;) {
    const pugi::xml_node next = node.next_sibling();
    const auto type = node.type();
    if ((type == pugi::node_pcdata || type == pugi::node_cdata) &&
        TrimBlanks(node.value()).empty()) {
      tree.remove_child(node);
    } else if (type == pugi::node_pcdata || type == pugi::node_cdata) {
      *reason = L"Text is not allowed at the top level of a document";
      return node;
    } else if (type == pugi::node_declaration && !first) {
      *reason = L"The XML declaration is allowed only at the start of the document";
      return node;
    } else if (type == pugi::node_declaration && !IsSoundDeclaration(node)) {
      *reason = L"The XML declaration is malformed";
      return node;
    } else if (type == pugi::node_element && seen_element) {
      *reason = L"Only one top level element is allowed in an XML document";
      return node;
    }
    seen_element = seen_element || type == pugi::node_element;
    first = false;
    node = next;
  }
  if (!seen_element) *reason = L"No document element found";
  return pugi::xml_node();
}

// Where, and why, a parsed document breaks a rule pugixml does not check.
struct Fault {
  size_t offset = 0;
  std::wstring reason;
};

constexpr wchar_t kDisallowedCharacter[] = L"The document contains a character XML does not allow";

// Checks the characters of a text node's or attribute's raw value and
// resolves its references; `node` is the text node or the attribute's
// element.
template <class Holder>
bool ResolveValue(Holder holder, pugi::xml_node node, std::string* scratch, Fault* fault) {
  const std::string_view raw = holder.value();
  size_t at = FindDisallowedCharacter(raw);
  if (at != std::string_view::npos) {
    *fault = {StartOf(node) + at, kDisallowedCharacter};
    return false;
  }
  if (raw.find('&') == std::string_view::npos) return true;
  if (!ResolveReferences(raw, scratch, &fault->reason, &at)) {
    fault->offset = StartOf(node) + at;
    return false;
  }
  if (holder.set_value(scratch->c_str())) return true;
  *fault = {StartOf(node), L"There is not enough memory for the document"};
  return false;
}

bool HasDisallowedCharacter(pugi::xml_node node) {
  constexpr size_t npos = std::string_view::npos;
  return FindDisallowedCharacter(node.name()) != npos ||
         (node.type() != pugi::node_pcdata && FindDisallowedCharacter(node.value()) != npos);
}

// Checks what pugixml leaves to its user, walking the tree once: the depth
// of elements, the characters of every name and value, and the references
// in text and attribute values (parsed unresolved), which it resolves. Text
// that only its references make white space ("&#32;") is dropped like
// literal white space unless white space is preserved, so that a document
// written out reloads as it was.
bool CheckTree(pugi::xml_document& tree, const ParseOptions& options, Fault* fault) {
  const size_t max_depth = options.max_element_depth;
  std::string scratch;
  std::vector<pugi::xml_node> blank_text;
  TreeWalk walk(tree);
  while (walk.Next()) {
    const pugi::xml_node node = walk.node();
    if (max_depth != 0 && walk.depth() > max_depth && node.type() == pugi::node_element) {
      *fault = {StartOf(node), L"The document nests elements deeper than the limit of " +
                                   std::to_wstring(max_depth) + L" levels (MaxElementDepth)"};
      return false;
    }
    if (HasDisallowedCharacter(node)) {
      *fault = {StartOf(node), kDisallowedCharacter};
      return false;
    }
    for (const pugi::xml_attribute attribute : node.attributes()) {
      if (!ResolveValue(attribute, node, &scratch, fault)) return false;
    }
    if (node.type() != pugi::node_pcdata) continue;
    if (!ResolveValue(node, node, &scratch, fault)) return false;
    if (!options.preserve_white_space && TrimBlanks(node.value()).empty())
      blank_text.push_back(node);
  }
  for (const pugi::xml_node text : blank_text) text.parent().remove_child(text);
  return true;
}

}  // namespace

bool ParseXml(std::string_view text, const ParseOptions& options, pugi::xml_document* tree,
              ParseErrorInfo* error) {
  // Parsed as a fragment so that text at the top level is seen and
  // reported rather than dropped; CheckTopLevel applies the document rules.
  // References are left for CheckTree, which knows which are defined.
  unsigned int flags = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_declaration |
                       pugi::parse_doctype | pugi::parse_comments | pugi::parse_pi |
                       pugi::parse_fragment;
  if (options.preserve_white_space) flags |= pugi::parse_ws_pcdata;
  const pugi::xml_parse_result result =
      tree->load_buffer(text.data(), text.size(), flags,
                        options.is_unicode_text ? pugi::encoding_utf8 : pugi::encoding_auto);
  Fault fault{static_cast<size_t>(result.offset), L""};
  if (!result) {
    fault.reason = FromUtf8(result.description());
  } else if (const pugi::xml_node misplaced = CheckTopLevel(*tree, &fault.reason)) {
    fault.offset = StartOf(misplaced);
  } else if (!fault.reason.empty()) {
    fault.offset = text.size();
  } else if (CheckTree(*tree, options, &fault)) {
    return true;
  }
  tree->reset();
  *error = ParseErrorInfo();
  error->code = E_FAIL;
  error->reason = fault.reason + L".";
  Locate(text, fault.offset, error);
  return false;
}

}  // namespace ovc::dom
