#include "office/excel/defined_names.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "automation/text.h"
#include "office/excel/area_reference.h"
#include "office/excel/formula_text.h"
#include "office/excel/name_rules.h"
#include "office/excel/refers_to.h"
#include "office/excel/sheet_prefix.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {

namespace {

constexpr std::string_view kBuiltinPrefix = "_xlnm.";

std::string LookupKey(int32_t sheet, std::string_view name) {
  return std::to_string(sheet) + '|' + NameKey(name);
}

// Names sort without regard to case, "_" before digits and letters.
std::string SortKey(std::string_view name) {
  std::string key = NameKey(name);
  std::replace(key.begin(), key.end(), '_', '\x01');
  return key;
}

// True when a word of the formula could be a defined name; references and
// constants have none, so most names are passed over when names change.
bool MayUseNames(std::string_view formula) {
  bool found = false;
  std::string ignored;
  ForEachNameIn(formula, [&](std::string_view word) {
    found = CheckName(word, &ignored);
    return !found;
  });
  return found;
}

// localSheetId: the 0-based sheet, -1 when absent, -2 when not a number.
int32_t SheetOf(const pugi::xml_node& node) {
  const pugi::xml_attribute attribute = node.attribute("localSheetId");
  if (!attribute) return -1;
  return office::IntegerAttribute(attribute, 0).value_or(-2);
}

bool IsSet(const pugi::xml_attribute& attribute) {
  const std::string_view value = attribute.value();
  return value == "1" || value == "true";
}

bool Fail(HRESULT hr, std::string message, std::string* reason, HRESULT* code) {
  *reason = std::move(message);
  *code = hr;
  return false;
}

bool LooksLikeReference(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '$' || c == ':';
  });
}

}  // namespace

DefinedNames::DefinedNames(pugi::xml_document* workbook) : workbook_(workbook) {
  ReadSheets();
  ReadNames();
}

void DefinedNames::ReadSheets() {
  const pugi::xml_node sheets = SpreadsheetChild(workbook_->document_element(), "sheets");
  for (const pugi::xml_node& sheet : sheets.children()) {
    if (!IsSpreadsheetElement(sheet, "sheet")) continue;
    const std::string name = sheet.attribute("name").value();
    sheet_by_key_.emplace(NameKey(name), static_cast<int32_t>(sheet_names_.size()));
    sheet_names_.push_back(name);
  }
}

void DefinedNames::ReadNames() {
  const pugi::xml_node names = SpreadsheetChild(workbook_->document_element(), "definedNames");
  const auto count = static_cast<size_t>(std::distance(names.begin(), names.end()));
  entries_.reserve(count);
  nodes_.reserve(count);
  by_key_.reserve(count);
  for (const pugi::xml_node& node : names.children()) {
    if (!IsSpreadsheetElement(node, "definedName")) continue;
    entries_.push_back(MakeEntry(node));
    nodes_.emplace(entries_.back().id, node);
    by_key_.emplace(entries_.back().lookup_key, entries_.back().id);
  }
}

DefinedNames::Entry DefinedNames::MakeEntry(const pugi::xml_node& node) {
  const std::string_view name = node.attribute("name").value();
  return {next_id_++, node, SortKey(name), LookupKey(SheetOf(node), name), std::nullopt};
}

int32_t DefinedNames::SheetIndex(std::string_view sheet) const {
  const auto found = sheet_by_key_.find(NameKey(sheet));
  return found == sheet_by_key_.end() ? -1 : found->second;
}

pugi::xml_node DefinedNames::NodeOf(NameId id) const {
  const auto found = nodes_.find(id);
  return found == nodes_.end() ? pugi::xml_node() : found->second;
}

DefinedName DefinedNames::Describe(NameId id, const pugi::xml_node& node) const {
  DefinedName name;
  name.id = id;
  name.name = node.attribute("name").value();
  name.sheet = SheetOf(node);
  name.hidden = IsSet(node.attribute("hidden"));
  name.formula = node.text().get();
  std::string_view shown = name.name;
  // Names compare without regard to case, the built-in prefix too. A name
  // whose rest carries the prefix again is shown whole: without its prefix it
  // would show as the built-in name and be found as that one.
  const auto builtin = [](std::string_view text) {
    return AsciiUpper(text.substr(0, kBuiltinPrefix.size())) == AsciiUpper(kBuiltinPrefix);
  };
  if (builtin(shown) && !builtin(shown.substr(kBuiltinPrefix.size()))) {
    shown.remove_prefix(kBuiltinPrefix.size());
  }
  if (name.sheet == -1) {
    name.display_name = shown;
  } else if (name.sheet >= 0 && name.sheet < static_cast<int32_t>(sheet_names_.size())) {
    name.display_name = FormatSheetPrefix("", sheet_names_[name.sheet]) + std::string(shown);
  } else {
    name.display_name = "#REF!" + std::string(shown);
  }
  return name;
}

