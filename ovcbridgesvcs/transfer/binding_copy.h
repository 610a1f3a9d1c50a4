#pragma once

#include <cstdint>
#include <string>

#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// Making bound LinkSets from the template LinkSets of a Bridge: one copy of
// a template per object, bound to that object. The objects come from
// another stored Bridge (its LinkSets of the same name and class view) or
// from the host (every object of the template's class view). Copies of one
// name are numbered: their Links' locations get a numeric suffix whose
// layout the user is asked for once.
//
// The user is asked before a bound template is rebound. Cancel leaves the
// Bridge as it was; so does a failure, which raises through the frame. The
// templates the copies replace leave the Bridge only once every copy is in.
// Each operation returns its log.
namespace ovc::transfer {

// The templates bound like the LinkSets of the stored Bridge `source_oid`.
// Opening that Bridge takes its lock unless another user holds it; a lock
// taken here is released on every way out, and a refused release does not
// fail the operation.
std::wstring CopyObjectBindings(CMethodFrame& frame, IBridge* bridge, int32_t source_oid);

// Each template, the first of its class view, copied once per object the
// host lists for the class view.
std::wstring AutoCreateObjectBindings(CMethodFrame& frame, IBridge* bridge);

}  // namespace ovc::transfer
