#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "automation/variant.h"
#include "ovcbridgesvcs/frame/method_frame.h"

// Writing and reading attribute values of the library's XML documents, held
// as pugixml trees in UTF-8. Text values carry the character-reference layer
// of EscapeXmlText (variant_util.h) beneath the XML escaping the serialiser
// adds; these classes add and remove it, so every writer and reader of the
// library matches.
namespace ovc::xml {

// Appends attributes, in the order of the calls, to one element of a tree;
// failures raise through the frame.
class ElementWriter {
 public:
  // `element` must outlive the writer; the tree owns what is appended.
  ElementWriter(CMethodFrame& frame, pugi::xml_node element) : frame_(frame), element_(element) {}

  // The text escaped (EscapeXmlText); raises E_FAIL with the reason for a
  // character no XML document can hold.
  const ElementWriter& Text(const char* name, std::wstring_view value) const;
  // In decimal.
  const ElementWriter& Integer(const char* name, int32_t value) const;
  // "1" or "0".
  const ElementWriter& Flag(const char* name, bool value) const;
  // As FormatForXML writes a date; no attribute when `value` holds no date.
  const ElementWriter& Date(const char* name, const Variant& value) const;
  // A writer of a new element `name`, appended as the last child.
  ElementWriter Child(const char* name) const;

  pugi::xml_node element() const { return element_; }

 private:
  void Set(const char* name, std::string_view value) const;

  CMethodFrame& frame_;
  pugi::xml_node element_;
};

// Reads the attributes of one element of a tree; absent attributes read as
// empty text.
class ElementReader {
 public:
  // `element` must outlive the reader.
  explicit ElementReader(pugi::xml_node element) : element_(element) {}

  // The unescaped text; empty when absent.
  std::wstring Text(const char* name) const;
  // The leading decimal digits; 0 when absent or without digits.
  int32_t Integer(const char* name) const;
  // An OID: the leading decimal digits; -1 (none) when absent, empty or
  // without digits, so that a missing OID never names record 0.
  int32_t Oid(const char* name) const;
  // True exactly for "1".
  bool Flag(const char* name) const;
  // A date from its serial number; null when absent or not a number.
  Variant Date(const char* name) const;

 private:
  pugi::xml_node element_;
};

}  // namespace ovc::xml
