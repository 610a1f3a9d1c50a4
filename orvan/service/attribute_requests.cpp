#include "orvan/service/attribute_requests.h"

#include <pugixml.hpp>

#include <algorithm>
#include <vector>

#include "automation/number_text.h"
#include "orvan/service/attribute_text.h"
#include "orvan/service/value_text.h"
#include "orvan/service/xml_io.h"
#include "orvan/service/xml_writer.h"
#include "orvan/units/unit_conversion.h"

namespace ovc::orvan {

namespace {

constexpr const char* kReadUnsuccessful = "Read Unsuccessful";
constexpr const char* kReadSuccessful = "Read Successful";
constexpr const char* kWriteSuccessful = "Write Successful";

// Case markers that stand for the workspace default case.
bool IsDefaultMarker(int32_t oid) { return oid >= -12 && oid <= -10; }

// The object a request names, when it exists, with its class view.
struct Target {
  int32_t oid = 0;
  bool exists = false;
  ObjectRecord record;
  const ClassView* view = nullptr;
};

Status FindTarget(const RequestContext& context, const Catalog& catalog, pugi::xml_node object,
                  Target* target) {
  target->oid = LeadingInteger(object.attribute("OID").value());
  Status status = context.store->GetObject(target->oid, &target->record);
  if (status.code() == Status::Code::kNotFound) return Status::Ok();
  ORVAN_RETURN_IF_ERROR(status);
  target->exists = true;
  target->view = catalog.FindClassView(target->record.class_view);
  return Status::Ok();
}

// Where one requested value lives and the unit it is wanted in.
struct Resolved {
  ValueKey key;
  const Unit* unit = nullptr;
};

Status ResolveCase(const Catalog& catalog, const Target& target, int32_t requested,
                   int32_t* case_oid) {
  *case_oid = IsDefaultMarker(requested) ? catalog.default_case : requested;
  if (IsDefaultMarker(requested) && *case_oid == 0) {
    return Status::Invalid("The workspace has no default case.");
  }
  const Case* found = catalog.FindCase(*case_oid);
  if (found == nullptr) {
    return Status::Invalid("Case " + std::to_string(*case_oid) + " does not exist.");
  }
  const auto& cases = target.record.cases;
  if (!cases.empty() && std::find(cases.begin(), cases.end(), *case_oid) == cases.end()) {
    return Status::Invalid("Case '" + found->name + "' does not apply to object " +
                           std::to_string(target.oid) + ".");
  }
  return Status::Ok();
}

Status Resolve(const Catalog& catalog, const Target& target, const Route& route,
               pugi::xml_node attribute, Resolved* resolved) {
  resolved->key.object = target.oid;
  resolved->key.route = route.name;
  ORVAN_RETURN_IF_ERROR(ResolveCase(catalog, target,
                                    LeadingInteger(attribute.attribute("Case").value()),
                                    &resolved->key.case_oid));
  if (route.quantity_type.empty()) return Status::Ok();
  const QuantityType* type = catalog.FindQuantityType(route.quantity_type);
  if (type == nullptr) {
    return Status::Invalid("The quantity type '" + route.quantity_type + "' of '" + route.name +
                           "' is not defined.");
  }
  return ResolveUnit(catalog, *type, GetText(attribute, "Units"), GetText(attribute, "UnitSet"),
                     &resolved->unit);
}

const Route* FindRoute(const Target& target, pugi::xml_node attribute, std::string* name) {
  *name = GetText(attribute, "Route");
  return target.view == nullptr ? nullptr : target.view->FindRoute(*name);
}

bool HasDescriptiveTexts(const Route& route) {
  return route.type == AttributeType::kReal || route.type == AttributeType::kInteger;
}

// One Value element: the element's quantity in `unit` with its texts, or the
// reason it cannot be given.
void AnswerValue(const Route& route, const Unit* unit, const Element& element, XmlWriter* out) {
  std::string quantity;
  Status status = FormatQuantity(route, unit, element, &quantity);
  out->Open("Value");
  if (!status.ok()) {
    out->Text("Error", status.message());
  } else {
    out->Text("Error", kReadSuccessful);
    out->Text("Quantity", quantity);
    if (HasDescriptiveTexts(route)) {
      out->Text("Prefix", element.prefix);
      out->Text("Postfix", element.postfix);
      out->Text("Substitution", element.substitution);
    }
  }
  out->Close();
}

Status ReadOne(const RequestContext& context, const Catalog& catalog, const Target& target,
               pugi::xml_node attribute, XmlWriter* out) {
  std::string name;
  const Route* route = FindRoute(target, attribute, &name);
  out->Open("Attribute");
  out->Text("Route", name);
  if (route == nullptr) {
    out->Text("Error", kReadUnsuccessful);
    out->Close();
    return Status::Ok();
  }
  out->Text("DataType", TypeName(route->type));
  out->Text("Vector", route->vector ? "1" : "0");
  Resolved resolved;
  Status problem = Resolve(catalog, target, *route, attribute, &resolved);
  std::vector<Element> elements;
  if (problem.ok()) {
    ORVAN_RETURN_IF_ERROR(context.store->GetValue(resolved.key, &elements));
    if (elements.empty() && !route->vector) elements.resize(1);
  }
  out->Text("Error", problem.ok() ? kReadSuccessful : problem.message());
  out->Open("Values");
  if (!problem.ok()) {
    out->Open("Value");
    out->Text("Error", problem.message());
    out->Close();
  }
  for (const Element& element : elements) AnswerValue(*route, resolved.unit, element, out);
  out->Close();
  out->Close();
  return Status::Ok();
}

// The elements to store for the sent Value elements, or the reason not to.
Status BuildElements(const RequestContext& context, const Route& route, const Resolved& resolved,
                     pugi::xml_node attribute, std::vector<Element>* elements) {
  std::vector<pugi::xml_node> sent;
  for (pugi::xml_node value : attribute.child("Values").children("Value")) sent.push_back(value);
  if (!route.vector && sent.size() != 1) {
    return Status::Invalid("'" + route.name + "' holds one value, but " +
                           std::to_string(sent.size()) + " were sent.");
  }
  std::vector<Element> old;
  if (!route.vector && !sent[0].attribute("Quantity")) {
    ORVAN_RETURN_IF_ERROR(context.store->GetValue(resolved.key, &old));
  }
  for (pugi::xml_node value : sent) {
    Element element;
    pugi::xml_attribute quantity = value.attribute("Quantity");
    if (quantity) {
      ORVAN_RETURN_IF_ERROR(
          ParseQuantity(route, resolved.unit, UnescapeAttribute(quantity.value()), &element));
    } else if (!old.empty()) {
      element = old.front();  // texts only: the value stays as it was
    }
    element.prefix = GetText(value, "Prefix");
    element.postfix = GetText(value, "Postfix");
    element.substitution = GetText(value, "Substitution");
    elements->push_back(std::move(element));
  }
  return Status::Ok();
}

// Checks and stores one sent attribute. A refusal goes into the answer and
// leaves the stored value alone; only a storage failure ends the request.
Status WriteOne(const RequestContext& context, const Catalog& catalog, const Target& target,
                pugi::xml_node attribute, XmlWriter* out) {
  std::string name;
  const Route* route = FindRoute(target, attribute, &name);
  out->Open("Attribute");
  out->Text("Route", name);
  Status refusal;
  Resolved resolved;
  std::vector<Element> elements;
  if (!target.exists) {
    refusal = Status::NotFound("Object " + std::to_string(target.oid) + " does not exist.");
  } else if (route == nullptr) {
    refusal = Status::NotFound("The attribute route '" + name + "' is not in class view '" +
                               target.record.class_view + "'.");
  } else if (route->read_only) {
    refusal = Status::Refused("'" + name + "' is read-only.");
  } else {
    refusal = Resolve(catalog, target, *route, attribute, &resolved);
    if (refusal.ok()) refusal = BuildElements(context, *route, resolved, attribute, &elements);
  }
  if (refusal.code() == Status::Code::kStorage) return refusal;
  if (refusal.ok()) ORVAN_RETURN_IF_ERROR(context.store->PutValue(resolved.key, elements));
  out->Text("Error", refusal.ok() ? kWriteSuccessful : refusal.message());
  out->Close();
  return Status::Ok();
}

using AnswerFn = Status (*)(const RequestContext&, const Catalog&, const Target&, pugi::xml_node,
                            XmlWriter*);

// The shared walk: one answer Object per requested Object, its container,
// one answer Attribute per requested Attribute, in request order.
Status Answer(const RequestContext& context, std::string_view request, const char* what,
              AnswerFn answer_fn, std::string* response) {
  pugi::xml_document in;
  ORVAN_RETURN_IF_ERROR(ParseXml(request, "Objects", what, &in));
  Catalog catalog;
  ORVAN_RETURN_IF_ERROR(context.store->LoadCatalog(&catalog));
  // A read answer is about three times the size of its request.
  XmlWriter out(request.size() * 3);
  out.Open("Objects");
  for (pugi::xml_node object : in.document_element().children("Object")) {
    Target target;
    ORVAN_RETURN_IF_ERROR(FindTarget(context, catalog, object, &target));
    out.Open("Object");
    out.Number("OID", target.oid);
    out.Open("Attributes");
    for (pugi::xml_node attribute : object.child("Attributes").children("Attribute")) {
      ORVAN_RETURN_IF_ERROR(answer_fn(context, catalog, target, attribute, &out));
    }
    out.Close();
    out.Close();
  }
  out.Close();
  *response = out.Finish();
  return Status::Ok();
}

}  // namespace

Status ReadAttributes(const RequestContext& context, std::string_view request,
                      std::string* response) {
  return Answer(context, request, "ReadAttributes request", ReadOne, response);
}

Status WriteAttributes(const RequestContext& context, std::string_view request,
                       std::string* response) {
  return Answer(context, request, "WriteAttributes request", WriteOne, response);
}

}  // namespace ovc::orvan
