#include "automation/dom/dom_element.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/automation/decimal_comma_locale.h"
#include "tests/automation/dom/dom_testing.h"

namespace ovc::dom_testing {
namespace {

TEST(DomElementTest, TypedAttributeValuesBecomeTheirText) {
  int32_t number = 17;
  struct Case {
    const char* what;
    Variant value;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {"text", Variant(L"a b&c"), L"a b&c"},
      {"I4", Variant(int32_t{-2147483647 - 1}), L"-2147483648"},
      {"R8 large", Variant(1e20), L"1E+20"},
      {"CY", Variant::Cy(CY{-122500}), L"-12.25"},
      {"I8", Variant::I8(int64_t{1} << 62), L"4611686018427387904"},
      {"date", Variant::Date(36526.25), L"36526.25"},
      {"null", Variant::Null(), L""},
      {"by reference", Variant::ByRef(VT_I4, &number), L"17"},
  };
  ComPtr<IXMLDOMDocument2> document = Parse(L"<a/>");
  ComPtr<IXMLDOMElement> element = Root(document.get());
  for (const Case& c : cases) {
    ASSERT_EQ(element->setAttribute(L"v", c.value), S_OK) << c.what;
    EXPECT_EQ(AttributeText(element.get(), L"v"), c.text) << c.what;

    ComPtr<IXMLDOMAttribute> attribute = Select<IXMLDOMAttribute>(element.get(), L"@v");
    ASSERT_EQ(attribute->put_value(Variant(L"reset")), S_OK);
    ASSERT_EQ(attribute->put_value(c.value), S_OK) << c.what;
    EXPECT_EQ(AttributeText(element.get(), L"v"), c.text) << c.what << " through the node";
  }
}

TEST(DomElementTest, RealsUseAPointWhateverTheLocale) {
  OVC_IN_DECIMAL_COMMA_LOCALE(locale);
  ComPtr<IXMLDOMElement> element = Root(Parse(L"<a/>").get());
  element->setAttribute(L"v", Variant(1234.5));
  EXPECT_EQ(AttributeText(element.get(), L"v"), L"1234.5");
}

TEST(DomElementTest, AttributesKeepOrderAndRefuseBadNamesAndValues) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<Link/>");
  ComPtr<IXMLDOMElement> element = Root(document.get());
  for (const wchar_t* name : {L"Description", L"Route", L"Case", L"Enabled"}) {
    element->setAttribute(name, Variant(name));
  }
  element->setAttribute(L"Route", Variant(L"R2"));
  const std::wstring xml =
      L"<Link Description=\"Description\" Route=\"R2\" Case=\"Case\" Enabled=\"Enabled\"/>";
  EXPECT_EQ(XmlOf(element.get()), xml);
  Variant value(L"preset");
  EXPECT_EQ(element->getAttribute(L"missing", &value), S_FALSE);
  EXPECT_TRUE(value.IsNull());
  EXPECT_EQ(element->removeAttribute(L"missing"), S_OK);

  for (const Variant& bad :
       {Variant(static_cast<IDispatch*>(document.get())), Variant::Error(E_FAIL)}) {
    EXPECT_EQ(element->setAttribute(L"Route", bad), DISP_E_TYPEMISMATCH);
    EXPECT_NE(TakeErrorDescription().find(L"cannot be stored as text"), std::wstring::npos);
  }
  for (const wchar_t* name : {L"", L"1st", L"a<b", L"-x"}) {
    EXPECT_EQ(element->setAttribute(name, Variant(L"x")), E_FAIL) << ToUtf8(name);
    IDispatch* created = nullptr;
    EXPECT_EQ(document->createElement(name, &created), E_FAIL) << ToUtf8(name);
    EXPECT_EQ(created, nullptr);
  }
  EXPECT_NE(TakeErrorDescription().find(L"'-'"), std::wstring::npos);
  EXPECT_EQ(XmlOf(element.get()), xml);
}

TEST(DomElementTest, AttributeNodesAttachReplaceAndDetach) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<a x=\"1\" y=\"2\" z=\"3\"/>");
  ComPtr<IXMLDOMElement> element = Root(document.get());
  IDispatch* created = nullptr;
  ASSERT_EQ(document->createAttribute(L"y", &created), S_OK);
  ComPtr<IXMLDOMAttribute> attribute = As<IXMLDOMAttribute>(created);
  attribute->put_value(Variant(int32_t{20}));
  ComPtr<IXMLDOMAttribute> old = Select<IXMLDOMAttribute>(element.get(), L"@y");

  IDispatch* replaced = nullptr;
  ASSERT_EQ(element->setAttributeNode(attribute.get(), &replaced), S_OK);
  EXPECT_TRUE(IsSameObject(replaced, old.get()));
  ComPtr<IDispatch>::Attach(replaced);
  EXPECT_EQ(XmlOf(element.get()), L"<a x=\"1\" y=\"20\" z=\"3\"/>");
  EXPECT_EQ(XmlOf(old.get()), L"y=\"2\"") << "the replaced attribute stays usable";
  IDispatch* parent = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(attribute->get_parentNode(&parent), S_FALSE);
  EXPECT_EQ(parent, nullptr);

  ComPtr<IXMLDOMElement> other = NewElement(document.get(), L"b");
  EXPECT_EQ(other->setAttributeNode(attribute.get(), nullptr), E_FAIL)
      << "an attribute of another element is not taken away";
  ASSERT_EQ(other->setAttributeNode(old.get(), nullptr), S_OK);
  EXPECT_EQ(XmlOf(other.get()), L"<b y=\"2\"/>");

  IDispatch* removed = nullptr;
  EXPECT_EQ(other->removeAttributeNode(attribute.get(), &removed), E_INVALIDARG);
  ASSERT_EQ(element->removeAttributeNode(attribute.get(), &removed), S_OK);
  ComPtr<IDispatch>::Attach(removed);
  EXPECT_EQ(XmlOf(element.get()), L"<a x=\"1\" z=\"3\"/>");
  ASSERT_EQ(attribute->put_value(Variant(L"after")), S_OK);
  EXPECT_EQ(XmlOf(attribute.get()), L"y=\"after\"");
}

