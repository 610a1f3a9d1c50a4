#include "office/package/package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "office/package/file_lock.h"
#include "office/package/file_system.h"
#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::office {
namespace {

using testing::CopyFixture;
using testing::FixturePath;
using testing::OpenError;
using testing::OpenOrFail;
using testing::RawEntries;
using testing::RawEntry;
using testing::ReadFile;
using testing::TempDir;
using testing::WritePackage;
using testing::WriteZip;

OpenOptions ReadOnly(PackageLimits limits = {}) {
  OpenOptions options;
  options.read_only = true;
  options.limits = limits;
  return options;
}

const std::string kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

void SaveOrFail(Package* package) {
  std::string error;
  HRESULT code = S_OK;
  EXPECT_TRUE(package->Save(&error, &code)) << error;
}

// The code of a save that must fail; its message in `error`.
HRESULT SaveFailure(Package* package, std::string* error) {
  HRESULT code = S_OK;
  EXPECT_FALSE(package->Save(error, &code));
  return code;
}

TEST(PackageTest, RefusedFormatsNameTheFileAndTheReason) {
  TempDir dir;
  const std::string text = dir.File("notes.xlsx");
  std::ofstream(text) << "just text";
  const std::string truncated = dir.File("truncated.xlsx");
  std::ofstream(truncated, std::ios::binary) << ReadFile(FixturePath("book.xlsx")).substr(0, 2000);
  const std::string corrupt_legacy = dir.File("corrupt.xls");
  std::ofstream(corrupt_legacy, std::ios::binary)
      << ReadFile(FixturePath("legacy.doc")).substr(0, 512) << std::string(4096, 'x');
  const std::string fifo = dir.File("fifo.xlsx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string no_main = dir.File("no_main.xlsx");
  WriteZip(no_main,
           {{"[Content_Types].xml",
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
            {"_rels/.rels",
             "<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>"}});
  // The main part is found before the bad target; reading the relationships fails.
  const std::string escape = dir.File("escape.xlsx");
  WritePackage(
      escape, "<doc/>", {},
      "<Relationship Id=\"rId2\" Target=\"../../etc/passwd\" Type=\"t\"/>"
      "<Relationship Id=\"rId3\" Target=\"http://x/\" TargetMode=\"External\" Type=\"t\"/>");
  const struct Case {
    std::string path;
    HRESULT code;
    std::string message;
  } cases[] = {
      {escape, STG_E_DOCFILECORRUPT,
       "escape.xlsx: /_rels/.rels: relationship 'rId2' targets '../../etc/passwd', outside"},
      {FixturePath("binary.xlsb"), E_NOTIMPL,
       "binary.xlsb: binary workbook (.xlsb): not supported"},
      {text, E_NOTIMPL, "notes.xlsx: not an Office Open XML package: not supported"},
      {no_main, E_NOTIMPL, "no_main.xlsx: not an Office Open XML package: not supported"},
      {truncated, STG_E_DOCFILECORRUPT, "truncated.xlsx: damaged zip archive"},
      {corrupt_legacy, STG_E_DOCFILECORRUPT, "corrupt.xls: damaged compound file (.xls/.doc)"},
      {dir.File("missing.xlsx"), STG_E_FILENOTFOUND, "missing.xlsx: "},
  };
  for (const Case& c : cases) {
    const std::string error = OpenError(c.path, c.code);
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
  }
  // A read-only open of a FIFO would wait for a writer.
  EXPECT_EQ(OpenError(fifo, STG_E_READFAULT, ReadOnly()), "fifo.xlsx: Invalid argument");
}

TEST(PackageTest, AnOpenerServingOneKindOfDocumentRefusesEveryOther) {
  TempDir dir;
  const std::string path = dir.File("renamed.xlsx");
  const std::string word = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
  const std::string sheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
  const struct {
    std::string main_type;
    DocumentKind kind;
    std::string refusal;  // "" when it opens
  } cases[] = {
      {word + "document.main+xml", DocumentKind::kWorkbook,
       "a word-processing document, not a workbook"},
      {sheet + "sheet.main+xml", DocumentKind::kWordProcessing,
       "a workbook, not a word-processing document"},
      {"application/xml", DocumentKind::kWorkbook, "not a workbook"},
      {"application/vnd.ms-word.template.macroEnabledTemplate.main+xml",
       DocumentKind::kWordProcessing, ""},
      {"Application/VND.ms-excel.sheet.macroEnabled.main+xml", DocumentKind::kWorkbook, ""},
  };
  for (const auto& c : cases) {
    WriteZip(path, {{"[Content_Types].xml",
                     testing::ContentTypes("<Override PartName='/doc.xml' ContentType='" +
                                           c.main_type + "'/>")},
                    {"_rels/.rels", testing::Relationships(testing::Relationship(
                                        "rId1", "officeDocument", "doc.xml"))},
                    {"doc.xml", "<doc/>"}});
    OpenOptions options = ReadOnly();
    options.kind = c.kind;
    if (c.refusal.empty()) {
      EXPECT_NE(OpenOrFail(path, options), nullptr) << c.main_type;
    } else {
      EXPECT_EQ(OpenError(path, E_NOTIMPL, options),
                "renamed.xlsx: " + c.refusal + ": not supported");
    }
  }
}

TEST(PackageTest, PartsAreReachedThroughRelationshipsAndContentTypes) {
  std::unique_ptr<Package> package = OpenOrFail(FixturePath("book.xlsx"), ReadOnly());
  ASSERT_NE(package, nullptr);
  EXPECT_EQ(package->MainDocumentPartName(), "/xl/workbook.xml");
  std::vector<std::string> sheets;
  std::string error;
  ASSERT_TRUE(
      package->RelatedParts("/xl/workbook.xml", kRelationships + "worksheet", &sheets, &error));
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

// A parsed part is written back as it was, but in UTF-8.
TEST(PackageTest, ParsedPartsAreWrittenBackAsTheyWere) {
  const std::string kept =
      std::string(kDeclaration) +
      "<a xmlns=\"urn:a\" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/"
      "2006\" xmlns:unused=\"urn:u\" mc:Ignorable=\"unused\"><!-- note --><?pi data?>"
      "<t xml:space=\"preserve\"> </t>\n  <mc:AlternateContent><mc:Choice Requires=\"x\">"
      "<b/></mc:Choice></mc:AlternateContent><extLst><ext uri=\"{1}\"><x:y xmlns:x=\"urn:x\""
      "/></ext></extLst><![CDATA[<raw>]]><unknown attr=\"&lt;&amp;&quot;\">1 &lt; 2</unknown>"
      "</a>\n";
  const std::u16string wide = u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a>\u00e9</a>";
  const struct {
    std::string part;
    std::string written = "";  // empty: the part as it was
  } cases[] = {
      {kept},
      {"\xEF\xBB\xBF<?xml version='1.0'?>\n<a>caf\xC3\xA9</a>"},
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
      SaveOrFail(package.get());
    }
    std::string bytes;
    ASSERT_TRUE(OpenOrFail(path)->ReadPart("/doc.xml", &bytes, &error)) << error;
    EXPECT_EQ(bytes, c.written.empty() ? c.part : c.written);
  }
  // Every part of packages made by other writers, parsed and written back,
  // comes out byte for byte as it was, but for the two parts that hold
  // character references or an empty element written as a pair of tags.
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
  const struct Case {
    std::string part;
    PackageLimits limits;
    std::string message;  // empty: parses
  } cases[] = {
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
  std::string bytes = ReadFile(path);
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

constexpr char kWorkbook[] = "/xl/workbook.xml";

// Sets an attribute of the part's root and marks the part changed.
void Touch(Package* package, const std::string& part, const char* value) {
  std::string error;
  pugi::xml_document* document = package->XmlPart(part, &error);
  ASSERT_NE(document, nullptr) << error;
  pugi::xml_node root = document->document_element();
  (root.attribute("touched") ? root.attribute("touched") : root.append_attribute("touched"))
      .set_value(value);
  package->MarkChanged(part);
}

TEST(PackageSaveTest, OnlyChangedPartsAreRewrittenTheRestCopiedRaw) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  const std::vector<RawEntry> before = RawEntries(path);
  {
    std::unique_ptr<Package> package = OpenOrFail(path);
    std::string error;
    // Parsed but not marked changed: copied raw like the rest.
    ASSERT_NE(package->XmlPart("/xl/worksheets/sheet1.xml", &error), nullptr);
    Touch(package.get(), kWorkbook, "1");
    SaveOrFail(package.get());
    // A second save reads from the file the first one wrote.
    Touch(package.get(), "/xl/styles.xml", "2");
    SaveOrFail(package.get());
  }
  const std::vector<RawEntry> after = RawEntries(path);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    ASSERT_EQ(after[i].name, before[i].name);
    const bool rewritten = after[i].name == "xl/workbook.xml" || after[i].name == "xl/styles.xml";
    EXPECT_EQ(after[i] == before[i], !rewritten) << after[i].name;
  }
}

TEST(PackageSaveTest, AddedAndRemovedPartsCarryRelationshipAndContentType) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  const std::string type = "http://example.com/relationships/extra";
  const std::string content_type = "application/vnd.example.extra+xml";
  {
    std::unique_ptr<Package> package = OpenOrFail(path);
    std::string error;
    std::string id;
    pugi::xml_document* added =
        package->AddXmlPart("/xl/extra/extra.xml", content_type, kWorkbook, type, &id, &error);
    ASSERT_NE(added, nullptr) << error;
    EXPECT_EQ(id, "rId6");
    added->append_child("extra");
    EXPECT_EQ(
        package->AddXmlPart("/xl/Extra/EXTRA.xml", content_type, kWorkbook, type, nullptr, &error),
        nullptr);
    // A source without relationships gets a relationships part.
    ASSERT_NE(package->AddXmlPart("/docProps/custom.xml", content_type, "/docProps/app.xml", type,
                                  nullptr, &error),
              nullptr)
        << error;
    ASSERT_TRUE(package->RemovePart("/xl/sharedStrings.xml", &error)) << error;
    EXPECT_FALSE(package->RemovePart("/xl/sharedStrings.xml", &error));
    SaveOrFail(package.get());
  }
  std::unique_ptr<Package> package = OpenOrFail(path);
  std::vector<std::string> parts;
  std::string error;
  ASSERT_TRUE(package->RelatedParts(kWorkbook, type, &parts, &error));
  EXPECT_EQ(parts, std::vector<std::string>{"/xl/extra/extra.xml"});
  ASSERT_TRUE(package->RelatedParts("/docProps/app.xml", type, &parts, &error));
  EXPECT_EQ(parts, std::vector<std::string>{"/docProps/custom.xml"});
  EXPECT_EQ(package->ContentType("/xl/extra/extra.xml"), content_type);
  EXPECT_STREQ(package->XmlPart("/xl/extra/extra.xml", &error)->document_element().name(), "extra");
  EXPECT_FALSE(package->HasPart("/xl/sharedStrings.xml"));
  ASSERT_TRUE(package->RelatedParts(kWorkbook, kRelationships + "sharedStrings", &parts, &error));
  EXPECT_TRUE(parts.empty());
  std::string types;
  ASSERT_TRUE(package->ReadPart("/[Content_Types].xml", &types, &error));
  EXPECT_EQ(types.find("sharedStrings"), std::string::npos);
}

// Fails one step of the save with an errno.
class FailingFileSystem : public FileSystem {
 public:
  enum class Step { kWrite, kSync, kRename };
  FailingFileSystem(Step step, int error) : step_(step), error_(error) {}
  int Write(int fd, std::string_view data) override {
    return step_ == Step::kWrite ? error_ : FileSystem::Write(fd, data);
  }
  int Sync(int fd) override { return step_ == Step::kSync ? error_ : FileSystem::Sync(fd); }
  int Rename(const std::string& from, const std::string& to) override {
    return step_ == Step::kRename ? error_ : FileSystem::Rename(from, to);
  }

 private:
  Step step_;
  int error_;
};

TEST(PackageSaveTest, FailedSaveLeavesTheOldFileWholeAndNoTemporaryFile) {
  const struct Case {
    FailingFileSystem::Step step;
    int error;
    HRESULT code;
  } cases[] = {
      {FailingFileSystem::Step::kWrite, ENOSPC, STG_E_MEDIUMFULL},
      {FailingFileSystem::Step::kSync, EIO, STG_E_WRITEFAULT},
      {FailingFileSystem::Step::kRename, EACCES, STG_E_ACCESSDENIED},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const std::string path = CopyFixture(dir, "book.xlsx");
    const std::string before = ReadFile(path);
    FailingFileSystem file_system(c.step, c.error);
    OpenOptions options;
    options.file_system = &file_system;
    std::unique_ptr<Package> package = OpenOrFail(path, options);
    Touch(package.get(), kWorkbook, "1");
    std::string error;
    EXPECT_EQ(SaveFailure(package.get(), &error), c.code) << error;
    EXPECT_EQ(error, "book.xlsx: " + std::string(std::strerror(c.error)));
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"book.xlsx"});
  }
}

