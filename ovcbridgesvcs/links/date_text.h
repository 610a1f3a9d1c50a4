#pragma once

#include <optional>
#include <string_view>

#include "automation/variant.h"

namespace ovc::links {

// Where a date format ("%d.%m.%Y") puts the day, the month and the year.
struct DateFieldOrder {
  bool day_first = true;  // the day comes before the month
};

// The field order of `format`; nullopt when "%d" or "%m" is missing, neither
// "%Y" nor "%y" is present, or the year comes before the day or the month.
std::optional<DateFieldOrder> DateFieldOrderOf(std::wstring_view format);

// The date (midnight) of a text holding day, month and year as the first
// three runs of digits, in the given order; nullopt when it holds fewer, is
// 256 characters or longer, or names no date. Two-digit years follow the
// automation rule.
std::optional<DATE> ParseDateText(std::wstring_view text, DateFieldOrder order);

}  // namespace ovc::links
