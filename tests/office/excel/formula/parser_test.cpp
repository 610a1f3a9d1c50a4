#include <gtest/gtest.h>

#include <string>

#include "office/excel/formula/criteria.h"
#include "office/excel/formula/formula.h"
#include "office/excel/formula/text_format.h"

namespace ovc::excel::formula {
namespace {

// The steps of a formula in one line: constants as "1"/"\"a\"", references
// as "Sheet!top,left:bottom,right", names as "@Name", structured references
// as "#Table[Column]", calls as "SUM/2",
// operators by their enumeration value as "op7", missing as "_".
std::string Steps(const std::string& text) {
  Formula formula;
  std::string error;
  if (!ParseFormula(text, &formula, &error)) return "error: " + error;
  std::string steps;
  for (const Node& node : formula.nodes) {
    if (!steps.empty()) steps += ' ';
    switch (node.kind) {
      case Node::Kind::kConstant:
        steps += node.constant.is_text() ? "\"" + node.constant.text() + "\""
                 : node.constant.is_array()
                     ? "{" + std::to_string(node.constant.array().rows) + "x" +
                           std::to_string(node.constant.array().columns) + "}"
                 : node.constant.is_error() ? std::string(ErrorText(node.constant.error()))
                                            : ToText(node.constant).text();
        break;
      case Node::Kind::kReference:
        steps += (node.sheet_given ? node.text + "!" : "") + std::to_string(node.area.top) + "," +
                 std::to_string(node.area.left) + ":" + std::to_string(node.area.bottom) + "," +
                 std::to_string(node.area.right);
        break;
      case Node::Kind::kName:
        steps += "@" + node.text;
        break;
      case Node::Kind::kTable:
        steps += "#" + node.text;
        break;
      case Node::Kind::kMissing:
        steps += "_";
        break;
      case Node::Kind::kOperator:
        steps += "op" + std::to_string(int(node.op));
        break;
      case Node::Kind::kCall:
        steps += node.text + "/" + std::to_string(node.arguments) + (node.function < 0 ? "?" : "") +
                 (node.array_context ? "[]" : "");
        break;
    }
  }
  return steps;
}

TEST(ParserTest, ReadsReferencesNamesAndCallsAsTheFilesWriteThem) {
  const struct {
    const char* formula;
    const char* steps;
  } cases[] = {
      {"$B$2:a1", "1,1:2,2"},
      {"C:A", "1,1:1048576,3"},
      {"$3:2", "2,1:3,16384"},
      {"'It''s'!XFD1048576", "It's!1048576,16384:1048576,16384"},
      {"Sheet1!Rate+Rate", "@Sheet1!Rate @Rate op9"},
      {"LOG10(A1)", "1,1:1,1 LOG10/1"},
      {"R2D2+AB12C", "@R2D2 @AB12C op9"},
      {"XFE1", "@XFE1"},  // past the last column: a name
      {"A1048577", "@A1048577"},
      {"_xlfn.STDEV.S(1,2)", "1 2 _xlfn.STDEV.S/2"},
      {"_xlfn.NOSUCH()", "_xlfn.NOSUCH/0?"},
      {"IF(,1,)", "_ 1 _ IF/3"},
      {"true+FALSE", "TRUE FALSE op9"},
      {"{1,2,3;4,5,6}", "{2x3}"},
      {"{-1,\"a\";#N/A,TRUE}", "{2x2}"},
      {"1.5E+3%", "1500 op5"},
      {"\"say \"\"hi\"\"\"", "\"say \"hi\"\""},
      {"A1:B2 B2:C3", "1,1:2,2 2,2:3,3 op1"},
      {"(A1,B2)", "1,1:1,1 2,2:2,2 op2"},
      {"SUMPRODUCT(A1:A2*2)", "1,1:2,1 2 op7 SUMPRODUCT/1"},
      {"-A1^2", "1,1:1,1 op3 2 op6"},
      {"1=1<>2", "1 1 op12 2 op13"},
      {"#REF!+Sheet1!#REF!", "#REF! #REF! op9"},
      {"VLOOKUP(2,T[[Code]:[Name]],2,FALSE)", "2 #T[[Code]:[Name]] 2 FALSE VLOOKUP/4"},
      {"T[Code]*T[@Code]", "#T[Code] #T[@Code] op7"},
      {"ROWS(T[[#All],[Co']de]])", "#T[[#All],[Co']de]] ROWS/1"},
      {"SUM(T[[#Data], [A]:[B]])", "#T[[#Data], [A]:[B]] SUM/1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Steps(c.formula), c.steps) << c.formula;
}

TEST(CriterionTest, MatchesAsTheConditionalFunctionsDo) {
  const Value blank;
  const struct {
    Value criterion;
    Value cell;
    bool matches;
  } cases[] = {
      {Value::Text(">=5"), Value::Number(5), true},
      {Value::Text(">=5"), Value::Text("6"), false},  // numbers compare with numbers only
      {Value::Text("<>5"), Value::Text("x"), true},
      {Value::Text("<>"), blank, false},
      {Value::Text("<>"), Value::Number(0), true},
      {Value::Text(""), blank, true},
      {Value::Text("="), Value::Text(""), true},
      {Value::Text("="), Value::Number(0), false},
      {Value::Text("a?c*"), Value::Text("ABCDE"), true},
      {Value::Text("a~*"), Value::Text("ab"), false},
      {Value::Text("<b"), Value::Text("A"), true},
      {Value::Text("true"), Value::Boolean(true), true},
      {Value::Number(2), Value::Text("2"), true},  // text reading as the number equals it
      {Value::Number(0.3), Value::Number(0.1 + 0.2), true},
      {blank, Value::Number(0), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Criterion(c.criterion).Matches(c.cell), c.matches)
        << ToText(c.criterion).text() << " ~ " << ToText(c.cell).text();
  }
}

// The formula fixtures compare more codes, through TEXT, with LibreOffice.
TEST(TextFormatTest, FormatsNumbersWithTheCodesUsersWrite) {
  const struct {
    double number;
    const char* code;
    const char* text;
  } cases[] = {
      {1234.567, "0", "1235"},
      {0.5, "#.00", ".50"},
      {-1234.5, "#,##0.0", "-1,234.5"},
      {1234567, "#,##0", "1,234,567"},
      {0.00123, "0.00E+00", "1.23E-03"},
      {-0.001, "0.00", "0.00"},  // rounds to zero: no minus
      {0, "0;-0;\"zero\"", "zero"},
      {-2.5, "0.0;[Red](0.0)", "(2.5)"},
      {42, "\"Tag \"0\" mm\"", "Tag 42 mm"},
      {0.25, "0%", "25%"},
      {3, "General", "3"},
      {1.5, "0.###", "1.5"},
      {45351.75, "mmm-d h AM/PM \\x", "Feb-29 6 PM x"},
      {45351, "m/d/yyyy mmmmm ddd", "2/29/2024 F Thu"},
      {0.5208333333333334, "h:mm:ss a/p", "12:30:00 p"},
      {0.99999999, "d hh:mm:ss", "1 00:00:00"},  // rounded to the second shown
      {1.25 / 86400, "[ss].00", "01.25"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatWithCode(Value::Number(c.number), c.code, 0), Value::Text(c.text)) << c.code;
  }
  EXPECT_EQ(FormatWithCode(Value::Text("abc"), "0.0", 0), Value::Text("abc"));
  EXPECT_EQ(FormatWithCode(Value::Text("2"), "0.0", 0), Value::Text("2.0"));
  EXPECT_EQ(FormatWithCode(Value::Number(0), "yyyy-mm-dd", 1462), Value::Text("1904-01-01"));
  for (const double past : {-1.0, 2958465.99999999}) {
    EXPECT_EQ(FormatWithCode(Value::Number(past), "yyyy", 0), Value::Error(ErrorCode::kValue));
  }
  EXPECT_EQ(FormatWithCode(Value::Number(1), "yyyy 0.0", 0), Value::Error(ErrorCode::kValue));
}

}  // namespace
}  // namespace ovc::excel::formula
