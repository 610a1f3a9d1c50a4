#include "office/excel/formula/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/automation/decimal_comma_locale.h"
#include "tests/office/excel/formula/fake_workbook.h"

namespace ovc::excel::formula {
namespace {

Value N(double number) { return Value::Number(number); }
Value S(const char* text) { return Value::Text(text); }
Value B(bool boolean) { return Value::Boolean(boolean); }
Value E(ErrorCode code) { return Value::Error(code); }

struct Case {
  const char* formula;
  Value expected;
};

void ExpectSame(const Value& actual, const Value& expected) {
  if (expected.is_number() && actual.is_number()) {
    EXPECT_NEAR(actual.number(), expected.number(), std::fabs(expected.number()) * 1e-14);
  } else {
    EXPECT_EQ(actual, expected) << (actual.is_text() ? actual.text() : "") << " type "
                                << int(actual.type());
  }
}

// Sheet1: A1:A3 = 1, 2, 3; B1:B3 = 10, 20, 30; C1 = "x"; C2 = TRUE; D1 = "5".
// My Sheet: A1 = 7. Formulas are evaluated in Sheet1!E2.
class EvaluatorTest : public ::testing::Test {
 protected:
  EvaluatorTest() {
    for (int32_t row = 1; row <= 3; ++row) {
      book_.Set(0, row, 1, N(row));
      book_.Set(0, row, 2, N(row * 10));
    }
    book_.Set(0, 1, 3, S("x"));
    book_.Set(0, 2, 3, B(true));
    book_.Set(0, 1, 4, S("5"));
    book_.Set(1, 1, 1, N(7));
    book_.Name("Rate", "0.5");
    book_.Name("Double", "Rate*2");
    book_.Name("Loop", "Loop+1");
    book_.Name("Column", "Sheet1!$A$1:$A$3");
  }

  // The formula's value in E2, as an array formula's when `array`.
  Value Run(const std::string& text, std::string* problem, bool array = false) {
    Formula formula;
    std::string error;
    if (!ParseFormula(text, &formula, &error)) {
      *problem = "parse: " + error;
      return Value();
    }
    return Evaluate(formula, {&book_, 0, 2, 5, array}, problem);
  }

  // Each formula gives its value; numbers to 14 digits.
  template <typename Cases>
  void ExpectAll(const Cases& cases, bool array = false) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.formula);
      std::string problem;
      ExpectSame(Run(c.formula, &problem, array), c.expected);
    }
  }

  FakeWorkbook book_;
};

