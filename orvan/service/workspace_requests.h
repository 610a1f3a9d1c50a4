#pragma once

#include <string>
#include <string_view>

#include "orvan/service/request_context.h"

namespace ovc::orvan {

// <UserName AccountName="user"/>.
Status GetUserName(const RequestContext& context, std::string_view request, std::string* response);
// The word "true" or "false": the user's ModifyBridge / RunBridge privilege,
// allowed unless the workspace denies it.
Status ModifyBridgePrivilege(const RequestContext& context, std::string_view request,
                             std::string* response);
Status RunBridgePrivilege(const RequestContext& context, std::string_view request,
                          std::string* response);
// <UnitDefaults> with one <UnitDefault Unit=".." Format=".."/> per entry.
Status UnitDefaults(const RequestContext& context, std::string_view request, std::string* response);
// "OVDBGenericSvcs.Main": <Objects> with <Object OID=".." KnownName=".."/> for
// every object of the class view named by parameter "FilterView" (every
// object when the parameter is absent). An unknown class view is an error.
Status ListObjects(const RequestContext& context, std::string_view request, std::string* response);

}  // namespace ovc::orvan
