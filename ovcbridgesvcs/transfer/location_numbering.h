#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ovcbridgesvcs/frame/user_interface.h"

namespace ovc::transfer {

// `location` with the suffix `number` in the layout of `numbering`: a
// suffix of one to three digits that the name already ends in is dropped
// first (with the delimiter before it, when there is one; when the
// delimiter is not there, the digits stay), unless nothing would be left.
// Then the delimiter and the number, padded with zeros to `digits` digits.
//   Temp_3, "_", 2 digits, 4  -> Temp_04
//   Temp3,  "_", 2 digits, 4  -> Temp3_04
//   Temp12, "",  general,  5  -> Temp5
std::wstring NumberedLocation(std::wstring_view location, const LocationNumbering& numbering,
                              int64_t number);

}  // namespace ovc::transfer
