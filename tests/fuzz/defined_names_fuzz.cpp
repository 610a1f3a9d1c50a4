#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "office/excel/defined_names.h"
#include "office/excel/name_rules.h"
#include "office/excel/range_text.h"
#include "office/excel/refers_to.h"
#include "tests/fuzz/fuzz_support.h"

// The input is three parts split at the first two line feeds: a name or a
// range text, a RefersTo, and the workbook part's XML.
namespace ovc::excel {
namespace {

std::string_view TakeLine(std::string_view* input) {
  const size_t end = input->find('\n');
  const std::string_view line = input->substr(0, end);
  input->remove_prefix(end == std::string_view::npos ? input->size() : end + 1);
  return line;
}

std::string Serialised(const pugi::xml_document& document) {
  std::ostringstream out;
  document.save(out, "", pugi::format_raw);
  return out.str();
}

bool InsideTheSheet(const NameTarget& target, size_t sheets) {
  const CellArea& area = target.area;
  return target.sheet >= 0 && static_cast<size_t>(target.sheet) < sheets && area.first.row >= 1 &&
         area.first.column >= 1 && area.first.row <= area.last.row &&
         area.first.column <= area.last.column && area.last.row <= kMaxRow &&
         area.last.column <= kMaxColumn;
}

// Every name reads, resolves inside the sheets or fails, and a valid one
// is found again by its display name.
void ReadEveryName(const DefinedNames& names) {
  DefinedName name;
  for (size_t i = 0; names.At(i, &name); ++i) {
    NameTarget target;
    std::string reason;
    HRESULT code = S_OK;
    if (names.Resolve(name.id, &target, &reason, &code)) {
      fuzz::Require(InsideTheSheet(target, names.sheet_names().size()), "a name resolves inside");
    }
    std::string why;
    const bool findable = name.sheet >= -1 && CheckName(name.name, &why);
    NameId found = 0;
    DefinedName other;
    if (findable && names.Find(name.display_name, -1, &found, &reason, &code)) {
      fuzz::Require(
          names.Get(found, &other) && NameKey(other.display_name) == NameKey(name.display_name),
          "a name is found by its display name");
    }
  }
}

void ResolveText(const DefinedNames& names, std::string_view text) {
  RangeText parsed;
  std::string reason;
  HRESULT code = S_OK;
  if (!ParseRangeText(text, &parsed, &reason, &code)) return;
  NameTarget target;
  if (names.ResolveRange(parsed, 0, &target, &reason, &code)) {
    fuzz::Require(InsideTheSheet(target, names.sheet_names().size()), "a range resolves inside");
  }
}

// Add either changes nothing or stores a name that a fresh model finds with
// a formula that is a constant or references.
void AddThenReread(pugi::xml_document* document, DefinedNames* names, std::string_view name,
                   std::string_view refers_to) {
  const std::string before = Serialised(*document);
  NameId id = 0;
  bool changed = false;
  std::string reason;
  HRESULT code = S_OK;
  if (!names->Add(name, refers_to, {}, &id, &changed, &reason, &code)) {
    fuzz::Require(Serialised(*document) == before, "a refused Add writes nothing");
    return;
  }
  DefinedName added;
  fuzz::Require(names->Get(id, &added), "an added name is there");
  std::vector<SheetArea> areas;
  fuzz::Require(IsConstantFormula(added.formula) || ParseRefersTo(added.formula, &areas, &reason),
                "a stored RefersTo reads back");
  pugi::xml_document reread;
  fuzz::Require(static_cast<bool>(reread.load_string(Serialised(*document).c_str())),
                "the part parses back");
  const DefinedNames again(&reread);
  fuzz::Require(again.Find(name, -1, &id, &reason, &code), "an added name is found after reading");
  const size_t count = names->Count();
  fuzz::Require(names->Delete(added.id, &reason, &code) && names->Count() == count - 1,
                "an added name deletes");
}

}  // namespace
}  // namespace ovc::excel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input = ovc::fuzz::Bytes(data, size);
  const std::string_view text = ovc::excel::TakeLine(&input);
  const std::string_view refers_to = ovc::excel::TakeLine(&input);
  pugi::xml_document document;
  if (!document.load_buffer(input.data(), input.size())) return 0;
  ovc::excel::DefinedNames names(&document);
  ovc::excel::ReadEveryName(names);
  ovc::excel::ResolveText(names, text);
  ovc::excel::AddThenReread(&document, &names, text, refers_to);
  return 0;
}
