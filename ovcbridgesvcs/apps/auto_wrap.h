#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/dispatch.h"
#include "automation/guid.h"
#include "automation/hresult.h"
#include "automation/variant.h"

namespace ovc::apps {

// The DISPID of one member as one call site uses it. Declare one as a
// function-local static per call site (call sites addressing the same member
// of the same kind of object may share one); it is resolved on first use
// and kept for the process. The id is atomic so that threads resolving it at
// once are well defined; they store the same value.
struct DispIdCell {
  std::atomic<DISPID> id{DISPID_UNKNOWN};  // DISPID_UNKNOWN: not resolved yet
};

enum class CallKind : uint16_t {
  kMethod = DISPATCH_METHOD,
  kGet = DISPATCH_PROPERTYGET,
  kPut = DISPATCH_PROPERTYPUT,
};

// Calls member `name` of `target` late-bound, `args` in natural order (the
// last of them is the value of a put). The value goes to *result when given.
//
// Returns Invoke's status, reporting nothing when Invoke fails (the target's
// own error object stays on the thread for the caller). A null target shows
// the "AutoWrap" message box, reports message 1230 for class `source` and
// returns E_FAIL; a name the target does not know reports the
// GetIDsOfNames text for `source` and returns its status.
HRESULT AutoWrap(CallKind kind, Variant* result, IDispatch* target, DispIdCell& cell,
                 std::wstring_view name, std::vector<Variant> args, const CLSID& source);

// A member as a family of call sites addresses it: its name and the cell
// they share (one static LateMember per member of one kind of object).
struct LateMember {
  explicit LateMember(std::wstring_view member_name) : name(member_name) {}
  std::wstring_view name;
  DispIdCell cell;
};

inline HRESULT AutoWrap(CallKind kind, Variant* result, IDispatch* target, LateMember& member,
                        std::vector<Variant> args, const CLSID& source) {
  return AutoWrap(kind, result, target, member.cell, member.name, std::move(args), source);
}

// The reason a failed call gave: the description of the thread's error
// object (the first record's for a chain of records), taken off the
// thread; empty when there is none.
std::wstring TakeReason();
// `text` followed by " (reason)" when `reason` is not empty.
std::wstring WithReason(std::wstring text, std::wstring_view reason);

}  // namespace ovc::apps
