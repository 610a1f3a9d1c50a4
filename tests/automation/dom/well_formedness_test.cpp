#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/automation/dom/dom_testing.h"

namespace ovc::dom_testing {
namespace {

TEST(WellFormednessTest, TextThatCannotBeWrittenIsRefusedWhereSet) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<r a=\"1\">t<!--c--><?p d?><![CDATA[x]]></r>");
  ComPtr<IXMLDOMElement> root = Root(document.get());
  auto node = [&](const wchar_t* query) { return Select(document.get(), query); };
  IDispatch* created = nullptr;
  struct Case {
    const char* what;
    std::function<HRESULT()> set;
  };
  const std::vector<Case> cases = {
      {"comment with --", [&] { return document->createComment(L"a--b", &created); }},
      {"comment ending in -", [&] { return document->createComment(L"a-", &created); }},
      {"comment text with --", [&] { return node(L"//comment()")->put_text(L"x--y"); }},
      {"instruction with ?>",
       [&] { return node(L"//processing-instruction()")->put_nodeValue(Variant(L"a?>b")); }},
      {"CDATA with ]]>", [&] { return node(L"//text()[2]")->put_text(L"]]>"); }},
      {"control character in new text",
       [&] { return document->createTextNode(L"a\x01", &created); }},
      {"U+FFFE in an attribute", [&] { return root->setAttribute(L"b", Variant(L"\uFFFE")); }},
      {"lone surrogate in an attribute node",
       [&] { return node(L"//@a")->put_nodeValue(Variant(std::wstring(1, 0xDC00))); }},
      {"U+FFFF in an element name", [&] { return document->createElement(L"a\uFFFF", &created); }},
  };
  const std::wstring before = XmlOf(document.get());
  for (const Case& c : cases) {
    EXPECT_EQ(c.set(), E_FAIL) << c.what;
    EXPECT_FALSE(ErrorDescription().empty()) << c.what;
    EXPECT_EQ(created, nullptr) << c.what;
  }
  EXPECT_EQ(XmlOf(document.get()), before);
  EXPECT_EQ(document->createComment(L"a - b", &created), S_OK);
  ComPtr<IDispatch>::Attach(created);
}

}  // namespace
}  // namespace ovc::dom_testing
