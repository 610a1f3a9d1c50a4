// ovcbridge run: one of the library's transfer sequences over a stored Bridge,
// with its progress, a summary and the reports.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "automation/text.h"
#include "cli/automation_client.h"
#include "cli/commands.h"
#include "cli/host_session.h"
#include "cli/progress_display.h"

namespace ovc::cli {
namespace {

// The library's members each operation calls, in order; the first argument of
// ReadFromOrvan says that a transfer follows, the last of each member asks
// for a change report.
void RunSequence(const Object& bridge, const std::string& operation, bool change_report) {
  const Variant report = Variant::Bool(change_report);
  const auto read_host = [&] { bridge.Call(L"ReadFromOrvan", {Variant::Bool(true), report}); };
  const auto call = [&](const wchar_t* member) { bridge.Call(member, {report}); };
  if (operation == "autorun") return call(L"AutoRun");
  if (operation == "read-db") return read_host();
  if (operation == "read-from-apps") return call(L"ReadFromApps");
  if (operation == "write-to-apps") return read_host(), call(L"WriteToApps");
  if (operation == "export") return read_host(), call(L"ExportOrvanToApp");
  if (operation == "import") return call(L"ReadFromAppsIterative"), call(L"ImportOrvanFromApp");
  call(L"ReadFromApps");
  call(L"WriteToOrvan");
}

// AutoRun with pause: the prompt of each stop on standard error, Enter goes
// on, "c" (or Ctrl-C, or the end of the input) cancels. False when cancelled.
bool RunWithPauses(const Object& bridge, bool change_report, ProgressDisplay* progress) {
  const Variant report = Variant::Bool(change_report);
  bridge.Call(L"StartAutoRunWithPause", {report});
  for (;;) {
    progress->Erase();
    std::cerr << ToUtf8(bridge.Text(L"AutorunStatus")) << "\n[Enter: go on, c: cancel] "
              << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer) || answer == "c" || Interrupted()) {
      bridge.Call(L"CancelAutoRunWithPause");
      return false;
    }
    Variant finished = bridge.Call(L"ResumeAutoRunWithPause", {report});
    if (finished.vt() == VT_BOOL && finished.boolVal() != VARIANT_FALSE) return true;
  }
}

// How a run ended, as the library reports it: finished, or stopped at a
// Ctrl-C or cancelled at a pause, with nothing written to the host.
enum class Outcome { kFinished, kStopped };

Outcome RunOperation(const Object& bridge, const RunArguments& arguments, bool change_report,
                     ProgressDisplay* progress) {
  try {
    if (arguments.pause) {
      return RunWithPauses(bridge, change_report, progress) ? Outcome::kFinished
                                                            : Outcome::kStopped;
    }
    RunSequence(bridge, arguments.operation, change_report);
    return Outcome::kFinished;
  } catch (const Failure& failure) {
    // The library stops with E_ABORT when the progress display asks it to.
    if (failure.code != E_ABORT || !Interrupted()) throw;
    return Outcome::kStopped;
  }
}

// Once the host write has begun, the library no longer takes a stop.
std::string LateInterrupt(const std::string& operation) {
  const bool writes_host =
      operation == "autorun" || operation == "import" || operation == "write-db";
  return std::string("Ctrl-C came too late to stop the run: ") +
         (writes_host ? "the host was already written" : "it had already finished");
}

struct LinkCounts {
  int written = 0;
  int read = 0;
};

LinkCounts CountLinks(const Object& bridge) {
  LinkCounts counts;
  const int32_t linksets = bridge.Number(L"Count");
  for (int32_t set = 0; set < linksets; ++set) {
    const Object linkset = bridge.GetObject(L"Item", {Variant(set)});
    const int32_t links = linkset.Number(L"Count");
    for (int32_t index = 0; index < links; ++index) {
      const Object link = linkset.GetObject(L"Item", {Variant(index)});
      counts.written += link.Flag(L"WrittenToApp") || link.Flag(L"WrittenToOrvan");
      counts.read += link.Flag(L"ReadValueFromApp") || link.Flag(L"ReadFromOrvan");
    }
  }
  return counts;
}

// The change report: five texts a change (source, object, where, old, new).
std::vector<std::vector<std::string>> Changes(const Object& bridge) {
  const std::vector<std::wstring> texts = AsTexts(bridge.Call(L"GetChangeReport"));
  std::vector<std::vector<std::string>> rows;
  for (size_t at = 0; at + 5 <= texts.size(); at += 5) {
    rows.push_back({ToUtf8(texts[at]), ToUtf8(texts[at + 1]), ToUtf8(texts[at + 2]),
                    ToUtf8(texts[at + 3]), ToUtf8(texts[at + 4])});
  }
  return rows;
}

constexpr const char* kChangeColumns[] = {"source", "object", "where", "old", "new"};

