#pragma once

#include "automation/guid.h"

namespace ovc::objects_testing {

// The class served by the sample module: a dispatch object.
inline constexpr CLSID kSampleClsid = MakeGuid("5A3B1E00-0000-4000-8000-00000000C1A5");

}  // namespace ovc::objects_testing
