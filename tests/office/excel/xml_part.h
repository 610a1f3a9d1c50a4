#pragma once

#include <string>
#include <string_view>

#include "tests/office/common/xml_part.h"

namespace ovc::excel {

using office::testing::LoadPart;
using office::testing::XmlOf;

// A worksheet part with the given content, in the spreadsheet namespace
// under the prefix "x".
inline std::string Worksheet(std::string_view content) {
  return "<x:worksheet xmlns:x='http://schemas.openxmlformats.org/spreadsheetml/2006/main'>" +
         std::string(content) + "</x:worksheet>";
}

}  // namespace ovc::excel
