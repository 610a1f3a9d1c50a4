#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvan/status.h"
#include "orvan/storage/records.h"

namespace ovc::orvan {

// A number text taken apart: the number and the descriptive texts around it,
// or a substitution standing instead of it. Texts are the valid texts as the
// workspace spells them.
struct FieldValue {
  std::optional<double> number;  // absent for a substitution or an empty text
  std::wstring prefix;
  std::wstring postfix;
  std::wstring substitution;
};

// The workspace's valid prefixes, postfixes and substitutions, and the parse
// of texts that use them.
class FieldFormatter {
 public:
  explicit FieldFormatter(const DescriptiveTexts& texts);

  const std::vector<std::wstring>& prefixes() const { return prefixes_; }
  const std::vector<std::wstring>& postfixes() const { return postfixes_; }
  const std::vector<std::wstring>& substitutions() const { return substitutions_; }

  // A whole text equal to a valid substitution, ignoring case, is that
  // substitution; otherwise the text is an optional valid prefix, a number
  // ("." as decimal point) and an optional valid postfix, with optional
  // blanks between, prefixes and postfixes matched ignoring case. A blank
  // text gives no number. Text it cannot read is an error quoting it.
  Status ParseReal(std::wstring_view text, FieldValue* value) const;
  // As ParseReal, for a whole number within 32 bits.
  Status ParseInteger(std::wstring_view text, FieldValue* value) const;

 private:
  Status Parse(std::wstring_view text, bool integer, FieldValue* value) const;
  bool ParseNumber(std::wstring_view text, bool integer, double* number) const;

  std::vector<std::wstring> prefixes_;
  std::vector<std::wstring> postfixes_;
  std::vector<std::wstring> substitutions_;
};

}  // namespace ovc::orvan
