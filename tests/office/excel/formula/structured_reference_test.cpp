#include "office/excel/formula/structured_reference.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel::formula {
namespace {

using enum TableRows;

TEST(StructuredReferenceTest, ReadsTheFormsTablesAreNamedBy) {
  const struct Case {
    const char* text;
    bool ok;
    const char* first = "";
    const char* last = "";
    TableRows first_rows = kData;
    TableRows last_rows = kData;
    bool this_row = false;
  } cases[] = {
      {"Table1[Col]", true, "Col", "Col"},
      {"Table1", true},
      {"T[[A]:[B]]", true, "A", "B"},
      {"T[#All]", true, "", "", kHeaders, kTotals},
      {"T[[#Headers], [#Data],[Price '[€']]]", true, "Price [€]", "Price [€]", kHeaders, kData},
      {"T[[#totals],[A]]", true, "A", "A", kTotals, kTotals},
      {"T[[#Headers],[#Totals]]", false},
      {"T[#This Row]", true, "", "", kData, kData, true},
      {"T[[#This Row],[A]]", true, "A", "A", kData, kData, true},
      {"T[@A]", true, "A", "A", kData, kData, true},
      {"T[@[A b]:[C]]", true, "A b", "C", kData, kData, true},
      {"T[@]", true, "", "", kData, kData, true},
      {"T[[#This Row],[#Data]]", false},
      {"T[@#All]", false},
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
    EXPECT_EQ(reference.this_row, test.this_row);
  }
  StructuredReference reference;
  EXPECT_FALSE(ParseStructuredReference("Table1", false, &reference));
  EXPECT_FALSE(ParseStructuredReference(std::string(2000, 'T') + "[A]", true, &reference));
}

}  // namespace
}  // namespace ovc::excel::formula
