#include "orvan/service/attribute_text.h"

#include <gtest/gtest.h>

namespace ovc::orvan {
namespace {

TEST(AttributeTextTest, EscapesControlCharactersAndAmpersands) {
  struct Case {
    std::string plain;
    std::string escaped;
  };
  const Case cases[] = {
      {"A&B", "A&#38;B"},
      {"line\nbreak", "line&#10;break"},
      {"tab\there", "tab&#9;here"},
      {"<ok> \"x\" é", "<ok> \"x\" é"},
      {"", ""},
      {"&&", "&#38;&#38;"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeAttribute(c.plain), c.escaped) << c.plain;
    EXPECT_EQ(UnescapeAttribute(c.escaped), c.plain) << c.escaped;
  }
}

TEST(AttributeTextTest, UnescapeFollowsTheLibraryReading) {
  struct Case {
    const char* escaped;
    std::string plain;
  };
  const Case cases[] = {
      {"&#233;t&#233;", "été"},            // any code, written as UTF-8
      {"&#x41;", std::string(1, '\0')},    // no leading digits read as 0
      {"a&#65", "a&#65"},                  // no ";": kept as it is
      {"&#65536;", std::string(1, '\0')},  // only the lower 16 bits count
      {"&#8364;&#38;", "€&"},
      {"50&#37; &amp", "50% &amp"},
  };
  for (const Case& c : cases) EXPECT_EQ(UnescapeAttribute(c.escaped), c.plain) << c.escaped;
}

}  // namespace
}  // namespace ovc::orvan
