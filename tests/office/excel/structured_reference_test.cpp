#include "office/excel/structured_reference.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ovc::excel {
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
  } cases[] = {
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

}  // namespace
}  // namespace ovc::excel
