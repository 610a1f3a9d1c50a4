#pragma once

#include <cstdint>
#include <string_view>

#include "automation/hresult.h"

namespace ovc::apps::excel {

// The catalogue messages of the Excel adapter.
inline constexpr uint32_t kExcelProgIdInvalid = 1208;
inline constexpr uint32_t kRegistryCorrupt = 1209;
inline constexpr uint32_t kExcelNotRegistered = 1218;
inline constexpr uint32_t kNoWorkbooks = 1221;
inline constexpr uint32_t kOpenFailed = 1222;
inline constexpr uint32_t kRangeNotFound = 1224;
inline constexpr uint32_t kSetValueFailed = 1225;
inline constexpr uint32_t kMacroFailed = 1228;
inline constexpr uint32_t kWorkbookClosed = 1229;
inline constexpr uint32_t kSaveReadOnly = 1241;
inline constexpr uint32_t kSharedRangeName = 1243;
inline constexpr uint32_t kSetVectorFailed = 1272;

// Reports catalogue message `message` followed by `suffix` for class
// ExcelApp on IExternalApp; returns E_FAIL.
HRESULT ReportExcel(uint32_t message, std::wstring_view suffix = {});
// Reports `text` the same way; returns E_FAIL.
HRESULT ReportExcelText(std::wstring_view text);

}  // namespace ovc::apps::excel
