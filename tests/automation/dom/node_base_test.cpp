#include "automation/dom/node_base.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "tests/automation/dom/dom_testing.h"

namespace ovc::dom_testing {
namespace {

std::wstring NameOf(IDispatch* node) {
  std::wstring name;
  EXPECT_EQ(ComPtr<IDispatch>(node).As<IXMLDOMNode>()->get_nodeName(&name), S_OK);
  return name;
}

std::vector<std::wstring> Names(IDispatch* list_object) {
  ComPtr<IXMLDOMNodeList> list = As<IXMLDOMNodeList>(list_object);
  std::vector<std::wstring> names;
  IDispatch* item = nullptr;
  while (list->nextNode(&item) == S_OK) {
    names.push_back(NameOf(item));
    item->Release();
  }
  return names;
}

ComPtr<IXMLDOMNode> Parent(IXMLDOMNode* node) {
  IDispatch* parent = nullptr;
  node->get_parentNode(&parent);
  return As<IXMLDOMNode>(parent);
}

ComPtr<IXMLDOMDocument> Owner(IXMLDOMNode* node) {
  IDispatch* owner = nullptr;
  node->get_ownerDocument(&owner);
  return As<IXMLDOMDocument>(owner);
}

TEST(NodeTest, NamesTypesAndValuesByKind) {
  ComPtr<IXMLDOMDocument2> document =
      Parse(L"<?xml version=\"1.0\"?><!DOCTYPE r><r a=\"v\">t<![CDATA[c]]><!--m--><?p d?></r>");
  struct Case {
    std::wstring query;  // from the document; empty: the document itself
    std::wstring name;
    DOMNodeType type;
    Variant value;
  };
  const std::vector<Case> cases = {
      {L"", L"#document", NODE_DOCUMENT, Variant::Null()},
      {L"/r", L"r", NODE_ELEMENT, Variant::Null()},
      {L"/r/@a", L"a", NODE_ATTRIBUTE, Variant(L"v")},
      {L"/r/text()[1]", L"#text", NODE_TEXT, Variant(L"t")},
      {L"/r/text()[2]", L"#cdata-section", NODE_CDATA_SECTION, Variant(L"c")},
      {L"/r/comment()", L"#comment", NODE_COMMENT, Variant(L"m")},
      {L"/r/processing-instruction()", L"p", NODE_PROCESSING_INSTRUCTION, Variant(L"d")},
  };
  for (const Case& c : cases) {
    ComPtr<IXMLDOMNode> node =
        c.query.empty() ? ComPtr<IXMLDOMNode>(document) : Select(document.get(), c.query);
    ASSERT_TRUE(node) << ToUtf8(c.query);
    std::wstring name;
    DOMNodeType type = NODE_INVALID;
    Variant value;
    node->get_nodeName(&name);
    node->get_nodeType(&type);
    node->get_nodeValue(&value);
    EXPECT_EQ(name, c.name) << ToUtf8(c.query);
    EXPECT_EQ(type, c.type) << ToUtf8(c.query);
    EXPECT_EQ(value, c.value) << ToUtf8(c.query);
  }
  IDispatch* declaration = nullptr;
  ASSERT_EQ(document->get_firstChild(&declaration), S_OK);
  Variant value;
  As<IXMLDOMNode>(declaration)->get_nodeValue(&value);
  EXPECT_EQ(value, Variant(L"version=\"1.0\"")) << "the declaration is the first child";
}

TEST(NodeTest, TextJoinsDescendantsAndPutTextReplacesChildren) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<r>a<b>b<c>c</c></b><![CDATA[d]]></r>");
  ComPtr<IXMLDOMElement> root = Root(document.get());
  std::wstring text;
  root->get_text(&text);
  EXPECT_EQ(text, L"abcd");
  ComPtr<IXMLDOMNode> c = Select(root.get(), L"b/c");
  ASSERT_EQ(root->put_text(L"x < y"), S_OK);
  EXPECT_EQ(XmlOf(root.get()), L"<r>x &lt; y</r>");
  EXPECT_EQ(XmlOf(c.get()), L"<c>c</c>") << "a held descendant survives being replaced";
  ASSERT_EQ(root->put_nodeTypedValue(Variant(2.5)), S_OK);
  EXPECT_EQ(XmlOf(root.get()), L"<r>2.5</r>");
  EXPECT_EQ(root->put_nodeValue(Variant(L"x")), E_FAIL) << "elements have no value";
}

TEST(NodeTest, NavigationKeepsNodeIdentityAndChildNodesIsLive) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<r><a/><b/><c/></r>");
  ComPtr<IXMLDOMElement> root = Root(document.get());
  IDispatch* first = nullptr;
  IDispatch* sibling = nullptr;
  root->get_firstChild(&first);
  ComPtr<IXMLDOMNode> a = As<IXMLDOMNode>(first);
  a->get_nextSibling(&sibling);
  ComPtr<IXMLDOMNode> b = As<IXMLDOMNode>(sibling);
  EXPECT_EQ(NameOf(b.get()), L"b");
  b->get_previousSibling(&sibling);
  EXPECT_TRUE(IsSameObject(ComPtr<IDispatch>::Attach(sibling).get(), a.get()));
  root->get_lastChild(&sibling);
  ComPtr<IXMLDOMNode> c = As<IXMLDOMNode>(sibling);
  EXPECT_EQ(c->get_nextSibling(&sibling), S_FALSE);
  EXPECT_EQ(sibling, nullptr);
  EXPECT_TRUE(IsSameObject(Parent(a.get()).get(), root.get()));
  EXPECT_TRUE(IsSameObject(Parent(root.get()).get(), document.get()));
  EXPECT_FALSE(Parent(document.get()));
  EXPECT_TRUE(IsSameObject(Owner(c.get()).get(), document.get()));

