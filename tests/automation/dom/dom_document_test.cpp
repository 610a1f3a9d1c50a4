#include "automation/dom/dom_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/automation/dom/dom_testing.h"
#include "tests/automation/temp_dir.h"

namespace ovc::dom_testing {
namespace {

namespace fs = std::filesystem;
using files_testing::ReadFile;
using files_testing::TempDir;
using files_testing::WriteFile;

TEST(DomDocumentTest, SerialisesWithoutAddedWhiteSpaceKeepingWhiteSpaceTextOnlyWhenAsked) {
  struct Case {
    std::wstring input;
    std::wstring xml;
  };
  const std::vector<Case> cases = {
      {L"<?xml version=\"1.0\"?><Objects/>", L"<?xml version=\"1.0\"?><Objects/>"},
      {L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n  <b x='1'/>\n</a>\n",
       L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a><b x=\"1\"/></a>"},
      {L"<a v=\"&amp;&lt;&gt;&quot;&#9;&#10;&#13;\"/>",
       L"<a v=\"&amp;&lt;>&quot;&#9;&#10;&#13;\"/>"},
      {L"<a v=\"&quot;&apos;&#10;&#x9;\">&lt;&gt;&amp;&#65;&#x42;&#x10FFFF;&#13;</a>",
       L"<a v=\"&quot;'&#10;&#9;\">&lt;&gt;&amp;AB\U0010FFFF&#13;</a>"},
      {L"<a><!--note--><?target data?><![CDATA[<raw>]]></a>",
       L"<a><!--note--><?target data?><![CDATA[<raw>]]></a>"},
      {L"<a>caf\u00e9 \u20ac</a>", L"<a>caf\u00e9 \u20ac</a>"},
      {L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00e9</a>",
       L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00e9</a>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XmlOf(Parse(c.input).get()), c.xml) << ToUtf8(c.input);
    EXPECT_EQ(XmlOf(Parse(c.xml).get()), c.xml) << "what is written reads back the same";
  }

  for (const bool preserve : {false, true}) {
    ComPtr<IXMLDOMDocument2> document = NewDocument();
    document->put_preserveWhiteSpace(preserve ? VARIANT_TRUE : VARIANT_FALSE);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(document->loadXML(L"<?xml version=\"1.0\"?>\n<a>\n <b/>&#32;&#x9;</a>\n", &loaded),
              S_OK);
    EXPECT_EQ(XmlOf(document.get()), preserve ? L"<?xml version=\"1.0\"?><a>\n <b/> \t</a>"
                                              : L"<?xml version=\"1.0\"?><a><b/></a>")
        << "white space at the top level is never kept, nor that made by references unless "
           "asked, so that the written text reloads the same";
  }
}

TEST(DomDocumentTest, ParseFailureReportsReasonLineAndColumn) {
  struct Case {
    std::wstring xml;
    std::wstring reason;  // a part of it
    int32_t line;
    int32_t position;
    std::wstring source_text;  // empty: not checked
  };
  const std::vector<Case> cases = {
      {L"<a>\n  <b>\n</a>", L"", 3, 3, L"</a>"},
      {L"<a/><b/>", L"Only one top level element", 1, 5, L"<a/><b/>"},
      {L"<r>\n\u00e9\u00e9<x y=1/></r>", L"", 2, 8, L"\u00e9\u00e9<x y=1/></r>"},
      {L"text<a/>", L"Text is not allowed", 1, 1, L"text<a/>"},
      {L"<a/>\n <?xml version=\"1.0\"?>", L"declaration", 2, 2, L" <?xml version=\"1.0\"?>"},
      {L"<?xml version=\"1&lt;&amp;\"?><a/>", L"declaration is malformed", 1, 1, L""},
      {L"<?xml version=\"1.0\" standalone=\"maybe\"?><a/>", L"declaration is malformed", 1, 1, L""},
      {L"<?xml encoding=\"UTF-8\" version=\"1.0\"?><a/>", L"declaration is malformed", 1, 1, L""},
      {L"", L"No document element", 1, 1, L""},
      {L"<a>&foo;</a>", L"\"foo\" is not defined", 1, 4, L"<a>&foo;</a>"},
      {L"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", L"\"e\" is not defined", 1, 34, L""},
      {L"<a>&#0;</a>", L"\"&#0;\" does not name", 1, 4, L""},
      {L"<a>&#x110000;</a>", L"\"&#x110000;\"", 1, 4, L""},
      {L"<a>ok\x01</a>", L"character XML does not allow", 1, 6, L""},
      {L"<a><!--\uFFFF--></a>", L"character XML does not allow", 1, 8, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.xml));
    ComPtr<IXMLDOMDocument2> document = Parse(L"<previous/>");
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_EQ(document->loadXML(c.xml, &loaded), S_FALSE);
    EXPECT_EQ(loaded, VARIANT_FALSE);
    IDispatch* element = nullptr;
    EXPECT_EQ(document->get_documentElement(&element), S_FALSE) << "the document is emptied";
    const ParseFailure failure = FailureOf(document.get());
    EXPECT_NE(failure.reason.find(c.reason), std::wstring::npos) << ToUtf8(failure.reason);
    EXPECT_EQ(failure.line, c.line);
    EXPECT_EQ(failure.position, c.position);
    if (!c.source_text.empty()) {
      EXPECT_EQ(failure.source_text, c.source_text);
    }
    ASSERT_EQ(document->loadXML(L"<a/>", &loaded), S_OK);
    EXPECT_EQ(FailureOf(document.get()).line, 0) << "a successful load clears the error";
  }
}

TEST(DomFileTest, SaveWritesUtf8AtomicallyLoadReadsItBackAndFailuresNameTheFile) {
  TempDir dir;
  const fs::path path = dir.path() / "bridge.xml";
  WriteFile(path, "old content");
  ComPtr<IXMLDOMDocument2> document =
      Parse(L"<?xml version=\"1.0\"?><Bridge Name=\"Caf\u00e9 &amp; Co\"><Linksets/></Bridge>");
  ASSERT_EQ(document->save(Variant(FromUtf8(path.string()))), S_OK);
  EXPECT_EQ(ReadFile(path),
            "<?xml version=\"1.0\"?><Bridge Name=\"Caf\xC3\xA9 &amp; Co\"><Linksets/></Bridge>");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"bridge.xml"}) << "no temporary file is left";

  ComPtr<IXMLDOMDocument2> reloaded = NewDocument();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(reloaded->load(Variant(L"file://" + FromUtf8(path.string())), &loaded), S_OK);
  EXPECT_EQ(loaded, VARIANT_TRUE);
  EXPECT_EQ(XmlOf(reloaded.get()), XmlOf(document.get()));
  std::wstring url;
  reloaded->get_url(&url);
  EXPECT_EQ(url, L"file://" + FromUtf8(path.string()));

  // A failed save leaves nothing behind; a failed load reports the file
  // system's status or the parse error.
  fs::remove(path);
  const std::wstring no_folder = FromUtf8(dir.File("no such folder/a.xml"));
  EXPECT_EQ(document->save(Variant(no_folder)), E_FILENOTFOUND);
  EXPECT_NE(TakeErrorDescription().find(no_folder), std::wstring::npos);
  EXPECT_EQ(document->save(Variant(int32_t{3})), E_INVALIDARG);
  EXPECT_TRUE(dir.Entries().empty());

  const std::wstring missing = FromUtf8(dir.File("missing.xml"));
  EXPECT_EQ(document->load(Variant(missing), &loaded), S_FALSE);
  EXPECT_EQ(loaded, VARIANT_FALSE);
  EXPECT_EQ(FailureOf(document.get()).code, E_FILENOTFOUND);
  EXPECT_EQ(FailureOf(document.get()).url, missing);
  EXPECT_EQ(document->load(Variant(true), &loaded), E_INVALIDARG);
  EXPECT_EQ(document->load(Variant(L"/dev/zero"), &loaded), S_FALSE) << "a device has no end";
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  EXPECT_EQ(document->load(Variant(FromUtf8(dir.File("pipe"))), &loaded), S_FALSE)
      << "a pipe without a writer";

  WriteFile(dir.File("broken.xml"), "<?xml version=\"1.0\"?>\n<a>\n<b></c>\n</a>\n");
  EXPECT_EQ(document->load(Variant(FromUtf8(dir.File("broken.xml"))), &loaded), S_FALSE);
  const ParseFailure failure = FailureOf(document.get());
  EXPECT_EQ(failure.line, 3);
  EXPECT_EQ(failure.source_text, L"<b></c>");
}

