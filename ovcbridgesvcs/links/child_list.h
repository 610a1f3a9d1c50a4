#pragma once

#include "ovcbridgesvcs/frame/child_list.h"

namespace ovc::links {

using ::ovc::ChildList;

}  // namespace ovc::links
