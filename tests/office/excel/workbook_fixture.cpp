#include "tests/office/excel/workbook_fixture.h"

#include "automation/class_registry.h"
#include "automation/text.h"
#include "office/excel/registration.h"

namespace ovc::excel::testing {

std::vector<Part> MinimalWorkbook(const std::string& workbook_children,
                                  const std::string& sheet_data) {
  using namespace office::testing;
  const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string type = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
  return {
      {"[Content_Types].xml",
       ContentTypes("<Override PartName='/xl/workbook.xml' ContentType='" + type +
                    "sheet.main+xml'/><Override PartName='/xl/worksheets/sheet1.xml' "
                    "ContentType='" +
                    type + "worksheet+xml'/>")},
      {"_rels/.rels", Relationships(Relationship("rId1", "officeDocument", "xl/workbook.xml"))},
      {"xl/workbook.xml",
       "<workbook xmlns='" + main +
           "' xmlns:r='http://schemas.openxmlformats.org/officeDocument/2006/relationships'>"
           "<sheets><sheet name='Sheet1' sheetId='1' r:id='rId1'/></sheets>" +
           workbook_children + "</workbook>"},
      {"xl/_rels/workbook.xml.rels",
       Relationships(Relationship("rId1", "worksheet", "worksheets/sheet1.xml"))},
      {"xl/worksheets/sheet1.xml",
       "<worksheet xmlns='" + main + "'><sheetData>" + sheet_data + "</sheetData></worksheet>"},
  };
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
  status_ = CallByName(Object(application_.get(), L"Workbooks").get(), L"Open", DISPATCH_METHOD,
                       std::move(more), &result);
  return Succeeded(status_) ? ComPtr<IDispatch>(result.dispatch()) : nullptr;
}

ComPtr<IDispatch> BookTest::Range(const wchar_t* text) {
  return Object(application_.get(), L"Range", {Variant(text)});
}

}  // namespace ovc::excel::testing