// <e><e>...x...</e></e>, `levels` elements deep.
std::wstring Nested(size_t levels) {
  std::wstring xml;
  xml.reserve(levels * 7 + 1);
  for (size_t i = 0; i < levels; ++i) xml += L"<e>";
  xml += L"x";
  for (size_t i = 0; i < levels; ++i) xml += L"</e>";
  return xml;
}

TEST(DeepDocumentTest, ElementDepthIsLimitedAndPropertiesAreCheckedAndKept) {
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

  ComPtr<IXMLDOMDocument2> document = NewDocument();
  ASSERT_EQ(document->setProperty(L"MaxElementDepth", Variant::I2(3)), S_OK);
  EXPECT_EQ(document->setProperty(L"MaxElementDepth", Variant(int32_t{-1})), E_INVALIDARG);
  ASSERT_EQ(document->setProperty(L"SelectionLanguage", Variant(L"XPath")), S_OK);
  EXPECT_EQ(document->setProperty(L"SelectionLanguage", Variant(L"SQL")), E_INVALIDARG);
  EXPECT_EQ(document->setProperty(L"NoSuchProperty", Variant(true)), E_INVALIDARG);
  EXPECT_NE(TakeErrorDescription().find(L"NoSuchProperty"), std::wstring::npos);
  Variant value;
  document->getProperty(L"MaxElementDepth", &value);
  EXPECT_EQ(value, Variant(int32_t{3})) << "kept as a number";
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

  const TempDir dir;
  EXPECT_EQ(document->save(Variant(FromUtf8(dir.File("deep.xml")))), S_OK);
  EXPECT_EQ(fs::file_size(dir.File("deep.xml")), ToUtf8(xml).size());

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
    EXPECT_FALSE(TakeErrorDescription().empty()) << c.what;
    EXPECT_EQ(created, nullptr) << c.what;
  }
  EXPECT_EQ(XmlOf(document.get()), before);
  EXPECT_EQ(document->createComment(L"a - b", &created), S_OK);
  ComPtr<IDispatch>::Attach(created);
}

}  // namespace
}  // namespace ovc::dom_testing