TEST(PackageSaveTest, LinksStayAndModeIsKept) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "real");
  const std::string target = CopyFixture(dir, "book.xlsx", "real/book.xlsx");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = dir.File("link.xlsx");
  std::filesystem::create_symlink("real/book.xlsx", link);
  // Another name of the old file keeps the old content.
  std::filesystem::create_hard_link(target, dir.File("hard.xlsx"));
  const std::string before = ReadFile(target);
  {
    std::unique_ptr<Package> package = OpenOrFail(link);
    EXPECT_TRUE(package->IsFile(dir.File("hard.xlsx")));
    Touch(package.get(), kWorkbook, "1");
    SaveOrFail(package.get());
    EXPECT_TRUE(package->IsFile(dir.File("real/../real/book.xlsx")));
    EXPECT_FALSE(package->IsFile(dir.File("hard.xlsx")));
  }
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(dir.File("hard.xlsx")), before);
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path() / "real")->path().filename(),
            "book.xlsx");
  EXPECT_NE(ReadFile(target), before);
}

TEST(PackageSaveTest, LockMakesTheSecondOpenerReadOnly) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  std::vector<std::string> traces;
  std::unique_ptr<Package> first = OpenOrFail(path);
  ASSERT_FALSE(first->is_read_only());
  {
    std::unique_ptr<Package> reader = OpenOrFail(path, ReadOnly());
    EXPECT_TRUE(reader->is_read_only());
    OpenOptions options;
    options.trace = [&](std::string_view line) { traces.emplace_back(line); };
    std::unique_ptr<Package> second = OpenOrFail(path, options);
    EXPECT_TRUE(second->is_read_only());
    Touch(second.get(), kWorkbook, "1");
    std::string error;
    EXPECT_EQ(SaveFailure(second.get(), &error), E_ACCESSDENIED);
    EXPECT_EQ(error, "book.xlsx: opened read-only");
  }
  EXPECT_EQ(traces, std::vector<std::string>{path + ": in use (locked); opened read-only"});
  const pid_t child = ::fork();
  if (child == 0) {
    std::string error;
    HRESULT code = S_OK;
    const std::unique_ptr<Package> other = Package::Open(path, {}, &error, &code);
    ::_exit(other != nullptr && other->is_read_only() ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0) << "another process got the lock";
  // The lock moves to the saved file and goes with the package.
  SaveOrFail(first.get());
  EXPECT_TRUE(OpenOrFail(path)->is_read_only());
  first.reset();
  EXPECT_FALSE(OpenOrFail(path)->is_read_only());
}

