#pragma once

#include <cstdint>
#include <map>
#include <tuple>

#include <pugixml.hpp>

#include "office/excel/cell_reference.h"

namespace ovc::excel {

// The calculation chain part: the order in which the file's formula cells
// were last calculated, one entry per formula cell. The part is borrowed and
// may be null (no chain); it must outlive the object.
class CalcChain {
 public:
  explicit CalcChain(pugi::xml_document* part);

  // Removes the entry of `cell` on the sheet with id `sheet_id` (an entry's
  // sheet is that of the entry before it unless it names one). True when
  // there was one.
  bool Remove(uint32_t sheet_id, CellRef cell);

  // True once an entry was removed; the part then needs writing, or removing
  // when it became empty.
  bool changed() const { return changed_; }
  bool empty() const { return entries_.empty(); }

 private:
  using Key = std::tuple<uint32_t, int32_t, int32_t>;
  pugi::xml_node chain_;
  std::map<Key, pugi::xml_node> entries_;
  bool changed_ = false;
};

}  // namespace ovc::excel
