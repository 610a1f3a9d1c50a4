#include "orvan/service/workspace_requests.h"

#include <pugixml.hpp>

#include "orvan/service/xml_io.h"

namespace ovc::orvan {

namespace {

Status AnswerPrivilege(const RequestContext& context, const char* name, std::string* response) {
  bool allowed = true;
  ORVAN_RETURN_IF_ERROR(context.store->GetPrivilege(context.user, name, &allowed));
  *response = allowed ? "true" : "false";
  return Status::Ok();
}

}  // namespace

Status GetUserName(const RequestContext& context, std::string_view, std::string* response) {
  pugi::xml_document out;
  SetText(out.append_child("UserName"), "AccountName", context.user);
  *response = SerializeXml(out, false);
  return Status::Ok();
}

Status ModifyBridgePrivilege(const RequestContext& context, std::string_view,
                             std::string* response) {
  return AnswerPrivilege(context, "ModifyBridge", response);
}

Status RunBridgePrivilege(const RequestContext& context, std::string_view, std::string* response) {
  return AnswerPrivilege(context, "RunBridge", response);
}

Status UnitDefaults(const RequestContext& context, std::string_view, std::string* response) {
  Catalog catalog;
  ORVAN_RETURN_IF_ERROR(context.store->LoadCatalog(&catalog));
  pugi::xml_document out;
  pugi::xml_node root = out.append_child("UnitDefaults");
  for (const UnitFormat& format : catalog.unit_formats) {
    pugi::xml_node entry = root.append_child("UnitDefault");
    SetText(entry, "Unit", format.unit);
    SetText(entry, "Format", format.format);
  }
  *response = SerializeXml(out, false);
  return Status::Ok();
}

Status ListObjects(const RequestContext& context, std::string_view, std::string* response) {
  const std::string* view = context.Parameter("FilterView");
  if (view != nullptr && view->empty()) view = nullptr;
  if (view != nullptr) {
    Catalog catalog;
    ORVAN_RETURN_IF_ERROR(context.store->LoadCatalog(&catalog));
    if (catalog.FindClassView(*view) == nullptr) {
      return Status::NotFound("The class view '" + *view + "' does not exist.");
    }
  }
  std::vector<ObjectRecord> objects;
  ORVAN_RETURN_IF_ERROR(context.store->ListObjects(view ? *view : std::string(), &objects));
  pugi::xml_document out;
  pugi::xml_node root = out.append_child("Objects");
  for (const ObjectRecord& object : objects) {
    pugi::xml_node entry = root.append_child("Object");
    SetNumber(entry, "OID", object.oid);
    SetText(entry, "KnownName", object.name);
  }
  *response = SerializeXml(out, false);
  return Status::Ok();
}

}  // namespace ovc::orvan
