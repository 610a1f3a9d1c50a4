#pragma once

#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc::links {

// Plugs the creatable classes of the link layer (Link, LinkSet) into
// `table`.
void PlugLinkClasses(ClassTable& table);

}  // namespace ovc::links
