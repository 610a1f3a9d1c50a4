#include "office/excel/formula/function_table.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <set>
#include <string>

#include "automation/text.h"
#include "office/excel/application.h"
#include "tests/automation/decimal_comma_locale.h"
#include "tests/office/excel/workbook_fixture.h"
#include "tests/office/office_test_support.h"

// Every function of the table against LibreOffice: the fixtures of
// tests/office/fixtures/make_formula_fixtures.py hold formulas in Cases!A,
// LibreOffice's results for them in Cases!B and the formulas' text in
// Cases!C.
namespace ovc::excel {
namespace {

// Functions no fixture compares, each for a reason the fixture script gives.
const std::set<std::string> kNotCompared = {"XLOOKUP", "RAND", "RANDBETWEEN", "TODAY", "NOW"};

std::string Describe(const Variant& value) {
  switch (value.vt()) {
    case VT_R8:
      return std::to_string(value.r8());
    case VT_BSTR:
      return "\"" + ToUtf8(value.bstr()) + "\"";
    case VT_BOOL:
      return value.boolVal() ? "TRUE" : "FALSE";
    case VT_ERROR:
      return "error " + std::to_string(value.scode());
    default:
      return "type " + std::to_string(value.vt());
  }
}

// Adds the functions a formula calls: the upper-case words before "(".
void AddCalls(const std::string& formula, std::set<std::string>* called) {
  size_t start = 0;
  for (size_t i = 0; i < formula.size(); ++i) {
    const auto c = static_cast<unsigned char>(formula[i]);
    if (c == '(' && i > start) called->insert(formula.substr(start, i - start));
    if (!std::isupper(c) && !std::isdigit(c) && c != '.') start = i + 1;
  }
}

bool Agree(const Variant& actual, const Variant& expected) {
  if (actual.vt() == VT_R8 && expected.vt() == VT_R8) {
    return std::fabs(actual.r8() - expected.r8()) <= 1e-12 * std::fabs(expected.r8());
  }
  return actual == expected;
}

class FunctionTableTest : public testing::BookTest {
 protected:
  FunctionTableTest() { application_ = MakeObject<Application>(office::Services{}); }

  Variant Cell(const std::string& address) {
    return Get(Range(FromUtf8("Cases!" + address).c_str()).get(), L"Value");
  }

  // Compares every case of one fixture; adds the functions its formulas call
  // to `called`.
  void CompareFamily(const std::string& family, std::set<std::string>* called) {
    const ComPtr<IDispatch> workbook =
        Open(office::testing::CopyFixture(folder_, "formulas_" + family + ".xlsx"));
    ASSERT_TRUE(workbook) << family;
    ASSERT_EQ(CallMethod(application_.get(), L"Calculate"), S_OK);
    for (int row = 1;; ++row) {
      const Variant text = Cell("C" + std::to_string(row));
      if (text.vt() != VT_BSTR) break;
      const std::string formula = ToUtf8(text.bstr());
      const Variant actual = Cell("A" + std::to_string(row));
      const Variant expected = Cell("B" + std::to_string(row));
      EXPECT_TRUE(Agree(actual, expected))
          << family << ": " << formula << " gives " << Describe(actual) << ", LibreOffice "
          << Describe(expected);
      AddCalls(formula, called);
    }
    EXPECT_EQ(CallMethod(workbook.get(), L"Close", {Variant::Bool(false)}), S_OK);
  }
};

// "tables" reads a table through structured references.
constexpr const char* kFamilies[] = {"math",  "statistics", "logic",       "lookup",      "text",
                                     "dates", "dates1904",  "information", "engineering", "tables"};

TEST_F(FunctionTableTest, EveryFunctionAgreesWithLibreOffice) {
  std::set<std::string> called;
  for (const char* family : kFamilies) CompareFamily(family, &called);
  for (const auto family :
       {formula::MathFunctions(), formula::StatisticsFunctions(), formula::LogicFunctions(),
        formula::TextFunctions(), formula::InformationFunctions(), formula::ConditionalFunctions(),
        formula::LookupFunctions(), formula::DateFunctions(), formula::EngineeringFunctions()}) {
    for (const formula::FunctionSpec& spec : family) {
      const std::string name(spec.name);
      EXPECT_TRUE(called.count(name) != 0 || kNotCompared.count(name) != 0)
          << name << " is compared with LibreOffice nowhere";
    }
  }
}

TEST_F(FunctionTableTest, EveryFunctionAgreesWithLibreOfficeInADecimalCommaLocale) {
  OVC_IN_DECIMAL_COMMA_LOCALE(locale);
  std::set<std::string> called;
  for (const char* family : kFamilies) CompareFamily(family, &called);
}

}  // namespace
}  // namespace ovc::excel
