// ovcbridge: the command line for the people who run Bridges.
#include <dlfcn.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <pugixml.hpp>
#include <sstream>

#include "automation/library_search.h"
#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "cli/progress_display.h"

namespace ovc::cli {
namespace {

// The library's full path along the program's own search path, which the
// build and the installation set relative to the program.
std::string LibraryPath() {
  return FindAlongSearchPath(dlopen(nullptr, RTLD_LAZY), OVC_LIBRARY_NAME);
}

void AddGlobalOptions(CLI::App& app, Options& options) {
  app.add_option("--db", options.db,
                 "Host database (default: $OVCBRIDGE_DB, else ovcbridge.orvan here)");
  app.add_option("--user", options.user, "User name in the host (default: the login name)");
  app.add_flag("--json", options.json, "Results as one JSON document on standard output");
  app.add_flag("-q,--quiet", options.quiet, "No progress and no notes");
  app.add_flag("-y,--yes", options.yes, "Answer Yes (to all) to every question");
}

constexpr const char* kDescription =
    "Runs the Bridges that keep workbooks and documents in step with the plant database.\n"
    "Global options may stand before or after the command. Exit status: 0 success, 1\n"
    "finished with link or validation errors, 2 usage error, 3 the operation failed,\n"
    "130 stopped by Ctrl-C or cancelled at a pause.";

constexpr const char* kExamples =
    "Examples:\n"
    "  ovcbridge db create plant.orvan --from samples/plant.json\n"
    "  ovcbridge --db plant.orvan bridge list\n"
    "  ovcbridge bridge show 1 --db plant.orvan --json\n"
    "  ovcbridge run 1 --changes\n"
    "  ovcbridge demo                # the sample plant, run once\n"
    "Each command explains itself: ovcbridge COMMAND --help";

// One record of an error chain as a person reads it: the library writes
// <OVError Desc=".." Src=".." HR=".."/>, other components plain text.
std::string Readable(const std::string& record) {
  pugi::xml_document document;
  if (!document.load_string(record.c_str())) return record;
  const pugi::xml_node error = document.document_element();
  if (!error.attribute("Desc")) return record;
  std::string where = error.attribute("Src").value();
  const std::string code = error.attribute("HR").value();
  if (!code.empty()) where += (where.empty() ? "" : ", ") + code;
  return error.attribute("Desc").value() + (where.empty() ? "" : " (" + where + ")");
}

// Prints the error chain, one record a line.
int Failed(const Console& console, const Failure& failure) {
  std::istringstream records(ToUtf8(failure.description));
  nlohmann::json lines = nlohmann::json::array();
  for (std::string record; std::getline(records, record);) {
    if (record.empty()) continue;
    lines.push_back(Readable(record));
    console.Error(lines.back().get<std::string>());
  }
  if (console.json()) console.Result({{"error", lines}, {"status", kOperationFailed}}, "");
  return kOperationFailed;
}

int Run(int argc, char** argv) {
  Context context;
  CLI::App app(kDescription, "ovcbridge");
  app.fallthrough();
  app.require_subcommand(1);
  app.footer(kExamples);
  AddGlobalOptions(app, context.options);
  AddDbCommands(app, context);
  AddBridgeCommands(app, context);
  AddRunCommand(app, context);
  AddEditCommands(app, context);
  AddDemoCommand(app, context);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? kSuccess : kUsageError;
  }
  try {
    RegisterClasses(LibraryPath());
    CatchInterrupt();
    const int status = context.action();
    if (status != kInterrupted && TakeInterrupt()) {
      context.console.Warn("Ctrl-C did not stop the command: it ran to its end");
    }
    return status;
  } catch (const Failure& failure) {
    return Failed(context.console, failure);
  }
}

}  // namespace
}  // namespace ovc::cli

int main(int argc, char** argv) {
  try {
    return ovc::cli::Run(argc, argv);
  } catch (const std::exception& unexpected) {
    std::cerr << "ovcbridge: error: " << unexpected.what() << '\n';
    return ovc::cli::kOperationFailed;
  }
}
