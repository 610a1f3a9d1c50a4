#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/date.h"
#include "automation/safe_array.h"
#include "automation/variant.h"
#include "ovcbridgesvcs/links/value_format.h"

namespace ovc::links::testing {

// A Link whose facts are whatever the test sets.
class FakeLinkFacts final : public LinkFacts {
 public:
  std::map<std::wstring, std::wstring, std::less<>> facts = {{L"AttName", L"Flow"},
                                                             {L"Unit", L"kPa"}};
  std::optional<std::wstring> unit_default_format;
  bool has_quantity_type = true;
  std::wstring unit = L"kPa";

  std::optional<std::wstring> Fact(std::wstring_view name) override {
    const auto found = facts.find(name);
    if (found == facts.end()) return std::nullopt;
    return found->second;
  }
  std::optional<std::wstring> UnitDefaultFormat() override { return unit_default_format; }
  bool HasQuantityType() override { return has_quantity_type; }
  std::wstring UnitString() override { return unit; }
  Variant ValidTexts(DescriptiveKind kind) override {
    return Variant(kind == DescriptiveKind::kPrefix ? L"prefixes" : L"others");
  }
};

inline Variant Vector(std::vector<Variant> values) {
  return Variant(SafeArray::FromValues(std::move(values)));
}

// The automation date of a day and hour; fails the test for a day that does
// not exist.
inline Variant DateOf(int year, int month, int day, int hour = 0) {
  DATE date = 0;
  EXPECT_TRUE(DateFromFields({year, month, day, hour}, &date));
  return Variant::Date(date);
}

}  // namespace ovc::links::testing