// The real file system, but for a folder check that fails, and an action
// run when the save flushes its temporary file.
class ScriptedFileSystem : public FileSystem {
 public:
  int folder_error = 0;
  std::function<void()> during_save;

  int CheckFolderWritable(const std::string& folder) override {
    return folder_error != 0 ? folder_error : FileSystem::CheckFolderWritable(folder);
  }
  int Sync(int fd) override {
    if (during_save) during_save();
    return FileSystem::Sync(fd);
  }
};

void SetModified(const std::string& path, time_t seconds_ago) {
  struct timespec times[2] = {{::time(nullptr) - seconds_ago, 0},
                              {::time(nullptr) - seconds_ago, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(PackageSaveTest, AFolderThatCannotTakeTheSaveOpensTheFileReadOnly) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  ScriptedFileSystem file_system;
  file_system.folder_error = EACCES;
  std::vector<std::string> traces;
  OpenOptions options;
  options.file_system = &file_system;
  options.trace = [&](std::string_view line) { traces.emplace_back(line); };
  std::unique_ptr<Package> package = OpenOrFail(path, options);
  EXPECT_TRUE(package->is_read_only());
  EXPECT_EQ(traces, std::vector<std::string>{path + ": folder not writable (" +
                                             std::strerror(EACCES) + "); opened read-only"});
  std::string error;
  EXPECT_EQ(SaveFailure(package.get(), &error), E_ACCESSDENIED);
  // Opened as a read-only file is: without the lock.
  EXPECT_FALSE(OpenOrFail(path)->is_read_only());
}

TEST(PackageSaveTest, SaveRefusesToOverwriteWhatAnotherProgramChangedSinceTheOpen) {
  const auto replace = [](const std::string& path) {
    std::ofstream(path + ".new") << "theirs";
    std::filesystem::rename(path + ".new", path);
  };
  const auto rewrite = [](const std::string& path) { std::ofstream(path, std::ios::app) << "x"; };
  const auto retime = [](const std::string& path) { SetModified(path, 3600); };
  const auto remove = [](const std::string& path) { std::filesystem::remove(path); };
  const struct {
    const char* what;
    std::function<void(const std::string&)> before_save;
    std::function<void(const std::string&)> during_save;
  } cases[] = {
      {"replaced", replace, nullptr},
      {"rewritten in place", rewrite, nullptr},
      {"given another time", retime, nullptr},
      {"removed", remove, nullptr},
      {"replaced while the save writes", nullptr, replace},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string path = CopyFixture(dir, "book.xlsx");
    ScriptedFileSystem file_system;
    OpenOptions options;
    options.file_system = &file_system;
    std::unique_ptr<Package> package = OpenOrFail(path, options);
    Touch(package.get(), kWorkbook, "1");
    if (c.before_save) c.before_save(path);
    if (c.during_save) file_system.during_save = [&] { c.during_save(path); };
    const bool exists = std::filesystem::exists(path);
    const std::string theirs = c.during_save ? "theirs" : exists ? ReadFile(path) : "";
    std::string error;
    EXPECT_EQ(SaveFailure(package.get(), &error), E_ACCESSDENIED);
    EXPECT_EQ(error.rfind("book.xlsx: changed or replaced by another program", 0), 0u) << error;
    EXPECT_EQ(dir.Entries(),
              exists ? std::vector<std::string>{"book.xlsx"} : std::vector<std::string>{});
    EXPECT_TRUE((exists ? ReadFile(path) : "") == theirs);
  }
}

TEST(PackageSaveTest, OpenAndSaveRemoveOnlyTheLeftoversOfKilledSaves) {
  TempDir dir;
  const std::string path = CopyFixture(dir, "book.xlsx");
  const struct {
    std::string name;
    time_t age;
    bool locked;  // by a save still running
    bool removed;
  } cases[] = {
      {".~book.xlsx.0123456789ab.tmp", 3600, false, true},
      {".~book.xlsx.aaaaaaaaaaaa.tmp", 0, false, false},
      {".~book.xlsx.bbbbbbbbbbbb.tmp", 3600, true, false},
      {".~other.xlsx.0123456789ab.tmp", 3600, false, false},
      {".~book.xlsx.0123456789ax.tmp", 3600, false, false},
      {"book.xlsx.0123456789ab.tmp", 3600, false, false},
  };
  std::vector<int> running_saves;
  const auto leave = [&] {
    for (const auto& c : cases) {
      std::ofstream(dir.File(c.name)) << "half";
      SetModified(dir.File(c.name), c.age);
      const int fd = ::open(dir.File(c.name).c_str(), O_RDWR);
      if (c.locked && LockFile(fd) == 0) {
        running_saves.push_back(fd);
      } else {
        ::close(fd);
      }
    }
  };
  const auto check = [&](const char* when) {
    for (const auto& c : cases) {
      EXPECT_EQ(std::filesystem::exists(dir.File(c.name)), !c.removed) << when << ": " << c.name;
    }
  };
  leave();
  OpenOrFail(path, ReadOnly());
  EXPECT_TRUE(std::filesystem::exists(dir.File(cases[0].name))) << "a read-only open removes none";
  std::vector<std::string> traces;
  OpenOptions options;
  options.trace = [&](std::string_view line) { traces.emplace_back(line); };
  std::unique_ptr<Package> package = OpenOrFail(path, options);
  check("open");
  EXPECT_EQ(traces, std::vector<std::string>{path + ": removed the leftover temporary file " +
                                             cases[0].name});
  leave();
  Touch(package.get(), kWorkbook, "1");
  SaveOrFail(package.get());
  check("save");
  for (const int fd : running_saves) ::close(fd);
}

}  // namespace
}  // namespace ovc::office
