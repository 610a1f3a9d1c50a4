#include "automation/dom/dom_document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "automation/class_registry.h"
#include "tests/automation/dom/dom_testing.h"

namespace ovc::dom_testing {
namespace {

namespace fs = std::filesystem;

TEST(DomDocumentTest, SerialisesWithoutAddedWhiteSpace) {
  struct Case {
    std::wstring input;
    std::wstring xml;
  };
  const std::vector<Case> cases = {
      {L"<?xml version=\"1.0\"?><Objects/>", L"<?xml version=\"1.0\"?><Objects/>"},
      {L"<Objects/>", L"<Objects/>"},
      {L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n  <b x='1'/>\n</a>\n",
       L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a><b x=\"1\"/></a>"},
      {L"<a z=\"3\" b=\"2\" a=\"1\"/>", L"<a z=\"3\" b=\"2\" a=\"1\"/>"},
      {L"<a>x &amp; y &lt; z &gt; w</a>", L"<a>x &amp; y &lt; z &gt; w</a>"},
      {L"<a v=\"&amp;&lt;&gt;&quot;&#9;&#10;&#13;\"/>",
       L"<a v=\"&amp;&lt;>&quot;&#9;&#10;&#13;\"/>"},
      {L"<a><!--note--><?target data?><![CDATA[<raw>]]></a>",
       L"<a><!--note--><?target data?><![CDATA[<raw>]]></a>"},
      {L"<a>caf\u00e9 \u20ac</a>", L"<a>caf\u00e9 \u20ac</a>"},
      {L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00e9</a>",
       L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u00e9</a>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XmlOf(Parse(c.input).get()), c.xml) << ToUtf8(c.input);
  }
}

TEST(DomDocumentTest, BuildsTheRequestDocumentAttributeByAttribute) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<?xml version=\"1.0\"?><Objects/>");
  ComPtr<IXMLDOMElement> objects = Root(document.get());
  ComPtr<IXMLDOMElement> object = NewElement(document.get(), L"Object");
  ASSERT_EQ(object->setAttribute(L"OID", Variant(int32_t{42})), S_OK);
  ASSERT_EQ(object->setAttribute(L"Name", Variant(L"Pump A&#38;B\t")), S_OK);
  ASSERT_EQ(objects->appendChild(object.get(), nullptr), S_OK);
  ComPtr<IXMLDOMElement> attributes = NewElement(document.get(), L"Attributes");
  ASSERT_EQ(object->appendChild(attributes.get(), nullptr), S_OK);
  EXPECT_EQ(XmlOf(document.get()),
            L"<?xml version=\"1.0\"?><Objects><Object OID=\"42\" Name=\"Pump A&amp;#38;B&#9;\">"
            L"<Attributes/></Object></Objects>");
}

TEST(DomDocumentTest, ParseFailureReportsReasonLineAndColumn) {
  struct Case {
    std::wstring input;
    int32_t line;
    int32_t linepos;
    std::wstring source_text;
  };
  const std::vector<Case> cases = {
      {L"<a>\n  <b>\n</a>", 3, 3, L"</a>"},
      {L"<a/><b/>", 1, 5, L"<a/><b/>"},
      {L"<r>\n\u00e9\u00e9<x y=1/></r>", 2, 8, L"\u00e9\u00e9<x y=1/></r>"},
      {L"text<a/>", 1, 1, L"text<a/>"},
      {L"<a/>\n <?xml version=\"1.0\"?>", 2, 2, L" <?xml version=\"1.0\"?>"},
      {L"", 1, 1, L""},
  };
  for (const Case& c : cases) {
    ComPtr<IXMLDOMDocument2> document = Parse(L"<previous/>");
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_EQ(document->loadXML(c.input, &loaded), S_FALSE) << ToUtf8(c.input);
    EXPECT_EQ(loaded, VARIANT_FALSE);
    IDispatch* element = nullptr;
    EXPECT_EQ(document->get_documentElement(&element), S_FALSE) << "the document is emptied";
    ComPtr<IXMLDOMParseError> error;
    IDispatch* error_object = nullptr;
    ASSERT_EQ(document->get_parseError(&error_object), S_OK);
    error = As<IXMLDOMParseError>(error_object);
    int32_t code = 0, line = 0, linepos = 0;
    std::wstring reason, source_text;
    error->get_errorCode(&code);
    error->get_line(&line);
    error->get_linepos(&linepos);
    error->get_reason(&reason);
    error->get_srcText(&source_text);
    EXPECT_LT(code, 0) << ToUtf8(c.input);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(line, c.line) << ToUtf8(c.input) << ": " << ToUtf8(reason);
    EXPECT_EQ(linepos, c.linepos) << ToUtf8(c.input) << ": " << ToUtf8(reason);
    EXPECT_EQ(source_text, c.source_text);
  }
}

