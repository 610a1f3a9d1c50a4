#include "orvan/json/workspace_json.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <set>

#include "automation/file_io.h"
#include "automation/number_text.h"
#include "orvan/json/base64.h"
#include "orvan/json/catalog_check.h"
#include "orvan/json/strict_json.h"
#include "orvan/units/unit_conversion.h"

namespace ovc::orvan {

namespace {

using nlohmann::json;

constexpr const char* kFormat = "orvan-workspace";
constexpr int kVersion = 1;

// ---- export ----

json ScalarToJson(const Scalar& value, const Route* route) {
  if (const auto* real = std::get_if<double>(&value)) return *real;
  if (const auto* integer = std::get_if<int64_t>(&value)) {
    if (route != nullptr && route->type == AttributeType::kBoolean) return *integer != 0;
    return *integer;
  }
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return nullptr;
}

json ElementToJson(const Element& element, const Route* route) {
  json out = json::object();
  if (element.entered) {
    out["value"] = *element.entered;
    out["unit"] = element.entered_unit;
  } else if (!std::holds_alternative<std::monostate>(element.value)) {
    out["value"] = ScalarToJson(element.value, route);
  }
  if (!element.prefix.empty()) out["prefix"] = element.prefix;
  if (!element.postfix.empty()) out["postfix"] = element.postfix;
  if (!element.substitution.empty()) out["substitution"] = element.substitution;
  return out;
}

json CatalogToJson(const Catalog& catalog) {
  json out;
  out["format"] = kFormat;
  out["version"] = kVersion;
  out["unitStandards"] = catalog.unit_standards;
  out["quantityTypes"] = json::array();
  for (const QuantityType& type : catalog.quantity_types) {
    json units = json::array();
    for (const Unit& unit : type.units) {
      units.push_back({{"systemName", unit.system_name},
                       {"text", unit.text},
                       {"factor", unit.factor},
                       {"offset", unit.offset}});
    }
    json standards = json::array();
    for (const auto& [standard, unit] : type.standard_units) {
      standards.push_back({{"standard", standard}, {"unit", unit}});
    }
    out["quantityTypes"].push_back(
        {{"name", type.name}, {"units", units}, {"standardUnits", standards}});
  }
  out["unitFormats"] = json::array();
  for (const UnitFormat& format : catalog.unit_formats) {
    out["unitFormats"].push_back({{"unit", format.unit}, {"format", format.format}});
  }
  out["descriptiveTexts"] = {{"prefixes", catalog.texts.prefixes},
                             {"postfixes", catalog.texts.postfixes},
                             {"substitutions", catalog.texts.substitutions}};
  out["classViews"] = json::array();
  for (const ClassView& view : catalog.class_views) {
    json routes = json::array();
    for (const Route& route : view.routes) {
      routes.push_back({{"name", route.name},
                        {"type", TypeName(route.type)},
                        {"quantityType", route.quantity_type},
                        {"vector", route.vector},
                        {"readOnly", route.read_only},
                        {"enumTexts", route.enum_texts}});
    }
    out["classViews"].push_back({{"name", view.name}, {"routes", routes}});
  }
  out["cases"] = json::array();
  for (const Case& c : catalog.cases) out["cases"].push_back({{"oid", c.oid}, {"name", c.name}});
  out["defaultCase"] = catalog.default_case;
  out["governingCase"] = catalog.governing_case;
  return out;
}

Status ObjectsToJson(Store* store, const Catalog& catalog, json* out) {
  std::vector<ObjectRecord> objects;
  ORVAN_RETURN_IF_ERROR(store->ListObjects("", &objects));
  std::vector<StoredValue> values;
  ORVAN_RETURN_IF_ERROR(store->ListValues(&values));
  std::map<int32_t, json> by_object;
  std::map<int32_t, const ClassView*> views;
  for (const ObjectRecord& object : objects) {
    views[object.oid] = catalog.FindClassView(object.class_view);
    by_object[object.oid] = {{"oid", object.oid},
                             {"name", object.name},
                             {"classView", object.class_view},
                             {"cases", object.cases},
                             {"values", json::array()}};
  }
  for (const StoredValue& value : values) {
    auto found = by_object.find(value.key.object);
    if (found == by_object.end()) continue;  // values of a removed object are not exported
    const ClassView* view = views[value.key.object];
    const Route* route = view == nullptr ? nullptr : view->FindRoute(value.key.route);
    json elements = json::array();
    for (const Element& element : value.elements) elements.push_back(ElementToJson(element, route));
    found->second["values"].push_back(
        {{"route", value.key.route}, {"case", value.key.case_oid}, {"elements", elements}});
  }
  (*out)["objects"] = json::array();
  for (auto& [oid, object] : by_object) (*out)["objects"].push_back(std::move(object));
  return Status::Ok();
}

Status RecordsToJson(Store* store, json* out) {
  std::vector<BridgeRecord> bridges;
  ORVAN_RETURN_IF_ERROR(store->ListBridges(&bridges));
  (*out)["bridges"] = json::array();
  for (const BridgeRecord& listed : bridges) {
    BridgeRecord bridge;
    ORVAN_RETURN_IF_ERROR(store->GetBridge(listed.oid, true, &bridge));
    (*out)["bridges"].push_back({{"oid", bridge.oid},
                                 {"name", bridge.name},
                                 {"createdBy", bridge.created_by},
                                 {"dateCreated", bridge.date_created},
                                 {"modifiedBy", bridge.modified_by},
                                 {"dateModified", bridge.date_modified},
                                 {"lockHolder", bridge.lock_holder},
                                 {"document", bridge.document}});
  }
  std::vector<FileRecord> files;
  ORVAN_RETURN_IF_ERROR(store->ListFiles(&files));
  (*out)["files"] = json::array();
  for (const FileRecord& listed : files) {
    FileRecord file;
    ORVAN_RETURN_IF_ERROR(store->GetFile(listed.oid, true, &file));
    (*out)["files"].push_back({{"oid", file.oid},
                               {"fileName", file.file_name},
                               {"linked", file.linked},
                               {"linkedPath", file.linked_path},
                               {"holder", file.holder},
                               {"content", EncodeBase64(file.content)}});
  }
  std::vector<Privilege> privileges;
  ORVAN_RETURN_IF_ERROR(store->ListPrivileges(&privileges));
  (*out)["privileges"] = json::array();
  for (const Privilege& privilege : privileges) {
    (*out)["privileges"].push_back(
        {{"user", privilege.user}, {"name", privilege.name}, {"allowed", privilege.allowed}});
  }
  return Status::Ok();
}

// ---- import ----

// Refuses the import: `context` says where (object, route), `why` what is wrong.
[[noreturn]] void Refuse(const std::string& context, const std::string& why) {
  throw std::invalid_argument(context + why);
}

std::string At(const std::string& path) { return "At " + path + ": "; }

double NumberFromJson(const json& value, const std::string& context) {
  double number = value.get<double>();
  if (!std::isfinite(number)) Refuse(context, value.dump() + " is not a finite number.");
  return number;
}

// Integers, identifiers among them, are 32-bit, as a write request takes
// them; a fraction or a number out of range is refused rather than cut off.
int32_t Int32FromJson(const json& value, const std::string& context) {
  if (!value.is_number()) Refuse(context, value.dump() + " is not a 32-bit integer.");
  double number = NumberFromJson(value, context);
  if (number != std::trunc(number) || number < INT32_MIN || number > INT32_MAX) {
    Refuse(context, value.dump() + " is not a 32-bit integer.");
  }
  return static_cast<int32_t>(number);
}

// The OID or case number at member `key` of the value at `path`.
int32_t IdentifierAt(const json& in, std::string_view key, const std::string& path) {
  return Int32FromJson(in.at(key), At(PointerBelow(path, key)));
}

// The identifiers listed at member `key` of the value at `path`.
std::vector<int32_t> IdentifiersAt(const json& in, std::string_view key, const std::string& path) {
  const json& list = in.at(key);
  const std::string pointer = PointerBelow(path, key);
  std::vector<int32_t> identifiers;
  for (size_t index = 0; index < list.size(); ++index) {
    identifiers.push_back(Int32FromJson(list.at(index), At(PointerBelow(pointer, index))));
  }
  return identifiers;
}

Catalog CatalogFromJson(const json& in) {
  Catalog catalog;
  catalog.unit_standards = in.at("unitStandards").get<std::vector<std::string>>();
  for (const json& type : in.at("quantityTypes")) {
    QuantityType quantity_type;
    quantity_type.name = type.at("name").get<std::string>();
    for (const json& unit : type.at("units")) {
      quantity_type.units.push_back(
          {unit.at("systemName").get<std::string>(), unit.at("text").get<std::string>(),
           unit.at("factor").get<double>(), unit.at("offset").get<double>()});
    }
    for (const json& standard : type.at("standardUnits")) {
      quantity_type.standard_units.emplace_back(standard.at("standard").get<std::string>(),
                                                standard.at("unit").get<std::string>());
    }
    catalog.quantity_types.push_back(std::move(quantity_type));
  }
  for (const json& format : in.at("unitFormats")) {
    catalog.unit_formats.push_back(
        {format.at("unit").get<std::string>(), format.at("format").get<std::string>()});
  }
  const json& texts = in.at("descriptiveTexts");
  catalog.texts.prefixes = texts.at("prefixes").get<std::vector<std::string>>();
  catalog.texts.postfixes = texts.at("postfixes").get<std::vector<std::string>>();
  catalog.texts.substitutions = texts.at("substitutions").get<std::vector<std::string>>();
  for (const json& view : in.at("classViews")) {
    ClassView class_view{view.at("name").get<std::string>(), {}};
    for (const json& route : view.at("routes")) {
      Route r;
      r.name = route.at("name").get<std::string>();
      if (!ParseTypeName(route.at("type").get<std::string>(), &r.type)) {
        throw std::invalid_argument("route '" + r.name + "' has an unknown type");
      }
      r.quantity_type = route.at("quantityType").get<std::string>();
      r.vector = route.at("vector").get<bool>();
      r.read_only = route.at("readOnly").get<bool>();
      r.enum_texts = route.at("enumTexts").get<std::vector<std::string>>();
      class_view.routes.push_back(std::move(r));
    }
    catalog.class_views.push_back(std::move(class_view));
  }
  const json& cases = in.at("cases");
  for (size_t index = 0; index < cases.size(); ++index) {
    const json& c = cases.at(index);
    catalog.cases.push_back(
        {IdentifierAt(c, "oid", PointerBelow("/cases", index)), c.at("name").get<std::string>()});
  }
  catalog.default_case = IdentifierAt(in, "defaultCase", "");
  catalog.governing_case = IdentifierAt(in, "governingCase", "");
  return catalog;
}

std::string EnumFromJson(const json& value, const Route& route, const std::string& context) {
  std::string text = value.get<std::string>();
  if (std::find(route.enum_texts.begin(), route.enum_texts.end(), text) == route.enum_texts.end()) {
    Refuse(context, "'" + text + "' is not one of its allowed texts.");
  }
  return text;
}

Scalar ScalarFromJson(const json& value, const Route& route, const std::string& context) {
  switch (route.type) {
    case AttributeType::kReal:
    case AttributeType::kDate:
      return NumberFromJson(value, context);
    case AttributeType::kInteger:
      return int64_t{Int32FromJson(value, context)};
    case AttributeType::kBoolean:
      return int64_t{value.get<bool>() ? 1 : 0};
    case AttributeType::kString:
      return value.get<std::string>();
    case AttributeType::kEnum:
      return EnumFromJson(value, route, context);
  }
  return std::monostate();
}

Element ElementFromJson(const json& in, const Catalog& catalog, const Route& route,
                        const std::string& context) {
  Element element;
  if (in.contains("value") && !in.at("value").is_null()) {
    element.value = ScalarFromJson(in.at("value"), route, context);
    if (in.contains("unit")) {
      const QuantityType* type = catalog.FindQuantityType(route.quantity_type);
      std::string unit_name = in.at("unit").get<std::string>();
      const Unit* unit = type == nullptr ? nullptr : type->FindUnit(unit_name);
      if (unit == nullptr) Refuse(context, "'" + unit_name + "' is not a unit of it.");
      element.entered = in.at("value").get<double>();
      element.entered_unit = unit->system_name;
      element.value = ToBase(*unit, *element.entered);
      if (!std::isfinite(std::get<double>(element.value))) {
        Refuse(context, in.at("value").dump() + " " + unit_name + " is beyond the range of it.");
      }
    }
  }
  element.prefix = in.value("prefix", "");
  element.postfix = in.value("postfix", "");
  element.substitution = in.value("substitution", "");
  return element;
}

void CheckCaseExists(const Catalog& catalog, int32_t case_oid, const std::string& context) {
  if (catalog.FindCase(case_oid) == nullptr) {
    Refuse(context, "case " + std::to_string(case_oid) + " does not exist.");
  }
}

// The object's values (at `path`), each checked against its route and the
// catalog.
std::vector<StoredValue> ValuesFromJson(const json& values, const std::string& path,
                                        const Catalog& catalog, const ClassView& view,
                                        int32_t object) {
  std::vector<StoredValue> stored;
  std::set<std::pair<std::string, int32_t>> seen;
  for (size_t index = 0; index < values.size(); ++index) {
    const json& value = values.at(index);
    ValueKey key{object, value.at("route").get<std::string>(),
                 IdentifierAt(value, "case", PointerBelow(path, index))};
    const std::string context = "Object " + std::to_string(object) + ", route '" + key.route +
                                "', case " + std::to_string(key.case_oid) + ": ";
    const Route* route = view.FindRoute(key.route);
    if (route == nullptr) Refuse(context, "class view '" + view.name + "' has no such route.");
    CheckCaseExists(catalog, key.case_oid, context);
    if (!seen.emplace(key.route, key.case_oid).second) {
      Refuse(context, "the value is listed twice.");
    }
    const json& elements = value.at("elements");
    if (!route->vector && elements.size() > 1) {
      Refuse(context, "the attribute holds one value, but " + std::to_string(elements.size()) +
                          " were given.");
    }
    StoredValue& out = stored.emplace_back(StoredValue{std::move(key), {}});
    try {
      for (const json& element : elements) {
        out.elements.push_back(ElementFromJson(element, catalog, *route, context));
      }
    } catch (const json::exception& error) {
      Refuse(context, error.what());
    }
  }
  return stored;
}

Status ImportObjects(Store* store, const Catalog& catalog, const json& objects) {
  std::set<int32_t> oids;
  for (size_t index = 0; index < objects.size(); ++index) {
    const json& in = objects.at(index);
    const std::string path = PointerBelow("/objects", index);
    ObjectRecord object{IdentifierAt(in, "oid", path), in.at("name").get<std::string>(),
                        in.at("classView").get<std::string>(), IdentifiersAt(in, "cases", path)};
    const std::string context = "Object " + std::to_string(object.oid) + ": ";
    if (!oids.insert(object.oid).second) Refuse(context, "the OID is listed twice.");
    const ClassView* view = catalog.FindClassView(object.class_view);
    if (view == nullptr) Refuse(context, "class view '" + object.class_view + "' does not exist.");
    for (int32_t case_oid : object.cases) CheckCaseExists(catalog, case_oid, context);
    std::vector<StoredValue> values =
        ValuesFromJson(in.at("values"), PointerBelow(path, "values"), catalog, *view, object.oid);
    ORVAN_RETURN_IF_ERROR(store->PutObject(object));
    for (const StoredValue& value : values) {
      ORVAN_RETURN_IF_ERROR(store->PutValue(value.key, value.elements));
    }
  }
  return Status::Ok();
}

// The largest Linkset OID of a stored bridge document, which the linkset
// counter must stay above. The document is empty (never saved) or
// well-formed XML; its OIDs are read as the data service reads them.
int32_t LargestLinksetOid(const BridgeRecord& bridge) {
  if (bridge.document.empty()) return 0;
  pugi::xml_document parsed;
  pugi::xml_parse_result result =
      parsed.load_buffer(bridge.document.data(), bridge.document.size(), pugi::parse_default);
  if (!result) {
    Refuse("Bridge " + std::to_string(bridge.oid) + ": ", std::string("the document is not XML (") +
                                                              result.description() + " at offset " +
                                                              std::to_string(result.offset) + ").");
  }
  int32_t largest = 0;
  for (pugi::xml_node linksets : parsed.document_element().children("Linksets")) {
    for (pugi::xml_node linkset : linksets.children("Linkset")) {
      largest = std::max(largest, LeadingInteger(linkset.attribute("OID").value()));
    }
  }
  return largest;
}

void CheckUnique(std::set<int32_t>* seen, const char* what, int32_t oid) {
  if (!seen->insert(oid).second) {
    Refuse(std::string(what) + " " + std::to_string(oid) + ": ", "the OID is listed twice.");
  }
}

Status ImportRecords(Store* store, const json& in) {
  std::set<int32_t> bridge_oids;
  const json& bridges = in.at("bridges");
  for (size_t index = 0; index < bridges.size(); ++index) {
    const json& bridge = bridges.at(index);
    BridgeRecord record{IdentifierAt(bridge, "oid", PointerBelow("/bridges", index)),
                        bridge.at("name").get<std::string>(),
                        bridge.at("createdBy").get<std::string>(),
                        bridge.at("dateCreated").get<std::string>(),
                        bridge.at("modifiedBy").get<std::string>(),
                        bridge.at("dateModified").get<std::string>(),
                        bridge.at("lockHolder").get<std::string>(),
                        bridge.at("document").get<std::string>()};
    CheckUnique(&bridge_oids, "Bridge", record.oid);
    const int32_t largest_linkset = LargestLinksetOid(record);
    ORVAN_RETURN_IF_ERROR(store->PutBridge(record));
    ORVAN_RETURN_IF_ERROR(store->RaiseCounter("linkset", largest_linkset));
  }
  std::set<int32_t> file_oids;
  const json& files = in.at("files");
  for (size_t index = 0; index < files.size(); ++index) {
    const json& file = files.at(index);
    FileRecord record{IdentifierAt(file, "oid", PointerBelow("/files", index)),
                      file.at("fileName").get<std::string>(),
                      file.at("linked").get<bool>(),
                      file.at("linkedPath").get<std::string>(),
                      file.at("holder").get<std::string>(),
                      ""};
    CheckUnique(&file_oids, "File", record.oid);
    if (!DecodeBase64(file.at("content").get<std::string>(), &record.content)) {
      Refuse("File " + std::to_string(record.oid) + ": ", "the content is not base64.");
    }
    ORVAN_RETURN_IF_ERROR(store->PutFile(record));
  }
  for (const json& privilege : in.at("privileges")) {
    ORVAN_RETURN_IF_ERROR(store->PutPrivilege({privilege.at("user").get<std::string>(),
                                               privilege.at("name").get<std::string>(),
                                               privilege.at("allowed").get<bool>()}));
  }
  return Status::Ok();
}

Status Import(Store* store, const json& in) {
  if (in.value("format", "") != kFormat || in.value("version", 0) != kVersion) {
    return Status::Invalid(std::string("The JSON is not a workspace of format '") + kFormat +
                           "', version " + std::to_string(kVersion) + ".");
  }
  Catalog catalog = CatalogFromJson(in);
  ORVAN_RETURN_IF_ERROR(CheckCatalog(catalog));
  ORVAN_RETURN_IF_ERROR(store->Clear());
  ORVAN_RETURN_IF_ERROR(store->ReplaceCatalog(catalog));
  ORVAN_RETURN_IF_ERROR(ImportObjects(store, catalog, in.at("objects")));
  return ImportRecords(store, in);
}

}  // namespace

Status ExportWorkspace(Store* store, std::string* json_text) {
  Transaction transaction(store, false);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  Catalog catalog;
  ORVAN_RETURN_IF_ERROR(store->LoadCatalog(&catalog));
  json out = CatalogToJson(catalog);
  ORVAN_RETURN_IF_ERROR(ObjectsToJson(store, catalog, &out));
  ORVAN_RETURN_IF_ERROR(RecordsToJson(store, &out));
  ORVAN_RETURN_IF_ERROR(transaction.Commit());
  *json_text = out.dump(2) + "\n";
  return Status::Ok();
}

Status ImportWorkspace(Store* store, std::string_view json_text) {
  Transaction transaction(store, true);
  ORVAN_RETURN_IF_ERROR(transaction.status());
  try {
    ORVAN_RETURN_IF_ERROR(Import(store, ParseStrictJson(json_text)));
  } catch (const std::exception& error) {
    return Status::Invalid(std::string("The workspace JSON cannot be imported: ") + error.what());
  }
  return transaction.Commit();
}

Status ExportWorkspaceFile(Store* store, const std::filesystem::path& path) {
  std::string text;
  ORVAN_RETURN_IF_ERROR(ExportWorkspace(store, &text));
  if (const int error = ReplaceFileAtomically(path, text); error != 0) {
    return Status::Storage("cannot write '" + path.string() + "': " + std::strerror(error));
  }
  return Status::Ok();
}

Status ImportWorkspaceFile(Store* store, const std::filesystem::path& path) {
  std::string text;
  if (const int error = ReadWholeFile(path, &text); error != 0) {
    return Status::NotFound("cannot read '" + path.string() + "': " + std::strerror(error));
  }
  return ImportWorkspace(store, text);
}

}  // namespace ovc::orvan
