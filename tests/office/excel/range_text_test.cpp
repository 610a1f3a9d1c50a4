#include "office/excel/range_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "office/excel/area_reference.h"
#include "office/excel/cell_reference.h"
#include "office/excel/formula_text.h"
#include "office/excel/name_rules.h"
#include "office/excel/refers_to.h"
#include "office/excel/sheet_prefix.h"
#include "office/excel/structured_reference.h"

namespace ovc::excel {
namespace {

TEST(RangeTextTest, ReadsNamesAndQualifiedReferences) {
  const struct {
    std::string text;
    std::string parsed;  // book|sheet|name|area rows x columns, or the reason
  } cases[] = {
      {"  Rate\t", "||Rate|-"},
      {"Sheet1!Rate", "|Sheet1|Rate|-"},
      {"'My ''S'''!$B$2:$C$4", "|My 'S'|$B$2:$C$4|3x2"},
      {"[Book.xlsx]Sheet1!$A:$A", "Book.xlsx|Sheet1|$A:$A|1048576x1"},
      {std::string(9, ' ') + std::string(2048, 'a'), "||" + std::string(2048, 'a') + "|-"},
      {" B2 ", "unqualified cell reference 'B2': qualify it with a sheet name"},
      {"R2C2", "unqualified cell reference 'R2C2': qualify it with a sheet name"},
      {"Sheet1!R2C2", "R1C1 reference 'Sheet1!R2C2': write it in A1 form"},
      {"Sheet1!R1:R3", "|Sheet1|R1:R3|3x1"},
      {" \t", "no range given"},
      {std::string(2049, 'a'), "range text longer than 2,048 characters"},
  };
  for (const auto& c : cases) {
    RangeText text;
    std::string reason;
    HRESULT code = S_OK;
    std::string parsed;
    if (ParseRangeText(c.text, &text, &reason, &code)) {
      const std::string size = std::to_string(text.area.last.row - text.area.first.row + 1) + "x" +
                               std::to_string(text.area.last.column - text.area.first.column + 1);
      parsed =
          text.book + "|" + text.sheet + "|" + text.name + "|" + (text.is_reference ? size : "-");
    } else {
      EXPECT_EQ(code, E_INVALIDARG);
      parsed = reason;
    }
    EXPECT_EQ(parsed, c.parsed) << c.text;
  }
}

constexpr CellArea kNone{};

TEST(AreaReferenceTest, ReadsCellsAreasColumnsAndRowsAndRecognisesR1C1Text) {
  const struct {
    const char* text;
    CellArea area;  // kNone when refused
  } cases[] = {
      {"$B$2", {{2, 2}, {2, 2}}},
      {"C4:b2", {{2, 2}, {4, 3}}},
      {"$A:$A", {{1, 1}, {kMaxRow, 1}}},
      {"$1:$3", {{1, 1}, {3, kMaxColumn}}},
      {"A:", kNone},
      {"A1:B2:C3", kNone},
      {"$A:$XFE", kNone},
      {"Sheet1!A1", kNone},
  };
  for (const auto& c : cases) {
    CellArea area;
    EXPECT_EQ(ParseAreaReference(c.text, &area) ? area : kNone, c.area) << c.text;
  }
  for (const char* text : {"r2c3", "RC", "R", "c", "R[-1]C[2]", "R1:R3", "R99999999C1"}) {
    EXPECT_TRUE(ReadsAsR1C1Reference(text)) << text;
  }
  for (const char* text : {"", "B2", "RR", "R1C1X", "R[]C", "R[1C", "RC2D", "R1:", "CR"}) {
    EXPECT_FALSE(ReadsAsR1C1Reference(text)) << text;
  }
}

TEST(AreaReferenceTest, FormatsAddresses) {
  const CellArea block{{10, 3}, {14, 3}};
  const CellArea cell{{10, 3}, {10, 3}};
  const CellArea column{{1, 1}, {kMaxRow, 1}};
  const CellArea rows{{1, 1}, {3, kMaxColumn}};
  const struct {
    CellArea area;
    AddressStyle style;
    const char* address;
  } cases[] = {
      {block, {true, false, false}, "C$10:C$14"},
      {column, {false, false, false}, "A:A"},
      {rows, {}, "$1:$3"},
      {{{1, 1}, {kMaxRow, kMaxColumn}}, {}, "$1:$1048576"},
      {cell, {false, false, true}, "R[9]C[2]"},
      {rows, {true, true, true}, "R1:R3"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatAddress(c.area, c.style), c.address);
}

TEST(CellReferenceTest, ReadsOneCellOfTheSheet) {
  const struct {
    const char* text;
    CellRef cell;  // {0, 0} when refused
  } cases[] = {
      {"B2", {2, 2}},   {"$b$2", {2, 2}}, {"XFD1048576", {kMaxRow, kMaxColumn}},
      {"B2 ", {}},      {"B2:C3", {}},    {"XFE1", {}},
      {"A1048577", {}}, {"A0", {}},       {"A99999999999", {}},
  };
  for (const auto& c : cases) {
    CellRef cell;
    EXPECT_EQ(ParseA1Cell(c.text, &cell) ? cell : CellRef{}, c.cell) << c.text;
  }
}

TEST(CellReferenceTest, ColumnLettersRoundTrip) {
  const struct {
    int32_t column;
    const char* letters;
  } cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {702, "ZZ"}, {703, "AAA"}, {kMaxColumn, "XFD"}};
  for (const auto& c : cases) {
    EXPECT_EQ(ColumnLetters(c.column), c.letters);
    int32_t column = 0;
    EXPECT_TRUE(ParseColumnLetters(c.letters, &column) && column == c.column) << c.letters;
  }
  EXPECT_EQ(FormatA1Cell({1048576, 703}), "AAA1048576");
}

TEST(SheetPrefixTest, QuotesOnlyWhenNeeded) {
  const struct {
    const char* book;
    const char* sheet;
    const char* prefix;
  } cases[] = {
      {"", "Données_2.x", "Données_2.x!"},
      {"", "My Sheet", "'My Sheet'!"},
      {"", "Bob's", "'Bob''s'!"},
      {"", "xfd1048576", "'xfd1048576'!"},
      {"", "rc", "'rc'!"},
      {"My Book.xlsx", "S", "'[My Book.xlsx]S'!"},
      {"It's [1].xlsx", "S", "'[It''s [1].xlsx]S'!"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSheetPrefix(c.book, c.sheet), c.prefix);
}

TEST(SheetPrefixTest, SplitsPrefixes) {
  const struct {
    const char* text;
    const char* book;
    const char* sheet;
    const char* rest;  // nullptr when malformed
  } cases[] = {
      {"Rate", "", "", "Rate"},
      {"My Sheet!B2", "", "My Sheet", "B2"},
      {"'Bob''s ''x'''!Rate", "", "Bob's 'x'", "Rate"},
      {"'[My Book.xlsx]a!b'!B2", "My Book.xlsx", "a!b", "B2"},
      {"'[It''s [1].xlsx]S'!B2", "It's [1].xlsx", "S", "B2"},
      {"'Sheet1", "", "", nullptr},
      {"[Book.xlsx!B2", "", "", nullptr},
  };
  for (const auto& c : cases) {
    SheetQualified split;
    ASSERT_EQ(SplitSheetPrefix(c.text, &split), c.rest != nullptr) << c.text;
    if (c.rest == nullptr) continue;
    EXPECT_EQ(split.book + "|" + split.sheet + "|" + std::string(split.rest),
              std::string(c.book) + "|" + c.sheet + "|" + c.rest);
  }
}

TEST(NameRulesTest, ChecksNamesAsTheWorkbookDoesAndKeysIgnoreCaseBeyondAscii) {
  const struct {
    std::string name;
    const char* reason;  // "" when valid
  } cases[] = {
      {"Rate.2019?", ""},
      {"XFE1", ""},
      {"名前", ""},
      {std::string(255, 'a'), ""},
      {"", "a name cannot be empty"},
      {std::string(256, 'a'), "a name has at most 255 characters"},
      {"1Rate", "a name must start with a letter, '_' or '\\'"},
      {"My Rate", "a name cannot contain spaces"},
      {"Sheet1!Rate", "a name may hold only letters, digits, '_', '.', '\\' and '?'"},
      {"TAX2019", "a name cannot read as a cell reference"},
      {"R2C3", "a name cannot read as a cell reference"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(CheckName(c.name, &reason), *c.reason == 0) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
  EXPECT_EQ(NameKey("änderung_σ"), NameKey("ÄNDERUNG_Σ"));
  EXPECT_NE(NameKey("Rate1"), NameKey("Rate2"));
}

TEST(RefersToTest, ReadsAreasOfThisWorkbook) {
  std::vector<SheetArea> areas;
  std::string reason;
  ASSERT_TRUE(ParseRefersTo("=Sheet1!C10:C14,'S, ''2'''!$1:$1", &areas, &reason)) << reason;
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0].sheet, "Sheet1");
  EXPECT_EQ(areas[0].area, (CellArea{{10, 3}, {14, 3}}));
  EXPECT_EQ(areas[1].sheet, "S, '2'");
}

TEST(RefersToTest, NamesWhyANameHasNoCells) {
  const struct {
    const char* formula;
    const char* reason;
  } cases[] = {
      {"", "refers to nothing"},
      {"-1.5E3", "refers to a constant"},
      {"Sheet1!$A$1*2", "refers to a formula"},
      {"\"[1]\"&\"x\"", "refers to a formula"},
      {"Sheet1!#REF!", "refers to a deleted reference (#REF!)"},
      {"[1]Sheet1!$A$1", "refers to another workbook"},
      {"Sheet1:Sheet3!$A$1", "refers to several sheets (3-D reference)"},
      {"OFFSET(Sheet1!$A$1,0,0,COUNTA(Sheet1!$A:$A),1)", "is dynamic (OFFSET)"},
      {"Sheet1!$A$1:index(Sheet1!$A:$A,5)", "is dynamic (INDEX)"},
  };
  for (const auto& c : cases) {
    std::vector<SheetArea> areas;
    std::string reason;
    EXPECT_FALSE(ParseRefersTo(c.formula, &areas, &reason)) << c.formula;
    EXPECT_EQ(reason, c.reason) << c.formula;
  }
}

using enum TableRows;

TEST(StructuredReferenceTest, ReadsTheFormsTablesAreNamedBy) {
  struct Case {
    const char* text;
    bool ok;
    const char* first = "";
    const char* last = "";
    TableRows first_rows = kData;
    TableRows last_rows = kData;
  };
  const Case cases[] = {
      {"Table1[Col]", true, "Col", "Col"},
      {"Table1", true},
      {"T[[A]:[B]]", true, "A", "B"},
      {"T[#All]", true, "", "", kHeaders, kTotals},
      {"T[[#Headers], [#Data],[Price '[€']]]", true, "Price [€]", "Price [€]", kHeaders, kData},
      {"T[[#totals],[A]]", true, "A", "A", kTotals, kTotals},
      {"T[[#Headers],[#Totals]]", false},
      {"T[#This Row]", false},
      {"T[[A],[B]]", false},
      {"T[Col", false},
      {"T[C[o]l]", false},
      {"Sheet1!A1", false},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.text);
    StructuredReference reference;
    ASSERT_EQ(ParseStructuredReference(test.text, true, &reference), test.ok);
    if (!test.ok) continue;
    EXPECT_EQ(reference.first_column, test.first);
    EXPECT_EQ(reference.last_column, test.last);
    EXPECT_EQ(reference.first_rows, test.first_rows);
    EXPECT_EQ(reference.last_rows, test.last_rows);
  }
  StructuredReference reference;
  EXPECT_FALSE(ParseStructuredReference("Table1", false, &reference));
  EXPECT_FALSE(ParseStructuredReference(std::string(2000, 'T') + "[A]", true, &reference));
}

TEST(FormulaTextTest, ShiftsRelativeReferencesAndFindsVolatileFunctions) {
  struct Case {
    const char* formula;
    int32_t rows;
    int32_t columns;
    const char* shifted;  // null: cannot be shifted
  };
  const Case cases[] = {
      {"A1*2", 1, 0, "A2*2"},
      {"$A1+A$1+$A$1", 2, 3, "$A3+D$1+$A$1"},
      {"SUM(B2:C3)/LOG10(4)", 1, 1, "SUM(C3:D4)/LOG10(4)"},
      {"Sheet2!A1&'My Sheet'!B1&\"A1\"", 0, 1, "Sheet2!B1&'My Sheet'!C1&\"A1\""},
      {"Table1[Col]+A1", 1, 0, "Table1[Col]+A2"},
      {"A1", -1, 0, nullptr},
      {"XFD1", 0, 1, nullptr},
      {"SUM(A:A)", 1, 0, nullptr},
  };
  for (const Case& c : cases) {
    std::string shifted = "kept";
    EXPECT_EQ(ShiftReferences(c.formula, c.rows, c.columns, &shifted), c.shifted != nullptr)
        << c.formula;
    EXPECT_EQ(shifted, c.shifted != nullptr ? c.shifted : "kept") << c.formula;
  }
  EXPECT_EQ(VolatileFunctionIn("A1+now()"), "NOW");
  EXPECT_EQ(VolatileFunctionIn("SUM(_xlfn.RANDARRAY(2))"), "RANDARRAY");
  EXPECT_EQ(VolatileFunctionIn("\"NOW()\"&MYNOW()&Today"), "");  // text, another name, no call
  EXPECT_EQ(VolatileFunctionIn("'RAND('!A1+Info"), "");
}

}  // namespace
}  // namespace ovc::excel
