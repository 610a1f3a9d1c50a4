#pragma once

#include <string>
#include <string_view>

#include "orvan/service/request_context.h"

// The bridge storage methods of "OVDBBridgeSvcs.Main". Texts a bridge is
// listed with (creator, dates) are the host's: CreateBridge and SaveBridge set
// them, and the stored document carries the same values.
namespace ovc::orvan {

// <Bridge OID="n" Version="0"/> for a new bridge record created by the user.
Status CreateBridge(const RequestContext& context, std::string_view request, std::string* response);
// Request <Bridge OID="n"/>; answers the same. Refused while another user
// holds the bridge's lock or without the ModifyBridge privilege.
Status DeleteBridge(const RequestContext& context, std::string_view request, std::string* response);
// Request <Bridge OID="n"/>; answers the stored document with Locked "1" when
// another user holds the lock; otherwise the user takes the lock ("0").
// Version is the record's version, which a save of the copy sends back.
Status OpenBridge(const RequestContext& context, std::string_view request, std::string* response);
// Request: the Bridge document. Stores it (a new record when its OID names
// none), gives each Linkset without an OID a new one and answers the OIDs of
// the Bridge, its Linkset and its File elements in document order, and the
// Bridge's new Version. A document whose Version is older than the stored
// one is refused, naming who saved that one and when.
Status SaveBridge(const RequestContext& context, std::string_view request, std::string* response);
// <Bridges> with one Bridge element (OID, Name, CreatedBy, DateCreated,
// ModifiedBy, DateModified) per stored bridge, in OID order.
Status ListBridges(const RequestContext& context, std::string_view request, std::string* response);
// Request <ReleaseLock OID="n"/>; releases the user's lock. Refused when
// another user holds it.
Status ReleaseLock(const RequestContext& context, std::string_view request, std::string* response);

}  // namespace ovc::orvan