  IDispatch* list_object = nullptr;
  ASSERT_EQ(root->get_childNodes(&list_object), S_OK);
  ComPtr<IXMLDOMNodeList> list = As<IXMLDOMNodeList>(list_object);
  ASSERT_EQ(root->appendChild(NewElement(document.get(), L"d").get(), nullptr), S_OK);
  int32_t length = 0;
  list->get_length(&length);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(list->get_item(4, &sibling), S_FALSE);
  EXPECT_EQ(Names(list.Detach()), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
}

TEST(NodeTest, SelectsWithXPathAndDescribesAnInvalidQuery) {
  ComPtr<IXMLDOMDocument2> document = Parse(
      L"<Bridge OID=\"1\"><Linksets><Linkset OID=\"10\"><Links><Link Route=\"x\"/>"
      L"<Link Route=\"y\"/></Links></Linkset><Linkset OID=\"11\"/></Linksets></Bridge>");
  IDispatch* list = nullptr;
  ASSERT_EQ(document->selectNodes(L"//Bridge/Linksets/Linkset", &list), S_OK);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"Linkset", L"Linkset"}));
  ASSERT_EQ(document->selectNodes(L"//@OID | //@Route", &list), S_OK);
  EXPECT_EQ(Names(list), (std::vector<std::wstring>{L"OID", L"OID", L"Route", L"Route", L"OID"}))
      << "in document order";
  IDispatch* none = reinterpret_cast<IDispatch*>(1);
  EXPECT_EQ(document->selectSingleNode(L"//Missing", &none), S_FALSE);
  EXPECT_EQ(none, nullptr);

  for (const wchar_t* query : {L"//[", L"count(//a)", L"a[@"}) {
    list = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(document->selectNodes(query, &list), E_FAIL) << ToUtf8(query);
    EXPECT_EQ(list, nullptr);
    const std::wstring description = TakeErrorDescription();
    EXPECT_NE(description.find(std::wstring(L"\"") + query + L"\""), std::wstring::npos)
        << ToUtf8(description);
  }
}

