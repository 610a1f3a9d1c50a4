#include "orvan/service/xml_writer.h"

#include <charconv>

#include "orvan/service/attribute_text.h"

namespace ovc::orvan {

namespace {

// Characters that the reference layer or the XML escaping replace.
bool IsPlain(std::string_view value) {
  for (char c : value) {
    if (static_cast<unsigned char>(c) < 32 || c == '&' || c == '<' || c == '>' || c == '"') {
      return false;
    }
  }
  return true;
}

}  // namespace

void XmlWriter::Open(const char* name) {
  EndStartTag();
  text_ += '<';
  text_ += name;
  open_.push_back(name);
  in_start_tag_ = true;
}

void XmlWriter::Text(const char* name, std::string_view value) {
  text_ += ' ';
  text_ += name;
  text_ += "=\"";
  AppendValue(value);
  text_ += '"';
}

void XmlWriter::Number(const char* name, long long value) {
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  Text(name, std::string_view(digits, static_cast<size_t>(end - digits)));
}

void XmlWriter::Close() {
  if (in_start_tag_) {
    text_ += "/>";
    in_start_tag_ = false;
  } else {
    text_ += "</";
    text_ += open_.back();
    text_ += '>';
  }
  open_.pop_back();
}

std::string XmlWriter::Finish() {
  std::string text = std::move(text_);
  text_.clear();
  return text;
}

void XmlWriter::EndStartTag() {
  if (!in_start_tag_) return;
  text_ += '>';
  in_start_tag_ = false;
}

void XmlWriter::AppendValue(std::string_view value) {
  if (IsPlain(value)) {
    text_ += value;
    return;
  }
  for (char c : EscapeAttribute(value)) {
    switch (c) {
      case '&':
        text_ += "&amp;";
        break;
      case '<':
        text_ += "&lt;";
        break;
      case '>':
        text_ += "&gt;";
        break;
      case '"':
        text_ += "&quot;";
        break;
      default:
        text_ += c;
    }
  }
}

}  // namespace ovc::orvan
