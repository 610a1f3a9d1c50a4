#pragma once

#include "automation/hresult.h"

namespace ovc::excel {

// Registers the spreadsheet application as "Excel.Application" in the
// process's class registry, served in-process and as a local server; each
// creation makes a new, independent application with the default services
// (SetDefaultServices). Registers once per process; later calls return the
// first call's status.
HRESULT RegisterExcelClasses();

}  // namespace ovc::excel
