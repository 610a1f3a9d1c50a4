#pragma once

#include <string>
#include <string_view>

#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// Naming the locations of Links after their routes: the location a Link
// writes (or reads) gets a second name in every file holding it, the target
// name, and the Link is pointed at it.
namespace ovc::transfer {

// The target name of a Link of route `route`: the route followed by
// `suffix`, without any "(", ")", "*" and ".".
std::wstring SynchTargetName(std::wstring_view route, std::wstring_view suffix);

// Synchronises the enabled Links of `link_set` in the files of `apps`:
// CloneLocation of the write location (with the read location when both
// are the same) onto the target name in every file holding it, removing the
// old name when `replace`; each file cloned adds a status line to the Link.
// Every Link is handled on its own: whatever stops it becomes a status line
// and its Error flag, and the walk goes on with the next Link. A Link stays
// untouched in every file when its location is in none, or when a file
// holding it is read-only or cannot take the target name; a file whose
// clone fails (the target already naming another place there) is passed
// over. A failing call on the LinkSet raises through `frame`.
void SynchNames(CMethodFrame& frame, ILinkSet* link_set, IAppCollection* apps, bool replace,
                const std::wstring& suffix);

}  // namespace ovc::transfer
