#pragma once

#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/progress.h"

namespace ovc::transfer {

// Reports `step` to the progress service; when it asks to stop, raises
// E_ABORT with a text naming the stop after the service's own failure, if
// any.
void ReportStep(CMethodFrame& frame, const ProgressStep& step);

// Reports `step` where a stop can no longer keep the host unwritten: once it
// was written. A stop asked for here is not taken.
void ReportUnstoppable(const ProgressStep& step);

}  // namespace ovc::transfer