TEST(DomDocumentTest, SuccessfulLoadClearsTheParseError) {
  ComPtr<IXMLDOMDocument2> document = NewDocument();
  VARIANT_BOOL loaded = VARIANT_TRUE;
  document->loadXML(L"<a>", &loaded);
  ASSERT_EQ(document->loadXML(L"<a/>", &loaded), S_OK);
  IDispatch* error_object = nullptr;
  document->get_parseError(&error_object);
  ComPtr<IXMLDOMParseError> error = As<IXMLDOMParseError>(error_object);
  int32_t code = -1, line = -1;
  std::wstring reason = L"x";
  error->get_errorCode(&code);
  error->get_line(&line);
  error->get_reason(&reason);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(line, 0);
  EXPECT_EQ(reason, L"");
}

TEST(DomDocumentTest, WhiteSpaceTextIsKeptOnlyWhenAsked) {
  for (const bool preserve : {false, true}) {
    ComPtr<IXMLDOMDocument2> document = NewDocument();
    document->put_preserveWhiteSpace(preserve ? VARIANT_TRUE : VARIANT_FALSE);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(document->loadXML(L"<?xml version=\"1.0\"?>\n<a>\n <b/>\n</a>\n", &loaded), S_OK);
    EXPECT_EQ(XmlOf(document.get()), preserve ? L"<?xml version=\"1.0\"?><a>\n <b/>\n</a>"
                                              : L"<?xml version=\"1.0\"?><a><b/></a>")
        << "white space at the top level is never kept";
  }
}

class DomFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "dom_test_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }
  static std::string FileText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  fs::path folder_;
};

TEST_F(DomFileTest, SaveWritesUtf8AtomicallyAndLoadReadsItBack) {
  const fs::path path = folder_ / "bridge.xml";
  std::ofstream(path) << "old content";
  ComPtr<IXMLDOMDocument2> document =
      Parse(L"<?xml version=\"1.0\"?><Bridge Name=\"Caf\u00e9 &amp; Co\"><Linksets/></Bridge>");
  ASSERT_EQ(document->save(Variant(FromUtf8(path.string()))), S_OK);
  EXPECT_EQ(FileText(path),
            "<?xml version=\"1.0\"?><Bridge Name=\"Caf\xC3\xA9 &amp; Co\"><Linksets/></Bridge>");
  EXPECT_EQ(Entries(), std::vector<std::string>{"bridge.xml"}) << "no temporary file is left";

  ComPtr<IXMLDOMDocument2> reloaded = NewDocument();
  VARIANT_BOOL loaded = VARIANT_FALSE;
  ASSERT_EQ(reloaded->load(Variant(L"file://" + FromUtf8(path.string())), &loaded), S_OK);
  EXPECT_EQ(loaded, VARIANT_TRUE);
  EXPECT_EQ(XmlOf(reloaded.get()), XmlOf(document.get()));
  std::wstring url;
  reloaded->get_url(&url);
  EXPECT_EQ(url, L"file://" + FromUtf8(path.string()));
}

TEST_F(DomFileTest, SaveFailureKeepsTheOldFileAndSaysWhichFile) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<a/>");
  const std::wstring missing = FromUtf8((folder_ / "no such folder" / "a.xml").string());
  EXPECT_EQ(document->save(Variant(missing)), E_FILENOTFOUND);
  EXPECT_NE(ErrorDescription().find(missing), std::wstring::npos);
  EXPECT_EQ(document->save(Variant(int32_t{3})), E_INVALIDARG);
  EXPECT_TRUE(Entries().empty());
}

TEST_F(DomFileTest, LoadOfAMissingFileFailsWithTheFileSystemStatus) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<a/>");
  VARIANT_BOOL loaded = VARIANT_TRUE;
  const std::wstring missing = FromUtf8((folder_ / "missing.xml").string());
  EXPECT_EQ(document->load(Variant(missing), &loaded), S_FALSE);
  EXPECT_EQ(loaded, VARIANT_FALSE);
  IDispatch* error_object = nullptr;
  document->get_parseError(&error_object);
  ComPtr<IXMLDOMParseError> error = As<IXMLDOMParseError>(error_object);
  int32_t code = 0;
  std::wstring url;
  error->get_errorCode(&code);
  error->get_url(&url);
  EXPECT_EQ(code, E_FILENOTFOUND);
  EXPECT_EQ(url, missing);
  EXPECT_EQ(document->load(Variant(true), &loaded), E_INVALIDARG);
}

