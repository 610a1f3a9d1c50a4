#include "ovcbridgesvcs/links/link_classes.h"

#include "automation/com_object.h"
#include "ovcbridgesvcs/links/link.h"
#include "ovcbridgesvcs/links/link_set.h"

namespace ovc::links {

void PlugLinkClasses(ClassTable& table) {
  table.Plug(CLSID_Link, &CreateObject<CLink>);
  table.Plug(CLSID_LinkSet, &CreateObject<CLinkSet>);
}

}  // namespace ovc::links
