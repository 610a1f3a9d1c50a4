#include "office/word/word_names.h"

#include <gtest/gtest.h>

#include <string>

namespace ovc::word {
namespace {

// Is(node, local) answers as Local(node) == local for every element of a
// part that binds the namespace to a prefix, to the default namespace, or
// again below the root.
TEST(WordNamesTest, IsAgreesWithTheLocalName) {
  const std::string w = "'http://schemas.openxmlformats.org/wordprocessingml/2006/main'";
  const std::string parts[] = {
      "<w:document xmlns:w=" + w +
          " xmlns:x='urn:x'><w:tbl><w:tr/><w:trPr/><w:t/><x:tr/><tr/></w:tbl></w:document>",
      "<document xmlns=" + w + " xmlns:a='urn:a'><tbl><tr/><a:tr/><trPr/><t/></tbl></document>",
      "<w:document xmlns:w=" + w + "><w:tbl><w:tr/><v:tr xmlns:v=" + w +
          "/><w:t xmlns:w='urn:other'/></w:tbl></w:document>"};
  for (const std::string& part : parts) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(part.c_str()));
    const WordNames names(document);
    int matches = 0;
    for (const pugi::xpath_node& found : document.select_nodes("//*")) {
      for (const char* local : {"tr", "t", "trPr", "tbl", "document"}) {
        const bool is = names.Is(found.node(), local);
        EXPECT_EQ(is, names.Local(found.node()) == local) << found.node().name() << " " << local;
        matches += is ? 1 : 0;
      }
    }
    EXPECT_GE(matches, 4) << part;
  }
}

}  // namespace
}  // namespace ovc::word
