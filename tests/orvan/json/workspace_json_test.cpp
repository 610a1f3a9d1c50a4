#include "orvan/json/workspace_json.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/automation/file_size_limit.h"
#include "tests/orvan/service/service_fixture.h"

namespace ovc::orvan {
namespace {

namespace fs = std::filesystem;

fs::path SamplePath() {
  const char* tests = std::getenv("OVC_TEST_DATA");
  fs::path root = tests != nullptr ? fs::path(tests).parent_path() : fs::path(".");
  return root / "samples" / "plant.json";
}

class SamplePlantTest : public testing::ServiceTest {
 protected:
  void SetUp() override {
    sample_ = testing::ReadFile(SamplePath());
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

// Each workspace below differs from the sample in one way the host could not
// keep; importing it must fail, say why and leave the sample as it was.
TEST_F(SamplePlantTest, RefusesAWorkspaceItCannotKeepAndChangesNothing) {
  using nlohmann::json;
  // objects[0] is pump 1001; its values 4, 11 and 13 are Flow, Service and
  // Stages of case 101.
  auto value = [](json& w, int i) -> json& { return w["objects"][0]["values"][i]; };
  auto element = [&](json& w, int i) -> json& { return value(w, i)["elements"][0]; };
  struct Case {
    std::function<void(json&)> edit;
    const char* message;
  };
  const Case cases[] = {
      {[](json& w) { w["format"] = "something else"; }, "not a workspace of format"},
      {[&](json& w) { element(w, 4)["unit"] = "furlong"; }, "'furlong' is not a unit"},
      {[&](json& w) { element(w, 13)["value"] = 2.7; }, "'Stages', case 101: 2.7 is not a 32-bit"},
      {[&](json& w) { value(w, 4)["elements"].push_back(element(w, 4)); },
       "route 'Flow', case 101: the attribute holds one value, but 2 were given."},
      {[&](json& w) { element(w, 11)["value"] = "Lava"; },
       "'Lava' is not one of its allowed texts."},
      {[](json& w) { w["objects"][1]["oid"] = 1001; }, "Object 1001: the OID is listed twice."},
      {[&](json& w) { value(w, 4)["case"] = 999; }, "route 'Flow', case 999: case 999 does not"},
      {[&](json& w) { value(w, 5)["case"] = 101; }, "case 101: the value is listed twice."},
      {[](json& w) { w["defaultCase"] = 999; }, "The default case 999 does not exist."},
      {[](json& w) { w["quantityTypes"][0]["units"][1]["factor"] = 0.0; },
       "Unit 'kPa' of quantity type 'Pressure' does not convert"},
      {[](json& w) { w["quantityTypes"][0]["units"][1]["systemName"] = "Pa"; },
       "Quantity type 'Pressure' has two units named 'Pa'."},
      {[](json& w) { w["cases"][1]["oid"] = 101; }, "Case 101 is defined twice."},
      {[](json& w) {
         w["bridges"].push_back(json::parse(R"({"oid": 4, "name": "B", "createdBy": "",
             "dateCreated": "", "modifiedBy": "", "dateModified": "", "lockHolder": "",
             "document": "<Bridge><Linksets></Bridge>"})"));
       },
       "Bridge 4: the document is not XML"},
      {[](json& w) {
         w["files"].push_back(json::parse(R"({"oid": 2, "fileName": "a.txt", "linked": false,
             "linkedPath": "", "holder": "", "content": "Zg="})"));
       },
       "File 2: the content is not base64."},
      // Identifiers are never cut to 32 bits or to a whole number.
      {[](json& w) { w["objects"][0]["oid"] = 4294967297u; },
       "At /objects/0/oid: 4294967297 is not a 32-bit integer."},
      {[](json& w) { w["objects"][0]["oid"] = 1001.5; }, "At /objects/0/oid: 1001.5 is not"},
      {[](json& w) { w["objects"][0]["oid"] = 1e30; }, "At /objects/0/oid: 1e+30 is not"},
      {[](json& w) { w["objects"][2]["oid"] = -1e30; }, "At /objects/2/oid: -1e+30 is not"},
      {[](json& w) { w["cases"][0]["oid"] = 4294967397u; }, "At /cases/0/oid: 4294967397 is"},
      {[&](json& w) { value(w, 4)["case"] = 4294967397u; },
       "At /objects/0/values/4/case: 4294967397 is"},
      {[](json& w) {
         w["objects"][1]["cases"] = {101, 4294967397u};
       },
       "At /objects/1/cases/1: 4294967397 is"},
      {[](json& w) { w["governingCase"] = "102"; }, "At /governingCase: \"102\" is not"},
  };
  for (const Case& c : cases) {
    json workspace = json::parse(sample_);
    c.edit(workspace);
    Status status = ImportWorkspace(store_.get(), workspace.dump());
    EXPECT_EQ(status.code(), Status::Code::kInvalidArgument) << c.message;
    EXPECT_NE(status.message().find(c.message), std::string::npos) << status.message();
  }
  Status status = ImportWorkspace(store_.get(), "{not json");
  EXPECT_NE(status.message().find("cannot be imported"), std::string::npos) << status.message();
  std::string exported;
  ASSERT_TRUE(ExportWorkspace(store_.get(), &exported).ok());
  EXPECT_EQ(exported, sample_);
}

// A key given twice in one object is refused with its place, not decided by
// whichever comes last.
TEST_F(SamplePlantTest, RefusesAKeyGivenTwice) {
  nlohmann::json marked = nlohmann::json::parse(sample_);
  marked["objects"][1]["values"][2]["route"] = "MARK";
  const std::string compact = marked.dump();
  const std::string mark = "\"route\":\"MARK\"";
  std::string nested = compact;
  nested.replace(nested.find(mark), mark.size(), "\"route\":\"Flow\",\"route\":\"Power\"");
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {sample_.substr(0, sample_.rfind('}')) + ", \"objects\": []}",
       "At /objects: the key is given twice."},
      {nested, "At /objects/1/values/2/route: the key is given twice."},
  };
  for (const auto& c : cases) {
    Status status = ImportWorkspace(store_.get(), c.text);
    EXPECT_EQ(status.code(), Status::Code::kInvalidArgument) << c.message;
    EXPECT_NE(status.message().find(c.message), std::string::npos) << status.message();
  }
  std::string exported;
  ASSERT_TRUE(ExportWorkspace(store_.get(), &exported).ok());
  EXPECT_EQ(exported, sample_);
}

// Only a regular file is read: a pipe would give no end (or none yet).
TEST_F(SamplePlantTest, ImportReadsOnlyARegularFile) {
  const fs::path pipe = dir_.path() / "pipe.json";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // A writer puts a whole workspace into the pipe and closes it after a
  // while, so that a reader of pipes would end, having read it.
  const int writer = ::open(pipe.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_GE(::fcntl(writer, F_SETPIPE_SZ, 1 << 20), static_cast<int>(sample_.size()));
  ASSERT_EQ(::write(writer, sample_.data(), sample_.size()), static_cast<ssize_t>(sample_.size()));
  std::thread closer([writer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::close(writer);
  });
  Status status = ImportWorkspaceFile(store_.get(), pipe);
  closer.join();
  EXPECT_FALSE(status.ok());
  EXPECT_NE(status.message().find("pipe.json"), std::string::npos) << status.message();
}

// An export that cannot be written whole leaves the previous export as it was.
TEST_F(SamplePlantTest, AFailedExportKeepsThePreviousOne) {
  const fs::path path = dir_.path() / "export.json";
  ASSERT_TRUE(ExportWorkspaceFile(store_.get(), path).ok());
  ASSERT_EQ(testing::ReadFile(path), sample_);
  Status status;
  {
    files_testing::FileSizeLimit limit(sample_.size() / 2);
    status = ExportWorkspaceFile(store_.get(), path);
  }
  EXPECT_EQ(status.code(), Status::Code::kStorage);
  EXPECT_NE(status.message().find("export.json"), std::string::npos) << status.message();
  EXPECT_EQ(testing::ReadFile(path), sample_);
  for (const std::string& name : dir_.Entries()) {
    EXPECT_TRUE(name == "export.json" || !name.starts_with("export.json")) << name;
  }
}

// Bridges and files travel whole, binary content too; Linkset numbers handed
// out after an import stay above the Linkset OIDs of the imported documents,
// however their XML is written.
TEST_F(SamplePlantTest, BridgesAndFilesTravelAndLinksetNumbersStayAboveTheirOids) {
  nlohmann::json workspace = nlohmann::json::parse(sample_);
  workspace["bridges"].push_back(
      {{"oid", 1},
       {"name", "B"},
       {"createdBy", "ann"},
       {"dateCreated", "45000.5"},
       {"modifiedBy", "bob"},
       {"dateModified", "45001"},
       {"lockHolder", "bob"},
       {"document",
        "<Bridge OID='1'><Linksets><Linkset OID='40'/><Linkset\nOID=\"7\"/>"
        "</Linksets></Bridge>"}});
  workspace["files"].push_back({{"oid", 2},
                                {"fileName", "data.bin"},
                                {"linked", false},
                                {"linkedPath", ""},
                                {"holder", "ann"},
                                {"content", "AP8QIGJpbmFyeQ=="}});
  ASSERT_TRUE(ImportWorkspace(store_.get(), workspace.dump()).ok());
  std::string exported;
  ASSERT_TRUE(ExportWorkspace(store_.get(), &exported).ok());
  const nlohmann::json read = nlohmann::json::parse(exported);
  EXPECT_EQ(read["bridges"], workspace["bridges"]);
  EXPECT_EQ(read["files"], workspace["files"]);
  FileRecord file;
  ASSERT_TRUE(store_->GetFile(2, true, &file).ok());
  EXPECT_EQ(file.content, std::string("\0\xff\x10 binary", 10));
  int32_t next = 0;
  ASSERT_TRUE(store_->NextNumber("linkset", &next).ok());
  EXPECT_EQ(next, 41);
}

}  // namespace
}  // namespace ovc::orvan
