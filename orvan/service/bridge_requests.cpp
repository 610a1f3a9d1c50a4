#include "orvan/service/bridge_requests.h"

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdint>

#include "automation/date.h"
#include "automation/number_text.h"
#include "orvan/format/number_text.h"
#include "orvan/service/stored_document.h"
#include "orvan/service/xml_io.h"

namespace ovc::orvan {

namespace {

// Now as an automation date serial (days since 1899-12-30, UTC).
std::string Now() {
  using namespace std::chrono;
  double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
  return FormatReal(25569.0 + seconds / 86400.0);
}

std::string BridgeText(int32_t oid) { return "Bridge " + std::to_string(oid); }

// `value` in decimal, with leading zeros to `width` digits.
std::string Padded(int value, size_t width) {
  std::string digits = FormatInteger(value);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// An automation date serial as "YYYY-MM-DD hh:mm UTC"; the text as it is when
// it is no date.
std::string DateText(const std::string& serial) {
  double date = 0;
  DateFields fields;
  if (!ParseReal(serial, &date) || !FieldsFromDate(date, &fields)) return serial;
  return Padded(fields.year, 4) + "-" + Padded(fields.month, 2) + "-" + Padded(fields.day, 2) +
         " " + Padded(fields.hour, 2) + ":" + Padded(fields.minute, 2) + " UTC";
}

Status RequestedOid(std::string_view request, const char* root, int32_t* oid) {
  pugi::xml_document in;
  ORVAN_RETURN_IF_ERROR(ParseXml(request, root, "request", &in));
  *oid = LeadingInteger(in.document_element().attribute("OID").value());
  return Status::Ok();
}

Status CheckNotLockedByOther(const RequestContext& context, const BridgeRecord& bridge) {
  if (bridge.lock_holder.empty() || bridge.lock_holder == context.user) return Status::Ok();
  return Status::Refused(BridgeText(bridge.oid) + " is locked by " + bridge.lock_holder + ".");
}

Status CheckPrivilege(const RequestContext& context, const char* name) {
  bool allowed = true;
  ORVAN_RETURN_IF_ERROR(context.store->GetPrivilege(context.user, name, &allowed));
  if (allowed) return Status::Ok();
  return Status::Refused("The user " + context.user + " may not modify bridges.");
}

std::string OidAnswer(const char* element, int32_t oid) {
  pugi::xml_document out;
  SetNumber(out.append_child(element), "OID", oid);
  return SerializeXml(out, false);
}

// The host's own texts of the record, written over the document's.
void StampDocument(const BridgeRecord& bridge, pugi::xml_node root) {
  SetNumber(root, "OID", bridge.oid);
  SetNumber(root, "Version", bridge.version);
  SetText(root, "CreatedBy", bridge.created_by);
  SetText(root, "DateCreated", bridge.date_created);
  SetText(root, "ModifiedBy", bridge.modified_by);
  SetText(root, "DateModified", bridge.date_modified);
}

// The stored document, or a document of the record alone for a bridge that
// was created but never saved.
Status LoadDocument(const BridgeRecord& bridge, pugi::xml_document* document) {
  if (!bridge.document.empty()) {
    return ParseXml(bridge.document, "Bridge", "stored bridge document", document);
  }
  pugi::xml_node root = document->append_child("Bridge");
  StampDocument(bridge, root);
  SetText(root, "Name", bridge.name);
  return Status::Ok();
}

// Numbers each Linkset without an OID (below 1). The counter is first raised
// past the OIDs the document gives, so that no number is handed out twice.
Status AssignLinksetOids(const RequestContext& context, pugi::xml_node root) {
  const auto linksets = root.child("Linksets").children("Linkset");
  int32_t largest = 0;
  for (pugi::xml_node linkset : linksets) {
    largest = std::max(largest, LeadingInteger(linkset.attribute("OID").value()));
  }
  ORVAN_RETURN_IF_ERROR(context.store->RaiseCounter("linkset", largest));
  for (pugi::xml_node linkset : linksets) {
    if (LeadingInteger(linkset.attribute("OID").value()) > 0) continue;
    int32_t oid = 0;
    ORVAN_RETURN_IF_ERROR(context.store->NextNumber("linkset", &oid));
    SetNumber(linkset, "OID", oid);
  }
  return Status::Ok();
}

// Refuses a document read before the stored version was saved: saving it
// would undo that save. A document without a Version claims none.
Status CheckReadVersion(const BridgeRecord& stored, pugi::xml_node root) {
  const pugi::xml_attribute sent = root.attribute("Version");
  if (!sent) return Status::Ok();
  int64_t version = 0;
  if (!ParseInteger(sent.value(), 0, INT64_MAX, &version)) {
    return Status::Invalid("The Version '" + std::string(sent.value()) + "' of " +
                           BridgeText(stored.oid) + " is not a version number.");
  }
  if (version >= stored.version) return Status::Ok();
  return Status::Refused(BridgeText(stored.oid) + " was saved by " + stored.modified_by + " on " +
                         DateText(stored.date_modified) +
                         " after this copy was opened; open it again to see and repeat the "
                         "changes, so that the newer version is not overwritten.");
}

// The record the document is saved into: the existing one (when the user may
// change it and the document is based on its version) or a new one.
Status RecordFor(const RequestContext& context, pugi::xml_node root, BridgeRecord* bridge) {
  const int32_t oid = LeadingInteger(root.attribute("OID").value());
  Status found = oid > 0 ? context.store->GetBridge(oid, false, bridge)
                         : Status::NotFound(BridgeText(oid) + " does not exist");
  if (found.ok()) {
    ORVAN_RETURN_IF_ERROR(CheckNotLockedByOther(context, *bridge));
    ORVAN_RETURN_IF_ERROR(CheckPrivilege(context, "ModifyBridge"));
    return CheckReadVersion(*bridge, root);
  }
  if (found.code() != Status::Code::kNotFound) return found;
  *bridge = BridgeRecord();
  bridge->oid = oid;
  bridge->created_by = context.user;
  bridge->date_created = Now();
  return context.store->AddBridge(bridge);
}

// The Description of the bridge's stored document ("" before its first save).
Status StoredDescription(const RequestContext& context, int32_t oid, std::string* description) {
  BridgeRecord bridge;
  ORVAN_RETURN_IF_ERROR(context.store->GetBridge(oid, true, &bridge));
  pugi::xml_document document;
  ORVAN_RETURN_IF_ERROR(LoadDocument(bridge, &document));
  *description = GetText(document.document_element(), "Description");
  return Status::Ok();
}

// <Bridge OID="n" Version="v"/>: the record a client's copy now stands for.
void AppendRecord(pugi::xml_node parent, const BridgeRecord& bridge) {
  pugi::xml_node record = parent.append_child("Bridge");
  SetNumber(record, "OID", bridge.oid);
  SetNumber(record, "Version", bridge.version);
}

std::string SaveAnswer(const BridgeRecord& bridge, pugi::xml_node root) {
  pugi::xml_document out;
  pugi::xml_node answer = out.append_child("SaveBridge");
  AppendRecord(answer, bridge);
  pugi::xml_node linksets = answer.append_child("Linksets");
  for (pugi::xml_node linkset : root.child("Linksets").children("Linkset")) {
    SetNumber(linksets.append_child("Linkset"), "OID",
              LeadingInteger(linkset.attribute("OID").value()));
  }
  pugi::xml_node files = answer.append_child("BridgeFiles");
  for (pugi::xml_node file : root.child("BridgeFiles").children("File")) {
    SetNumber(files.append_child("File"), "OID", LeadingInteger(file.attribute("OID").value()));
  }
  return SerializeXml(out, false);
}

}  // namespace

Status CreateBridge(const RequestContext& context, std::string_view, std::string* response) {
  ORVAN_RETURN_IF_ERROR(CheckPrivilege(context, "ModifyBridge"));
  BridgeRecord bridge;
  bridge.created_by = bridge.modified_by = context.user;
  bridge.date_created = bridge.date_modified = Now();
  ORVAN_RETURN_IF_ERROR(context.store->AddBridge(&bridge));
  pugi::xml_document out;
  AppendRecord(out, bridge);
  *response = SerializeXml(out, false);
  return Status::Ok();
}

Status DeleteBridge(const RequestContext& context, std::string_view request,
                    std::string* response) {
  int32_t oid = 0;
  ORVAN_RETURN_IF_ERROR(RequestedOid(request, "Bridge", &oid));
  BridgeRecord bridge;
  ORVAN_RETURN_IF_ERROR(context.store->GetBridge(oid, false, &bridge));
  ORVAN_RETURN_IF_ERROR(CheckNotLockedByOther(context, bridge));
  ORVAN_RETURN_IF_ERROR(CheckPrivilege(context, "ModifyBridge"));
  ORVAN_RETURN_IF_ERROR(context.store->DeleteBridge(oid));
  *response = OidAnswer("Bridge", oid);
  return Status::Ok();
}

Status OpenBridge(const RequestContext& context, std::string_view request, std::string* response) {
  int32_t oid = 0;
  ORVAN_RETURN_IF_ERROR(RequestedOid(request, "Bridge", &oid));
  BridgeRecord bridge;
  ORVAN_RETURN_IF_ERROR(context.store->GetBridge(oid, true, &bridge));
  bool locked = !CheckNotLockedByOther(context, bridge).ok();
  if (!locked && bridge.lock_holder.empty()) {
    ORVAN_RETURN_IF_ERROR(context.store->SetBridgeLock(oid, context.user));
  }
  // The record's version, which a save of this copy sends back.
  const std::string version = FormatInteger(bridge.version);
  const RootAttribute opened[] = {{"Locked", locked ? "1" : "0"}, {"Version", version}};
  if (StampRoot(bridge.document, opened, response)) return Status::Ok();
  pugi::xml_document document;
  ORVAN_RETURN_IF_ERROR(LoadDocument(bridge, &document));
  SetNumber(document.document_element(), "Locked", locked ? 1 : 0);
  SetNumber(document.document_element(), "Version", bridge.version);
  *response = SerializeXml(document, true);
  return Status::Ok();
}

Status SaveBridge(const RequestContext& context, std::string_view request, std::string* response) {
  pugi::xml_document document;
  ORVAN_RETURN_IF_ERROR(ParseXml(request, "Bridge", "SaveBridge request", &document));
  pugi::xml_node root = document.document_element();
  BridgeRecord bridge;
  ORVAN_RETURN_IF_ERROR(RecordFor(context, root, &bridge));
  ORVAN_RETURN_IF_ERROR(AssignLinksetOids(context, root));
  root.remove_attribute("Locked");
  bridge.name = GetText(root, "Name");
  bridge.modified_by = context.user;
  bridge.date_modified = Now();
  ++bridge.version;
  StampDocument(bridge, root);
  bridge.document = SerializeXml(document, true);
  ORVAN_RETURN_IF_ERROR(context.store->PutBridge(bridge));
  *response = SaveAnswer(bridge, root);
  return Status::Ok();
}

Status ListBridges(const RequestContext& context, std::string_view, std::string* response) {
  std::vector<BridgeRecord> bridges;
  ORVAN_RETURN_IF_ERROR(context.store->ListBridges(&bridges));
  pugi::xml_document out;
  pugi::xml_node root = out.append_child("Bridges");
  for (const BridgeRecord& bridge : bridges) {
    std::string description;
    ORVAN_RETURN_IF_ERROR(StoredDescription(context, bridge.oid, &description));
    pugi::xml_node entry = root.append_child("Bridge");
    SetNumber(entry, "OID", bridge.oid);
    SetText(entry, "Name", bridge.name);
    SetText(entry, "CreatedBy", bridge.created_by);
    SetText(entry, "DateCreated", bridge.date_created);
    SetText(entry, "ModifiedBy", bridge.modified_by);
    SetText(entry, "DateModified", bridge.date_modified);
    SetText(entry, "Description", description);
    SetText(entry, "LockedBy", bridge.lock_holder);
  }
  *response = SerializeXml(out, false);
  return Status::Ok();
}

Status ReleaseLock(const RequestContext& context, std::string_view request, std::string* response) {
  int32_t oid = 0;
  ORVAN_RETURN_IF_ERROR(RequestedOid(request, "ReleaseLock", &oid));
  BridgeRecord bridge;
  ORVAN_RETURN_IF_ERROR(context.store->GetBridge(oid, false, &bridge));
  ORVAN_RETURN_IF_ERROR(CheckNotLockedByOther(context, bridge));
  if (!bridge.lock_holder.empty()) {
    ORVAN_RETURN_IF_ERROR(context.store->SetBridgeLock(oid, ""));
  }
  *response = OidAnswer("ReleaseLock", oid);
  return Status::Ok();
}

}  // namespace ovc::orvan
