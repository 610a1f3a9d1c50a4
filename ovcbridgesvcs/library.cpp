// The top of the library: the one place that knows every subsystem. A
// subsystem with creatable classes adds its plug-in call here.
#include "ovcbridgesvcs/apps/app_classes.h"
#include "ovcbridgesvcs/bridge/bridge_classes.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/host/host_classes.h"
#include "ovcbridgesvcs/links/link_classes.h"

namespace ovc {

void PlugLibraryClasses(ClassTable& table) {
  PlugHostClasses(table);
  apps::PlugAppClasses(table);
  links::PlugLinkClasses(table);
  bridge::PlugBridgeClasses(table);
}

}  // namespace ovc