TEST(NodeTest, HeldNodesFollowAMoveAndOutliveLoadingAgainAndTheDocument) {
  ComPtr<IXMLDOMDocument2> bridge = Parse(L"<?xml version=\"1.0\"?><Bridge><Linksets/></Bridge>");
  ComPtr<IXMLDOMElement> linksets = Select<IXMLDOMElement>(bridge.get(), L"//Linksets");
  ComPtr<IXMLDOMNode> moved;
  ComPtr<IXMLDOMNode> inner;
  {
    ComPtr<IXMLDOMDocument2> part =
        Parse(L"<?xml version=\"1.0\"?><Linkset OID=\"7\"><Links><Link/></Links></Linkset>");
    moved = Select(part.get(), L"/Linkset");
    inner = Select(part.get(), L"//Link");
    ASSERT_EQ(linksets->appendChild(moved.get(), nullptr), S_OK);
    IDispatch* element = nullptr;
    EXPECT_EQ(part->get_documentElement(&element), S_FALSE) << "the node left its document";
    EXPECT_EQ(XmlOf(part.get()), L"<?xml version=\"1.0\"?>");
  }
  EXPECT_EQ(XmlOf(bridge.get()),
            L"<?xml version=\"1.0\"?><Bridge><Linksets><Linkset OID=\"7\"><Links><Link/></Links>"
            L"</Linkset></Linksets></Bridge>");
  EXPECT_TRUE(IsSameObject(Owner(moved.get()).get(), bridge.get()));
  EXPECT_TRUE(IsSameObject(Owner(inner.get()).get(), bridge.get()));
  EXPECT_TRUE(IsSameObject(Parent(moved.get()).get(), linksets.get()));
  ASSERT_EQ(As<IXMLDOMElement>(ComPtr<IXMLDOMNode>(inner).Detach())
                ->setAttribute(L"Route", Variant(L"r")),
            S_OK);
  EXPECT_NE(XmlOf(bridge.get()).find(L"<Link Route=\"r\"/>"), std::wstring::npos)
      << "objects held inside the moved subtree follow it";

  ComPtr<IXMLDOMNode> old_root;
  {
    ComPtr<IXMLDOMDocument2> document = Parse(L"<old><kept/></old>");
    old_root = Root(document.get());
    ComPtr<IXMLDOMNode> kept = Select(document.get(), L"//kept");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(document->loadXML(L"<new/>", &loaded), S_OK);
    EXPECT_EQ(XmlOf(old_root.get()), L"<old><kept/></old>");
    EXPECT_FALSE(Parent(old_root.get())) << "no longer a child of the document";
    ASSERT_EQ(Root(document.get())->appendChild(kept.get(), nullptr), S_OK);
    EXPECT_EQ(XmlOf(document.get()), L"<new><kept/></new>");
  }
  EXPECT_EQ(XmlOf(old_root.get()), L"<old/>");
  ComPtr<IXMLDOMDocument> owner = Owner(old_root.get());
  ASSERT_TRUE(owner);
  EXPECT_EQ(XmlOf(owner.get()), L"<new><kept/></new>");
}

TEST(NodeTest, RemovedNodesStayUsableAndInsertionRulesAreEnforced) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<r><a x=\"1\"><b/></a><c/></r>");
  ComPtr<IXMLDOMElement> root = Root(document.get());
  ComPtr<IXMLDOMNode> a = Select(root.get(), L"a");
  ComPtr<IXMLDOMNode> b = Select(root.get(), L"a/b");
  IDispatch* removed = nullptr;
  ASSERT_EQ(root->removeChild(a.get(), &removed), S_OK);
  EXPECT_TRUE(IsSameObject(ComPtr<IDispatch>::Attach(removed).get(), a.get()));
  EXPECT_EQ(XmlOf(root.get()), L"<r><c/></r>");
  EXPECT_FALSE(Parent(a.get()));
  EXPECT_TRUE(IsSameObject(Parent(b.get()).get(), a.get()));
  EXPECT_TRUE(IsSameObject(Owner(a.get()).get(), document.get()));
  IDispatch* list = nullptr;
  ASSERT_EQ(document->selectNodes(L"//b", &list), S_OK);
  EXPECT_TRUE(Names(list).empty());

  ASSERT_EQ(root->insertBefore(
                a.get(), Variant(static_cast<IDispatch*>(Select(root.get(), L"c").get())), nullptr),
            S_OK);
  EXPECT_EQ(XmlOf(root.get()), L"<r><a x=\"1\"><b/></a><c/></r>");
  EXPECT_EQ(root->removeChild(b.get(), nullptr), E_INVALIDARG) << "b is a grandchild";
  EXPECT_NE(TakeErrorDescription().find(L"not a child"), std::wstring::npos);

  ComPtr<IXMLDOMAttribute> x = Select<IXMLDOMAttribute>(a.get(), L"@x");
  ASSERT_EQ(As<IXMLDOMElement>(ComPtr<IXMLDOMNode>(a).Detach())->removeAttribute(L"x"), S_OK);
  EXPECT_EQ(XmlOf(root.get()), L"<r><a><b/></a><c/></r>");
  EXPECT_EQ(XmlOf(x.get()), L"x=\"1\"") << "a removed attribute keeps its value";

  IDispatch* attribute_object = nullptr;
  document->createAttribute(L"n", &attribute_object);
  ComPtr<IXMLDOMNode> attribute = As<IXMLDOMNode>(attribute_object);
  ComPtr<IXMLDOMElement> second = NewElement(document.get(), L"second");
  struct Case {
    const char* what;
    IXMLDOMNode* parent;
    IXMLDOMNode* child;
    Variant before;
    HRESULT expected;
  };
  const std::vector<Case> cases = {
      {"a node under itself", a.get(), a.get(), Variant(), E_FAIL},
      {"an ancestor under its descendant", b.get(), root.get(), Variant(), E_FAIL},
      {"a second top-level element", document.get(), second.get(), Variant(), E_FAIL},
      {"an attribute as a child", root.get(), attribute.get(), Variant(), E_INVALIDARG},
      {"a position that is no child", root.get(), second.get(),
       Variant(static_cast<IDispatch*>(b.get())), E_INVALIDARG},
  };
  for (const Case& c : cases) {
    IDispatch* result = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(c.parent->insertBefore(c.child, c.before, &result), c.expected) << c.what;
    EXPECT_EQ(result, nullptr) << c.what;
    EXPECT_FALSE(TakeErrorDescription().empty()) << c.what;
  }
  EXPECT_EQ(XmlOf(document.get()), L"<r><a><b/></a><c/></r>");
}

