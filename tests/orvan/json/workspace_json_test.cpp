#include "orvan/json/workspace_json.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "orvan/files/file_checkout.h"
#include "orvan/json/base64.h"
#include "tests/orvan/service/service_fixture.h"

namespace ovc::orvan {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

fs::path SamplePath() {
  const char* tests = std::getenv("OVC_TEST_DATA");
  fs::path root = tests != nullptr ? fs::path(tests).parent_path() : fs::path(".");
  return root / "samples" / "plant.json";
}

std::unique_ptr<SqliteStore> EmptyStore(const testing::TempDir& dir, const std::string& name) {
  std::unique_ptr<SqliteStore> store;
  EXPECT_TRUE(SqliteStore::Open(dir.File(name), SqliteStore::Mode::kCreate, &store).ok());
  return store;
}

class SamplePlantTest : public testing::ServiceTest {
 protected:
  void SetUp() override {
    sample_ = ReadText(SamplePath());
    ASSERT_FALSE(sample_.empty()) << SamplePath();
    Status status = ImportWorkspace(store_.get(), sample_);
    ASSERT_TRUE(status.ok()) << status.message();
  }

  std::string sample_;
};

TEST_F(SamplePlantTest, ImportThenExportGivesTheSameJson) {
  std::string exported;
  ASSERT_TRUE(ExportWorkspace(store_.get(), &exported).ok());
  EXPECT_EQ(nlohmann::json::parse(exported), nlohmann::json::parse(sample_));
  EXPECT_EQ(exported, sample_);
}

TEST_F(SamplePlantTest, HoldsAPlant) {
  Catalog catalog;
  ASSERT_TRUE(store_->LoadCatalog(&catalog).ok());
  EXPECT_EQ(catalog.unit_standards, (std::vector<std::string>{"SI", "US", "Metric"}));
  std::vector<std::string> views, cases;
  for (const ClassView& view : catalog.class_views) views.push_back(view.name);
  for (const Case& c : catalog.cases) cases.push_back(c.name);
  EXPECT_EQ(views, (std::vector<std::string>{"Pumps", "Tanks", "Heat Exchangers", "Lines"}));
  EXPECT_EQ(cases, (std::vector<std::string>{"Design", "Rated", "Normal"}));
  std::vector<ObjectRecord> objects;
  ASSERT_TRUE(store_->ListObjects("", &objects).ok());
  EXPECT_EQ(objects.size(), 50u);
  bool types[6] = {};
  bool vector = false;
  for (const ClassView& view : catalog.class_views) {
    for (const Route& route : view.routes) {
      types[static_cast<int>(route.type)] = true;
      vector = vector || route.vector;
    }
  }
  for (bool seen : types) EXPECT_TRUE(seen);
  EXPECT_TRUE(vector);
}

TEST_F(SamplePlantTest, ValuesAnswerInEveryUnitStandard) {
  auto read = [&](const std::string& unit_set) {
    std::string request =
        "<Objects><Object OID=\"1001\"><Attributes><Attribute Route=\"Flow\" "
        "Case=\"-10\" UnitSet=\"" +
        unit_set + "\"/></Attributes></Object></Objects>";
    pugi::xml_document answer = Parse(Call("ReadAttributes", request));
    return answer.select_node("//Value").node().attribute("Quantity").as_double();
  };
  double si = read("SI");  // m³/h
  EXPECT_GT(si, 0);
  EXPECT_NEAR(read("US"), si / 3600 / 6.30901964e-05, 1e-9);
  EXPECT_NEAR(read("Metric"), si / 3600 * 60000, 1e-9);
}

TEST_F(SamplePlantTest, AFailedImportLeavesTheWorkspaceAsItWas) {
  nlohmann::json broken = nlohmann::json::parse(sample_);
  broken["objects"][3]["values"][0]["elements"][0]["unit"] = "furlong";
  struct Case {
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"{not json", "cannot be imported"},
      {R"({"format": "something else", "version": 1})", "not a workspace"},
      {broken.dump(), "furlong"},
  };
  for (const Case& c : cases) {
    Status status = ImportWorkspace(store_.get(), c.text);
    EXPECT_EQ(status.code(), Status::Code::kInvalidArgument);
    EXPECT_NE(status.message().find(c.message), std::string::npos) << status.message();
  }
  std::string exported;
  ASSERT_TRUE(ExportWorkspace(store_.get(), &exported).ok());
  EXPECT_EQ(exported, sample_);
}

TEST_F(SamplePlantTest, BridgesFilesAndPrivilegesTravelToo) {
  Answer created = Call("CreateBridge", "");
  int oid = Parse(created).child("Bridge").attribute("OID").as_int();
  std::string document = "<Bridge OID=\"" + std::to_string(oid) +
                         "\" Name=\"Pumps\"><Linksets><Linkset OID=\"-1\" Name=\"P\"/></Linksets>"
                         "<BridgeFiles/></Bridge>";
  ASSERT_TRUE(Call("SaveBridge", document).status.ok());
  fs::path source = dir_.path() / "data.bin";
  std::ofstream(source, std::ios::binary) << std::string("\0\xff\x10 binary", 10);
  FileCheckout files(store_.get(), L"ann", dir_.path() / "work");
  int32_t file_oid = 0;
  ASSERT_TRUE(files.AddFile(source, false, &file_oid).ok());
  std::string first;
  ASSERT_TRUE(ExportWorkspace(store_.get(), &first).ok());

  auto copy = EmptyStore(dir_, "copy.orvan");
  ASSERT_TRUE(ImportWorkspace(copy.get(), first).ok());
  std::string second;
  ASSERT_TRUE(ExportWorkspace(copy.get(), &second).ok());
  EXPECT_EQ(second, first);
  FileRecord file;
  ASSERT_TRUE(copy->GetFile(file_oid, true, &file).ok());
  EXPECT_EQ(file.content, std::string("\0\xff\x10 binary", 10));
  // Linkset numbers handed out after the import stay above the imported ones.
  int32_t next = 0;
  ASSERT_TRUE(copy->NextNumber("linkset", &next).ok());
  EXPECT_GT(next, 1);
}

TEST(Base64Test, EncodesAndDecodesEveryPadding) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {{"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
                        {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\0\xff", 2), "AP8="}};
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeBase64(c.bytes), c.text);
    std::string bytes = "unchanged";
    ASSERT_TRUE(DecodeBase64(c.text, &bytes)) << c.text;
    EXPECT_EQ(bytes, c.bytes);
  }
  std::string bytes = "unchanged";
  for (const char* bad : {"Zg=", "Z===", "Zg=a", "Zm9v!A==", "=AAA"}) {
    EXPECT_FALSE(DecodeBase64(bad, &bytes)) << bad;
  }
  EXPECT_EQ(bytes, "unchanged");
}

}  // namespace
}  // namespace ovc::orvan
