#pragma once

#include <CLI/CLI.hpp>

#include <functional>

#include "cli/console.h"

namespace ovc::cli {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFinishedWithErrors = 1;  // link or validation errors
inline constexpr int kUsageError = 2;
inline constexpr int kOperationFailed = 3;
inline constexpr int kInterrupted = 130;

// What the parsed command line asks for, run after parsing.
using Action = std::function<int()>;

struct Context {
  Options options;
  Console console{options};
  Action action;
};

void AddDbCommands(CLI::App& app, Context& context);
void AddBridgeCommands(CLI::App& app, Context& context);
void AddRunCommand(CLI::App& app, Context& context);
void AddDemoCommand(CLI::App& app, Context& context);
void AddEditCommands(CLI::App& app, Context& context);
// bridge export and import, added to the bridge command.
void AddBridgeTransferCommands(CLI::App& bridge, Context& context);

// What `run` is asked to do.
struct RunArguments {
  int32_t oid = 0;
  std::string operation = "autorun";
  bool save = true;
  bool pause = false;
  std::string change_report;
  bool changes = false;
  std::string report;
};

// Runs the Bridge of the options' database as `run` does; the exit status.
int RunBridge(const Context& context, const RunArguments& arguments);

// The names of the transfer operations as the command line spells them and
// the library's OVCBRIDGETRANSFEROP values.
const std::map<std::string, int>& OperationNames();

}  // namespace ovc::cli
