#pragma once

#include <string_view>

#include "automation/text.h"
#include "automation/variant.h"

namespace ovc::apps {

// Whether CloneLocation, having defined `new_location` over the cells of
// `old_location`, must then delete the old one. Never when both spell the
// same name (letter case aside): defining it replaced the old one, and
// deleting it would leave no location at all.
inline bool MustDeleteClonedLocation(std::wstring_view old_location, std::wstring_view new_location,
                                     VARIANT_BOOL remove_old) {
  return remove_old != VARIANT_FALSE && !EqualsNoCase(old_location, new_location);
}

}  // namespace ovc::apps
