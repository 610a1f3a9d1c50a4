#include "office/excel/area_reference.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace ovc::excel {
namespace {

TEST(AreaReferenceTest, ReadsCellsAreasColumnsAndRows) {
  const struct {
    const char* text;
    CellArea area;
  } cases[] = {
      {"B2", {{2, 2}, {2, 2}}},
      {"$B$2:$C$4", {{2, 2}, {4, 3}}},
      {"C4:b2", {{2, 2}, {4, 3}}},
      {"$A:$A", {{1, 1}, {kMaxRow, 1}}},
      {"c:A", {{1, 1}, {kMaxRow, 3}}},
      {"$1:$3", {{1, 1}, {3, kMaxColumn}}},
      {"A1:XFD1048576", {{1, 1}, {kMaxRow, kMaxColumn}}},
  };
  for (const auto& c : cases) {
    CellArea area;
    ASSERT_TRUE(ParseAreaReference(c.text, &area)) << c.text;
    EXPECT_EQ(area, c.area) << c.text;
  }
  for (const char* text : {"", "A", "1", "A:", ":A", "A1:", "A1:B", "A:1", "A1:B2:C3", "$A:$XFE",
                           "0:1", "A1 :B2", "Sheet1!A1", "R1C1"}) {
    CellArea area{{9, 9}, {9, 9}};
    EXPECT_FALSE(ParseAreaReference(text, &area)) << text;
    EXPECT_EQ(area, (CellArea{{9, 9}, {9, 9}})) << text;
  }
}

TEST(AreaReferenceTest, RecognisesR1C1Text) {
  for (const char* text : {"R2C3", "r2c3", "RC", "R", "c", "C4", "R[-1]C[2]", "R[+1]C", "R1:R3",
                           "R1C1:R2C2", "R99999999C1"}) {
    EXPECT_TRUE(ReadsAsR1C1Reference(text)) << text;
  }
  for (const char* text : {"", "B2", "RR", "R1C1X", "R[]C", "R[1C", "R[x]", "RC2D", "R1:", "CR"}) {
    EXPECT_FALSE(ReadsAsR1C1Reference(text)) << text;
  }
}

TEST(AreaReferenceTest, FormatsAddresses) {
  const CellArea block{{10, 3}, {14, 3}};
  const CellArea cell{{10, 3}, {10, 3}};
  const CellArea columns{{1, 1}, {kMaxRow, 2}};
  const CellArea rows{{1, 1}, {3, kMaxColumn}};
  const CellArea sheet{{1, 1}, {kMaxRow, kMaxColumn}};
  const AddressStyle absolute;
  const AddressStyle relative{false, false, false};
  const AddressStyle row_only{true, false, false};
  const AddressStyle r1c1{true, true, true};
  const AddressStyle r1c1_relative{false, false, true};
  const struct {
    CellArea area;
    AddressStyle style;
    const char* address;
  } cases[] = {
      {block, absolute, "$C$10:$C$14"},
      {block, relative, "C10:C14"},
      {block, row_only, "C$10:C$14"},
      {cell, absolute, "$C$10"},
      {{{1, 1}, {1, 1}}, absolute, "$A$1"},
      {columns, absolute, "$A:$B"},
      {{{1, 1}, {kMaxRow, 1}}, relative, "A:A"},
      {rows, absolute, "$1:$3"},
      {sheet, absolute, "$1:$1048576"},
      {block, r1c1, "R10C3:R14C3"},
      {cell, r1c1, "R10C3"},
      {cell, r1c1_relative, "R[9]C[2]"},
      {{{1, 1}, {1, 1}}, r1c1_relative, "RC"},
      {{{1, 1}, {kMaxRow, 1}}, r1c1, "C1"},
      {columns, r1c1, "C1:C2"},
      {rows, r1c1, "R1:R3"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatAddress(c.area, c.style), c.address);
}

TEST(AreaReferenceTest, CountsAndResizesFromTheTopLeftCell) {
  const CellArea merged{{1, 1}, {2, 2}};
  EXPECT_EQ(AreaRows(merged) * 10 + AreaColumns(merged), 22);
  EXPECT_EQ(AreaCells({{1, 1}, {kMaxRow, kMaxColumn}}), int64_t{kMaxRow} * kMaxColumn);
  const struct {
    CellArea area;
    std::optional<int32_t> rows;
    std::optional<int32_t> columns;
    CellArea resized;
  } cases[] = {
      {{{10, 3}, {14, 3}}, 1, 1, {{10, 3}, {10, 3}}},
      {{{10, 3}, {10, 3}}, 5, 2, {{10, 3}, {14, 4}}},
      {{{10, 3}, {14, 4}}, std::nullopt, 1, {{10, 3}, {14, 3}}},
      {{{10, 3}, {14, 4}}, 3, std::nullopt, {{10, 3}, {12, 4}}},
      {{{kMaxRow, 1}, {kMaxRow, 1}}, 1, kMaxColumn, {{kMaxRow, 1}, {kMaxRow, kMaxColumn}}},
  };
  for (const auto& c : cases) {
    CellArea resized;
    std::string reason;
    HRESULT code = S_OK;
    ASSERT_TRUE(ResizeArea(c.area, c.rows, c.columns, &resized, &reason, &code)) << reason;
    EXPECT_EQ(resized, c.resized);
  }
  const CellArea cell{{kMaxRow, kMaxColumn}, {kMaxRow, kMaxColumn}};
  for (const auto& [rows, columns] : {std::pair{0, 1}, {1, -1}, {2, 1}, {1, 2}}) {
    CellArea resized;
    std::string reason;
    HRESULT code = S_OK;
    EXPECT_FALSE(ResizeArea(cell, rows, columns, &resized, &reason, &code)) << rows << columns;
    EXPECT_EQ(code, E_INVALIDARG);
  }
}

}  // namespace
}  // namespace ovc::excel
