// Opens a workbook with 10,000 workbook-level names (one cell each), writes a
// number to every name's cell through the automation interface as the library
// does (Application.Range(name).Value = x) and saves; against the floor
// (open the package, parse the sheet and workbook parts, write them back,
// save) and against openpyxl and ExcelJS doing the same job. Prints the
// times and the ratios.
#include <zip.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "automation/late_call.h"
#include "automation/text.h"
#include "office/excel/application.h"
#include "office/package/package.h"

namespace ovc::excel {
namespace {

constexpr int kNames = 10000;

std::string NameOf(int i) { return "Rate_" + std::to_string(i); }

void Add(zip_t* archive, const char* name, const std::string& text) {
  zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
  zip_file_add(archive, name, source, 0);
}

// The workbook: names Rate_0..Rate_9999 on Sheet1!$A$1..$A$10000, the cells holding 0.
void WriteWorkbook(const std::string& path) {
  const std::string rels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string package = "http://schemas.openxmlformats.org/package/2006/";
  const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  std::string names, rows;
  for (int i = 0; i < kNames; ++i) {
    names += "<definedName name=\"" + NameOf(i) + "\">Sheet1!$A$" + std::to_string(i + 1) +
             "</definedName>";
    rows += "<row r=\"" + std::to_string(i + 1) + "\"><c r=\"A" + std::to_string(i + 1) +
            "\"><v>0</v></c></row>";
  }
  const std::string types =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types xmlns=\"" + package +
      "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
      "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
      "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType="
      "\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>";
  const std::string root = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"" +
                           package + "relationships\"><Relationship Id=\"rId1\" Type=\"" + rels +
                           "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  const std::string workbook = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook xmlns=\"" +
                               main + "\" xmlns:r=\"" + rels +
                               "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
                               "r:id=\"rId1\"/></sheets><definedNames>" +
                               names + "</definedNames></workbook>";
  const std::string workbook_rels =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<Relationships xmlns=\"" +
      package + "relationships\"><Relationship Id=\"rId1\" Type=\"" + rels +
      "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
  const std::string sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"" +
                            main + "\"><sheetData>" + rows + "</sheetData></worksheet>";
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  Add(archive, "[Content_Types].xml", types);
  Add(archive, "_rels/.rels", root);
  Add(archive, "xl/workbook.xml", workbook);
  Add(archive, "xl/_rels/workbook.xml.rels", workbook_rels);
  Add(archive, "xl/worksheets/sheet1.xml", sheet);
  zip_close(archive);
}

double Seconds(const std::function<bool()>& job) {
  const auto start = std::chrono::steady_clock::now();
  if (!job()) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Engine(const std::string& path) {
  ComPtr<Application> application = MakeObject<Application>(office::Services{});
  Variant workbooks, workbook;
  if (Failed(CallByName(application.get(), L"Workbooks", DISPATCH_PROPERTYGET, {}, &workbooks)) ||
      Failed(CallByName(workbooks.dispatch(), L"Open", DISPATCH_METHOD, {Variant(FromUtf8(path))},
                        &workbook))) {
    return false;
  }
  for (int i = 0; i < kNames; ++i) {
    Variant range;
    if (Failed(CallByName(application.get(), L"Range", DISPATCH_PROPERTYGET,
                          {Variant(FromUtf8(NameOf(i)))}, &range)) ||
        Failed(CallByName(range.dispatch(), L"Value", DISPATCH_PROPERTYPUT, {Variant(i * 0.5)},
                          nullptr))) {
      return false;
    }
  }
  return Succeeded(CallByName(workbook.dispatch(), L"Save", DISPATCH_METHOD, {}, nullptr)) &&
         Succeeded(CallByName(application.get(), L"Quit", DISPATCH_METHOD, {}, nullptr));
}

bool Floor(const std::string& path) {
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<office::Package> package =
      office::Package::Open(path, office::OpenOptions{}, &error, &code);
  if (!package) return false;
  for (const char* part : {"/xl/workbook.xml", "/xl/worksheets/sheet1.xml"}) {
    if (package->XmlPart(part, &error) == nullptr) return false;
    package->MarkChanged(part);
  }
  return package->Save(&error, &code);
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace
}  // namespace ovc::excel

int main() {
  using namespace ovc::excel;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("excel-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string book = (folder / "Names.xlsx").string();
  const std::string scripts = std::string(OVC_SOURCE_DIR) + "/bench/";
  auto fresh = [&] {
    WriteWorkbook(book);
    return book;
  };
  const double floor = Seconds([&] { return Floor(fresh()); });
  const double engine = Seconds([&] { return Engine(fresh()); });
  fresh();
  const double openpyxl = Seconds(
      [&] { return Run("/usr/bin/python3 " + scripts + "write_names_openpyxl.py " + book); });
  fresh();
  const double exceljs = Seconds(
      [&] { return Run("node " + scripts + "write_names_exceljs.js " + book + " 2>/dev/null"); });
  std::filesystem::remove_all(folder);
  std::printf("10,000 names written and saved:\n  engine   %.3f s\n  floor    %.3f s\n", engine,
              floor);
  std::printf("  openpyxl %.3f s\n", openpyxl);
  if (exceljs < 0) {
    std::printf("  ExcelJS  not available (NODE_PATH must name a node_modules with exceljs)\n");
  } else {
    std::printf("  ExcelJS  %.3f s\n", exceljs);
  }
  const double peer = exceljs > 0 && exceljs < openpyxl ? exceljs : openpyxl;
  std::printf(
      "ratios: faster peer / engine = %.1f (goal >= 10), engine / floor = %.2f (goal <= 3)\n",
      peer / engine, engine / floor);
  return engine > 0 && floor > 0 ? 0 : 1;
}