TEST(NodeTest, ReplacesChildrenAndTheDocumentElement) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<r><a/><b/></r>");
  ComPtr<IXMLDOMElement> root = Root(document.get());
  ComPtr<IXMLDOMNode> a = Select(root.get(), L"a");
  IDispatch* old = nullptr;
  ASSERT_EQ(root->replaceChild(NewElement(document.get(), L"x").get(), a.get(), &old), S_OK);
  EXPECT_TRUE(IsSameObject(old, a.get()));
  old->Release();
  EXPECT_EQ(XmlOf(root.get()), L"<r><x/><b/></r>");

  ComPtr<IXMLDOMElement> replacement = NewElement(document.get(), L"s");
  ASSERT_EQ(document->putref_documentElement(replacement.get()), S_OK);
  EXPECT_EQ(XmlOf(document.get()), L"<s/>");
  EXPECT_EQ(XmlOf(root.get()), L"<r><x/><b/></r>") << "the old document element is kept";
  ComPtr<IXMLDOMDocument2> empty = NewDocument();
  ASSERT_EQ(empty->putref_documentElement(root.get()), S_OK);
  EXPECT_EQ(XmlOf(empty.get()), L"<r><x/><b/></r>");
  EXPECT_EQ(empty->putref_documentElement(nullptr), E_INVALIDARG);
}

TEST(NodeTest, ClonesAreDetachedCopies) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<r><a x=\"1\"><b/></a></r>");
  ComPtr<IXMLDOMNode> a = Select(document.get(), L"//a");
  for (const bool deep : {true, false}) {
    IDispatch* copy_object = nullptr;
    ASSERT_EQ(a->cloneNode(deep ? VARIANT_TRUE : VARIANT_FALSE, &copy_object), S_OK);
    ComPtr<IXMLDOMNode> copy = As<IXMLDOMNode>(copy_object);
    EXPECT_EQ(XmlOf(copy.get()), deep ? L"<a x=\"1\"><b/></a>" : L"<a x=\"1\"/>");
    EXPECT_FALSE(Parent(copy.get()));
    EXPECT_TRUE(IsSameObject(Owner(copy.get()).get(), document.get()));
  }
  document->put_preserveWhiteSpace(VARIANT_TRUE);
  IDispatch* copy_object = nullptr;
  ASSERT_EQ(document->cloneNode(VARIANT_TRUE, &copy_object), S_OK);
  ComPtr<IXMLDOMDocument2> copy = As<IXMLDOMDocument2>(copy_object);
  VARIANT_BOOL preserve = VARIANT_FALSE;
  copy->get_preserveWhiteSpace(&preserve);
  EXPECT_EQ(preserve, VARIANT_TRUE) << "a document's copy keeps its settings";
  ASSERT_EQ(Root(copy.get())->setAttribute(L"x", Variant(L"2")), S_OK);
  EXPECT_EQ(XmlOf(document.get()), L"<r><a x=\"1\"><b/></a></r>");
}

}  // namespace
}  // namespace ovc::dom_testing
