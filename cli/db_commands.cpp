// ovcbridge db create | import | export: the host database as a whole.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"

namespace ovc::cli {
namespace {

struct DbArguments {
  std::string path;
  std::string json;
};

Object OpenWorkspace(const std::string& path) {
  if (!std::filesystem::exists(path)) throw Failure{E_FAIL, FromUtf8("no database at " + path)};
  Object workspace = Object::Create(L"Orvan.Workspace");
  workspace.Call(L"Open", {Variant(FromUtf8(path))});
  return workspace;
}

int Create(const Context& context, const DbArguments& arguments) {
  if (std::filesystem::exists(arguments.path)) {
    throw Failure{E_FAIL, FromUtf8(arguments.path + " exists already; it is left as it is")};
  }
  Object workspace = Object::Create(L"Orvan.Workspace");
  workspace.Call(L"Create", {Variant(FromUtf8(arguments.path))});
  if (!arguments.json.empty()) workspace.Call(L"Import", {Variant(FromUtf8(arguments.json))});
  workspace.Call(L"Close");
  context.console.Note("created " + arguments.path +
                       (arguments.json.empty() ? "" : " from " + arguments.json));
  context.console.Result({{"database", arguments.path}, {"from", arguments.json}}, "");
  return kSuccess;
}

int Import(const Context& context, const DbArguments& arguments) {
  Object workspace = OpenWorkspace(arguments.path);
  workspace.Call(L"Import", {Variant(FromUtf8(arguments.json))});
  workspace.Call(L"Close");
  context.console.Note("imported " + arguments.json + " into " + arguments.path);
  context.console.Result({{"database", arguments.path}, {"imported", arguments.json}}, "");
  return kSuccess;
}

// Without a file the workspace's JSON goes to standard output, through a
// temporary file the host writes.
int Export(const Context& context, const DbArguments& arguments) {
  Object workspace = OpenWorkspace(arguments.path);
  if (!arguments.json.empty()) {
    workspace.Call(L"Export", {Variant(FromUtf8(arguments.json))});
    workspace.Call(L"Close");
    context.console.Note("exported " + arguments.path + " to " + arguments.json);
    context.console.Result({{"database", arguments.path}, {"exported", arguments.json}}, "");
    return kSuccess;
  }
  const auto temporary = std::filesystem::temp_directory_path() /
                         ("ovcbridge-export-" + std::to_string(getpid()) + ".json");
  try {
    workspace.Call(L"Export", {Variant(FromUtf8(temporary.string()))});
  } catch (const Failure&) {
    std::filesystem::remove(temporary);
    throw;
  }
  workspace.Call(L"Close");
  std::cout << std::ifstream(temporary, std::ios::binary).rdbuf();
  std::filesystem::remove(temporary);
  return kSuccess;
}

}  // namespace

void AddDbCommands(CLI::App& app, Context& context) {
  CLI::App* db = app.add_subcommand("db", "Create, import and export the host database");
  db->require_subcommand(1);
  auto arguments = std::make_shared<DbArguments>();

  CLI::App* create = db->add_subcommand("create", "Make a new host database");
  create->add_option("PATH", arguments->path, "Database file to make")->required();
  create->add_option("--from", arguments->json, "Workspace JSON to fill it with")
      ->check(CLI::ExistingFile);
  create->footer(
      "Examples:\n  ovcbridge db create plant.orvan --from samples/plant.json\n"
      "  ovcbridge db create empty.orvan");
  create->callback([&context, arguments] {
    context.action = [&context, arguments] { return Create(context, *arguments); };
  });

  CLI::App* import = db->add_subcommand("import", "Replace a database's content with JSON");
  import->add_option("PATH", arguments->path, "Database file")->required();
  import->add_option("JSON", arguments->json, "Workspace JSON")
      ->required()
      ->check(CLI::ExistingFile);
  import->footer("Example:\n  ovcbridge db import plant.orvan samples/plant.json");
  import->callback([&context, arguments] {
    context.action = [&context, arguments] { return Import(context, *arguments);
};
}  // namespace ovc::cli
);

CLI::App* export_command = db->add_subcommand("export", "Write a database as JSON");
export_command->add_option("PATH", arguments->path, "Database file")->required();
export_command->add_option("JSON", arguments->json, "File to write (default: standard output)");
export_command->footer(
    "Examples:\n  ovcbridge db export plant.orvan plant.json\n"
    "  ovcbridge db export plant.orvan | less");
export_command->callback([&context, arguments] {
  context.action = [&context, arguments] { return Export(context, *arguments); };
});
}

}  // namespace ovc::cli
