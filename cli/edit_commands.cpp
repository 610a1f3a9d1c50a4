// ovcbridge names sync, bindings copy | auto: changes to a stored Bridge that
// the library makes, saved afterwards unless --no-save.
#include <functional>
#include <limits>
#include <memory>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "cli/host_session.h"
#include "cli/questions.h"

namespace ovc::cli {
namespace {

constexpr int32_t kLargest = std::numeric_limits<int32_t>::max();

struct EditArguments {
  int32_t oid = 0;
  bool save = true;
  bool replace = false;
  int32_t linkset = 0;  // 1-based; 0: every LinkSet
  std::string suffix;
  int32_t from = 0;
  Numbering numbering;
};

// Opens the Bridge, makes the change, saves it unless --no-save and prints
// the Bridge's report; status 1 when Links failed.
int Edit(const Context& context, const EditArguments& arguments,
         const std::function<void(const Object&)>& change) {
  HostSession session(context.options);
  OpenedBridge opened(arguments.oid);
  if (opened.locked_by_other()) {
    throw Failure{E_FAIL, FromUtf8("Bridge " + std::to_string(arguments.oid) +
                                   " is locked by another user; nothing was changed")};
  }
  const Object& bridge = opened.bridge();
  {
    Questions questions(context.console, context.options, arguments.numbering);
    change(bridge);
  }
  if (arguments.save) bridge.Call(L"Save", {Variant::Bool(false)});
  const int32_t failed = bridge.Number(L"LinkErrorCount");
  const std::string report = ToUtf8(bridge.Text(L"StatusReport"));
  context.console.Result({{"oid", arguments.oid},
                          {"linksets", bridge.Number(L"Count")},
                          {"failed", failed},
                          {"saved", arguments.save},
                          {"report", report}},
                         report);
  return failed > 0 ? kFinishedWithErrors : kSuccess;
}

int SyncNames(const Context& context, const EditArguments& arguments) {
  return Edit(context, arguments, [&arguments](const Object& bridge) {
    const Variant replace = Variant::Bool(arguments.replace);
    if (arguments.linkset == 0) {
      bridge.Call(L"BridgeSynchNames", {replace});
    } else {
      bridge.Call(L"LinksetSynchNames",
                  {replace, Variant(arguments.linkset - 1), Variant(FromUtf8(arguments.suffix))});
    }
  });
}

int CopyBindings(const Context& context, const EditArguments& arguments) {
  return Edit(context, arguments, [&arguments](const Object& bridge) {
    bridge.Call(L"CopyBrObjectBindings", {Variant(arguments.from)});
  });
}

int AutoBindings(const Context& context, const EditArguments& arguments) {
  return Edit(context, arguments,
              [](const Object& bridge) { bridge.Call(L"AutoCreateObjectBindings"); });
}

CLI::App* EditCommand(CLI::App& parent, Context& context, const char* name, const char* description,
                      const std::shared_ptr<EditArguments>& arguments,
                      int (*run)(const Context&, const EditArguments&)) {
  CLI::App* command = parent.add_subcommand(name, description);
  command->add_option("ID", arguments->oid, "The Bridge's OID (see `bridge list`)")
      ->required()
      ->transform(OidOption());
  command->add_flag("--save,!--no-save", arguments->save,
                    "Save the Bridge and its files afterwards (default) or not");
  command->callback([&context, arguments, run] {
    context.action = [&context, arguments, run] { return run(context, *arguments); };
  });
  return command;
}

void AddNumberingOptions(CLI::App* command, Numbering& numbering) {
  command->add_option("--delimiter", numbering.delimiter, "Between a copy's name and its number");
  command->add_option("--digits", numbering.digits, "Digits of the number")
      ->transform(DecimalOption(1, 9));
  command->add_option("--start", numbering.start, "The first number")
      ->transform(DecimalOption(0, kLargest));
}

}  // namespace

void AddEditCommands(CLI::App& app, Context& context) {
  auto arguments = std::make_shared<EditArguments>();
  CLI::App* names =
      app.add_subcommand("names", "Name the files' locations after the Links' routes");
  names->require_subcommand(1);
  CLI::App* sync = EditCommand(*names, context, "sync",
                               "Give each Link's location the name of its route (and suffix)",
                               arguments, SyncNames);
  sync->add_flag("--replace", arguments->replace, "Remove the old names (default: keep them)");
  CLI::Option* linkset = sync->add_option("--linkset", arguments->linkset,
                                          "Only this LinkSet (its position in `bridge show`)")
                             ->transform(DecimalOption(1, kLargest));
  sync->add_option("--suffix", arguments->suffix, "Appended to the route names")->needs(linkset);
  sync->footer(
      "Examples:\n  ovcbridge names sync 1\n  ovcbridge names sync 1 --replace\n"
      "  ovcbridge names sync 1 --linkset 2 --suffix _B");

  CLI::App* bindings =
      app.add_subcommand("bindings", "Bind copies of template LinkSets to objects");
  bindings->require_subcommand(1);
  CLI::App* copy =
      EditCommand(*bindings, context, "copy",
                  "A copy of the template LinkSets for each object another Bridge binds", arguments,
                  CopyBindings);
  copy->add_option("--from", arguments->from, "The other Bridge's OID")
      ->required()
      ->transform(OidOption());
  AddNumberingOptions(copy, arguments->numbering);
  copy->footer(
      "Examples:\n  ovcbridge bindings copy 2 --from 1\n"
      "  ovcbridge bindings copy 2 --from 1 --yes --delimiter _ --digits 2 --start 1");
  CLI::App* automatic = EditCommand(*bindings, context, "auto",
                                    "A copy of the template LinkSets for each object of their "
                                    "class views",
                                    arguments, AutoBindings);
  AddNumberingOptions(automatic, arguments->numbering);
  automatic->footer("Examples:\n  ovcbridge bindings auto 2\n  ovcbridge bindings auto 2 --yes");
}

}  // namespace ovc::cli
