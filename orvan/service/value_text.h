#pragma once

#include <string>
#include <string_view>

#include "orvan/status.h"
#include "orvan/storage/records.h"

namespace ovc::orvan {

// The `Quantity` text of a stored element of an attribute of that route, in
// `unit` (null for an attribute without quantity type): empty for no value;
// reals and dates as their shortest exact decimal text; integers in decimal;
// booleans "1" or "0". A number written in `unit` reads back as written.
// Fails when the stored value does not fit the route's type.
Status FormatQuantity(const Route& route, const Unit* unit, const Element& element,
                      std::string* text);

// Reads a `Quantity` text sent for the route, in `unit` (null for none), into
// element->value (base unit) and element->entered/entered_unit. An empty
// text clears the value. Fails with a message quoting the text when it is not
// a value of the route's type (or not one of an Enum's texts).
Status ParseQuantity(const Route& route, const Unit* unit, std::string_view text, Element* element);

}  // namespace ovc::orvan
