#include "office/excel/registration.h"

#include "office/common/application_class.h"
#include "office/excel/application.h"

namespace ovc::excel {

HRESULT RegisterExcelClasses() {
  return office::RegisterApplicationClass<Application>(
      CLSID_ExcelApplication, {L"Excel.Application", L"", L"Spreadsheet application"});
}

}  // namespace ovc::excel
