// ovcbridge db create | import | export | copy: the host database as a whole.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "orvan/storage/open_store.h"

namespace ovc::cli {
namespace {

using orvan::DisplayLocation;
using orvan::IsDatabaseUri;

struct DbArguments {
  std::string path;  // a database file or URI
  std::string json;
  std::string target;  // of a copy
};

Object OpenWorkspace(const std::string& path) {
  if (!IsDatabaseUri(path) && !std::filesystem::exists(path)) {
    throw Failure{E_FAIL, FromUtf8("no database at " + path)};
  }
  Object workspace = Object::Create(L"Orvan.Workspace");
  workspace.Call(L"Open", {Variant(FromUtf8(path))});
  return workspace;
}

// A file is never overwritten; a server refuses a database holding tables.
void RefuseExistingFile(const std::string& path) {
  if (!IsDatabaseUri(path) && std::filesystem::exists(path)) {
    throw Failure{E_FAIL, FromUtf8(path + " exists already; it is left as it is")};
  }
}

int Create(const Context& context, const DbArguments& arguments) {
  RefuseExistingFile(arguments.path);
  Object workspace = Object::Create(L"Orvan.Workspace");
  workspace.Call(L"Create", {Variant(FromUtf8(arguments.path))});
  if (!arguments.json.empty()) workspace.Call(L"Import", {Variant(FromUtf8(arguments.json))});
  workspace.Call(L"Close");
  context.console.Note("created " + DisplayLocation(arguments.path) +
                       (arguments.json.empty() ? "" : " from " + arguments.json));
  context.console.Result({{"database", DisplayLocation(arguments.path)}, {"from", arguments.json}},
                         "");
  return kSuccess;
}

int Import(const Context& context, const DbArguments& arguments) {
  Object workspace = OpenWorkspace(arguments.path);
  workspace.Call(L"Import", {Variant(FromUtf8(arguments.json))});
  workspace.Call(L"Close");
  context.console.Note("imported " + arguments.json + " into " + DisplayLocation(arguments.path));
  context.console.Result(
      {{"database", DisplayLocation(arguments.path)}, {"imported", arguments.json}}, "");
  return kSuccess;
}

int Copy(const Context& context, const DbArguments& arguments) {
  RefuseExistingFile(arguments.target);
  Object workspace = OpenWorkspace(arguments.path);
  workspace.Call(L"CopyTo", {Variant(FromUtf8(arguments.target))});
  workspace.Call(L"Close");
  const std::string source = DisplayLocation(arguments.path);
  const std::string target = DisplayLocation(arguments.target);
  context.console.Note("copied " + source + " to " + target);
  context.console.Result({{"database", source}, {"copied_to", target}}, "");
  return kSuccess;
}

// Without a file the workspace's JSON goes to standard output, through a
// temporary file the host writes.
int Export(const Context& context, const DbArguments& arguments) {
  Object workspace = OpenWorkspace(arguments.path);
  if (!arguments.json.empty()) {
    workspace.Call(L"Export", {Variant(FromUtf8(arguments.json))});
    workspace.Call(L"Close");
    context.console.Note("exported " + DisplayLocation(arguments.path) + " to " + arguments.json);
    context.console.Result(
        {{"database", DisplayLocation(arguments.path)}, {"exported", arguments.json}}, "");
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

// Runs `run` with the parsed arguments when `command` is the one given.
void RunWith(CLI::App* command, Context& context, int (*run)(const Context&, const DbArguments&),
             const std::shared_ptr<DbArguments>& arguments) {
  command->callback([&context, run, arguments] {
    context.action = [&context, run, arguments] { return run(context, *arguments); };
  });
}

}  // namespace

void AddDbCommands(CLI::App& app, Context& context) {
  CLI::App* db = app.add_subcommand("db", "Create, import, export and copy the host database");
  db->require_subcommand(1);
  auto arguments = std::make_shared<DbArguments>();

  CLI::App* create = db->add_subcommand("create", "Make a new host database");
  create->add_option("PATH", arguments->path, "Database file or URI to make")->required();
  create->add_option("--from", arguments->json, "Workspace JSON to fill it with")
      ->check(CLI::ExistingFile);
  create->footer(
      "Examples:\n  ovcbridge db create plant.orvan --from samples/plant.json\n"
      "  ovcbridge db create empty.orvan");
  RunWith(create, context, Create, arguments);

  CLI::App* import = db->add_subcommand("import", "Replace a database's content with JSON");
  import->add_option("PATH", arguments->path, "Database file or URI")->required();
  import->add_option("JSON", arguments->json, "Workspace JSON")
      ->required()
      ->check(CLI::ExistingFile);
  import->footer("Example:\n  ovcbridge db import plant.orvan samples/plant.json");
  RunWith(import, context, Import, arguments);

  CLI::App* export_command = db->add_subcommand("export", "Write a database as JSON");
  export_command->add_option("PATH", arguments->path, "Database file or URI")->required();
  export_command->add_option("JSON", arguments->json, "File to write (default: standard output)");
  export_command->footer(
      "Examples:\n  ovcbridge db export plant.orvan plant.json\n"
      "  ovcbridge db export plant.orvan | less");
  RunWith(export_command, context, Export, arguments);

  CLI::App* copy = db->add_subcommand("copy", "Copy a database, every record, into a new one");
  copy->add_option("SOURCE", arguments->path, "Database file or URI to copy")->required();
  copy->add_option("TARGET", arguments->target, "New database file or URI (must not exist)")
      ->required();
  copy->footer(
      "Examples:\n  ovcbridge db copy plant.orvan backup.orvan\n"
      "  ovcbridge db copy plant.orvan postgresql://ann@dbhost/plant\n"
      "  ovcbridge db copy postgresql://ann@dbhost/plant plant.orvan --json");
  RunWith(copy, context, Copy, arguments);
}

}  // namespace ovc::cli
