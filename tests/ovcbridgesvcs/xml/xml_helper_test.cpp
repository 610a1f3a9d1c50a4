#include "ovcbridgesvcs/xml/xml_helper.h"

#include <gtest/gtest.h>

#include "automation/text.h"
#include "ovcbridgesvcs/xml/xml_document.h"
#include "tests/ovcbridgesvcs/host/plant_workspace.h"

namespace ovc::xml {
namespace {

using host_testing::RunInFrame;
using host_testing::TakeDesc;

TEST(XmlHelperTest, MissingAttributesAndObjectsAreHandled) {
  ComPtr<IXMLDOMDocument> document;
  ComPtr<IXMLDOMElement> root;
  ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
              document = ParseDocument(frame, L"<Link Empty=\"\" Word=\"x\" Some=\" 17z\"/>");
              root = DocumentElement(frame, document.get());
              const AttributeReader reader(frame, root.get());
              EXPECT_EQ(reader.Oid(L"Absent"), -1) << "no OID is none, never record 0";
              EXPECT_EQ(reader.Oid(L"Empty"), -1);
              EXPECT_EQ(reader.Oid(L"Word"), -1);
              EXPECT_EQ(reader.Oid(L"Some"), 17);
            }),
            S_OK);
  std::wstring text = L"preset";
  EXPECT_EQ(GetNodeText(root.get(), L"Absent", &text), S_OK);
  EXPECT_EQ(text, L"preset");
  EXPECT_EQ(GetNodeText(nullptr, L"A", &text), E_INVALIDARG);
  EXPECT_EQ(AddAttribute(nullptr, root.get(), L"A", Variant()), E_INVALIDARG);
  EXPECT_EQ(AddAttribute(document.get(), root.get(), L"1bad", Variant()), E_FAIL);
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
      {true, L"http://example.com/link.xml", L"Only local files are read"},
      {true, L"/no/such/link.xml", L"Cannot read the XML file /no/such/link.xml: "},
  };
  for (const auto& each : cases) {
    const HRESULT hr = RunInFrame([&](CMethodFrame& frame) {
      if (each.file) {
        LoadLocalDocument(frame, each.source);
      } else {
        ParseDocument(frame, each.source);
      }
    });
    EXPECT_TRUE(Failed(hr)) << ToUtf8(each.source);
    EXPECT_EQ(TakeDesc().substr(0, each.desc_start.size()), each.desc_start) << ToUtf8(each.source);
  }
}

}  // namespace
}  // namespace ovc::xml
