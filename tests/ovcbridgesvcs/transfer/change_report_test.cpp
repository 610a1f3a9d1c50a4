#include "ovcbridgesvcs/transfer/change_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovc::transfer {
namespace {

TEST(ChangeReportTest, ValuesReadAsTheAutomationConversionWritesThem) {
  struct Case {
    Variant value;
    std::wstring text;
  };
  const std::vector<Case> cases = {
      {Variant::I4(-42), L"-42"},
      {Variant::R8(0.1 + 0.2), L"0.3"},
      {Variant::Date(44190.5739583333), L"12/25/2020 1:46:30 PM"},
      {Variant::Bool(true), L"True"},
      {Variant(L"text"), L"text"},
      {Variant(), L""},
      {Variant::I2(7), L""},
  };
  for (const Case& each : cases) EXPECT_EQ(ChangeValueText(each.value), each.text) << each.text;
}

}  // namespace
}  // namespace ovc::transfer
