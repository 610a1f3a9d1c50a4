#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "tests/office/common/xml_part.h"

namespace ovc::word::testing {

// WordprocessingML written with the prefix `prefix`, parsed as the package
// parses parts; root() is the first element of `content`.
class Snippet {
 public:
  explicit Snippet(std::string_view content, std::string_view prefix = "w") {
    const std::string xml = "<" + std::string(prefix) + ":root xmlns:" + std::string(prefix) +
                            "='http://schemas.openxmlformats.org/wordprocessingml/2006/main'>" +
                            std::string(content) + "</" + std::string(prefix) + ":root>";
    const pugi::xml_parse_result parsed =
        document_.load_buffer(xml.data(), xml.size(), pugi::parse_full | pugi::parse_ws_pcdata);
    EXPECT_TRUE(parsed) << parsed.description();
  }

  pugi::xml_node root() const { return document_.document_element().first_child(); }
  const pugi::xml_document& document() const { return document_; }

 private:
  pugi::xml_document document_;
};

using office::testing::XmlOf;

}  // namespace ovc::word::testing
