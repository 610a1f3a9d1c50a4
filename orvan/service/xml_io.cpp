#include "orvan/service/xml_io.h"

#include <cstring>

#include "orvan/service/attribute_text.h"

namespace ovc::orvan {

namespace {

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

}  // namespace

Status ParseXml(std::string_view text, const char* root, const char* what,
                pugi::xml_document* document) {
  if (text.size() > kMaxRequestBytes) {
    return Status::Invalid(std::string("The ") + what + " is too large (" +
                           std::to_string(text.size()) + " bytes; the limit is " +
                           std::to_string(kMaxRequestBytes) + ").");
  }
  // Without parse_doctype the document type declaration is skipped and no
  // entity it declares is ever expanded.
  pugi::xml_parse_result result =
      document->load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    return Status::Invalid(std::string("The ") + what +
                           " is not well-formed XML: " + result.description() + " at offset " +
                           std::to_string(result.offset) + ".");
  }
  pugi::xml_node element = document->document_element();
  if (element.empty()) return Status::Invalid(std::string("The ") + what + " has no element.");
  if (root != nullptr && std::strcmp(element.name(), root) != 0) {
    return Status::Invalid(std::string("The ") + what + " must be a " + root + " element, not " +
                           element.name() + ".");
  }
  return Status::Ok();
}

std::string SerializeXml(const pugi::xml_document& document, bool declaration) {
  StringWriter writer;
  unsigned flags = pugi::format_raw;
  if (!declaration) flags |= pugi::format_no_declaration;
  document.save(writer, "", flags, pugi::encoding_utf8);
  return std::move(writer.text);
}

namespace {

bool NeedsEscape(std::string_view value) {
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 32 || c == '&') return true;
  }
  return false;
}

void SetEscaped(pugi::xml_attribute attribute, std::string_view value) {
  if (!NeedsEscape(value)) {
    attribute.set_value(value.data(), value.size());
    return;
  }
  std::string escaped = EscapeAttribute(value);
  attribute.set_value(escaped.c_str(), escaped.size());
}

}  // namespace

void SetText(pugi::xml_node element, const char* name, std::string_view value) {
  pugi::xml_attribute attribute = element.attribute(name);
  SetEscaped(attribute ? attribute : element.append_attribute(name), value);
}

void SetNumber(pugi::xml_node element, const char* name, long long value) {
  pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute) attribute = element.append_attribute(name);
  attribute.set_value(value);
}

std::string GetText(pugi::xml_node element, const char* name) {
  return UnescapeAttribute(element.attribute(name).value());
}

}  // namespace ovc::orvan
