// ovcbridge bridge list | show | validate | delete: the stored Bridges.
#include <limits>
#include <map>
#include <memory>

#include "automation/conversion.h"
#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "cli/host_session.h"

namespace ovc::cli {
namespace {

constexpr int kValidationError = 2;  // ovError
// The texts the host's list gives per Bridge.
constexpr size_t kListedTexts = 8;

struct BridgeArguments {
  int32_t oid = 0;
  std::string operation = "autorun";
};

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

int32_t ListedOid(const std::string& text) {
  const std::optional<int32_t> oid = DecimalIn(text, 1, std::numeric_limits<int32_t>::max());
  if (!oid) throw Failure{E_FAIL, FromUtf8("the host listed a Bridge with the OID '" + text + "'")};
  return *oid;
}

int List(const Context& context) {
  HostSession session(context.options);
  const std::vector<std::wstring> texts = AsTexts(session.host().Get(L"BridgeList"));
  nlohmann::json bridges = nlohmann::json::array();
  std::vector<std::vector<std::string>> rows;
  for (size_t at = 0; at + kListedTexts <= texts.size(); at += kListedTexts) {
    const auto text = [&](size_t field) { return Utf8(texts[at + field]); };
    bridges.push_back({{"oid", ListedOid(text(0))},
                       {"name", text(1)},
                       {"description", text(6)},
                       {"created_by", text(2)},
                       {"created_at", IsoTime(text(3))},
                       {"modified_by", text(4)},
                       {"modified_at", IsoTime(text(5))},
                       {"locked_by", text(7)}});
    rows.push_back({text(0), text(1), text(6), text(4), LocalTime(text(5)), text(7)});
  }
  context.console.Result(
      {{"bridges", bridges}},
      rows.empty()
          ? "no Bridges stored"
          : context.console.Table(
                {"OID", "NAME", "DESCRIPTION", "MODIFIED BY", "MODIFIED AT", "LOCKED BY"}, rows));
  return kSuccess;
}

nlohmann::json LinkDocument(const Object& link) {
  return {{"route", Utf8(link.Text(L"AttribName"))},
          {"enabled", link.Flag(L"Enabled")},
          {"write_location", Utf8(link.Text(L"WriteLocation"))},
          {"read_location", Utf8(link.Text(L"ReadLocation"))},
          {"unit", Utf8(link.Text(L"UnitString"))},
          {"write_format", Utf8(link.Text(L"WriteFormat"))},
          {"read_format", Utf8(link.Text(L"ReadFormat"))}};
}

nlohmann::json LinkSetDocument(const Object& linkset, int position) {
  nlohmann::json links = nlohmann::json::array();
  const int32_t count = linkset.Number(L"Count");
  for (int32_t index = 0; index < count; ++index) {
    links.push_back(LinkDocument(linkset.GetObject(L"Item", {Variant(index)})));
  }
  std::vector<std::string> objects;
  for (const std::wstring& name : AsTexts(linkset.Get(L"ObjectNameList")))
    objects.push_back(Utf8(name));
  return {{"position", position},
          {"name", Utf8(linkset.Text(L"Name"))},
          {"class", Utf8(linkset.Text(L"Class"))},
          {"enabled", linkset.Flag(L"Enabled")},
          {"iterative", linkset.Flag(L"Iterative")},
          {"objects", objects},
          {"links", links}};
}

nlohmann::json FileDocument(const Object& app) {
  return {{"name", Utf8(app.Text(L"FullName"))},
          {"type", Utf8(app.Text(L"Type"))},
          {"enabled", app.Flag(L"Enabled")},
          {"path", Utf8(app.Text(L"Path"))}};
}

nlohmann::json BridgeDocument(const Object& bridge) {
  nlohmann::json linksets = nlohmann::json::array();
  const int32_t count = bridge.Number(L"Count");
  for (int32_t index = 0; index < count; ++index) {
    linksets.push_back(LinkSetDocument(bridge.GetObject(L"Item", {Variant(index)}), index + 1));
  }
  nlohmann::json files = nlohmann::json::array();
  const int32_t apps = bridge.Number(L"CountApps");
  for (int32_t index = 0; index < apps; ++index) {
    files.push_back(FileDocument(bridge.GetObject(L"ItemApp", {Variant(index)})));
  }
  return {{"oid", bridge.Number(L"OID")},
          {"name", Utf8(bridge.Text(L"Name"))},
          {"description", Utf8(bridge.Text(L"Description"))},
          {"case", Utf8(bridge.Text(L"SelectedCaseName"))},
          {"unit_standard", Utf8(bridge.Text(L"UnitStdSelected"))},
          {"linksets", linksets},
          {"files", files}};
}

std::string Joined(const nlohmann::json& texts) {
  std::string joined;
  for (const auto& text : texts) joined += (joined.empty() ? "" : ", ") + text.get<std::string>();
  return joined;
}

std::string LinkSetText(const Console& console, const nlohmann::json& linkset) {
  std::string text = console.Bold("LinkSet " + std::to_string(linkset["position"].get<int>()) +
                                  ": " + linkset["name"].get<std::string>()) +
                     "  (" + linkset["class"].get<std::string>() + ": " +
                     Joined(linkset["objects"]) +
                     (linkset["iterative"].get<bool>() ? ", iterative" : "") +
                     (linkset["enabled"].get<bool>() ? "" : ", disabled") + ")\n";
  std::vector<std::vector<std::string>> rows;
  for (const auto& link : linkset["links"]) {
    rows.push_back({link["route"], link["write_location"], link["read_location"], link["unit"],
                    link["write_format"], link["enabled"].get<bool>() ? "" : "disabled"});
  }
  std::string table =
      console.Table({"ROUTE", "WRITES TO", "READS FROM", "UNIT", "FORMAT", ""}, rows);
  for (size_t start = 0; start < table.size();) {
    const size_t end = table.find('\n', start) + 1;
    text += "  " + table.substr(start, end - start);
    start = end;
  }
  return text;
}

std::string BridgeText(const Console& console, const nlohmann::json& bridge) {
  std::string text = console.Bold("Bridge " + std::to_string(bridge["oid"].get<int>()) + ": " +
                                  bridge["name"].get<std::string>()) +
                     "\n";
  if (!bridge["description"].get<std::string>().empty()) {
    text += bridge["description"].get<std::string>() + "\n";
  }
  text += "Case: " + bridge["case"].get<std::string>() +
          "   Unit standard: " + bridge["unit_standard"].get<std::string>() + "\n\n";
  for (const auto& linkset : bridge["linksets"]) text += LinkSetText(console, linkset) + "\n";
  text += console.Bold("Files") + "\n";
  for (const auto& file : bridge["files"]) {
    text += "  " + file["name"].get<std::string>() +
            (file["enabled"].get<bool>() ? "" : " (disabled)") + "  " +
            file["path"].get<std::string>() + "\n";
  }
  return text;
}

int Show(const Context& context, const BridgeArguments& arguments) {
  HostSession session(context.options);
  OpenedBridge opened(arguments.oid);
  const nlohmann::json bridge = BridgeDocument(opened.bridge());
  context.console.Result(bridge, BridgeText(context.console, bridge));
  return kSuccess;
}

int Validate(const Context& context, const BridgeArguments& arguments) {
  HostSession session(context.options);
  OpenedBridge opened(arguments.oid);
  Variant level;
  const std::wstring report = AsText(opened.bridge().Get(
      L"Validate", {Variant(OperationNames().at(arguments.operation)), Variant::ByRef(&level)}));
  Variant number;
  const int32_t found =
      Succeeded(VariantChangeType(&number, level, 0, VT_I4)) ? number.i4() : kValidationError;
  static const char* const kLevels[] = {"ok", "warning", "error"};
  const std::string level_name = found >= 0 && found <= 2 ? kLevels[found] : "error";
  context.console.Result(
      {{"oid", arguments.oid},
       {"operation", arguments.operation},
       {"level", level_name},
       {"report", Utf8(report)}},
      report.empty() ? "Validation: " + level_name : Utf8(report) + "\nValidation: " + level_name);
  return found == kValidationError ? kFinishedWithErrors : kSuccess;
}

int Delete(const Context& context, const BridgeArguments& arguments) {
  HostSession session(context.options);
  Object bridge = Object::Create(L"OVCBridgeSvcs.Bridge");
  bridge.Put(L"OID", Variant(arguments.oid));
  bridge.Call(L"Delete");
  context.console.Note("deleted Bridge " + std::to_string(arguments.oid));
  context.console.Result({{"deleted", arguments.oid}}, "");
  return kSuccess;
}

// A subcommand taking the Bridge's OID, which runs `run` when chosen.
CLI::App* BridgeCommand(CLI::App& parent, Context& context, const char* name,
                        const char* description, std::shared_ptr<BridgeArguments> arguments,
                        int (*run)(const Context&, const BridgeArguments&)) {
  CLI::App* command = parent.add_subcommand(name, description);
  command->add_option("ID", arguments->oid, "The Bridge's OID (see `bridge list`)")
      ->required()
      ->transform(OidOption());
  command->callback([&context, arguments, run] {
    context.action = [&context, arguments, run] { return run(context, *arguments); };
  });
  return command;
}

}  // namespace

const std::map<std::string, int>& OperationNames() {
  static const std::map<std::string, int> names = {
      {"read-db", 0}, {"write-db", 1}, {"read-from-apps", 2}, {"write-to-apps", 3},
      {"export", 4},  {"import", 5},   {"autorun", 6},        {"autorun-pause", 7}};
  return names;
}

void AddBridgeCommands(CLI::App& app, Context& context) {
  CLI::App* bridge = app.add_subcommand(
      "bridge", "List, show, validate, export, import and delete stored Bridges");
  bridge->require_subcommand(1);
  auto arguments = std::make_shared<BridgeArguments>();

  CLI::App* list = bridge->add_subcommand("list",
                                          "The stored Bridges: OID, name, description, "
                                          "last change and lock holder");
  list->footer(
      "Examples:\n  ovcbridge bridge list\n  ovcbridge --db plant.orvan bridge list --json");
  list->callback([&context] { context.action = [&context] { return List(context); }; });

  BridgeCommand(*bridge, context, "show", "A Bridge's LinkSets, Links and files", arguments, Show)
      ->footer("Examples:\n  ovcbridge bridge show 1\n  ovcbridge bridge show 1 --json");
  CLI::App* validate = BridgeCommand(*bridge, context, "validate",
                                     "Check a Bridge's definition for an operation (exit status 1 "
                                     "on errors)",
                                     arguments, Validate);
  validate->add_option("--op", arguments->operation, "The operation to check for")
      ->check(CLI::IsMember(OperationNames()))
      ->capture_default_str();
  validate->footer(
      "Examples:\n  ovcbridge bridge validate 1\n  ovcbridge bridge validate 1 --op write-to-apps");
  AddBridgeTransferCommands(*bridge, context);
  BridgeCommand(*bridge, context, "delete", "Delete a stored Bridge", arguments, Delete)
      ->footer("Example:\n  ovcbridge bridge delete 3");
}

}  // namespace ovc::cli