TEST_F(DomFileTest, LoadReportsParseErrorsOfTheFile) {
  const fs::path path = folder_ / "broken.xml";
  std::ofstream(path) << "<?xml version=\"1.0\"?>\n<a>\n<b></c>\n</a>\n";
  ComPtr<IXMLDOMDocument2> document = NewDocument();
  VARIANT_BOOL loaded = VARIANT_TRUE;
  EXPECT_EQ(document->load(Variant(FromUtf8(path.string())), &loaded), S_FALSE);
  IDispatch* error_object = nullptr;
  document->get_parseError(&error_object);
  ComPtr<IXMLDOMParseError> error = As<IXMLDOMParseError>(error_object);
  int32_t line = 0;
  std::wstring text;
  error->get_line(&line);
  error->get_srcText(&text);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(text, L"<b></c>");
}

TEST(DomDocumentTest, KeepsItsFlagsAndProperties) {
  ComPtr<IXMLDOMDocument2> document = NewDocument();
  VARIANT_BOOL flag = VARIANT_FALSE;
  document->get_async(&flag);
  EXPECT_EQ(flag, VARIANT_TRUE);
  document->put_async(VARIANT_FALSE);
  document->get_async(&flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
  document->put_validateOnParse(VARIANT_FALSE);
  document->get_validateOnParse(&flag);
  EXPECT_EQ(flag, VARIANT_FALSE);

  Variant value;
  ASSERT_EQ(document->getProperty(L"SelectionLanguage", &value), S_OK);
  EXPECT_EQ(value, Variant(L"XPath"));
  EXPECT_EQ(document->setProperty(L"SelectionLanguage", Variant(L"XSLPattern")), S_OK);
  EXPECT_EQ(document->setProperty(L"SelectionLanguage", Variant(L"SQL")), E_INVALIDARG);
  EXPECT_EQ(document->setProperty(L"SelectionNamespaces", Variant(L"xmlns:a='urn:a'")), S_OK);
  document->getProperty(L"SelectionNamespaces", &value);
  EXPECT_EQ(value, Variant(L"xmlns:a='urn:a'"));
  EXPECT_EQ(document->setProperty(L"NoSuchProperty", Variant(true)), E_INVALIDARG);
  EXPECT_NE(ErrorDescription().find(L"NoSuchProperty"), std::wstring::npos);
  EXPECT_EQ(document->getProperty(L"NoSuchProperty", &value), E_INVALIDARG);
}

TEST(DomDocumentTest, CreatableByProgIdAfterRegistration) {
  RegisterDomClasses();
  RegisterDomClasses();
  for (const wchar_t* name : {L"Msxml2.DOMDocument.6.0", L"Msxml2.DOMDocument"}) {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(name, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_DOMDocument60);
    ComPtr<IDispatch> object;
    ASSERT_EQ(CreateObject(name, &object), S_OK);
    ComPtr<IXMLDOMDocument2> document = object.As<IXMLDOMDocument2>();
    ASSERT_TRUE(document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_EQ(document->loadXML(L"<a/>", &loaded), S_OK);
  }
}

TEST(DomDocumentTest, CloneCopiesTheTreeAndTheSettings) {
  ComPtr<IXMLDOMDocument2> document = Parse(L"<?xml version=\"1.0\"?><a><b/></a>");
  document->put_preserveWhiteSpace(VARIANT_TRUE);
  IDispatch* copy_object = nullptr;
  ASSERT_EQ(document->cloneNode(VARIANT_TRUE, &copy_object), S_OK);
  ComPtr<IXMLDOMDocument2> copy = As<IXMLDOMDocument2>(copy_object);
  EXPECT_EQ(XmlOf(copy.get()), L"<?xml version=\"1.0\"?><a><b/></a>");
  VARIANT_BOOL preserve = VARIANT_FALSE;
  copy->get_preserveWhiteSpace(&preserve);
  EXPECT_EQ(preserve, VARIANT_TRUE);
  ASSERT_EQ(Root(copy.get())->setAttribute(L"x", Variant(L"1")), S_OK);
  EXPECT_EQ(XmlOf(document.get()), L"<?xml version=\"1.0\"?><a><b/></a>");
  ASSERT_EQ(document->cloneNode(VARIANT_FALSE, &copy_object), S_OK);
  EXPECT_EQ(XmlOf(As<IXMLDOMDocument2>(copy_object).get()), L"");
}

}  // namespace
}  // namespace ovc::dom_testing
