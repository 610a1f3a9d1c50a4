#include "orvan/format/number_text.h"

#include "automation/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace ovc::orvan {

namespace {

// Drops a leading "+", which from_chars does not accept; "+-1" stays invalid.
std::string_view DropPlus(std::string_view text) {
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

}  // namespace

std::string FormatReal(double value) {
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string FormatInteger(int64_t value) {
  char buffer[24];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool ParseReal(std::string_view text, double* value) {
  text = DropPlus(TrimBlanks(text));
  if (text.empty()) return false;
  double parsed = 0;
  auto result =
      std::from_chars(text.data(), text.data() + text.size(), parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  if (!std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

bool ParseInteger(std::string_view text, int64_t min, int64_t max, int64_t* value) {
  text = DropPlus(TrimBlanks(text));
  if (text.empty()) return false;
  int64_t parsed = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return false;
  if (parsed < min || parsed > max) return false;
  *value = parsed;
  return true;
}

}  // namespace ovc::orvan
