#include "automation/dom/xml_chars.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::dom {
namespace {

// Allowed ASCII is skipped sixteen bytes at a time; a character of any other
// kind placed where a block starts, ends or is cut short by the text's end
// is judged as it is alone.
TEST(XmlCharsTest, FindsDisallowedCharactersAtBlockEdges) {
  const struct {
    std::string bytes;
    bool allowed;
  } kinds[] = {
      {"\x01", false},         {"\x7F\t\n\r&", true},
      {"\xC3\xA9", true},      {"\xF0\x9F\x98\x80", true},
      {"\xEF\xBF\xBE", false},  // U+FFFE
      {"\xED\xA0\x80", false},  // an encoded surrogate
      {"\xC3", true},           // malformed, read as U+FFFD
  };
  for (const size_t at : {0, 7, 8, 15, 16, 32}) {
    for (const auto& kind : kinds) {
      const std::string text = std::string(32, 'a').insert(at, kind.bytes);
      EXPECT_EQ(FindDisallowedCharacter(text), kind.allowed ? std::string::npos : at) << at;
    }
  }
}

}  // namespace
}  // namespace ovc::dom
