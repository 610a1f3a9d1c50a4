#pragma once

#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc::bridge {

// Plugs the creatable class of the Bridge layer (Bridge) into `table`.
void PlugBridgeClasses(ClassTable& table);

}  // namespace ovc::bridge
