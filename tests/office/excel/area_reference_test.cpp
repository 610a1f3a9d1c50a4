#include "office/excel/area_reference.h"

#include <gtest/gtest.h>
#include <string>

namespace ovc::excel {
namespace {

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

}  // namespace
}  // namespace ovc::excel