bool DefinedNames::At(size_t index, DefinedName* name) const {
  if (index >= entries_.size()) return false;
  *name = Describe(entries_[index].id, entries_[index].node);
  return true;
}

bool DefinedNames::Get(NameId id, DefinedName* name) const {
  const pugi::xml_node node = NodeOf(id);
  if (!node) return false;
  *name = Describe(id, node);
  return true;
}

std::optional<NameId> DefinedNames::Lookup(int32_t sheet, std::string_view name) const {
  std::string key = LookupKey(sheet, name);
  auto found = by_key_.find(key);
  if (found != by_key_.end()) return found->second;
  // The built-in names answer without their prefix.
  key.insert(key.find('|') + 1, AsciiUpper(kBuiltinPrefix));
  found = by_key_.find(key);
  return found == by_key_.end() ? std::nullopt : std::optional<NameId>(found->second);
}

bool DefinedNames::Find(std::string_view text, int32_t active_sheet, NameId* id,
                        std::string* reason, HRESULT* code) const {
  SheetQualified split;
  std::optional<NameId> found;
  if (SplitSheetPrefix(TrimBlanks(text), &split) && split.book.empty()) {
    if (!split.sheet.empty()) {
      const int32_t sheet = SheetIndex(split.sheet);
      if (sheet >= 0) found = Lookup(sheet, split.rest);
    } else {
      found = Lookup(-1, split.rest);
      if (!found && active_sheet >= 0) found = Lookup(active_sheet, split.rest);
    }
  }
  if (!found) return Fail(DISP_E_BADINDEX, "no such name", reason, code);
  *id = *found;
  return true;
}

bool DefinedNames::TargetOf(const std::string& formula, NameTarget* target, std::string* reason,
                            HRESULT* code) const {
  std::vector<SheetArea> areas;
  std::string why;
  if (!ParseRefersTo(formula, &areas, &why)) {
    std::string_view body = TrimBlanks(formula);
    if (body.starts_with('=')) body = TrimBlanks(body.substr(1));
    formula::StructuredReference table;
    if (formula::ParseStructuredReference(body, false, &table)) {
      return LocateTable(table, target, reason, code);
    }
    return Fail(DISP_E_BADINDEX, why, reason, code);
  }
  const int32_t sheet = SheetIndex(areas.front().sheet);
  if (sheet < 0) {
    return Fail(DISP_E_BADINDEX, "refers to a missing sheet '" + areas.front().sheet + "'", reason,
                code);
  }
  *target = {sheet, areas.front().area, areas.size() > 1};
  return true;
}

bool DefinedNames::LocateTable(const formula::StructuredReference& reference, NameTarget* target,
                               std::string* reason, HRESULT* code) const {
  std::string why = "no table '" + reference.table + "'";
  if (table_locator_ && table_locator_(reference, target, &why)) return true;
  return Fail(DISP_E_BADINDEX, why, reason, code);
}

bool DefinedNames::Resolve(NameId id, NameTarget* target, std::string* reason,
                           HRESULT* code) const {
  const pugi::xml_node node = NodeOf(id);
  if (!node) return Fail(DISP_E_BADINDEX, "the name was deleted", reason, code);
  return TargetOf(node.text().get(), target, reason, code);
}

bool DefinedNames::ResolveRange(const RangeText& text, int32_t active_sheet, NameTarget* target,
                                std::string* reason, HRESULT* code) const {
  std::optional<NameId> found;
  if (!text.sheet.empty()) {
    const int32_t sheet = SheetIndex(text.sheet);
    if (sheet < 0) return Fail(DISP_E_BADINDEX, "no sheet '" + text.sheet + "'", reason, code);
    found = Lookup(sheet, text.name);
    if (!found && text.is_reference) {
      *target = {sheet, text.area, false};
      return true;
    }
    if (!found && text.is_r1c1) {
      return Fail(E_INVALIDARG, "R1C1 reference '" + text.text + "': write it in A1 form", reason,
                  code);
    }
  } else {
    found = Lookup(-1, text.name);
    if (!found && active_sheet >= 0) found = Lookup(active_sheet, text.name);
    if (!found && (text.is_reference || text.is_r1c1)) {
      return Fail(E_INVALIDARG,
                  "unqualified cell reference '" + text.text + "': qualify it with a sheet name",
                  reason, code);
    }
  }
  formula::StructuredReference table;
  if (!found && text.sheet.empty() && formula::ParseStructuredReference(text.name, true, &table)) {
    if (LocateTable(table, target, reason, code)) return true;
    if (text.name.find('[') != std::string::npos) return false;
  }
  if (!found) return Fail(DISP_E_BADINDEX, "no name '" + text.name + "'", reason, code);
  if (Resolve(*found, target, reason, code)) return true;
  *reason = "name '" + text.name + "' " + *reason;
  return false;
}

