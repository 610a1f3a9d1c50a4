#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"
#include "tests/ovcbridgesvcs/xml/document_text.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;

using xml_testing::XmlOf;

using BridgeXmlTest = bridge_testing::PlantBridgeTest;

TEST_F(BridgeXmlTest, ABridgeReadsBackWhatItWroteAndReadingAppends) {
  const ComPtr<IBridge> bridge = NewBridge();
  bridge->put_Name(L"A&B");
  bridge->put_Description(L"two\nlines");
  bridge->put_CreatedTimeStamp(Variant::Date(36526.25));
  bridge->put_OptimizePerformance(VARIANT_FALSE);
  bridge->put_CaseOID(101);
  Variant link;
  const ComPtr<ILinkSet> pumps = AddLinkSet(bridge.get());
  pumps->put_Name(L"Pumps");
  pumps->AddLink(&link);
  AddLinkSet(bridge.get())->put_Name(L"Tanks");
  const std::wstring xml = XmlOf(bridge.get());
  EXPECT_NE(xml.find(L"<Bridge OID=\"-1\" Name=\"A&amp;#38;B\" CreatedBy=\"\" "
                     L"DateCreated=\"36526.25\" ModifiedBy=\"\" Case=\"101\""),
            std::wstring::npos)
      << "no DateModified without a time stamp";
  EXPECT_NE(xml.find(L"Optimize=\"0\"><Linksets><Linkset OID=\"-1\" Name=\"Pumps\""),
            std::wstring::npos);

  const ComPtr<IBridge> copy = NewBridge();
  ASSERT_EQ(copy->ReadXML(Variant(xml)), S_OK);
  EXPECT_EQ(XmlOf(copy.get()), xml);
  ASSERT_EQ(copy->ReadXML(Variant(xml)), S_OK);
  EXPECT_EQ(Got(copy.get(), &IBridge::get_Count), 4);
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "bridge_xml_test.xml";
  ASSERT_EQ(bridge->WriteToXML(Variant(path.wstring())), S_OK);
  std::wstringstream saved;
  saved << std::wifstream(path).rdbuf();
  std::filesystem::remove(path);
  const ComPtr<IBridge> from_file = NewBridge();
  ASSERT_EQ(from_file->ReadXML(Variant(saved.str())), S_OK);
  EXPECT_EQ(XmlOf(from_file.get()), xml);
  EXPECT_TRUE(
      Failed(bridge->WriteToXML(Variant(std::filesystem::temp_directory_path().wstring()))));
}

// Malformed, hostile, truncated or newer documents: a reason, nothing read,
// no crash; a newer document's unknown parts are passed over.
TEST_F(BridgeXmlTest, BadDocumentsAreRefusedWithAReasonAndLeaveTheBridgeAsItWas) {
  const struct {
    Variant value;
    HRESULT hr;
    std::wstring desc_start;
  } cases[] = {
      {Variant::I4(3), E_INVALIDARG, L"ReadXML takes a Bridge element"},
      {Variant(L"<Root><Bridge/><Bridge/></Root>"), E_INVALIDARG, L"ReadXML takes"},
      {Variant(L"<Bridge Name=\"x\"><Linksets><Linkset Name=\"y\">"), E_FAIL, L"The text is not"},
      {Variant(L"<!DOCTYPE Bridge [<!ENTITY big \"xxxx\">]><Bridge Name=\"&big;\"/>"), E_FAIL,
       L"The text is not well-formed XML: The entity"},
      {Variant(L"<!DOCTYPE Bridge SYSTEM \"http://example.com/b.dtd\"><Bridge/>"), E_INVALIDARG,
       L"The XML document has a document type declaration"},
  };
  const ComPtr<IBridge> bridge = NewBridge();
  bridge->put_Name(L"kept");
  const std::wstring before = XmlOf(bridge.get());
  for (const auto& [value, hr, desc_start] : cases) {
    EXPECT_EQ(bridge->ReadXML(value), hr);
    EXPECT_EQ(TakeDesc().substr(0, desc_start.size()), desc_start);
  }
  EXPECT_EQ(XmlOf(bridge.get()), before);

  ASSERT_EQ(bridge->ReadXML(Variant(L"<Bridge Version=\"99\" Name=\"new\"><Linksets><Linkset "
                                    L"Name=\"a\"><Future/></Linkset></Linksets><Extra/></Bridge>")),
            S_OK);
  EXPECT_EQ(Got(bridge.get(), &IBridge::get_OID), -1) << "an absent OID is none, never record 0";
  EXPECT_EQ(Got(bridge.get(), &IBridge::get_Count), 1);
}

}  // namespace
}  // namespace ovc::bridge
