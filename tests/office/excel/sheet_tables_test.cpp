#include "office/excel/sheet_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "office/excel/area_reference.h"
#include "tests/office/excel/xml_part.h"

namespace ovc::excel {
namespace {

// The address "T[#Data]" names in a table over A1:A4 with these row counts
// (attributes left out when null); "" when the table is left out.
std::string DataRows(const char* header_rows, const char* totals_rows) {
  std::string table =
      "<table xmlns='http://schemas.openxmlformats.org/spreadsheetml/2006/main' id='1' "
      "displayName='T' ref='A1:A4'";
  if (header_rows != nullptr) table += " headerRowCount='" + std::string(header_rows) + "'";
  if (totals_rows != nullptr) table += " totalsRowCount='" + std::string(totals_rows) + "'";
  pugi::xml_document part;
  LoadPart(&part, table +
                      "><tableColumns count='1'><tableColumn id='1' name='C'/>"
                      "</tableColumns></table>");
  SheetTables tables;
  tables.Add(&part);
  formula::StructuredReference reference;
  EXPECT_TRUE(formula::ParseStructuredReference("T[#Data]", false, &reference));
  CellArea area;
  std::string reason;
  if (!tables.Locate(reference, &area, &reason)) return "";
  return FormatAddress(area, AddressStyle{false, false, false});
}

// Row counts are read within the table's rows; a table whose counts do not
// fit is left out.
TEST(SheetTablesTest, RowCountsOutsideTheTableLeaveItOut) {
  const struct {
    const char* header_rows;
    const char* totals_rows;
    std::string data;
  } cases[] = {
      {nullptr, nullptr, "A2:A4"}, {"0", "1", "A1:A3"}, {"2147483647", nullptr, ""},
      {"5", nullptr, ""},          {nullptr, "-1", ""}, {nullptr, "4294967296", ""},
      {"1x", nullptr, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DataRows(c.header_rows, c.totals_rows), c.data)
        << (c.header_rows ? c.header_rows : "-") << " " << (c.totals_rows ? c.totals_rows : "-");
  }
}

}  // namespace
}  // namespace ovc::excel
