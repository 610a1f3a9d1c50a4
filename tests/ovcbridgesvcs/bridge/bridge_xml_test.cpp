#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "automation/safe_array.h"
#include "tests/ovcbridgesvcs/apps/app_files.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"
#include "tests/ovcbridgesvcs/xml/document_text.h"

namespace ovc::bridge {
namespace {

using host_testing::Got;
using host_testing::TakeDesc;

using xml_testing::XmlOf;

using BridgeXmlTest = bridge_testing::PlantBridgeTest;

// Each part's document, hostile texts included, exactly as it is written.
TEST_F(BridgeXmlTest, EachPartWritesItsDocumentExactly) {
  apps_testing::AppFiles files;
  const ComPtr<IBridge> bridge = BridgeByClass();
  bridge->put_Name(L"A&B <\"q\" 'a'>");
  bridge->put_Description(L"\x01\t\n\r\U0001F600\u00fc");
  bridge->put_CreatedTimeStamp(Variant::Date(36526.25));
  bridge->put_ModifiedTimeStamp(Variant::Date(45000.5));
  bridge->put_CaseOID(101);
  const ComPtr<ILinkSet> pumps = AddLinkSet(bridge.get());
  pumps->put_Name(L"P&<>");
  ASSERT_EQ(pumps->put_ObjectOIDList(Variant(SafeArray::FromValues({Variant::I4(7)}, VT_I4))),
            S_OK);
  ASSERT_EQ(pumps->put_ObjectNameList(Variant(SafeArray::FromValues({Variant(L"B&\"C")}, VT_BSTR))),
            S_OK);
  Variant added;
  pumps->AddLink(&added);
  const ComPtr<ILink> link = ComPtr<IDispatch>(added.dispatch()).As<ILink>();
  link->put_Description(L"x&#38;y\t");
  link->put_ReadLocation(L"Sheet1!A1");
  const ComPtr<IApp> app = AddFile(bridge.get(), files.File("R&D.xlsx"));
  app->put_MacroRelease(L"Done&<");
  const std::wstring link_xml =
      L"<Link Description=\"x&amp;#38;#38;y&amp;#9;\" Route=\"\" ReadLocation=\"Sheet1!A1\" "
      L"WriteLocation=\"\" Case=\"-12\" Units=\"\" ReadFormat=\"\" WriteFormat=\"\" "
      L"Enabled=\"1\"/>";
  const std::wstring set_xml =
      L"<Linkset OID=\"-1\" Name=\"P&amp;#38;&lt;>\" Class=\"\" CaseSelected=\"-11\" "
      L"UnitStdSelected=\"&lt;Bridge Default>\" Enabled=\"1\" Description=\"\" "
      L"Iterative=\"0\"><ClassViewObjects>"
      L"<Object OID=\"7\" ObjectName=\"B&amp;#38;&quot;C\"/></ClassViewObjects><Links>" +
      link_xml + L"</Links></Linkset>";
  const std::wstring file_xml =
      L"<File OID=\"-1\" Enabled=\"1\" FileName=\"R&amp;#38;D.xlsx\" BeforeToAppMacro=\"\" "
      L"BeforeFromAppMacro=\"\" AfterToAppMacro=\"\" AfterFromAppMacro=\"\" "
      L"ReleaseMacro=\"Done&amp;#38;&lt;\"/>";
  std::wstring bridge_file_xml = file_xml;
  bridge_file_xml.replace(bridge_file_xml.find(L"#38;"), 4, L"");
  const std::wstring bridge_xml =
      L"<Bridge OID=\"-1\" Name=\"A&amp;#38;B &lt;&quot;q&quot; 'a'>\" CreatedBy=\"\" "
      L"DateCreated=\"36526.25\" ModifiedBy=\"\" DateModified=\"45000.5\" Case=\"101\" "
      L"UnitStandard=\"&lt;Workspace Default>\" "
      L"Description=\"&amp;#1;&amp;#9;&amp;#10;&amp;#13;\U0001F600\u00fc\" Optimize=\"1\">"
      L"<Linksets>" +
      set_xml + L"</Linksets><BridgeFiles>" + bridge_file_xml + L"</BridgeFiles></Bridge>";
  const struct {
    std::wstring got;
    std::wstring expected;
  } cases[] = {
      {XmlOf(link.get()), L"<?xml version=\"1.0\"?>" + link_xml},
      {XmlOf(pumps.get()), L"<?xml version=\"1.0\"?>" + set_xml},
      {XmlOf(app.get()), L"<?xml version=\"1.0\"?>" + file_xml},
      {XmlOf(bridge.get()), L"<?xml version=\"1.0\"?>" + bridge_xml},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
}

TEST_F(BridgeXmlTest, ABridgeReadsBackWhatItWroteAndReadingAppends) {
  const ComPtr<IBridge> bridge = NewBridge();
  bridge->put_Name(L"A&B");
  bridge->put_Description(L"two\nlines");
  bridge->put_CreatedTimeStamp(Variant::Date(36526.25));
  bridge->put_OptimizePerformance(VARIANT_FALSE);
  Variant link;
  const ComPtr<ILinkSet> pumps = AddLinkSet(bridge.get());
  pumps->put_Name(L"Pumps");
  pumps->AddLink(&link);
  AddLinkSet(bridge.get())->put_Name(L"Tanks");
  const std::wstring xml = XmlOf(bridge.get());
  EXPECT_EQ(xml.find(L"DateModified"), std::wstring::npos) << "none without a time stamp";

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

TEST_F(BridgeXmlTest, WorkingCopiesLeftByAFailedRunAreNotStored) {
  const ComPtr<IBridge> bridge = NewBridge();
  AddLinkSet(bridge.get())->put_Name(L"Template");
  const ComPtr<ILinkSet> copy = AddLinkSet(bridge.get());
  copy->put_Name(L"Copy");
  copy->put_IterativeCopy(VARIANT_TRUE);
  const ComPtr<IBridge> stored = NewBridge();
  ASSERT_EQ(stored->ReadXML(Variant(XmlOf(bridge.get()))), S_OK);
  ASSERT_EQ(Got(stored.get(), &IBridge::get_Count), 1);
  EXPECT_EQ(Got(ItemAt<ILinkSet>(stored.get(), 0).get(), &ILinkSet::get_Name), L"Template");
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
