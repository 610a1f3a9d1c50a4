#pragma once

#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/progress.h"

namespace ovc::transfer {

// Reports `step` to the progress service; when it asks to stop, raises
// E_ABORT with a text naming the stop after the service's own failure, if
// any.
void ReportStep(CMethodFrame& frame, const ProgressStep& step);

}  // namespace ovc::transfer
