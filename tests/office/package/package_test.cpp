#include "office/package/package.h"

#include <sys/stat.h>

#include <set>

#include <gtest/gtest.h>

#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::office {
namespace {

using testing::CopyFixture;
using testing::FixturePath;
using testing::OpenOrFail;
using testing::TempDir;
using testing::WritePackage;
using testing::WriteZip;

OpenOptions ReadOnly(PackageLimits limits = {}) {
  OpenOptions options;
  options.read_only = true;
  options.limits = limits;
  return options;
}

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

// The error of an open that must fail.
std::string OpenError(const std::string& path, HRESULT expected, const OpenOptions& options = {}) {
  std::string error;
  HRESULT code = S_OK;
  EXPECT_EQ(Package::Open(path, options, &error, &code), nullptr) << path;
  EXPECT_EQ(code, expected) << path << ": " << error;
  return error;
}

TEST(PackageTest, RefusedFormatsNameTheFileAndTheReason) {
  TempDir dir;
  const std::string text = dir.File("notes.xlsx");
  std::ofstream(text) << "just text";
  const std::string truncated = dir.File("truncated.xlsx");
  std::ofstream(truncated, std::ios::binary)
      << testing::ReadFile(FixturePath("book.xlsx")).substr(0, 2000);
  const std::string fifo = dir.File("fifo.xlsx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string no_main = dir.File("no_main.xlsx");
  WriteZip(no_main,
           {{"[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
            {"_rels/.rels",
             "<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>"}});
  struct Case {
    std::string path;
    HRESULT code;
    std::string message;
  };
  const Case cases[] = {
      {FixturePath("binary.xlsb"), E_NOTIMPL,
       "binary.xlsb: binary workbook (.xlsb): not supported"},
      {text, E_NOTIMPL, "notes.xlsx: not an Office Open XML package: not supported"},
      {no_main, E_NOTIMPL, "no_main.xlsx: not an Office Open XML package: not supported"},
      {truncated, STG_E_DOCFILECORRUPT, "truncated.xlsx: damaged zip archive"},
      {dir.File("missing.xlsx"), STG_E_FILENOTFOUND, "missing.xlsx: "},
  };
  for (const Case& c : cases) {
    const std::string error = OpenError(c.path, c.code);
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
  // A read-only open of a FIFO would wait for a writer.
  EXPECT_EQ(OpenError(fifo, STG_E_READFAULT, ReadOnly()), "fifo.xlsx: Invalid argument");
}

TEST(PackageTest, PartsAreReachedThroughRelationshipsAndContentTypes) {
  std::unique_ptr<Package> package = OpenOrFail(FixturePath("book.xlsx"), ReadOnly());
  ASSERT_NE(package, nullptr);
  EXPECT_EQ(package->MainDocumentPartName(), "/xl/workbook.xml");
  std::vector<std::string> sheets;
  std::string error;
  ASSERT_TRUE(package->RelatedParts(
      "/xl/workbook.xml",
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet", &sheets,
      &error));
  EXPECT_EQ(sheets,
            (std::vector<std::string>{"/xl/worksheets/sheet1.xml", "/xl/worksheets/sheet2.xml"}));
  EXPECT_EQ(package->ContentType("/XL/Worksheets/Sheet1.xml"),
            "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
  EXPECT_EQ(package->ContentType("/_rels/.rels"),
            "application/vnd.openxmlformats-package.relationships+xml");
  EXPECT_EQ(package->ContentType("/nothing.xml"), "");
  EXPECT_EQ(package->XmlPart("/nothing.xml", &error), nullptr);
  EXPECT_EQ(error, "book.xlsx: /nothing.xml: no such part");
}

TEST(PackageTest, TargetOutsideThePackageFailsClearly) {
  TempDir dir;
  const std::string path = dir.File("escape.xlsx");
  WritePackage(
      path, "<doc/>", {},
      "<Relationship Id=\"rId2\" Target=\"../../etc/passwd\" Type=\"t\"/>"
      "<Relationship Id=\"rId3\" Target=\"http://x/\" TargetMode=\"External\" Type=\"t\"/>");
  // The main part is found before the bad target; reading the relationships fails.
  std::string error;
  HRESULT code = S_OK;
  EXPECT_EQ(Package::Open(path, {}, &error, &code), nullptr);
  EXPECT_EQ(code, STG_E_DOCFILECORRUPT);
  EXPECT_EQ(error,
            "escape.xlsx: /_rels/.rels: relationship 'rId2' targets '../../etc/passwd', outside "
            "the package");
}

// A parsed part is written back as it was, but in UTF-8.
TEST(PackageTest, ParsedPartIsWrittenBackAsItWas) {
  const std::string kept[] = {
      std::string(kDeclaration) +
          "<a xmlns=\"urn:a\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/"
          "2006\" xmlns:unused=\"urn:u\" mc:Ignorable=\"unused\"><!-- note --><?pi data?>"
          "<t xml:space=\"preserve\"> </t>\n  <mc:AlternateContent><mc:Choice Requires=\"x\">"
          "<b/></mc:Choice></mc:AlternateContent><extLst><ext uri=\"{1}\"><x:y xmlns:x=\"urn:x\""
          "/></ext></extLst><![CDATA[<raw>]]><unknown attr=\"&lt;&amp;&quot;\">1 &lt; 2</unknown>"
          "</a>\n",
      "\xEF\xBB\xBF<?xml version='1.0'?>\n<a>caf\xC3\xA9</a>",
  };
  const std::u16string wide = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\u00e9</a>";
  const struct {
    std::string part;
    std::string written;
  } cases[] = {
      {kept[0], kept[0]},
      {kept[1], kept[1]},
      {std::string("\xFF\xFE") +
           std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2),
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::string path = dir.File("p.docx");
    WritePackage(path, c.part);
    std::string error;
    {
      std::unique_ptr<Package> package = OpenOrFail(path);
      ASSERT_NE(package->XmlPart("/doc.xml", &error), nullptr) << error;
      package->MarkChanged("/doc.xml");
      HRESULT code = S_OK;
      ASSERT_TRUE(package->Save(&error, &code)) << error;
    }
    std::string bytes;
    ASSERT_TRUE(OpenOrFail(path)->ReadPart("/doc.xml", &bytes, &error)) << error;
    EXPECT_EQ(bytes, c.written);
  }
}

// Every part of packages made by other writers, parsed and written back,
// comes out byte for byte as it was, but for the two parts that hold
// character references or an empty element written as a pair of tags.
TEST(PackageTest, FixturePartsWriteBackUnchanged) {
  const std::set<std::string> normalised = {"/xl/theme/theme1.xml", "/xl/worksheets/sheet1.xml"};
  for (const char* fixture : {"book.xlsx", "document.docx"}) {
    std::unique_ptr<Package> package = OpenOrFail(FixturePath(fixture), ReadOnly());
    for (const std::string& part : package->PartNames()) {
      std::string original;
      std::string written;
      std::string error;
      ASSERT_TRUE(package->ReadPart(part, &original, &error)) << error;
      if (package->XmlPart(part, &error) == nullptr) continue;
      ASSERT_TRUE(package->ReadPart(part, &written, &error)) << error;
      EXPECT_EQ(written == original, !normalised.count(part)) << fixture << part;
    }
  }
}

TEST(PackageTest, GuardsRefuseWhatPassesALimit) {
  TempDir dir;
  const std::string book = CopyFixture(dir, "book.xlsx");
  const std::string deep_path = dir.File("deep.docx");
  const auto nested = [](int depth) {
    std::string xml;
    for (int i = 0; i < depth; ++i) xml += "<e>";
    for (int i = 0; i < depth; ++i) xml += "</e>";
    return xml;
  };
  WritePackage(deep_path, "<doc/>",
               {{"ok.xml", nested(1000)},
                {"deep.xml", nested(1001)},
                {"dtd.xml", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>"},
                {"bad.xml", "<a><b></a>"},
                {"bomb.xml", std::string(8 << 20, ' ') + "<a/>"}});
  struct Case {
    std::string part;
    PackageLimits limits;
    std::string message;  // empty: parses
  };
  const Case cases[] = {
      {"/ok.xml", {}, ""},
      {"/deep.xml", {}, "deep.docx: /deep.xml: elements nested deeper than 1000"},
      {"/dtd.xml", {}, "deep.docx: /dtd.xml: a DOCTYPE is not allowed"},
      {"/bad.xml", {}, "deep.docx: /bad.xml: malformed XML at byte "},
      {"/bomb.xml",
       {.max_part_bytes = 1 << 20},
       "deep.docx: /bomb.xml: inflates to more than 1048576 bytes"},
      {"/bomb.xml", {.max_total_bytes = 4 << 20}, "deep.docx: /bomb.xml: the package inflates"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<Package> package = OpenOrFail(deep_path, ReadOnly(c.limits));
    std::string error;
    const pugi::xml_document* part = package->XmlPart(c.part, &error);
    EXPECT_EQ(part != nullptr, c.message.empty()) << c.part << ": " << error;
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
  EXPECT_EQ(OpenError(book, STG_E_DOCFILECORRUPT, ReadOnly({.max_entries = 5})),
            "book.xlsx: more than 5 entries");
}

// An entry whose sizes claim a few bytes but which inflates to megabytes.
TEST(PackageTest, SizesClaimedByABombAreNotTrusted) {
  TempDir dir;
  const std::string path = dir.File("bomb.docx");
  const std::string payload(16 << 20, 'a');
  WritePackage(path, "<doc/>", {{"bomb.xml", "<a>" + payload + "</a>"}});
  std::string bytes = testing::ReadFile(path);
  // Rewrite the uncompressed size of bomb.xml in its local and central headers.
  for (size_t at = bytes.find("bomb.xml"); at != std::string::npos;
       at = bytes.find("bomb.xml", at + 1)) {
    const bool central = bytes.compare(at - 46, 4, "PK\x01\x02") == 0;
    const size_t size_field = central ? at - 46 + 24 : at - 30 + 22;
    bytes.replace(size_field, 4, std::string("\x10\x00\x00\x00", 4));
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  std::unique_ptr<Package> package = OpenOrFail(path, ReadOnly({.max_part_bytes = 1 << 20}));
  ASSERT_NE(package, nullptr);
  std::string error;
  EXPECT_EQ(package->XmlPart("/bomb.xml", &error), nullptr);
  EXPECT_EQ(error.rfind("bomb.docx: /bomb.xml: ", 0), 0u) << error;
}

}  // namespace
}  // namespace ovc::office
