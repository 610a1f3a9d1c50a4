#include "orvan/service/stored_document.h"

#include <gtest/gtest.h>

#include <string>

#include "orvan/service/xml_io.h"

namespace ovc::orvan {
namespace {

// The answer of parsing the stored text, setting Locked and Version and
// saving it again.
std::string ThroughTheTree(const std::string& stored, bool locked) {
  pugi::xml_document document;
  if (!ParseXml(stored, "Bridge", "stored bridge document", &document).ok()) return "(refused)";
  SetNumber(document.document_element(), "Locked", locked ? 1 : 0);
  SetNumber(document.document_element(), "Version", 12);
  return SerializeXml(document, true);
}

// What the writer makes of an attribute holding every ASCII character and of
// text holding all but the carriage return, which it writes as it is and the
// parser reads back as a line feed.
std::string WrittenAsciiDocument() {
  std::string ascii;
  for (int c = 1; c < 128; ++c) ascii += static_cast<char>(c);
  pugi::xml_document document;
  pugi::xml_node root = document.append_child("Bridge");
  root.append_attribute("All").set_value(ascii.c_str());
  ascii.erase(ascii.find('\r'), 1);
  root.append_child("Text").text().set(ascii.c_str());
  return SerializeXml(document, true);
}

TEST(StoredDocumentTest, StampsTheRootAsTheTreeWouldOrLeavesTheTextToIt) {
  struct Row {
    std::string stored;
    bool stamped;
  };
  const Row rows[] = {
      {"<?xml version=\"1.0\"?><Bridge OID=\"1\" Name=\"a &amp; b\"><L><S OID=\"5\"/></L></Bridge>",
       true},
      {"<Bridge OID=\"1\"><L/></Bridge>", true},
      {"<Bridge Name=\"a>b &quot;c&quot; 'd' &lt;&#01;\"><x/></Bridge>", true},
      {"<Bridge OID=\"2\" Locked=\"1\" Locked=\"\"><x/></Bridge>", true},
      {"<Bridge Name=\"x Locked=\" Locked2=\"\"><x/></Bridge>", true},
      {"<Bridge Version=\"3\" OID=\"2\" Locked=\"1\"><x/></Bridge>", true},
      {"<Bridge OID=\"2\" Version=\"\" Versions=\"4\"><x/></Bridge>", true},
      {"<Bridge><D>a \"b\" 'c' &lt;d&gt; &amp;&#01;&#31;\t\n é</D><E> x </E></Bridge>", true},
      {WrittenAsciiDocument(), true},
      {"", false},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><Bridge><x/></Bridge>", false},
      {"<Bridge><!-- note --><x/></Bridge>", false},
      {"<Bridge><![CDATA[a]]></Bridge>", false},
      {"<Bridge><?pi x?><x/></Bridge>", false},
      {"<Bridge>\n  <x/>\n</Bridge>", false},
      {"<Bridge><x></x></Bridge>", false},
      {"<Bridge a='1'><x/></Bridge>", false},
      {"<Bridge a=\"1\"  b=\"2\"><x/></Bridge>", false},
      {"<Bridge a=\"1\" ><x/></Bridge>", false},
      {"<Bridge a=\"&gt;\"><x/></Bridge>", false},
      {"<Bridge a=\"&#38;&apos;\"><x/></Bridge>", false},
      {"<Bridge a=\"&#9;\"><x/></Bridge>", false},
      {"<Bridge a=\"\t\"><x/></Bridge>", false},
      {"<Bridge><D>a>b</D></Bridge>", false},
      {"<Bridge><D>a&#10;b</D></Bridge>", false},
      {"<Bridge><D>a\rb</D></Bridge>", false},
      {"<Bridge><D>&#32;</D></Bridge>", false},
      {"<Bridge><x/></Bridge >", false},
      {"<Bridge><x/></Bridge>\n", false},
      {"<Bridge/>", false},
      {"<Bridges><x/></Bridges>", false},
  };
  for (const Row& row : rows) {
    for (bool locked : {false, true}) {
      std::string answer = "(left)";
      const RootAttribute stamp[] = {{"Locked", locked ? "1" : "0"}, {"Version", "12"}};
      EXPECT_EQ(StampRoot(row.stored, stamp, &answer), row.stamped) << row.stored;
      if (row.stamped) {
        EXPECT_EQ(answer, ThroughTheTree(row.stored, locked)) << row.stored;
      }
    }
  }
}

}  // namespace
}  // namespace ovc::orvan
