#include "ovcbridgesvcs/xml/xml_helper.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "automation/text.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::xml {
namespace {

using host_testing::RunInFrame;
using host_testing::TakeDesc;

ComPtr<IXMLDOMDocument> Parse(std::wstring_view text) {
  ComPtr<IXMLDOMDocument> document;
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { document = ParseDocument(frame, text); }), S_OK);
  return document;
}

ComPtr<IXMLDOMElement> Root(IXMLDOMDocument* document) {
  ComPtr<IXMLDOMElement> root;
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { root = DocumentElement(frame, document); }),
            S_OK);
  return root;
}

TEST(XmlHelperTest, AttributesRoundTripThroughTheSerialisedDocument) {
  const ComPtr<IXMLDOMDocument> document = Parse(L"<?xml version=\"1.0\"?><Link/>");
  const ComPtr<IXMLDOMElement> root = Root(document.get());
  ASSERT_EQ(AddAttribute(document.get(), root.get(), L"Text", Variant(L"A&B\nC")), S_OK);
  ASSERT_EQ(AddAttribute(document.get(), root.get(), L"Count", Variant::I4(-3)), S_OK);
  ASSERT_EQ(AddAttribute(document.get(), root.get(), L"When", Variant::Date(36526.25)), S_OK);
  ASSERT_EQ(AddAttribute(document.get(), root.get(), L"Count", Variant::I4(4)), S_OK);
  std::wstring xml;
  ASSERT_EQ(document->get_xml(&xml), S_OK);
  EXPECT_NE(xml.find(L"Text=\"A&amp;#38;B&amp;#10;C\" Count=\"4\" When=\"36526.25\""),
            std::wstring::npos)
      << ToUtf8(xml);

  const ComPtr<IXMLDOMDocument> reread = Parse(xml);
  const ComPtr<IXMLDOMElement> element = Root(reread.get());
  std::wstring text = L"preset";
  EXPECT_EQ(GetNodeText(element.get(), L"Missing", &text), S_OK);
  EXPECT_EQ(text, L"preset");
  EXPECT_EQ(GetNodeText(element.get(), L"Text", &text), S_OK);
  EXPECT_EQ(text, L"A&B\nC");
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              const AttributeReader reader(frame, element.get());
              EXPECT_EQ(reader.Integer(L"Count"), 4);
              EXPECT_EQ(reader.Date(L"When"), Variant::Date(36526.25));
              EXPECT_EQ(reader.Date(L"Text"), Variant::Null());
            }),
            S_OK);

  EXPECT_EQ(AddAttribute(nullptr, root.get(), L"A", Variant()), E_INVALIDARG);
  EXPECT_EQ(AddAttribute(document.get(), root.get(), L"1bad", Variant()), E_FAIL);
  EXPECT_EQ(GetNodeText(nullptr, L"A", &text), E_INVALIDARG);
}

// A missing OID is none (-1), never record 0.
TEST(XmlHelperTest, OidsWithoutDigitsReadAsNone) {
  const ComPtr<IXMLDOMDocument> document =
      Parse(L"<Bridge Empty=\"\" Word=\"x\" Zero=\"0\" Some=\" 17z\" Flag=\"1\" Two=\"2\"/>");
  const ComPtr<IXMLDOMElement> root = Root(document.get());
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              const AttributeReader reader(frame, root.get());
              EXPECT_EQ(reader.Oid(L"Absent"), -1);
              EXPECT_EQ(reader.Oid(L"Empty"), -1);
              EXPECT_EQ(reader.Oid(L"Word"), -1);
              EXPECT_EQ(reader.Oid(L"Zero"), 0);
              EXPECT_EQ(reader.Oid(L"Some"), 17);
              EXPECT_EQ(reader.Integer(L"Empty"), 0);
              EXPECT_TRUE(reader.Flag(L"Flag"));
              EXPECT_FALSE(reader.Flag(L"Two"));
              EXPECT_FALSE(reader.Flag(L"Absent"));
            }),
            S_OK);
}

// Documents are read from local text or files only: no URL, no DTD, no
// external entity.
TEST(XmlHelperTest, HostileDocumentsAreRefusedWithAReason) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "xml_helper_test_link.xml";
  std::ofstream(path) << "<Link Route=\"Flow\"/>";
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
      {true, L"http://example.com/link.xml", L"Only local files are read"},
      {true, L"/no/such/link.xml", L"Cannot read the XML file /no/such/link.xml: "},
  };
  for (const auto& [file, source, desc_start] : cases) {
    const HRESULT hr = RunInFrame([&](CMethodFrame& frame) {
      if (file) {
        LoadLocalDocument(frame, source);
      } else {
        ParseDocument(frame, source);
      }
    });
    EXPECT_TRUE(Failed(hr)) << ToUtf8(source);
    EXPECT_EQ(TakeDesc().substr(0, desc_start.size()), desc_start) << ToUtf8(source);
  }
  ComPtr<IXMLDOMDocument> loaded;
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
              loaded = LoadLocalDocument(frame, L"file://" + path.wstring());
            }),
            S_OK);
  std::wstring route;
  EXPECT_EQ(GetNodeText(Root(loaded.get()).get(), L"Route", &route), S_OK);
  EXPECT_EQ(route, L"Flow");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace ovc::xml
