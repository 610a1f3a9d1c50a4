#pragma once

#include <cstdint>
#include <string_view>

#include "automation/hresult.h"

namespace ovc::apps::excel {

// Reports catalogue message `message` followed by `suffix` for class
// ExcelApp on IExternalApp; returns E_FAIL.
HRESULT ReportExcel(uint32_t message, std::wstring_view suffix = {});
// Reports `text` the same way; returns E_FAIL.
HRESULT ReportExcelText(std::wstring_view text);

}  // namespace ovc::apps::excel
