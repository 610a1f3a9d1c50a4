#pragma once

#include <cstdint>

#include "automation/hresult.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"
#include "ovcbridgesvcs/transfer/host_attributes.h"

// Values between the Links of a Bridge and its application files: a write
// puts the host values the Links hold at their write locations, a read takes
// the values at their read locations into the Links. Only enabled Links of
// enabled, non-iterative LinkSets take part; each Link touched gets a status
// line. The file's import or export hooks (and macros) run around the walk:
// once the opening one succeeded, the closing one runs on every way out and
// the first failure is the result. Changes go to `record_change` of the
// transfer when it is set. The walk reports each object (LinkSet) and the
// end of each file, with the Links done so far, to the progress service; a
// stop it asks for ends the walk there with E_ABORT, the closing hook still
// run. Each function is an automation method of the Bridge: it returns a
// status and leaves its error chain on failure.
namespace ovc::transfer {

// Writes into (`write`) or reads from every enabled file of the transfer's
// AppCollection in order; the first failing file ends the walk with its
// failure. With `activate` each file is shown after its transfer.
HRESULT AppsTransfer(const HostTransfer& transfer, bool write, bool activate);

// The same for the file at `index` only, never shown; message 1212 with the
// range for an index outside the collection; a disabled file is success.
HRESULT AppTransfer(const HostTransfer& transfer, int32_t index, bool write);

// Writes the Links' host values into `app`.
HRESULT TransferToApp(const HostTransfer& transfer, IApp* app);

// Reads the Links' values from `app`. When the first enabled LinkSet has no
// class view, the "Warning" box says so and the file is left unread.
HRESULT TransferFromApp(const HostTransfer& transfer, IApp* app);

}  // namespace ovc::transfer
