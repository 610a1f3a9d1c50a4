#include "bench/excel_bench_support.h"

#include <zip.h>

#include <chrono>

#include "automation/late_call.h"
#include "automation/text.h"
#include "office/excel/application.h"
#include "office/package/archive.h"
#include "office/package/package.h"

namespace ovc::excel::bench {
namespace {

bool Add(zip_t* archive, const char* name, const std::string& text) {
  zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
  const zip_int64_t index = source == nullptr ? -1 : zip_file_add(archive, name, source, 0);
  if (index < 0) {
    zip_source_free(source);
    return false;
  }
  return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                  office::kDeflateLevel) == 0;
}

}  // namespace

bool WritePackage(const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& parts) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) return false;
  for (const auto& [name, content] : parts) {
    if (!Add(archive, name.c_str(), content)) {
      zip_discard(archive);
      return false;
    }
  }
  return zip_close(archive) == 0;
}

bool WriteOneSheetWorkbook(const std::string& path, const std::string& defined_names,
                           const std::string& sheet_data) {
  const std::string rels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string package = "http://schemas.openxmlformats.org/package/2006/";
  const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string types =
      declaration + "<Types xmlns=\"" + package +
      "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
      "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
      "ContentType=\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType="
      "\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>";
  const std::string root = declaration + "<Relationships xmlns=\"" + package +
                           "relationships\"><Relationship Id=\"rId1\" Type=\"" + rels +
                           "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  const std::string names =
      defined_names.empty() ? "" : "<definedNames>" + defined_names + "</definedNames>";
  const std::string workbook = declaration + "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rels +
                               "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
                               "r:id=\"rId1\"/></sheets>" +
                               names + "</workbook>";
  const std::string workbook_rels =
      declaration + "<Relationships xmlns=\"" + package +
      "relationships\"><Relationship Id=\"rId1\" Type=\"" + rels +
      "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";
  const std::string sheet = declaration + "<worksheet xmlns=\"" + main + "\"><sheetData>" +
                            sheet_data + "</sheetData></worksheet>";
  return WritePackage(path, {{"[Content_Types].xml", types},
                             {"_rels/.rels", root},
                             {"xl/workbook.xml", workbook},
                             {"xl/_rels/workbook.xml.rels", workbook_rels},
                             {"xl/worksheets/sheet1.xml", sheet}});
}

bool WriteNamedCells(const std::string& path, const std::vector<std::string>& names,
                     const std::function<double(size_t)>& value) {
  ComPtr<Application> application = MakeObject<Application>(office::Services{});
  Variant workbooks, workbook;
  if (Failed(CallByName(application.get(), L"Workbooks", DISPATCH_PROPERTYGET, {}, &workbooks)) ||
      Failed(CallByName(workbooks.dispatch(), L"Open", DISPATCH_METHOD, {Variant(FromUtf8(path))},
                        &workbook))) {
    return false;
  }
  // The library looks each member's DISPID up once per call site and
  // invokes by DISPID from then on.
  const std::wstring range_name = L"Range", value_name = L"Value";
  DISPID range_id = DISPID_UNKNOWN, value_id = DISPID_UNKNOWN;
  if (Failed(application->GetIDsOfNames(IID_NULL, &range_name, 1, 0, &range_id))) return false;
  for (size_t i = 0; i < names.size(); ++i) {
    Variant name(FromUtf8(names[i])), range;
    DISPPARAMS get{&name, nullptr, 1, 0};
    if (Failed(application->Invoke(range_id, IID_NULL, 0, DISPATCH_PROPERTYGET, &get, &range,
                                   nullptr, nullptr)) ||
        range.vt() != VT_DISPATCH) {
      return false;
    }
    if (value_id == DISPID_UNKNOWN &&
        Failed(range.dispatch()->GetIDsOfNames(IID_NULL, &value_name, 1, 0, &value_id))) {
      return false;
    }
    Variant number(value(i));
    DISPID put_id = DISPID_PROPERTYPUT;
    DISPPARAMS put{&number, &put_id, 1, 1};
    if (Failed(range.dispatch()->Invoke(value_id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr,
                                        nullptr, nullptr))) {
      return false;
    }
  }
  return Succeeded(CallByName(workbook.dispatch(), L"Save", DISPATCH_METHOD, {}, nullptr)) &&
         Succeeded(CallByName(application.get(), L"Quit", DISPATCH_METHOD, {}, nullptr));
}

bool RewriteParts(const std::string& path, const std::vector<std::string>& parts) {
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<office::Package> package =
      office::Package::Open(path, office::OpenOptions{}, &error, &code);
  if (!package) return false;
  for (const std::string& part : parts) {
    if (package->XmlPart(part, &error) == nullptr) return false;
    package->MarkChanged(part);
  }
  return package->Save(&error, &code);
}

bool RewriteSheetAndWorkbook(const std::string& path) {
  return RewriteParts(path, {"/xl/workbook.xml", "/xl/worksheets/sheet1.xml"});
}

double Seconds(const std::function<bool()>& job) {
  const auto start = std::chrono::steady_clock::now();
  if (!job()) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double BestOf(int runs, const std::function<bool()>& prepare, const std::function<bool()>& job) {
  double best = -1;
  for (int run = 0; run < runs; ++run) {
    const double seconds = prepare() ? Seconds(job) : -1;
    if (seconds < 0) return -1;
    if (best < 0 || seconds < best) best = seconds;
  }
  return best;
}

}  // namespace ovc::excel::bench
