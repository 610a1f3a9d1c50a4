#pragma once

#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc::apps {

// Plugs the creatable classes of the application-file layer into `table`.
void PlugAppClasses(ClassTable& table);

}  // namespace ovc::apps