bool DefinedNames::StoredReference(std::string_view item, int32_t active_sheet, std::string* stored,
                                   std::string* reason, HRESULT* code) const {
  const std::string quoted = "'" + std::string(item) + "'";
  SheetQualified split;
  if (!SplitSheetPrefix(item, &split)) {
    return Fail(E_INVALIDARG, quoted + " is not a valid reference", reason, code);
  }
  if (!split.book.empty()) {
    return Fail(E_NOTIMPL, "references to other workbooks are not supported", reason, code);
  }
  if (split.sheet.find_first_of(":[]") != std::string::npos || !LooksLikeReference(split.rest)) {
    return Fail(E_NOTIMPL, "RefersTo supports references and constants only", reason, code);
  }
  CellArea area;
  if (!ParseAreaReference(split.rest, &area)) {
    return Fail(E_INVALIDARG, quoted + " is not a valid reference", reason, code);
  }
  if (split.sheet.empty()) {
    if (active_sheet < 0) return Fail(E_INVALIDARG, quoted + " needs a sheet name", reason, code);
    split.sheet = sheet_names_[active_sheet];
  }
  const int32_t sheet = SheetIndex(split.sheet);
  if (sheet < 0) return Fail(E_INVALIDARG, "no sheet '" + split.sheet + "'", reason, code);
  *stored = FormatSheetPrefix("", sheet_names_[sheet]) + AsciiUpper(split.rest);
  return true;
}

bool DefinedNames::StoredFormula(std::string_view refers_to, int32_t active_sheet,
                                 std::string* formula, std::string* reason, HRESULT* code) const {
  refers_to = TrimBlanks(refers_to);
  if (refers_to.empty() || refers_to.front() != '=') {
    return Fail(E_INVALIDARG, "RefersTo must start with '='", reason, code);
  }
  const std::string_view body = TrimBlanks(refers_to.substr(1));
  if (body.empty()) return Fail(E_INVALIDARG, "RefersTo is empty", reason, code);
  if (IsConstantFormula(body)) {
    *formula = body;
    return true;
  }
  std::string stored;
  for (std::string_view item : SplitFormulaList(body)) {
    std::string reference;
    if (!StoredReference(TrimBlanks(item), active_sheet, &reference, reason, code)) return false;
    if (!stored.empty()) stored += ',';
    stored += reference;
  }
  *formula = std::move(stored);
  return true;
}

bool DefinedNames::Add(std::string_view name, std::string_view refers_to,
                       const NameOptions& options, NameId* id, bool* changed, std::string* reason,
                       HRESULT* code) {
  // A root of another namespace would take the new elements into it, where
  // no reader finds them.
  if (!IsSpreadsheetElement(workbook_->document_element(), "workbook")) {
    return Fail(STG_E_DOCFILECORRUPT, "the workbook part has no workbook element", reason, code);
  }
  if (!CheckName(name, reason)) return Fail(E_INVALIDARG, *reason, reason, code);
  if (options.macro_type && *options.macro_type != 3) {
    if (*options.macro_type == 1 || *options.macro_type == 2) {
      return Fail(E_NOTIMPL, "macro names are not supported", reason, code);
    }
    return Fail(E_INVALIDARG, "MacroType must be 1, 2 or 3", reason, code);
  }
  const int32_t active_sheet =
      options.active_sheet < static_cast<int32_t>(sheet_names_.size()) ? options.active_sheet : -1;
  std::string formula;
  if (!StoredFormula(refers_to, active_sheet, &formula, reason, code)) return false;

  const auto existing = by_key_.find(LookupKey(-1, name));
  if (existing == by_key_.end()) {
    *id = Insert(name, formula, options.visible == false);
    *changed = true;
    return true;
  }
  pugi::xml_node node = NodeOf(existing->second);
  *changed = formula != node.text().get();
  if (*changed) {
    node.text().set(formula.c_str());
    NoteFormulaChanged(existing->second);
  }
  if (options.visible == true && node.attribute("hidden")) {
    *changed = true;
    node.remove_attribute("hidden");
  } else if (options.visible == false && !IsSet(node.attribute("hidden"))) {
    *changed = true;
    if (!node.attribute("hidden")) node.append_attribute("hidden");
    node.attribute("hidden").set_value("1");
  }
  *id = existing->second;
  return true;
}

