#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "automation/variant.h"

namespace ovc::links {

// The longest text a date format may produce.
inline constexpr size_t kMaxDateText = 512;

// Formats the calendar date of `date` (the time of day taken as midnight)
// with a C-library time format, in the "C" locale whatever the process runs
// in, limited to the conversions of the date and of a zero time: %a %A %b %B
// %h %C %d %e %m %y %Y %j %u %w %D %F %H %I %M %S %p %n %t %%. nullopt for
// any other conversion, a date outside the years 100..9999, or a text longer
// than kMaxDateText.
std::optional<std::wstring> FormatDateText(std::wstring_view format, DATE date);

}  // namespace ovc::links
