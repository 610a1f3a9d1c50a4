#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/automation/dom/dom_testing.h"
#include "tests/automation/temp_dir.h"

namespace ovc::dom_testing {
namespace {

// <e><e>...x...</e></e>, `levels` elements deep.
std::wstring Nested(size_t levels) {
  std::wstring xml;
  xml.reserve(levels * 7 + 1);
  for (size_t i = 0; i < levels; ++i) xml += L"<e>";
  xml += L"x";
  for (size_t i = 0; i < levels; ++i) xml += L"</e>";
  return xml;
}

TEST(DeepDocumentTest, ElementDepthIsLimited) {
  struct Case {
    Variant limit;  // empty: the default, 256
    size_t levels;
    int32_t error_position;  // of the first start tag too deep; 0: loads
  };
  const Case cases[] = {
      {Variant(), 256, 0},         {Variant(), 257, 3 * 256 + 1}, {Variant(), 100000, 3 * 256 + 1},
      {Variant(int32_t{3}), 3, 0}, {Variant(int32_t{3}), 4, 10},  {Variant(int32_t{0}), 1000, 0},
  };
  for (const Case& c : cases) {
    ComPtr<IXMLDOMDocument2> document = NewDocument();
    if (!c.limit.IsEmpty()) {
      ASSERT_EQ(document->setProperty(L"MaxElementDepth", c.limit), S_OK);
    }
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = document->loadXML(Nested(c.levels), &loaded);
    EXPECT_EQ(hr, c.error_position == 0 ? S_OK : S_FALSE) << c.levels;
    const ParseFailure failure = FailureOf(document.get());
    EXPECT_EQ(failure.position, c.error_position) << c.levels;
    EXPECT_EQ(failure.reason.find(L"MaxElementDepth") != std::wstring::npos, hr != S_OK);
  }
}

// Every walk of a tree must work at any depth: none may recurse.
TEST(DeepDocumentTest, UnlimitedDepthIsSafeEverywhere) {
  constexpr size_t kLevels = 100000;
  const std::wstring xml = Nested(kLevels);
  ComPtr<IXMLDOMDocument2> document = NewDocument();
  ASSERT_EQ(document->setProperty(L"MaxElementDepth", Variant(int32_t{0})), S_OK);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(document->loadXML(xml, &loaded), S_OK) << ToUtf8(FailureOf(document.get()).reason);
  EXPECT_EQ(XmlOf(document.get()), xml);
  std::wstring text;
  ASSERT_EQ(document->get_text(&text), S_OK);
  EXPECT_EQ(text, L"x");

  const files_testing::TempDir dir;
  EXPECT_EQ(document->save(Variant(FromUtf8(dir.File("deep.xml")))), S_OK);
  EXPECT_EQ(std::filesystem::file_size(dir.File("deep.xml")), ToUtf8(xml).size());

  IDispatch* found = nullptr;
  ASSERT_EQ(document->getElementsByTagName(L"e", &found), S_OK);
  int32_t length = 0;
  As<IXMLDOMNodeList>(found)->get_length(&length);
  EXPECT_EQ(length, static_cast<int32_t>(kLevels));
  ASSERT_EQ(document->selectNodes(L"//e[not(*)]", &found), S_OK);
  As<IXMLDOMNodeList>(found)->get_length(&length);
  EXPECT_EQ(length, 1);

  IDispatch* copy = nullptr;
  ASSERT_EQ(document->cloneNode(VARIANT_TRUE, &copy), S_OK);
  EXPECT_EQ(XmlOf(As<IXMLDOMNode>(copy).get()), xml);
  ComPtr<IXMLDOMElement> root = Root(document.get());
  ASSERT_EQ(root->cloneNode(VARIANT_TRUE, &copy), S_OK);
  ComPtr<IXMLDOMNode> root_copy = As<IXMLDOMNode>(copy);

  ComPtr<IXMLDOMDocument2> other = Parse(L"<other/>");
  ASSERT_EQ(Root(other.get())->appendChild(root.get(), nullptr), S_OK);
  EXPECT_EQ(XmlOf(other.get()), L"<other>" + xml + L"</other>");
  ASSERT_EQ(Root(other.get())->removeChild(root.get(), nullptr), S_OK);
  ASSERT_EQ(root_copy->put_text(L"flat"), S_OK);
  EXPECT_EQ(XmlOf(root_copy.get()), L"<e>flat</e>");
}

}  // namespace
}  // namespace ovc::dom_testing
