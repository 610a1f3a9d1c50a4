#include "cli/console.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <iostream>

namespace ovc::cli {
namespace {

bool ColoursWanted(int descriptor) {
  const char* no_color = std::getenv("NO_COLOR");
  return isatty(descriptor) != 0 && (no_color == nullptr || *no_color == '\0');
}

// Characters as a terminal counts them: UTF-8 continuation bytes take no room.
size_t DisplayWidth(std::string_view text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

bool LocalFields(std::string_view serial, std::tm* fields) {
  double days = 0;
  const auto [end, error] = std::from_chars(serial.data(), serial.data() + serial.size(), days);
  // Automation dates cover the years 100 to 9999.
  if (error != std::errc() || end != serial.data() + serial.size() || !(days > -657435.0) ||
      !(days < 2958466.0)) {
    return false;
  }
  const std::time_t seconds = static_cast<std::time_t>(std::llround((days - 25569.0) * 86400.0));
  return localtime_r(&seconds, fields) != nullptr;
}

std::string Formatted(const std::tm& fields, const char* format) {
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &fields));
}

}  // namespace

Console::Console(const Options& options)
    : options_(options),
      output_terminal_(ColoursWanted(STDOUT_FILENO)),
      error_terminal_(isatty(STDERR_FILENO) != 0) {}

std::string Console::Coloured(std::string_view text, const char* code, bool terminal) const {
  if (!terminal) return std::string(text);
  return std::string("\033[") + code + "m" + std::string(text) + "\033[0m";
}

void Console::Note(std::string_view text) const {
  if (!options_.quiet) std::cerr << "ovcbridge: " << text << '\n';
}

void Console::Warn(std::string_view text) const {
  std::cerr << Coloured("ovcbridge: warning: ", "33", ColoursWanted(STDERR_FILENO)) << text << '\n';
}

void Console::Error(std::string_view text) const {
  std::cerr << Coloured("ovcbridge: error: ", "31", ColoursWanted(STDERR_FILENO)) << text << '\n';
}

void Console::Result(const nlohmann::json& document, std::string_view text) const {
  if (options_.json) {
    std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
  } else if (!text.empty()) {
    std::cout << text << (text.back() == '\n' ? "" : "\n");
  }
  std::cout.flush();
}

std::string Console::Bold(std::string_view text) const {
  return Coloured(text, "1", output_terminal_);
}

std::string Console::Table(const std::vector<std::string>& header,
                           const std::vector<std::vector<std::string>>& rows) const {
  std::vector<size_t> widths(header.size());
  for (size_t column = 0; column < header.size(); ++column) {
    widths[column] = DisplayWidth(header[column]);
    for (const auto& row : rows)
      widths[column] = std::max(widths[column], DisplayWidth(row[column]));
  }
  const auto line = [&widths](const std::vector<std::string>& cells) {
    std::string text;
    for (size_t column = 0; column < cells.size(); ++column) {
      text += cells[column];
      if (column + 1 < cells.size())
        text.append(widths[column] - DisplayWidth(cells[column]) + 2, ' ');
    }
    return text.erase(text.find_last_not_of(' ') + 1);
  };
  std::string table = Bold(line(header)) + '\n';
  for (const auto& row : rows) table += line(row) + '\n';
  return table;
}

std::string LocalTime(std::string_view serial) {
  std::tm fields{};
  return LocalFields(serial, &fields) ? Formatted(fields, "%Y-%m-%d %H:%M") : std::string();
}

std::string IsoTime(std::string_view serial) {
  std::tm fields{};
  if (!LocalFields(serial, &fields)) return {};
  std::string offset = Formatted(fields, "%z");  // +hhmm
  return Formatted(fields, "%Y-%m-%dT%H:%M:%S") + offset.insert(3, ":");
}

}  // namespace ovc::cli
