#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace ovc::excel {

// The shared-string table of a workbook, read only: cells are written with
// inline strings, so the table never changes. The part is borrowed and may
// be null (no table); it must outlive the object.
class SharedStrings {
 public:
  explicit SharedStrings(const pugi::xml_document* part);

  // The decoded text of item `index` (rich runs joined, phonetic runs left
  // out). False for an index the table does not have.
  bool Text(uint32_t index, std::string* text) const;

 private:
  std::vector<pugi::xml_node> items_;
};

}  // namespace ovc::excel
