#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

namespace ovc::excel {

// The cell formats (`cellXfs`) and number formats of a workbook's styles
// part. Cells name their format by index; an index the part does not have
// reads as General, locked and without quote prefix.
//
// The part is borrowed and may be null (a workbook without styles: every
// cell General); it must outlive the Styles object.
class Styles {
 public:
  explicit Styles(pugi::xml_document* part);

  // True when the format shows numbers as dates or times.
  bool IsDateFormat(uint32_t xf) const;
  // True when the format shows numbers as General: number format 0, or a
  // custom one whose code is "General" (as other producers write their
  // default style).
  bool IsGeneral(uint32_t xf) const;
  // The format's protection/@locked; true when absent.
  bool IsLocked(uint32_t xf) const;
  bool HasQuotePrefix(uint32_t xf) const;

  // The index of a format equal to `xf` but with the quote prefix set or
  // cleared, or with the number format `id`: an equal format already in the
  // part, else a copy appended to it. False (nothing changed) when the
  // workbook has no styles part to hold a new format.
  bool WithQuotePrefix(uint32_t xf, bool on, uint32_t* result);
  bool WithNumberFormat(uint32_t xf, uint32_t id, uint32_t* result);

  // True when formats can be added (the part has a cellXfs list).
  bool can_add() const { return static_cast<bool>(cell_xfs_); }
  // True once a format was added to the part.
  bool changed() const { return changed_; }

 private:
  // What a custom number format's code shows.
  struct CustomFormat {
    bool date = false;
    bool general = false;
  };

  pugi::xml_node Xf(uint32_t xf) const;
  uint32_t NumberFormatId(uint32_t xf) const;
  std::string KeyOf(pugi::xml_node xf) const;
  bool FindOrAdd(pugi::xml_node model, uint32_t* result);

  pugi::xml_node cell_xfs_;
  std::vector<pugi::xml_node> xfs_;
  std::map<uint32_t, CustomFormat> custom_formats_;  // by numFmtId
  std::map<std::string, uint32_t> xf_keys_;          // built on first use
  bool changed_ = false;
};

}  // namespace ovc::excel