pugi::xml_node DefinedNames::NamesElement() {
  pugi::xml_node root = workbook_->document_element();
  if (pugi::xml_node names = SpreadsheetChild(root, "definedNames")) return names;
  return office::InsertInOrder(
      root, kSpreadsheetNamespace, "definedNames",
      {"fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
       "functionGroups", "externalReferences", "definedNames"});
}

NameId DefinedNames::Insert(std::string_view name, const std::string& formula, bool hidden) {
  pugi::xml_node parent = NamesElement();
  const std::string key = SortKey(name);
  // Before the first name that sorts after it: a file's names need not be
  // in order.
  const auto position = std::find_if(entries_.begin(), entries_.end(),
                                     [&key](const Entry& entry) { return key < entry.sort_key; });
  const std::string qualified = SpreadsheetName(parent, "definedName");
  pugi::xml_node node;
  if (position != entries_.end()) {
    node = parent.insert_child_before(qualified.c_str(), position->node);
  } else if (!entries_.empty()) {
    node = parent.insert_child_after(qualified.c_str(), entries_.back().node);
  } else {
    node = parent.append_child(qualified.c_str());
  }
  node.append_attribute("name").set_value(std::string(name).c_str());
  if (hidden) node.append_attribute("hidden").set_value("1");
  node.text().set(formula.c_str());
  const auto inserted = entries_.insert(position, MakeEntry(node));
  nodes_.emplace(inserted->id, node);
  by_key_.emplace(inserted->lookup_key, inserted->id);
  return inserted->id;
}

void DefinedNames::NoteFormulaChanged(NameId id) {
  for (Entry& entry : entries_) {
    if (entry.id == id) entry.uses_names.reset();
  }
}

std::vector<std::string> DefinedNames::NamesUsing(std::string_view name) {
  // Grows the set of changed names until no other name uses one of them;
  // each pass adds at least one name or ends.
  std::vector<std::string> users;
  std::unordered_set<std::string> changed_keys{NameKey(name)};
  std::vector<const Entry*> pending;
  for (Entry& entry : entries_) {
    if (!entry.uses_names) entry.uses_names = MayUseNames(entry.node.text().get());
    if (*entry.uses_names) pending.push_back(&entry);
  }
  for (bool grew = true; grew;) {
    grew = false;
    for (const Entry*& entry : pending) {
      if (entry == nullptr) continue;
      bool uses = false;
      ForEachNameIn(entry->node.text().get(), [&](std::string_view word) {
        uses = changed_keys.contains(NameKey(word));
        return !uses;
      });
      if (!uses) continue;
      const std::string user = entry->node.attribute("name").value();
      users.push_back(user);
      changed_keys.insert(NameKey(user));
      entry = nullptr;
      grew = true;
    }
  }
  return users;
}

bool DefinedNames::Delete(NameId id, std::string* reason, HRESULT* code) {
  const auto position = std::find_if(entries_.begin(), entries_.end(),
                                     [id](const Entry& entry) { return entry.id == id; });
  if (position == entries_.end()) {
    return Fail(DISP_E_BADINDEX, "the name was deleted", reason, code);
  }
  const std::string lookup_key = position->lookup_key;
  pugi::xml_node parent = position->node.parent();
  parent.remove_child(position->node);
  entries_.erase(position);
  nodes_.erase(id);
  const auto indexed = by_key_.find(lookup_key);
  if (indexed != by_key_.end() && indexed->second == id) {
    by_key_.erase(indexed);
    // A later name of the same key, kept by the file, answers from now on.
    for (const Entry& entry : entries_) {
      if (entry.lookup_key == lookup_key) {
        by_key_.emplace(lookup_key, entry.id);
        break;
      }
    }
  }
  if (!parent.find_child(
          [](const pugi::xml_node& child) { return child.type() == pugi::node_element; })) {
    parent.parent().remove_child(parent);
  }
  return true;
}

}  // namespace ovc::excel
