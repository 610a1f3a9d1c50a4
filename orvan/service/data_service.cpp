#include "orvan/service/data_service.h"

#include <pugixml.hpp>

#include <string_view>

#include "automation/text.h"
#include "orvan/service/attribute_requests.h"
#include "orvan/service/bridge_requests.h"
#include "orvan/service/request_context.h"
#include "orvan/service/workspace_requests.h"
#include "orvan/service/xml_io.h"

namespace ovc::orvan {

namespace {

constexpr std::string_view kBridgeService = "OVDBBridgeSvcs.Main";
constexpr std::string_view kGenericService = "OVDBGenericSvcs.Main";

struct Method {
  std::string_view service;
  std::string_view name;
  RequestHandler handler;
  bool writes;  // needs the write lock for its whole transaction
};

constexpr Method kMethods[] = {
    {kBridgeService, "CreateBridge", CreateBridge, true},
    {kBridgeService, "ListBridges", ListBridges, false},
    {kBridgeService, "OpenBridge", OpenBridge, true},
    {kBridgeService, "DeleteBridge", DeleteBridge, true},
    {kBridgeService, "SaveBridge", SaveBridge, true},
    {kBridgeService, "GetUserName", GetUserName, false},
    {kBridgeService, "ModifyBridgePrivilege", ModifyBridgePrivilege, false},
    {kBridgeService, "RunBridgePrivilege", RunBridgePrivilege, false},
    {kBridgeService, "ReleaseLock", ReleaseLock, true},
    {kBridgeService, "ReadAttributes", ReadAttributes, false},
    {kBridgeService, "WriteAttributes", WriteAttributes, true},
    {kBridgeService, "UnitDefaults", UnitDefaults, false},
    {kGenericService, "ListObjects", ListObjects, false},
};

Status FindMethod(std::string_view service, std::string_view name, const Method** method) {
  bool service_known = false;
  for (const Method& candidate : kMethods) {
    if (candidate.service != service) continue;
    service_known = true;
    if (candidate.name == name) {
      *method = &candidate;
      return Status::Ok();
    }
  }
  if (!service_known) {
    return Status::NotFound("There is no data service '" + std::string(service) + "'.");
  }
  return Status::NotFound("The data service '" + std::string(service) + "' has no method '" +
                          std::string(name) + "'.");
}

Status Run(Store* store, const Method& method, const RequestContext& context,
           std::string_view request, std::string* response) {
  Transaction transaction(store, method.writes);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  ORVAN_RETURN_IF_ERROR(method.handler(context, request, response));
  return transaction.Commit();
}

std::wstring ErrorAnswer(std::string_view service, std::string_view method, const Status& status) {
  pugi::xml_document out;
  pugi::xml_node error = out.append_child("Error");
  SetText(error, "Service", service);
  SetText(error, "Method", method);
  SetText(error, "Message", status.message());
  return FromUtf8(SerializeXml(out, false));
}

}  // namespace

ServiceResponse DataService::Execute(const ServiceRequest& request) {
  std::string service = ToUtf8(request.service);
  std::string method_name = ToUtf8(request.method);
  ServiceResponse response;
  const Method* method = nullptr;
  response.status = FindMethod(service, method_name, &method);
  if (response.status.ok() && request.text.size() > kMaxRequestBytes) {
    response.status = Status::Invalid("The request is too large.");
  }
  std::string answer;
  if (response.status.ok()) {
    RequestContext context;
    context.store = store_;
    context.user = ToUtf8(user_);
    for (const auto& [name, value] : request.parameters) {
      context.parameters.emplace_back(ToUtf8(name), ToUtf8(value));
    }
    response.status = Run(store_, *method, context, ToUtf8(request.text), &answer);
  }
  response.text =
      response.status.ok() ? FromUtf8(answer) : ErrorAnswer(service, method_name, response.status);
  return response;
}

}  // namespace ovc::orvan
