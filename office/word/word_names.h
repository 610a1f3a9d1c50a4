#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace ovc::word {

inline constexpr std::string_view kWordNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr std::string_view kMarkupNamespace =
    "http://schemas.openxmlformats.org/markup-compatibility/2006";

// The word-processing namespace of one part, matched by URI. When the part
// binds it once, on its root, and no element below redeclares a prefix (the
// usual case), names compare by the prefix found there; otherwise every
// element's namespace is resolved where it stands.
class WordNames {
 public:
  explicit WordNames(const pugi::xml_document& part);

  // The local name of an element of the word-processing namespace; "" for
  // any other node.
  std::string_view Local(pugi::xml_node node) const;
  // Whether `node` is the element `local` (not empty) of the namespace; as
  // Local(node) == local, comparing the qualified name in place.
  bool Is(pugi::xml_node node, std::string_view local) const;
  // The attribute of that local name in the word-processing namespace.
  pugi::xml_attribute Attribute(pugi::xml_node element, std::string_view local) const;
  // The first child element of that local name; empty if none.
  pugi::xml_node Child(pugi::xml_node parent, std::string_view local) const;
  // The qualified name of a new element or attribute ("w:r").
  std::string Qualified(std::string_view local) const { return prefix_ + std::string(local); }

 private:
  std::string prefix_;  // "w:", or "" when the namespace is the default one (or unbound)
  bool uniform_ = true;
};

// True for an element of the markup-compatibility namespace.
bool IsMarkup(pugi::xml_node node, std::string_view local);

}  // namespace ovc::word
