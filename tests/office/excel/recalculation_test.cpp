#include "office/excel/recalculation.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel {
namespace {

constexpr CellRef kCell{1, 1};

TEST(RecalculationTest, ANameChangeMakesStaleOnlyTheFormulasUsingIt) {
  const struct Case {
    const char* formula;
    const char* changed;
    const char* stale_name;  // the name the reason gives; "" when fresh
  } cases[] = {
      {"Rate*2", "rate", "Rate"},
      {"SUM(Sheet1!RATE,1)", "Rate", "RATE"},              // a sheet-qualified name may be the one
      {"RATE(1,2,3)", "Rate", ""},                         // a function of that name
      {"'Rate'!A1+Rate!B2", "Rate", ""},                   // sheets of that name
      {"Table1[Rate]", "Rate", ""},                        // a table column
      {"T\xC3\xA4ler*2", "T\xC3\x84LER", "T\xC3\xA4ler"},  // non-ASCII, any case
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.formula);
    Recalculation recalculation(false);
    recalculation.NoteNameChange(c.changed);
    EXPECT_TRUE(recalculation.written());
    const std::string reason = recalculation.StaleReason(1, kCell, c.formula, true);
    EXPECT_EQ(reason, *c.stale_name == '\0'
                          ? ""
                          : "name '" + std::string(c.stale_name) + "' changed since load");
  }
}

TEST(RecalculationTest, ACalculatedCellStaysFreshUntilALaterChangeOrAWorkbookCalculation) {
  Recalculation recalculation(false);
  recalculation.NoteNameChange("Rate");
  recalculation.NoteCalculated(1, kCell);
  EXPECT_EQ(recalculation.StaleReason(1, kCell, "Rate*2", true), "");
  recalculation.NoteNameChange("Other");
  EXPECT_EQ(recalculation.StaleReason(1, kCell, "Rate*2", true), "");
  recalculation.NoteNameChange("RATE");
  EXPECT_NE(recalculation.StaleReason(1, kCell, "Rate*2", true), "");
  recalculation.NoteCalculated(1, kCell);
  recalculation.NoteWrite(2, {kCell, kCell});
  EXPECT_EQ(recalculation.StaleReason(1, kCell, "1+1", true), "input written since load");
  EXPECT_EQ(recalculation.StaleReason(2, kCell, "1+1", true), "input written since load");
  EXPECT_EQ(recalculation.CalculationReason(1, kCell, "1+1", true), "");
  EXPECT_EQ(recalculation.written_since_calculation().size(), 1u);

  // A workbook calculation freshens all but its failures.
  Recalculation full(true);
  EXPECT_EQ(full.CalculationReason(1, kCell, "NOW()", false),
            "no cached value; the file asks for a full calculation on load; volatile function NOW");
  full.NoteWrite(1, {kCell, kCell});
  full.NoteCalculation({{{1, 2, 2}, "circular reference among B2"}});
  EXPECT_EQ(full.StaleReason(1, kCell, "NOW()", false), "");
  EXPECT_TRUE(full.written_since_calculation().empty());
  EXPECT_EQ(full.StaleReason(1, {2, 2}, "B2", true), "circular reference among B2");
  EXPECT_EQ(full.CalculationReason(1, {2, 2}, "B2", true), "circular reference among B2");
}

}  // namespace
}  // namespace ovc::excel
