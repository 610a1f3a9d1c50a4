#pragma once

#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <pugixml.hpp>

namespace ovc::office::testing {

// Parses a part as the package does, keeping white space and comments.
inline void LoadPart(pugi::xml_document* part, std::string_view xml) {
  ASSERT_TRUE(part->load_buffer(xml.data(), xml.size(), pugi::parse_full | pugi::parse_ws_pcdata));
}

// A node as written back into its part, attribute values in single quotes
// (pugixml writes double quotes) so that expectations read easily.
inline std::string XmlOf(pugi::xml_node node) {
  std::ostringstream out;
  node.print(out, "", pugi::format_raw);
  std::string xml = out.str();
  for (char& c : xml) c = c == '"' ? '\'' : c;
  return xml;
}

}  // namespace ovc::office::testing