TEST(DomElementTest, AttributeMapWalksAndEditsAttributesAndElementsComeByTagName) {
  ComPtr<IXMLDOMElement> file =
      Root(Parse(L"<File OID=\"4\" FileName=\"A&amp;#38;B.xlsx\" Enabled=\"1\"/>").get());
  IDispatch* map_object = nullptr;
  ASSERT_EQ(file->get_attributes(&map_object), S_OK);
  ComPtr<IXMLDOMNamedNodeMap> map = As<IXMLDOMNamedNodeMap>(map_object);
  IDispatch* item = nullptr;
  ASSERT_EQ(map->get_item(1, &item), S_OK);
  ASSERT_EQ(As<IXMLDOMNode>(item)->put_text(L"A&B.xlsx"), S_OK);
  EXPECT_EQ(XmlOf(file.get()), L"<File OID=\"4\" FileName=\"A&amp;B.xlsx\" Enabled=\"1\"/>");
  EXPECT_EQ(map->get_item(3, &item), S_FALSE);
  EXPECT_EQ(item, nullptr);
  ASSERT_EQ(map->removeNamedItem(L"OID", &item), S_OK);
  Variant value;
  As<IXMLDOMAttribute>(item)->get_value(&value);
  EXPECT_EQ(value, Variant(L"4"));
  int32_t length = 0;
  map->get_length(&length);
  EXPECT_EQ(length, 2) << "the map is live";
  EXPECT_EQ(map->removeNamedItem(L"OID", &item), S_FALSE);
  ASSERT_EQ(map->getNamedItem(L"Enabled", &item), S_OK);
  ComPtr<IDispatch> enabled = ComPtr<IDispatch>::Attach(item);
  ASSERT_EQ(map->nextNode(&item), S_OK);
  ComPtr<IDispatch>::Attach(item);
  ASSERT_EQ(map->nextNode(&item), S_OK);
  EXPECT_TRUE(IsSameObject(ComPtr<IDispatch>::Attach(item).get(), enabled.get()));
  EXPECT_EQ(map->nextNode(&item), S_FALSE);

  ComPtr<IXMLDOMDocument2> document =
      Parse(L"<r><a id=\"1\"><a id=\"2\"/></a><b><a id=\"3\"/><c/></b><a id=\"4\"/></r>");
  auto names = [](IDispatch* list_object) {
    ComPtr<IXMLDOMNodeList> list = As<IXMLDOMNodeList>(list_object);
    std::wstring found;
    IDispatch* node = nullptr;
    while (list->nextNode(&node) == S_OK) {
      ComPtr<IXMLDOMElement> element = As<IXMLDOMElement>(node);
      std::wstring name;
      element->get_tagName(&name);
      Variant id;
      found += name + (element->getAttribute(L"id", &id) == S_OK ? id.bstr() : L"") + L" ";
    }
    return found;
  };
  IDispatch* list = nullptr;
  ASSERT_EQ(document->getElementsByTagName(L"a", &list), S_OK);
  EXPECT_EQ(names(list), L"a1 a2 a3 a4 ");
  ASSERT_EQ(document->getElementsByTagName(L"*", &list), S_OK);
  EXPECT_EQ(names(list), L"r a1 a2 b a3 c a4 ");
  ASSERT_EQ(Select<IXMLDOMElement>(document.get(), L"/r/a")->getElementsByTagName(L"a", &list),
            S_OK);
  EXPECT_EQ(names(list), L"a2 ") << "the element itself is not included";
}

}  // namespace
}  // namespace ovc::dom_testing
