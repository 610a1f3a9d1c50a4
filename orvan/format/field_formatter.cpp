#include "orvan/format/field_formatter.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "automation/text.h"
#include "orvan/format/number_text.h"

namespace ovc::orvan {

namespace {

std::vector<std::wstring> Wide(const std::vector<std::string>& texts) {
  std::vector<std::wstring> wide;
  for (const std::string& text : texts) wide.push_back(FromUtf8(text));
  return wide;
}

// The texts that `text` starts with (or ends with), ignoring case, longest
// first, then the empty text: the candidates to try in order.
std::vector<std::wstring_view> Candidates(const std::vector<std::wstring>& valid,
                                          std::wstring_view text, bool at_start) {
  std::vector<std::wstring_view> found;
  for (const std::wstring& candidate : valid) {
    if (candidate.empty() || candidate.size() > text.size()) continue;
    std::wstring_view part =
        at_start ? text.substr(0, candidate.size()) : text.substr(text.size() - candidate.size());
    if (EqualsNoCase(part, candidate)) found.push_back(candidate);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](std::wstring_view a, std::wstring_view b) { return a.size() > b.size(); });
  found.push_back(std::wstring_view());
  return found;
}

}  // namespace

FieldFormatter::FieldFormatter(const DescriptiveTexts& texts)
    : prefixes_(Wide(texts.prefixes)),
      postfixes_(Wide(texts.postfixes)),
      substitutions_(Wide(texts.substitutions)) {}

Status FieldFormatter::ParseReal(std::wstring_view text, FieldValue* value) const {
  return Parse(text, false, value);
}

Status FieldFormatter::ParseInteger(std::wstring_view text, FieldValue* value) const {
  return Parse(text, true, value);
}

bool FieldFormatter::ParseNumber(std::wstring_view text, bool integer, double* number) const {
  std::string utf8 = ToUtf8(text);
  if (!integer) return orvan::ParseReal(utf8, number);
  int64_t whole = 0;
  if (!orvan::ParseInteger(utf8, std::numeric_limits<int32_t>::min(),
                           std::numeric_limits<int32_t>::max(), &whole)) {
    return false;
  }
  *number = static_cast<double>(whole);
  return true;
}

Status FieldFormatter::Parse(std::wstring_view text, bool integer, FieldValue* value) const {
  std::wstring_view body = TrimBlanks(text);
  *value = FieldValue();
  if (body.empty()) return Status::Ok();
  for (const std::wstring& substitution : substitutions_) {
    if (EqualsNoCase(body, substitution)) {
      value->substitution = substitution;
      return Status::Ok();
    }
  }
  for (std::wstring_view prefix : Candidates(prefixes_, body, true)) {
    std::wstring_view rest = body.substr(prefix.size());
    for (std::wstring_view postfix : Candidates(postfixes_, rest, false)) {
      double number = 0;
      if (!ParseNumber(TrimBlanks(rest.substr(0, rest.size() - postfix.size())), integer,
                       &number)) {
        continue;
      }
      value->number = number;
      value->prefix = prefix;
      value->postfix = postfix;
      return Status::Ok();
    }
  }
  return Status::Invalid("The text '" + ToUtf8(text) + "' is not " +
                         (integer ? "an integer" : "a real number") +
                         " with an optional valid prefix and postfix, nor a valid substitution.");
}

}  // namespace ovc::orvan
