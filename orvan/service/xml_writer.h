#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ovc::orvan {

// Writes an XML document as text, element by element, without building a
// tree, in the form SerializeXml gives a tree: UTF-8, no declaration, no
// indentation, "<a/>" for an element without children.
// Attribute values carry the library's character-reference layer beneath the
// XML escaping, as SetText writes them.
//
// Calls must nest: attributes go to the element opened last, before its
// first child; every Open has its Close before Finish.
class XmlWriter {
 public:
  explicit XmlWriter(size_t expected_size = 0) { text_.reserve(expected_size); }

  // Starts an element inside the one open (the root when none is). `name`
  // is not copied and must stay valid until the element is closed.
  void Open(const char* name);
  void Text(const char* name, std::string_view value);
  void Number(const char* name, long long value);
  // Ends the element opened last.
  void Close();

  // The document; the writer is left empty.
  std::string Finish();

 private:
  void EndStartTag();
  void AppendValue(std::string_view value);

  std::string text_;
  std::vector<const char*> open_;
  bool in_start_tag_ = false;
};

}  // namespace ovc::orvan
