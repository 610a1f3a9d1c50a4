#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "cli/console.h"

namespace ovc::cli {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kFinishedWithErrors = 1;  // link or validation errors
inline constexpr int kUsageError = 2;
inline constexpr int kOperationFailed = 3;
inline constexpr int kInterrupted = 130;

// `text` as a whole number of plain decimal digits (no sign, no blanks, no
// other base) from `low` to `high`; nothing otherwise.
std::optional<int32_t> DecimalIn(std::string_view text, int32_t low, int32_t high);
// The check of a numeric option or argument: DecimalIn, or a usage error
// naming the range. It leaves the number in the form the option then reads.
CLI::Validator DecimalOption(int32_t low, int32_t high);
// A Bridge's OID as the commands take it.
CLI::Validator OidOption();

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
