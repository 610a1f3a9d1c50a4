#include "office/excel/formula/dependency_graph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace ovc::excel::formula {
namespace {

Area Cells(int32_t top, int32_t left, int32_t bottom, int32_t right, int32_t sheet = 0) {
  return {sheet, top, left, bottom, right};
}

std::vector<CellKey> Sorted(std::vector<CellKey> cells) {
  std::sort(cells.begin(), cells.end(), [](const CellKey& a, const CellKey& b) {
    return std::tie(a.sheet, a.row, a.column) < std::tie(b.sheet, b.row, b.column);
  });
  return cells;
}

// Cells as "B5 1!A1": one column letter, a sheet other than 0 before "!".
std::vector<CellKey> Keys(const std::string& text) {
  std::vector<CellKey> keys;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const bool other_sheet = word[1] == '!';
    const std::string cell = other_sheet ? word.substr(2) : word;
    keys.push_back({other_sheet ? word[0] - '0' : 0, std::stoi(cell.substr(1)), cell[0] - 'A' + 1});
  }
  return keys;
}

size_t Position(const std::vector<CellKey>& order, CellKey cell) {
  return size_t(std::find(order.begin(), order.end(), cell) - order.begin());
}

// Column B reads column A: B1 = A1, B2 = B1 + A2 ..., C1 = SUM(B1:B5),
// D1 = SUM(A:A), E10 = SUM(30:30) (wide), F20 volatile, G1 = G2,
// G2 = G1 + A1 (a circle), H1 = G1 (behind the circle), and Sheet 1's
// A1 = Sheet 0's B5.
DependencyGraph Workbook() {
  DependencyGraph graph;
  graph.Add({0, 1, 2}, {Cells(1, 1, 1, 1)}, false);
  for (int32_t row = 2; row <= 5; ++row) {
    graph.Add({0, row, 2}, {Cells(row - 1, 2, row - 1, 2), Cells(row, 1, row, 1)}, false);
  }
  graph.Add({0, 1, 3}, {Cells(1, 2, 5, 2)}, false);
  graph.Add({0, 1, 4}, {Cells(1, 1, kSheetRows, 1)}, false);
  graph.Add({0, 10, 5}, {Cells(30, 1, 30, kSheetColumns)}, false);
  graph.Add({0, 20, 6}, {}, true);
  graph.Add({0, 1, 7}, {Cells(2, 7, 2, 7)}, false);
  graph.Add({0, 2, 7}, {Cells(1, 7, 1, 7), Cells(1, 1, 1, 1)}, false);
  graph.Add({0, 1, 8}, {Cells(1, 7, 1, 7)}, false);
  graph.Add({1, 1, 1}, {Cells(5, 2, 5, 2)}, false);
  return graph;
}

TEST(DependencyGraphTest, PlansExactlyWhatAChangeReachesInOrder) {
  const struct {
    std::vector<Area> written;
    std::vector<CellKey> stale;
    std::string order;  // the planned cells, sorted
    size_t circular;
  } cases[] = {
      {{}, {}, "F20", 0},
      {{Cells(3, 1, 3, 1)}, {}, "C1 D1 B3 B4 B5 F20 1!A1", 0},
      {{Cells(9, 9, 9, 9)}, Keys("B5"), "C1 B5 F20 1!A1", 0},
      {{Cells(30, 9, 30, 9)}, {}, "E10 F20", 0},
      {{Cells(1, 1, 1, 1, 1)}, {}, "F20", 0},                         // another sheet's A1
      {{Cells(1, 1, 1, 1)}, {}, "B1 C1 D1 B2 B3 B4 B5 F20 1!A1", 3},  // G1, G2 and H1
  };
  for (const auto& c : cases) {
    std::vector<CellKey> order, circular;
    Workbook().Plan(c.stale, c.written, &order, &circular);
    EXPECT_EQ(circular.size(), c.circular);
    EXPECT_EQ(Sorted(order), Keys(c.order));
    if (Position(order, {0, 5, 2}) < order.size()) {
      EXPECT_LT(Position(order, {0, 5, 2}), Position(order, {0, 1, 3}));
      EXPECT_LT(Position(order, {0, 5, 2}), Position(order, {1, 1, 1}));
    }
  }
}

TEST(DependencyGraphTest, ReplacedAndRemovedFormulasNoLongerReadWhatTheyRead) {
  DependencyGraph graph = Workbook();
  graph.Add({0, 1, 3}, {Cells(9, 9, 9, 9)}, false);  // C1 now reads I9 instead of B1:B5
  graph.Remove({0, 2, 7});                           // G2 holds a value: the circle is gone
  graph.Remove({0, 1, 8});
  graph.Add({0, 1, 9}, {Cells(1, 1, 1, 1)}, false);  // I1 takes a freed slot
  EXPECT_EQ(graph.size(), size_t(12));
  const struct {
    Area written;
    std::string order;  // sorted
  } cases[] = {
      {Cells(1, 1, 1, 1), "B1 D1 I1 B2 B3 B4 B5 F20 1!A1"},
      {Cells(9, 9, 9, 9), "C1 F20"},
      {Cells(2, 7, 2, 7), "G1 F20"},
  };
  for (const auto& c : cases) {
    std::vector<CellKey> order, circular;
    graph.Plan({}, {c.written}, &order, &circular);
    EXPECT_EQ(Sorted(order), Keys(c.order));
    EXPECT_TRUE(circular.empty());
  }
}

TEST(DependencyGraphTest, AChainOfAHundredThousandCellsNeedsNoRecursion) {
  DependencyGraph graph;
  constexpr int32_t kLength = 100000;
  for (int32_t row = kLength; row >= 1; --row) {
    graph.Add({0, row, 2}, {Cells(row - 1, 2, row - 1, 2), Cells(row, 1, row, 1)}, false);
  }
  std::vector<CellKey> order, circular;
  graph.Plan({}, {Cells(1, 1, 1, 1)}, &order, &circular);
  ASSERT_EQ(order.size(), size_t(kLength));
  EXPECT_EQ(order.front(), (CellKey{0, 1, 2}));
  EXPECT_EQ(order.back(), (CellKey{0, kLength, 2}));
  EXPECT_TRUE(circular.empty());
}

}  // namespace
}  // namespace ovc::excel::formula
