#include "ovcbridgesvcs/xml/xml_helper.h"

#include <gtest/gtest.h>

#include "automation/dom/xml_chars.h"
#include "automation/number_text.h"
#include "automation/text.h"
#include "ovcbridgesvcs/xml/variant_util.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::xml {
namespace {

using host_testing::RunInFrame;
using host_testing::TakeDesc;

TEST(XmlHelperTest, OidsWithoutDigitsAreNoneAndBadTextIsNotWritten) {
  pugi::xml_document tree;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              ParseTree(frame, "<Link Empty=\"\" Word=\"x\" Some=\" 17z\"/>", &tree);
            }),
            S_OK);
  const ElementReader reader(tree.document_element());
  EXPECT_EQ(reader.Oid("Absent"), -1) << "no OID is none, never record 0";
  EXPECT_EQ(reader.Oid("Empty"), -1);
  EXPECT_EQ(reader.Oid("Word"), -1);
  EXPECT_EQ(reader.Oid("Some"), 17);

  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              ElementWriter(frame, tree.document_element()).Text("Bad", L"a\uFFFFb");
            }),
            E_FAIL);
  EXPECT_FALSE(TakeDesc().empty());
  EXPECT_FALSE(tree.document_element().attribute("Bad")) << "nothing half-written";
}

// The one-pass writer and the plain-value reader agree with the layered
// route (EscapeXmlText, CheckNodeText, ToUtf8 / FromUtf8, UnescapeXmlText).
TEST(XmlHelperTest, TextGoesThroughTheLayerLikeTheLayeredRoute) {
  const std::wstring texts[] = {L"",
                                L"A&B",
                                L"&#38; typed",
                                L"\x01\t\n\x1f",
                                L"<\">' 17",
                                L"\u00e9\u6c34\U0001F600x",
                                L"\xD800",
                                L"&\uFFFE",
                                L"\u00e9\x110000"};
  for (const std::wstring& text : texts) {
    const std::wstring escaped = EscapeXmlText(text);
    const HRESULT check = dom::CheckNodeText(NODE_ATTRIBUTE, escaped);
    const std::wstring check_desc = TakeDesc();
    pugi::xml_document tree;
    pugi::xml_node element = tree.append_child("Link");
    EXPECT_EQ(
        RunInFrame([&](CMethodFrame& frame) { ElementWriter(frame, element).Text("T", text); }),
        check);
    EXPECT_NE(TakeDesc().find(check_desc), std::wstring::npos) << ToUtf8(escaped);
    if (Failed(check)) continue;
    EXPECT_EQ(element.attribute("T").value(), ToUtf8(escaped));
    EXPECT_EQ(ElementReader(element).Text("T"), text);
  }
}

TEST(XmlHelperTest, NumbersAndFlagsReadLikeTheUnescapedText) {
  const std::string values[] = {"",           " 17z", "&#32;5", "-99999999999", "+8",
                                "\xC2\xA0+5", "1",    "&#49;",  " 1",           "\xFF"};
  for (const std::string& value : values) {
    pugi::xml_document tree;
    pugi::xml_node element = tree.append_child("Link");
    element.append_attribute("V").set_value(value.c_str());
    const ElementReader reader(element);
    const std::wstring text = UnescapeXmlText(FromUtf8(value));
    bool found = false;
    const int32_t number = LeadingInteger(text, &found);
    EXPECT_EQ(reader.Integer("V"), number) << value;
    EXPECT_EQ(reader.Oid("V"), found ? number : -1) << value;
    EXPECT_EQ(reader.Flag("V"), text == L"1") << value;
  }
}

// A Link element within `depth` levels of other elements.
std::wstring Nested(int depth) {
  std::wstring open;
  std::wstring close;
  for (int i = 0; i < depth; ++i) {
    open += L"<a>";
    close += L"</a>";
  }
  return open + L"<Link/>" + close;
}

// Documents come from text or local files only: no URL, no DTD, no
// external entity.
TEST(XmlHelperTest, HostileDocumentsAreRefusedWithAReason) {
  const struct {
    bool file;
    std::wstring source;
    std::wstring desc_start;
  } cases[] = {
      {false, L"<Link", L"The text is not well-formed XML: "},
      {false, L"<!DOCTYPE Link [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><Link R=\"&e;\"/>",
       L"The text is not well-formed XML: "},
      {false, L"<!DOCTYPE Link SYSTEM \"link.dtd\"><Link/>",
       L"The XML document has a document type declaration"},
      {false, Nested(300), L"The text is not well-formed XML: The document nests elements"},
      {true, L"http://example.com/link.xml", L"Only local files are read"},
      {true, L"/no/such/link.xml", L"Cannot read the XML file /no/such/link.xml: "},
  };
  for (const auto& each : cases) {
    pugi::xml_document tree;
    const HRESULT hr = RunInFrame([&](CMethodFrame& frame) {
      ElementToRead(frame, Variant(each.source), "Link",
                    each.file ? TextSource::kFilePath : TextSource::kXmlText, &tree);
    });
    EXPECT_TRUE(Failed(hr)) << ToUtf8(each.source);
    EXPECT_EQ(TakeDesc().substr(0, each.desc_start.size()), each.desc_start) << ToUtf8(each.source);
    EXPECT_FALSE(tree.first_child()) << "nothing half-read";
  }
}

}  // namespace
}  // namespace ovc::xml
