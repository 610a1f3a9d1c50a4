#include "ovcbridgesvcs/host/host_classes.h"

#include "automation/com_object.h"
#include "ovcbridgesvcs/host/orvan.h"

namespace ovc {

void PlugHostClasses(ClassTable& table) { table.Plug(CLSID_Orvan, &CreateObject<COrvan>); }

}  // namespace ovc
