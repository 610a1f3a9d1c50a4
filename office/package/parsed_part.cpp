#include "office/package/parsed_part.h"

#include "automation/text.h"

#include <cstring>

namespace ovc::office {
namespace {

constexpr unsigned kParseOptions = pugi::parse_full | pugi::parse_ws_pcdata;

// The UTF-8 prolog as written: an optional byte order mark, the declaration
// and the white space after it. Empty for a part without declaration or not
// in UTF-8 (whose declaration is rewritten).
std::string Prolog(std::string_view bytes) {
  size_t at = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  if (bytes.substr(at, 6) != "<?xml " && bytes.substr(at, 6) != "<?xml\t" &&
      bytes.substr(at, 6) != "<?xml\r" && bytes.substr(at, 6) != "<?xml\n") {
    return std::string(bytes.substr(0, at));
  }
  const size_t end = bytes.find("?>", at);
  if (end == std::string_view::npos) return "";
  at = end + 2;
  while (at < bytes.size() && IsBlank(bytes[at])) ++at;
  return std::string(bytes.substr(0, at));
}

std::string Epilogue(std::string_view bytes) {
  size_t at = bytes.size();
  while (at > 0 && IsBlank(bytes[at - 1])) --at;
  return std::string(bytes.substr(at));
}

bool DeclaresUtf8(const pugi::xml_document& document) {
  const pugi::xml_node declaration = document.first_child();
  if (declaration.type() != pugi::node_declaration) return true;
  const char* encoding = declaration.attribute("encoding").value();
  return *encoding == 0 || strcasecmp(encoding, "utf-8") == 0;
}

// True when no element is nested deeper than `limit`; walks the tree without
// recursion and stops at the first element past it.
bool DepthWithin(const pugi::xml_node& root, uint32_t limit) {
  uint32_t depth = 0;
  pugi::xml_node node = root.first_child();
  while (node) {
    if (node.type() == pugi::node_element) {
      if (depth + 1 > limit) return false;
      if (node.first_child()) {
        ++depth;
        node = node.first_child();
        continue;
      }
    }
    while (node && !node.next_sibling()) {
      node = node.parent();
      if (node == root) return true;
      --depth;
    }
    if (node) node = node.next_sibling();
  }
  return true;
}

class StringWriter : public pugi::xml_writer {
 public:
  explicit StringWriter(std::string* out) : out_(out) {}
  void write(const void* data, size_t size) override {
    out_->append(static_cast<const char*>(data), size);
  }

 private:
  std::string* out_;
};

}  // namespace

bool ParsePart(std::string bytes, uint32_t max_depth, ParsedPart* part, std::string* reason) {
  // Parsing in place overwrites the bytes: what pugixml drops is kept first.
  std::string prolog = Prolog(bytes);
  part->epilogue = Epilogue(bytes);
  part->source = std::move(bytes);
  const pugi::xml_parse_result result =
      part->document.load_buffer_inplace(part->source.data(), part->source.size(), kParseOptions);
  if (!result) {
    *reason = std::string("malformed XML at byte ") + std::to_string(result.offset) + ": " +
              result.description();
    return false;
  }
  for (const pugi::xml_node& node : part->document.children()) {
    if (node.type() == pugi::node_doctype) {
      *reason = "a DOCTYPE is not allowed";
      return false;
    }
  }
  if (!DepthWithin(part->document, max_depth)) {
    *reason = "elements nested deeper than " + std::to_string(max_depth);
    return false;
  }
  if (DeclaresUtf8(part->document)) part->prolog = std::move(prolog);
  return true;
}

std::string SerializePart(const ParsedPart& part) {
  std::string out;
  // The text rarely grows much, so the string is seldom moved while filled.
  out.reserve(part.source.size() + part.source.size() / 8 + 4096);
  out = part.prolog;
  StringWriter writer(&out);
  for (pugi::xml_node node : part.document.children()) {
    if (node.type() == pugi::node_declaration) {
      if (!part.prolog.empty()) continue;
      pugi::xml_node copy = node;
      copy.attribute("encoding").set_value("UTF-8");
    }
    node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
  }
  out += part.epilogue;
  return out;
}

}  // namespace ovc::office
