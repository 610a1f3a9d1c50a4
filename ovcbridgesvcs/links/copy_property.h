#pragma once

#include "automation/hresult.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/frame/raise_error.h"

namespace ovc::links {

// The value type V of a property getter HRESULT (Source::*)(V*).
template <class Get>
struct GetterValue;
template <class Source, class Value>
struct GetterValue<HRESULT (Source::*)(Value*)> {
  using type = Value;
};

// Copies one property: reads it from `source` with `get` and hands it to
// `target`'s setter `put`, which decides about Dirty. Raises the first
// failure through `frame`.
template <class Source, class Get, class Target, class Put>
void CopyProperty(CMethodFrame& frame, Source* source, Get get, Target* target, Put put) {
  typename GetterValue<Get>::type value{};
  CheckAndRaise(frame, (source->*get)(&value));
  CheckAndRaise(frame, (target->*put)(value));
}

}  // namespace ovc::links
