#pragma once

#include "automation/com_ptr.h"
#include "orvan/orvan.h"
#include "ovcbridgesvcs/frame/method_frame.h"

namespace ovc::apps {

// The host's file check-out service, set to check files out into the
// library's working folder (working_folder.h), so that every application
// file the library takes from the host lies there. Raises through `frame`
// when the service cannot be made or there is no working folder.
ComPtr<IOVFileService> HostFileService(CMethodFrame& frame);

}  // namespace ovc::apps
