#include "tests/office/excel/workbook_fixture.h"

#include <zip.h>

#include <random>
#include <stdexcept>

#include "automation/class_registry.h"
#include "office/excel/registration.h"

namespace ovc::excel::testing {

TempFolder::TempFolder() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() / ("excel-test-" + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<Part> MinimalWorkbook(const std::string& workbook_children) {
  const std::string relationships =
      "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string package = "http://schemas.openxmlformats.org/package/2006/";
  const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  return {
      {"[Content_Types].xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types xmlns=\"" + package +
           "content-types\"><Default Extension=\"rels\" "
           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
           "<Override PartName=\"/xl/workbook.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+"
           "xml\"/><Override PartName=\"/xl/worksheets/sheet1.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+"
           "xml\"/></Types>"},
      {"_rels/.rels", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"" +
                          package + "relationships\"><Relationship Id=\"rId1\" Type=\"" +
                          relationships +
                          "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
      {"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook xmlns=\"" + main +
                              "\" xmlns:r=\"" + relationships +
                              "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                              "</sheets>" +
                              workbook_children + "</workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"" + package +
           "relationships\"><Relationship Id=\"rId1\" Type=\"" + relationships +
           "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
      {"xl/worksheets/sheet1.xml",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<worksheet xmlns=\"" + main +
           "\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
           "</sheetData></worksheet>"},
  };
}

void WritePackage(const std::string& path, const std::vector<Part>& parts) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("cannot create " + path);
  for (const Part& part : parts) {
    zip_source_t* source = zip_source_buffer(archive, part.text.data(), part.text.size(), 0);
    if (source == nullptr || zip_file_add(archive, part.name.c_str(), source, 0) < 0) {
      zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("cannot add " + part.name + " to " + path);
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("cannot write " + path);
  }
}

HRESULT Call(IDispatch* object, const std::wstring& name, uint16_t flags, std::vector<Variant> args,
             Variant* result) {
  DISPID id = DISPID_UNKNOWN;
  if (HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id); Failed(hr)) return hr;
  std::vector<Variant> reversed(args.rbegin(), args.rend());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<uint32_t>(reversed.size()), 0};
  if (flags & DISPATCH_PROPERTYPUT) {
    params.named_ids = &put;
    params.named_count = 1;
  }
  return object->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
}

ComPtr<IDispatch> GetObject(IDispatch* object, const std::wstring& name,
                            std::vector<Variant> args) {
  Variant result;
  if (Failed(Call(object, name, DISPATCH_PROPERTYGET, std::move(args), &result)) ||
      result.vt() != VT_DISPATCH) {
    return nullptr;
  }
  return ComPtr<IDispatch>(result.dispatch());
}

ComPtr<IDispatch> NewApplication() {
  if (Failed(RegisterExcelClasses())) return nullptr;
  ComPtr<IDispatch> application;
  if (Failed(CreateObject(L"Excel.Application", &application))) return nullptr;
  return application;
}

}  // namespace ovc::excel::testing
