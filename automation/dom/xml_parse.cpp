#include "automation/dom/xml_parse.h"

#include <cstddef>
#include <string>

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

// The first top-level node that a document may not have: text, or a second
// element. Null when the top level is sound.
pugi::xml_node FirstMisplacedNode(const pugi::xml_document& tree, std::wstring* reason) {
  bool seen_element = false;
  for (const pugi::xml_node node : tree.children()) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
      *reason = L"Text is not allowed at the top level of a document";
      return node;
    }
    if (node.type() == pugi::node_element) {
      if (seen_element) {
        *reason = L"Only one top level element is allowed in an XML document";
        return node;
      }
      seen_element = true;
    }
  }
  return pugi::xml_node();
}

}  // namespace

bool ParseXml(std::string_view text, bool preserve_white_space, pugi::xml_document* tree,
              ParseErrorInfo* error) {
  unsigned int options = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                         pugi::parse_comments | pugi::parse_pi;
  if (preserve_white_space) options |= pugi::parse_ws_pcdata;
  const pugi::xml_parse_result result =
      tree->load_buffer(text.data(), text.size(), options, pugi::encoding_auto);
  std::wstring reason;
  size_t offset = static_cast<size_t>(result.offset);
  if (!result) {
    reason = FromUtf8(result.description());
  } else if (const pugi::xml_node misplaced = FirstMisplacedNode(*tree, &reason)) {
    offset = static_cast<size_t>(misplaced.offset_debug());
  } else {
    return true;
  }
  tree->reset();
  *error = ParseErrorInfo();
  error->code = E_FAIL;
  error->reason = reason + L".";
  Locate(text, offset, error);
  return false;
}

}  // namespace ovc::dom
