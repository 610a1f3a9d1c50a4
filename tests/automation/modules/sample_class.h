#pragma once

#include <cstdint>

#include "automation/guid.h"

namespace ovc::objects_testing {

// The class served by the sample module: a dispatch object whose default
// property reads kSampleValue.
inline constexpr CLSID kSampleClsid = MakeGuid("5A3B1E00-0000-4000-8000-00000000C1A5");
inline constexpr int32_t kSampleValue = 42;

// Exported by the sample module: the number of its objects (class objects
// and instances) alive now.
using LiveObjectCountFunction = int (*)();
inline constexpr char kLiveObjectCountSymbol[] = "SampleModuleLiveObjects";

}  // namespace ovc::objects_testing
