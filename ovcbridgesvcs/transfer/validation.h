#pragma once

#include <span>
#include <string>

#include "automation/com_ptr.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// The check of a Bridge's definition before a transfer: what the operation
// needs of the files and the Links, and whether the LinkSets' class views,
// objects and routes exist in the host. The findings are catalogue texts,
// one line each; a Link's line names its LinkSet and its position.
namespace ovc::transfer {

struct Validation {
  // ovOK, or ovError when the operation cannot run: no enabled file, a Link
  // without route, iterative LinkSets the operation does not take. Missing
  // locations and the LinkSets' own findings leave the level.
  OVCBRIDGEVALIDATE level = ovOK;
  // Empty without findings, else the findings under their heading.
  std::wstring report;
};

// Validates `link_sets` and the files of `apps` (may be null: no file and
// no location) for operation `op`. Location names are matched without
// regard to letter case, as the transfer finds them. A failing call raises
// through `frame`.
Validation Validate(CMethodFrame& frame, std::span<const ComPtr<ILinkSet>> link_sets,
                    IAppCollection* apps, OVCBRIDGETRANSFEROP op);

}  // namespace ovc::transfer