nlohmann::json ChangesDocument(const std::vector<std::vector<std::string>>& rows) {
  nlohmann::json changes = nlohmann::json::array();
  for (const auto& row : rows) {
    nlohmann::json change;
    for (size_t column = 0; column < 5; ++column) change[kChangeColumns[column]] = row[column];
    changes.push_back(change);
  }
  return changes;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

void WriteChangeReport(const std::string& path, const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  if (std::filesystem::path(path).extension() == ".json") {
    text = ChangesDocument(rows).dump(2) + "\n";
  } else {
    text = "source,object,where,old,new\r\n";
    for (const auto& row : rows) {
      for (size_t column = 0; column < 5; ++column) {
        text += CsvField(row[column]) + (column < 4 ? "," : "\r\n");
      }
    }
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file.flush()) throw Failure{E_FAIL, FromUtf8("cannot write the change report to " + path)};
}

std::string Summary(const nlohmann::json& result) {
  return "Links: " + std::to_string(result["written"].get<int>()) + " written, " +
         std::to_string(result["read"].get<int>()) + " read, " +
         std::to_string(result["failed"].get<int>()) + " failed; " +
         std::to_string(result["files"].size()) + " files; " +
         std::to_string(result["milliseconds"].get<int64_t>()) + " ms" +
         (result["saved"].get<bool>() ? "; saved" : "; not saved");
}

}  // namespace

int RunBridge(const Context& context, const RunArguments& arguments) {
  HostSession session(context.options);
  OpenedBridge opened(arguments.oid);
  const Object& bridge = opened.bridge();
  if (opened.locked_by_other()) {
    throw Failure{E_FAIL, FromUtf8("Bridge " + std::to_string(arguments.oid) +
                                   " is locked by another user; nothing was run")};
  }
  const bool change_report = arguments.changes || !arguments.change_report.empty();
  nlohmann::json result = {{"oid", arguments.oid}, {"operation", arguments.operation}};
  Outcome outcome = Outcome::kFinished;
  {
    ProgressDisplay progress(context.console);
    outcome = RunOperation(bridge, arguments, change_report, &progress);
    result["files"] = progress.files();
    result["milliseconds"] = static_cast<int64_t>(progress.seconds() * 1000);
  }
  if (outcome == Outcome::kStopped) {
    context.console.Error("stopped: nothing was written to the host and nothing saved");
    return kInterrupted;
  }
  const LinkCounts counts = CountLinks(bridge);
  result["written"] = counts.written;
  result["read"] = counts.read;
  result["failed"] = bridge.Number(L"LinkErrorCount");
  if (arguments.save) bridge.Call(L"Save", {Variant::Bool(false)});
  result["saved"] = arguments.save;
  std::string text = Summary(result) + "\n";
  if (change_report) {
    const auto rows = Changes(bridge);
    result["changes"] = ChangesDocument(rows);
    if (!arguments.change_report.empty()) WriteChangeReport(arguments.change_report, rows);
    if (arguments.changes) {
      text += "\n" + context.console.Table({"SOURCE", "OBJECT", "WHERE", "OLD", "NEW"}, rows);
    }
  }
  if (!arguments.report.empty()) {
    const std::wstring report =
        bridge.Text(arguments.report == "errors" ? L"ErrorReport" : L"StatusReport");
    result["report"] = ToUtf8(report);
    text += "\n" + ToUtf8(report);
  }
  context.console.Result(result, text);
  if (TakeInterrupt()) context.console.Warn(LateInterrupt(arguments.operation));
  return result["failed"].get<int>() > 0 ? kFinishedWithErrors : kSuccess;
}

void AddRunCommand(CLI::App& app, Context& context) {
  auto arguments = std::make_shared<RunArguments>();
  CLI::App* run =
      app.add_subcommand("run", "Run a Bridge: move values between the host and its files");
  run->add_option("ID", arguments->oid, "The Bridge's OID (see `bridge list`)")
      ->required()
      ->transform(OidOption());
  std::map<std::string, int> operations = OperationNames();
  operations.erase("autorun-pause");
  run->add_option("--op", arguments->operation,
                  "autorun: host to files and back; write-to-apps, export: host to files; "
                  "read-from-apps: files read; import, write-db: files to host; read-db: host read")
      ->check(CLI::IsMember(operations))
      ->capture_default_str();
  run->add_flag("--save,!--no-save", arguments->save,
                "Save the Bridge and its files afterwards (default) or not");
  run->add_option("--change-report", arguments->change_report,
                  "Write the change report to FILE.csv or FILE.json")
      ->check([](const std::string& path) {
        const auto extension = std::filesystem::path(path).extension();
        return extension == ".csv" || extension == ".json" ? std::string()
                                                           : std::string("FILE.csv or FILE.json");
      });
  run->add_flag("--pause", arguments->pause,
                "AutoRun with a stop after the files are written (with an iterative LinkSet: "
                "after each object's): Enter goes on, c cancels; needs a terminal");
  run->add_flag("--changes", arguments->changes, "Print the change report as a table");
  run->add_option("--report", arguments->report, "Print the status or the error report")
      ->check(CLI::IsMember({"status", "errors"}));
  run->footer(
      "Examples:\n  ovcbridge run 1\n  ovcbridge run 1 --op write-to-apps --no-save\n"
      "  ovcbridge run 1 --changes --change-report changes.csv --report status\n"
      "  ovcbridge run 1 --pause\n"
      "Ctrl-C stops at the next object: nothing is written to the host, nothing saved (exit\n"
      "status 130). Once the host write has begun it no longer stops the run: the run ends\n"
      "as asked and says so.");
  run->callback([&context, arguments] {
    if (arguments->pause && arguments->operation != "autorun") {
      throw CLI::ValidationError("--pause", "goes with --op autorun only");
    }
    if (arguments->pause && isatty(STDIN_FILENO) == 0) {
      throw CLI::ValidationError("--pause", "needs standard input to be a terminal");
    }
    context.action = [&context, arguments] { return RunBridge(context, *arguments); };
  });
}

}  // namespace ovc::cli
