#pragma once

#include <cstdint>
#include <string_view>

namespace ovc::excel {

// Built-in number formats a written date may give a General cell.
inline constexpr uint32_t kDateFormatId = 14;      // m/d/yyyy
inline constexpr uint32_t kTimeFormatId = 21;      // h:mm:ss
inline constexpr uint32_t kDateTimeFormatId = 22;  // m/d/yyyy h:mm

// True for the built-in number formats that show dates or times.
bool IsBuiltInDateFormat(uint32_t id);

// True when a format code shows a date or a time: it has a day, month, year,
// hour or second letter (d, m, y, h, s, either case) outside quoted text,
// escaped characters and brackets, or an elapsed-time bracket ([h], [mm],
// [ss]).
bool IsDateFormatCode(std::string_view code);

// True when a format code is General, in any letter case.
bool IsGeneralFormatCode(std::string_view code);

}  // namespace ovc::excel
