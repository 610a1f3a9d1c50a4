#pragma once

#include <string_view>

#include "office/common/office_error.h"

namespace ovc::excel {

// The source of every error object the application leaves.
inline constexpr std::wstring_view kErrorSource = L"Excel.Application";

using office::Describe;

}  // namespace ovc::excel
