#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "automation/com_ptr.h"
#include "automation/hresult.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/frame/method_frame.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

// Attribute values between the Links of a Bridge and the host database: one
// "ReadAttributes" or "WriteAttributes" request names every bound object of
// the enabled, non-iterative LinkSets with the routes of their selected
// Links; the answer is walked in step with the request and stored into the
// Links (values, prefix texts, error flag and status).
namespace ovc::transfer {

// One changed value: where it comes from (a file or the Bridge), the object,
// the location or route, the value before and the value after.
struct ChangeEntry {
  std::wstring source;
  std::wstring object;
  std::wstring place;
  Variant old_value;
  Variant new_value;
};

// What a transfer with the host works on.
struct HostTransfer {
  std::span<const ComPtr<ILinkSet>> link_sets;
  // The files whose locations a read reports as old values; may be null.
  IAppCollection* apps = nullptr;
  // The source of the values a write stores.
  std::wstring bridge_name;
  // Takes the change report's entries; empty for no report.
  std::function<void(ChangeEntry)> record_change;
};

enum class Direction { kRead, kWrite };

// The "Objects" request for `direction`; a write carries the Links' values.
std::wstring BuildAttributesRequest(CMethodFrame& frame,
                                    std::span<const ComPtr<ILinkSet>> link_sets,
                                    Direction direction);

// Stores the host's answer to a request of `direction` into the Links. An
// answer that does not parse changes nothing. A read reports changed values
// only when `record_changes`; a write reports every stored value.
void ApplyAttributesResponse(CMethodFrame& frame, const HostTransfer& transfer,
                             std::wstring_view response, Direction direction, bool record_changes);

// One "ReadAttributes" request; changes are recorded when
// `transferring_data`. Without a workspace the failure is reported (and
// returned); a failing call raises through `frame`.
HRESULT ReadFromDB(CMethodFrame& frame, const HostTransfer& transfer, bool transferring_data);

// One "WriteAttributes" request of the values the Links read from their
// files; reported and raised as ReadFromDB.
HRESULT WriteToDB(CMethodFrame& frame, const HostTransfer& transfer);

}  // namespace ovc::transfer
