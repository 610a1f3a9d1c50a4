#pragma once

#include "orvan/status.h"
#include "orvan/storage/records.h"

namespace ovc::orvan {

// Whether a workspace can keep `catalog` as its definitions: names that must
// be unique are (unit standards, quantity types, the units of each type,
// class views, the routes of each view, case OIDs); every unit converts (a
// finite factor other than 0 and a finite offset); a standard unit names a
// unit of its type; the default and governing cases exist (0: none). On
// failure the kInvalidArgument message names the first problem found.
Status CheckCatalog(const Catalog& catalog);

}  // namespace ovc::orvan
