#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/dispatch.h"
#include "automation/late_call.h"
#include "office/excel/application.h"
#include "tests/automation/temp_dir.h"
#include "tests/office/office_test_support.h"
#include "tests/office/package/package_test_support.h"

namespace ovc::excel::testing {

using Part = office::testing::ZipEntry;
using office::testing::Object;
using office::testing::WriteZip;

// The parts of a workbook with one sheet "Sheet1" whose sheetData holds
// `sheet_data`, and whose workbook part has `workbook_children` (e.g.
// "<calcPr calcMode=\"manual\"/>") after its sheets.
std::vector<Part> MinimalWorkbook(
    const std::string& workbook_children = "",
    const std::string& sheet_data = "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");

// A new application created by ProgID.
ComPtr<IDispatch> NewApplication();

// A test on the workbook file `book_` in a fresh folder, opened in
// `application_` (which the test makes).
class BookTest : public ::testing::Test {
 protected:
  // The workbook `path` opened in `application_`, `more` the further
  // arguments of Workbooks.Open; null with `status_` set when it fails.
  ComPtr<IDispatch> Open(const std::string& path, std::vector<Variant> more = {});
  ComPtr<IDispatch> Open() { return Open(book_); }
  // A property's value, or the failure as an error value.
  static Variant Get(IDispatch* object, const wchar_t* member, std::vector<Variant> args = {}) {
    return office::testing::Call(object, member, std::move(args), DISPATCH_PROPERTYGET);
  }
  // A put of `member` or a call of the method `method`: the call's HRESULT.
  static HRESULT PutProperty(IDispatch* object, const wchar_t* member, const Variant& value) {
    return CallByName(object, member, DISPATCH_PROPERTYPUT, {value});
  }
  static HRESULT CallMethod(IDispatch* object, const wchar_t* method,
                            std::vector<Variant> args = {}) {
    return CallByName(object, method, DISPATCH_METHOD, std::move(args));
  }
  // The application's Range for `text`; null when it fails.
  ComPtr<IDispatch> Range(const wchar_t* text);

  files_testing::TempDir folder_;
  const std::string book_ = folder_.File("Book.xlsx");
  HRESULT status_ = S_OK;
  ComPtr<Application> application_;
};

}  // namespace ovc::excel::testing
