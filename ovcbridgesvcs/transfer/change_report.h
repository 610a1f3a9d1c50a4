#pragma once

#include <string>
#include <vector>

#include "automation/variant.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"

// The change report of a Bridge: five texts per changed value (source,
// object, where, old value, new value).
namespace ovc::transfer {

// The text of a value in the report: numbers, dates and booleans through
// the automation conversion ("True"/"False"), texts as they are, anything
// else empty.
std::wstring ChangeValueText(const Variant& value);

// Appends the texts of `entry` to `report`. When both values are arrays,
// one group per element of the new one, its "where" followed by a blank
// and the element's position; an old array shorter than that reads empty.
void AppendChangeEntry(const ChangeEntry& entry, std::vector<std::wstring>* report);

}  // namespace ovc::transfer
