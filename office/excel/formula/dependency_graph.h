#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "office/excel/formula/formula.h"

namespace ovc::excel::formula {

// One cell of a workbook: 0-based sheet, 1-based row and column.
struct CellKey {
  int32_t sheet = 0;
  int32_t row = 0;
  int32_t column = 0;
  friend bool operator==(const CellKey&, const CellKey&) = default;
};

// The formula cells of a workbook and the cells each reads, to find which
// formulas a change reaches and in which order to evaluate them.
class DependencyGraph {
 public:
  // Adds a formula cell reading `precedents`, replacing what the cell read
  // before; a volatile one is evaluated on every calculation.
  void Add(CellKey cell, const std::vector<Area>& precedents, bool is_volatile);
  // Removes a formula cell (one that no longer holds a formula); nothing
  // when the graph does not have it.
  void Remove(CellKey cell);

  // The formulas to evaluate after `written` cells changed and `stale`
  // formulas lost their values: those formulas, the volatile ones, the
  // formulas reading any of them or a written cell, and so on; each after
  // every formula of the set it reads (*order). Formulas on a circular
  // reference, and those reading them, go to *circular instead. Iterative:
  // no recursion however long the chains.
  void Plan(const std::vector<CellKey>& stale, const std::vector<Area>& written,
            std::vector<CellKey>* order, std::vector<CellKey>* circular) const;

  // Calls reach(formula cell) for every formula reading `cell`, directly or
  // through other formulas; the formulas reading one for which reach returns
  // false are not followed from it. Iterative, like Plan.
  void ForEachDependent(const CellKey& cell,
                        const std::function<bool(const CellKey&)>& reach) const;

  // How many formula cells the graph holds.
  size_t size() const { return index_.size(); }

 private:
  struct Reader {
    Area area;
    uint32_t formula;
  };

  static uint64_t KeyOf(const CellKey& cell);
  // Calls visit(formula index) for every formula reading a cell of `area`.
  template <typename Visit>
  void ForEachReader(const Area& area, Visit visit) const;

  // Where a formula's reads are filed, to take them out again.
  void File(uint32_t formula);
  void Unfile(uint32_t formula);

  // By formula index; the slots of removed formulas are reused.
  std::vector<CellKey> cells_;
  std::vector<bool> volatile_;
  std::vector<std::vector<Area>> precedents_;
  std::vector<uint32_t> free_;
  std::unordered_map<uint64_t, uint32_t> index_;  // by KeyOf
  // Readers of single cells by KeyOf; of narrow areas under each of their
  // columns, of low ones under each of their rows, of the others in one list.
  std::unordered_multimap<uint64_t, uint32_t> cell_readers_;
  std::unordered_map<uint64_t, std::vector<Reader>> column_readers_;
  std::unordered_map<uint64_t, std::vector<Reader>> row_readers_;
  std::vector<Reader> wide_readers_;
};

}  // namespace ovc::excel::formula
