#include "tests/office/excel/workbook_fixture.h"

#include "automation/class_registry.h"
#include "automation/text.h"
#include "office/excel/registration.h"

namespace ovc::excel::testing {

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

ComPtr<IDispatch> GetObject(IDispatch* object, const std::wstring& name,
                            std::vector<Variant> args) {
  Variant result;
  if (Failed(CallByName(object, name, DISPATCH_PROPERTYGET, std::move(args), &result)) ||
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

ComPtr<IDispatch> BookTest::Open(const std::string& path, std::vector<Variant> more) {
  more.insert(more.begin(), Variant(FromUtf8(path)));
  Variant result;
  status_ = CallByName(GetObject(application_.get(), L"Workbooks").get(), L"Open", DISPATCH_METHOD,
                       std::move(more), &result);
  return Succeeded(status_) ? ComPtr<IDispatch>(result.dispatch()) : nullptr;
}

Variant BookTest::Get(IDispatch* object, const wchar_t* member, std::vector<Variant> args) {
  Variant value;
  const HRESULT hr = CallByName(object, member, DISPATCH_PROPERTYGET, std::move(args), &value);
  return Succeeded(hr) ? value : Variant::Error(hr);
}

ComPtr<IDispatch> BookTest::Range(const wchar_t* text) {
  return GetObject(application_.get(), L"Range", {Variant(text)});
}

}  // namespace ovc::excel::testing
