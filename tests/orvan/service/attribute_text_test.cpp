#include "orvan/service/attribute_text.h"

#include <gtest/gtest.h>

namespace ovc::orvan {
namespace {

TEST(AttributeTextTest, ControlCharactersAndAmpersandsTravelAsCharacterReferences) {
  struct Case {
    std::string plain;
    std::string escaped;
    bool written;  // false: only read this way
  };
  const Case cases[] = {
      {"A&B", "A&#38;B", true},
      {"line\nbreak\ttab", "line&#10;break&#9;tab", true},
      {"<ok> \"x\" é", "<ok> \"x\" é", true},
      {"été", "&#233;t&#233;", false},            // any code, written as UTF-8
      {std::string(1, '\0'), "&#x41;", false},    // no leading digits read as 0
      {"a&#65", "a&#65", false},                  // no ";": kept as it is
      {std::string(1, '\0'), "&#65536;", false},  // only the lower 16 bits count
      {"50% &amp", "50&#37; &amp", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnescapeAttribute(c.escaped), c.plain) << c.escaped;
    if (c.written) {
      EXPECT_EQ(EscapeAttribute(c.plain), c.escaped) << c.plain;
    }
  }
}

}  // namespace
}  // namespace ovc::orvan
