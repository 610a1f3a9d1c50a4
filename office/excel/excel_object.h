#pragma once

#include "office/common/office_object.h"
#include "office/excel/excel_error.h"

namespace ovc::excel {

// The base of every object of the spreadsheet application (see
// office::OfficeObject); its error objects name "Excel.Application".
template <class I, class... Extra>
class ExcelObject : public office::OfficeObject<I, Extra...> {
 protected:
  ExcelObject() : office::OfficeObject<I, Extra...>(kErrorSource) {}
};

}  // namespace ovc::excel
