#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace ovc::cli {

// The global options every command takes.
struct Options {
  std::string db;
  std::string user;
  bool json = false;
  bool quiet = false;
  bool yes = false;
};

// Where the program writes: results on standard output (one JSON document
// with --json), messages on standard error; colours only on a terminal and
// never with NO_COLOR.
class Console {
 public:
  explicit Console(const Options& options);

  bool json() const { return options_.json; }
  bool quiet() const { return options_.quiet; }
  bool error_is_terminal() const { return error_terminal_; }

  // A note on standard error, left out with --quiet.
  void Note(std::string_view text) const;
  // A warning or error on standard error, always shown.
  void Warn(std::string_view text) const;
  void Error(std::string_view text) const;
  // The result: `document` with --json, else `text` (when not empty).
  void Result(const nlohmann::json& document, std::string_view text) const;
  // A table with a header row, columns as wide as their widest cell.
  std::string Table(const std::vector<std::string>& header,
                    const std::vector<std::vector<std::string>>& rows) const;
  // `text` in bold on a terminal (standard output).
  std::string Bold(std::string_view text) const;

 private:
  std::string Coloured(std::string_view text, const char* code, bool terminal) const;

  const Options& options_;
  bool output_terminal_;
  bool error_terminal_;
};

// An automation date serial as the host writes it ("46000.25"), in the local
// zone: "2025-12-08 06:00" for people, ISO 8601 with offset for JSON; "" when
// the text is no date.
std::string LocalTime(std::string_view serial);
std::string IsoTime(std::string_view serial);

}  // namespace ovc::cli
