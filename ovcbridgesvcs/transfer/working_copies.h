#pragma once

#include <cstdint>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

// The iterative run of a Bridge: one iterative LinkSet, the template, bound
// to a list of objects, is expanded into working copies, one LinkSet per
// object appended to the Bridge for the run and removed after it. Every
// failing call raises through the frame.
namespace ovc::transfer {

inline ComPtr<ILinkSet> LinkSetAt(CMethodFrame& frame, IBridge* bridge, int32_t index) {
  return ItemAt<ILinkSet>(frame, bridge, index);
}

int32_t LinkSetCount(CMethodFrame& frame, IBridge* bridge);

bool IsWorkingCopy(CMethodFrame& frame, ILinkSet* link_set);

// The template of an iterative run: the one enabled, error-free iterative
// LinkSet that has Links. Null when none or more than one qualifies (the run
// is then an ordinary one).
ComPtr<ILinkSet> IterativeTemplate(CMethodFrame& frame, IBridge* bridge);

// Appends one working copy per object of `iterative_template`, in object
// order, after every LinkSet of `bridge`. Copies made before a failure stay.
void CreateWorkingCopies(CMethodFrame& frame, IBridge* bridge, ILinkSet* iterative_template);

void SetWorkingCopiesEnabled(CMethodFrame& frame, IBridge* bridge, bool enabled);

// Removes every working copy of `bridge`, the last first. With a template,
// a copy that has Links in error first hands the error flags and statuses
// of its Links to the template's Links at the same positions.
void DeleteWorkingCopies(CMethodFrame& frame, IBridge* bridge, ILinkSet* iterative_template);

}  // namespace ovc::transfer
