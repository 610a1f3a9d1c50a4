#pragma once

#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc::transfer {

// Stores the values of the host's `answer` of data type `data_type` ("Real",
// "Integer", "Date", "Boolean", "String" or "Enum") into `link` with their
// prefix texts (Real and Integer only) and a status per single value; a
// vector's values become one array. A value that failed, or whose text is no
// value of its type, sets the link's Error and leaves the reason in its
// status. False, with nothing stored, for any other data type.
bool StoreHostValues(CMethodFrame& frame, pugi::xml_node answer, ILink* link,
                     const std::wstring& route, std::wstring_view data_type, bool is_vector);

}  // namespace ovc::transfer