TEST_F(EvaluatorTest, OperatorsPrecedenceAndCoercion) {
  const Case cases[] = {
      {"2^-2", N(0.25)},
      {"1+2*3", N(7)},
      {"(1+2)*3", N(9)},
      {"50%", N(0.5)},
      {"-50%*2", N(-1)},
      {"4^50%", N(2)},
      {"1&2", S("12")},
      {"1+1=2", B(true)},
      {"\"a\"<\"B\"", B(true)},
      {"1<\"a\"", B(true)},
      {"\"10\"+1", N(11)},
      {"TRUE+1", N(2)},
      {"1/0", E(ErrorCode::kDiv0)},
      {"\"x\"+1", E(ErrorCode::kValue)},
      {"#N/A+1", E(ErrorCode::kNA)},
      {"1E+20&\"\"", S("1E+20")},
      {"0^0", E(ErrorCode::kNum)},
      {"\"A\"=\"a\"", B(true)},
      {"C9=0", B(true)},
      {" 1 + 2 ", N(3)},
      {"1 2", E(ErrorCode::kValue)},
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, ReferencesNamesAndArrays) {
  const Case cases[] = {
      {"A1+$B$1", N(11)},
      {"Sheet1!A3", N(3)},
      {"'My Sheet'!A1*2", N(14)},
      {"SUM(A1:B3)", N(66)},
      {"SUM(A:A)", N(6)},
      {"SUM(1:1)", N(11)},
      {"SUM(B3:A1)", N(66)},
      {"SUM((A1,B1))", N(11)},
      {"SUM(A1:B3 B2:C9)", N(50)},
      {"A1:A3", N(2)},
      {"A1:A3*2", N(4)},  // intersected
      {"B1:B3 A1:A3", E(ErrorCode::kNull)},
      {"C1:D1", E(ErrorCode::kValue)},  // no cell in the formula's column
      {"Nowhere!A1", E(ErrorCode::kRef)},
      {"SUM(A1:INDEX)", E(ErrorCode::kValue)},
      {"Rate*4", N(2)},
      {"Double", N(1)},
      {"SUM(Column)", N(6)},
      {"SUM({1,2;3,4})", N(10)},
      {"SUM(1,,2)", N(3)},
      {"SUM({1,2}*{10;20})", N(90)},
      {"SUMPRODUCT((A1:A3>1)*B1:B3)", N(50)},
      {"SUMPRODUCT(A1:A3,B1:B3)", N(140)},
      {"SUMPRODUCT(ABS(-A1:A3))", N(6)},
      {"SUMPRODUCT(A1:A3,B1:B2)", E(ErrorCode::kValue)},
      {"{1,\"a\";TRUE,#N/A}", N(1)},
      {"_xlfn.CONCAT(A1:B1,\"x\")", S("110x")},
      {"SUM(T[Price])", N(60)},
      {"SUM(T[])", N(66)},
      {"T[@Code]", N(2)},  // the formula's row
      {"T[[#This Row],[Price]]*2", N(40)},
      {"SUM(T[@[Code]:[Price]])", N(22)},
      {"Low[@Code]", E(ErrorCode::kValue)},  // no row of the table's
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, ProblemsNameWhatIsMissing) {
  const struct {
    const char* formula;
    const char* problem;
    Value value = E(ErrorCode::kName);
  } cases[] = {
      {"IFERROR(NOSUCH(1),0)", "unknown function NOSUCH", N(0)},
      {"Unknown+1", "unknown name Unknown"},
      {"Loop", "name Loop refers to itself"},
      {"Other[Code]+1", "Other[Code]: no table 'Other'", E(ErrorCode::kRef)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formula);
    std::string problem;
    EXPECT_EQ(Run(c.formula, &problem), c.value);
    EXPECT_EQ(problem, c.problem);
  }
}

TEST_F(EvaluatorTest, MathRoundsDecimalsAsWritten) {
  const Case cases[] = {
      {"FLOOR(-2.5,2)", N(-4)},
      {"CEILING(-2.5,2)", N(-2)},
      {"CEILING(2.5,-1)", E(ErrorCode::kNum)},
      {"FLOOR(1,0)", E(ErrorCode::kDiv0)},
      {"MOD(0.3,0.1)", N(0)},
      {"MROUND(-10,3)", E(ErrorCode::kNum)},
      {"SQRT(-1)", E(ErrorCode::kNum)},
      {"LN(0)", E(ErrorCode::kNum)},
      {"ABS(C1)", E(ErrorCode::kValue)},
      {"SUM(A1:A3,\"4\",TRUE)", N(11)},
      {"SUM(C1:C2)", N(0)},
      {"SUM(\"x\")", E(ErrorCode::kValue)},
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, StatisticsLogicTextAndInformation) {
  const Case cases[] = {
      {"AVERAGE(A1:C3)", N(11)},
      {"COUNT(A1:D3,\"1\",\"x\")", N(7)},
      {"LARGE(A1:A3,4)", E(ErrorCode::kNum)},
      {"OR(A1:A3>2)", B(false)},
      {"REPT(\"ab\",1E9)", E(ErrorCode::kValue)},
      {"CHAR(128)&CHAR(233)", S("\xE2\x82\xAC\xC3\xA9")},  // Windows-1252
      {"CODE(\"\xE2\x82\xAC\")*1000+CODE(CHAR(159))", N(128159)},
      {"CODE(\"\xC4\x80\")", N(63)},  // not in the code page
      {"CHAR(0)", E(ErrorCode::kValue)},
      {"CODE(\"\")", E(ErrorCode::kValue)},
      {"TEXT(60,\"yyyy-mm-dd\")", S("1900-02-29")},
      {"CONCATENATE(\"a\",1,TRUE)", S("a1TRUE")},
      {"TEXTJOIN(\"-\",TRUE,\"a\",\"\",C1:C3)", S("a-x-TRUE")},
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, LookupsAndConditions) {
  const Case cases[] = {
      {"VLOOKUP(2,A1:B3,3,FALSE)", E(ErrorCode::kRef)},
      {"MATCH(1,A1:B3,0)", E(ErrorCode::kNA)},
      {"XLOOKUP(20,B1:B3,A1:A3)", N(2)},
      {"XLOOKUP(25,B1:B3,A1:A3,\"none\")", S("none")},
      {"XLOOKUP(25,B1:B3,A1:A3,,1)", N(3)},
      {"XLOOKUP(25,B1:B3,A1:A3,,-1)", N(2)},
      {"XLOOKUP(20,B1:B3,A1:A3,,0,2)", N(2)},
      {"XLOOKUP(25,B1:B3,A1:A3,,1,2)*10+XLOOKUP(25,B1:B3,A1:A3,,-1,2)", N(32)},
      {"XLOOKUP(35,B1:B3,A1:A3,\"none\",1,2)", S("none")},
      {"XLOOKUP(25,{30,20,10},{1,2,3},,1,-2)*10+XLOOKUP(25,{30,20,10},{1,2,3},,-1,-2)", N(12)},
      {"XLOOKUP(20,{30,20,10},{1,2,3},,0,-2)", N(2)},
      {"XLOOKUP(20,B1:B3,A1:A3,,0,3)", E(ErrorCode::kValue)},
      {"INDEX(A1:B3,4,1)", E(ErrorCode::kRef)},
      {"OFFSET(A1,-1,0)", E(ErrorCode::kRef)},
      {"INDIRECT(\"B\"&2)", N(20)},
      {"INDIRECT(\"'My Sheet'!A1\")", N(7)},
      {"INDIRECT(\"1+\")", E(ErrorCode::kRef)},
      {"INDIRECT(\"R2C2\",FALSE)+INDIRECT(\"'My Sheet'!r1c1\",0)", N(27)},
      {"INDIRECT(\"R[1]C[-3]\",FALSE)", N(30)},  // from E2
      {"SUM(INDIRECT(\"R1C1:R3C1\",FALSE))+SUM(INDIRECT(\"C2\",FALSE))", N(66)},
      {"SUM(INDIRECT(\"R1\",FALSE))+INDIRECT(\"RC1\",FALSE)", N(13)},
      {"INDIRECT(\"R0C1\",FALSE)", E(ErrorCode::kRef)},
      {"INDIRECT(\"R[1C1\",FALSE)", E(ErrorCode::kRef)},
      {"INDIRECT(\"B2\",FALSE)", E(ErrorCode::kRef)},
      {"INDIRECT(\"'My''!R1C1\",FALSE)", E(ErrorCode::kRef)},
      {"ROW()*100+COLUMN()", N(205)},
      {"ROW(B3)+COLUMN(C1:D9)", N(6)},
      {"COUNTIF(C1:C3,\"X\")", N(1)},
      {"COUNTIF(C1:C9,\"\")", N(7)},
      {"COUNTIFS(A1:A3,\">1\",B1:B2,\">1\")", E(ErrorCode::kValue)},
      {"RANK(20,B1:B3)*10+RANK(20,B1:B3,1)", N(22)},
      {"RANK(5,B1:B3)", E(ErrorCode::kNA)},
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, DatesAndEngineering) {
  const Case cases[] = {
      {"DATE(0,1,1)", N(1)},
      {"DATE(10000,1,1)", E(ErrorCode::kNum)},
      {"DAY(60)", N(29)},
      {"HOUR(0.75)", N(18)},
      {"DATEDIF(2,1,\"D\")", E(ErrorCode::kNum)},
      {"YEAR(-1)", E(ErrorCode::kNum)},
      {"VALUE(\"2024-02-29\")+VALUE(\" 1-Mar-2024 18:00 \")", N(45351 + 45352.75)},
      {"VALUE(\"March 1, 24\")-VALUE(\"3/1/2024\")", N(0)},
      {"VALUE(\"1:30 PM\")*24+VALUE(\"0:00:30.5\")*86400", N(13.5 + 30.5)},
      {"VALUE(\"24:00\")", E(ErrorCode::kValue)},
      {"TODAY()", N(45000)},
      {"NOW()", N(45000.25)},
      {"SLOPE(A1:A2,A1:A3)", E(ErrorCode::kNA)},
      {"CONVERT(1,\"atm\",\"kPa\")", N(101.325)},
      {"CONVERT(1,\"m\",\"kg\")", E(ErrorCode::kNA)},
  };
  ExpectAll(cases);
}

// The formula fixtures compare the rest of the 1904 system with LibreOffice.
TEST_F(EvaluatorTest, The1904DateSystemCountsFromItsOwnDayZero) {
  book_.date_offset = 1462;
  const Case cases[] = {
      {"DATE(1903,12,31)", E(ErrorCode::kNum)},
      {"YEAR(0)*10000+MONTH(0)*100+DAY(0)", N(19040101)},
      {"EDATE(0,1)+EOMONTH(0,0)", N(31 + 30)},
      {"TODAY()", N(45000 - 1462)},
      {"VALUE(\"1903-12-31\")", E(ErrorCode::kValue)},
      {"YEAR(2957003)+YEAR(2957004)", E(ErrorCode::kNum)},
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, NumbersAndTextConvertAlikeInADecimalCommaLocale) {
  OVC_IN_DECIMAL_COMMA_LOCALE(locale);
  const Case cases[] = {
      {"1.5&\"\"", S("1.5")},
      {"1E-05&\"\"", S("1E-05")},
      {"TEXT(1.5,\"0.00\")", S("1.50")},
      {"TEXT(1234.5,\"#,##0.0\")", S("1,234.5")},
      {"TEXT(12345,\"0.0E+00\")", S("1.2E+04")},
      {"VALUE(\"12:30:15.5\")*86400", N(45015.5)},
      {"VALUE(\"1.5\")", N(1.5)},
      {"ROUND(2.675,2)", N(2.68)},
  };
  ExpectAll(cases);
}

TEST_F(EvaluatorTest, ArrayFormulasKeepEveryElement) {
  const Value n = S("n"), y = S("y");
  const Case cases[] = {
      {"A1:A3*2", Value::Array(3, 1, {N(2), N(4), N(6)})},
      {"{1,2}+{10;20}", Value::Array(2, 2, {N(11), N(12), N(21), N(22)})},
      {"{1,2,3}+{1,2}", Value::Array(1, 3, {N(2), N(4), E(ErrorCode::kNA)})},
      {"IF(A1:A3>1,\"y\",\"n\")", Value::Array(3, 1, {n, y, y})},
      {"MID(\"abc\",{1,2,3},1)", Value::Array(1, 3, {S("a"), S("b"), S("c")})},
      {"SUM(A:A*2)", N(12)},
      {"OR(A1:A3>2)", B(true)},
  };
  ExpectAll(cases, true);
}

// Whole columns and rows read only the used cells.
TEST_F(EvaluatorTest, HostileFormulasStayBounded) {
  book_.Set(0, 1000, 1, N(4));
  std::string sum = "1";
  for (int i = 1; i < 10000; ++i) sum += "+1";
  std::string nested = "1";
  for (int i = 0; i < 200; ++i) nested = "ABS(" + nested + ")";
  std::string constant = "{1";
  for (int i = 1; i < 5000; ++i) constant += ",1";
  const struct {
    std::string formula;
    Value expected;
  } cases[] = {
      {sum, N(10000)},
      {nested, N(1)},
      {"SUM(" + constant + "})", N(5000)},
      {"LEN(REPT(\"ab\",40000)&REPT(\"ab\",40000))", E(ErrorCode::kValue)},
      {"LEN(TEXTJOIN(\",\",TRUE,REPT(\"a\",70000),REPT(\"a\",70000)))", E(ErrorCode::kValue)},
      {"SUMPRODUCT(A:A,B:B)", N(140)},
      {"SUM(A:A)+COUNTBLANK(A:A)", N(10 + 1048576 - 4)},
      {"SUM(INDIRECT(\"Nowhere!A1\"))", E(ErrorCode::kRef)},
      {"COUNTBLANK(1:1)", N(16380)},
      {"FACT(1000)", E(ErrorCode::kNum)},
      {"DATE(9999,12,32)", E(ErrorCode::kNum)},
  };
  ExpectAll(cases);
  EXPECT_LT(book_.reads, 5000);
}

TEST(ParseFormulaTest, RefusesMalformedAndHostileText) {
  const struct {
    std::string formula;
    const char* error;
  } cases[] = {
      {"1+", "formula ends where an operand is expected at 3"},
      {"(1", "missing ')'"},
      {"1)", "')' without '('"},
      {"SUM(1", "missing ')'"},
      {"ABS()", "ABS given 0 arguments"},
      {"\"abc", "unterminated text"},
      {"#FOO!", "unknown error value at 1"},
      {"{1,2;3}", "array rows of unequal length"},
      {"1 +* 2", "operand expected"},
      {"AND(A:,B1)", "operand expected at 7"},
      {"SUM(1+)", "operand expected at 7"},
      {"A1!", "reference expected"},
      {"SUM(T[Code)", "malformed table reference at 6"},
      {"T[[#This Row],[#Data]]", "malformed table reference at 2"},
      {std::string(10000, '(') + "1" + std::string(10000, ')'), "nested more than 255 levels"},
      {std::string(70000, '1'), "formula longer than 65536 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.formula.substr(0, 40));
    Formula formula;
    std::string error;
    EXPECT_FALSE(ParseFormula(c.formula, &formula, &error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace ovc::excel::formula
