#pragma once

#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc {

// Plugs the creatable classes of the host services (Orvan) into `table`.
void PlugHostClasses(ClassTable& table);

}  // namespace ovc
