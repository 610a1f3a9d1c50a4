#pragma once

#include <span>
#include <string>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// The texts a Bridge reports about its Links; a failing call raises through
// the frame.
namespace ovc::transfer {

// The statuses of the enabled Links of the enabled, non-iterative LinkSets
// (only those with their error flag when `errors_only`), one per line, a
// blank line after each LinkSet that gave one.
std::wstring LinkStatusReport(CMethodFrame& frame, std::span<const ComPtr<ILinkSet>> link_sets,
                              bool errors_only);

// A <Profile> with one <ProfileObject> per object each LinkSet is bound to,
// holding the LinkSet's class view and the profile of its Links.
std::wstring BridgeProfile(CMethodFrame& frame, std::span<const ComPtr<ILinkSet>> link_sets);

}  // namespace ovc::transfer
