#include "office/excel/workbook_document.h"

#include <filesystem>
#include <string_view>
#include <utility>

#include "office/common/open_files.h"
#include "office/excel/spreadsheet_xml.h"

namespace ovc::excel {
namespace {

constexpr std::string_view kRelationships =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string RelationshipType(std::string_view kind) {
  return std::string(kRelationships) + "/" + std::string(kind);
}

// The relationship id of a workbook's sheet element (r:id, whatever the
// prefix of the relationships namespace).
std::string RelationshipIdOf(const pugi::xml_node& sheet) {
  for (const pugi::xml_attribute& attribute : sheet.attributes()) {
    const std::string_view name = attribute.name();
    if (name.size() > 3 && name.substr(name.size() - 3) == ":id") return attribute.value();
  }
  return "";
}

// The local name of an element, without its prefix.
std::string_view LocalName(const pugi::xml_node& node) {
  const std::string_view name = node.name();
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node ChildNamed(const pugi::xml_node& parent, std::string_view local) {
  for (const pugi::xml_node& child : parent.children()) {
    if (LocalName(child) == local) return child;
  }
  return {};
}

}  // namespace

WorkbookDocument::WorkbookDocument(std::unique_ptr<office::Package> package, std::string path)
    : package_(std::move(package)),
      path_(std::move(path)),
      file_name_(std::filesystem::path(path_).filename().string()) {}

std::unique_ptr<WorkbookDocument> WorkbookDocument::Open(const std::string& path, bool read_only,
                                                         const office::Services& services,
                                                         std::string* error, HRESULT* code) {
  office::OpenOptions options;
  options.read_only = read_only;
  options.kind = office::DocumentKind::kWorkbook;
  if (services.trace) {
    options.trace = [trace = services.trace](std::string_view line) { trace(std::string(line)); };
  }
  std::unique_ptr<office::Package> package = office::Package::Open(path, options, error, code);
  if (!package) return nullptr;
  std::unique_ptr<WorkbookDocument> document(
      new WorkbookDocument(std::move(package), office::FullPathOf(path)));
  if (!document->ReadParts(error, code)) return nullptr;
  return document;
}

pugi::xml_document* WorkbookDocument::RelatedXmlPart(const std::string& source,
                                                     std::string_view type, std::string* part,
                                                     std::string* error) {
  std::vector<std::string> parts;
  if (!package_->RelatedParts(source, type, &parts, error) || parts.empty()) return nullptr;
  *part = parts.front();
  return package_->XmlPart(*part, error);
}

bool WorkbookDocument::ReadParts(std::string* error, HRESULT* code) {
  *code = STG_E_DOCFILECORRUPT;
  const std::string& main = package_->MainDocumentPartName();
  pugi::xml_document* workbook = package_->XmlPart(main, error);
  std::vector<std::string> revisions;
  if (workbook == nullptr ||
      !package_->RelatedParts(main, RelationshipType("revisionHeaders"), &revisions, error) ||
      !ReadSheetParts(*workbook, error)) {
    return false;
  }
  shared_ = !revisions.empty();
  names_ = std::make_unique<DefinedNames>(workbook);
  names_->set_table_locator(
      [this](const formula::StructuredReference& reference, NameTarget* target,
             std::string* reason) { return LocateTable(reference, target, reason); });
  BookParts parts;
  parts.workbook = workbook;
  std::string ignored;
  parts.styles = RelatedXmlPart(main, RelationshipType("styles"), &styles_part_, &ignored);
  parts.shared_strings =
      RelatedXmlPart(main, RelationshipType("sharedStrings"), &ignored, &ignored);
  parts.calc_chain =
      RelatedXmlPart(main, RelationshipType("calcChain"), &calc_chain_part_, &ignored);
  cells_ = std::make_unique<CellStore>(parts);
  cells_->set_shared_workbook(shared_);
  properties_ = office::CoreProperties::OfPackage(package_.get(), &core_part_);
  const pugi::xml_attribute tab =
      ChildNamed(ChildNamed(workbook->document_element(), "bookViews"), "workbookView")
          .attribute("activeTab");
  active_sheet_ =
      office::IntegerAttribute(tab, 0, static_cast<int32_t>(sheets_.size()) - 1).value_or(0);
  *code = S_OK;
  return true;
}

bool WorkbookDocument::ReadSheetParts(const pugi::xml_document& workbook, std::string* error) {
  std::vector<office::Relationship> relationships;
  if (!package_->Relationships(package_->MainDocumentPartName(), &relationships, error)) {
    return false;
  }
  for (const pugi::xml_node& sheet : ChildNamed(workbook.document_element(), "sheets").children()) {
    if (LocalName(sheet) != "sheet") continue;
    SheetPart entry;
    entry.sheet_id = office::IntegerAttribute<uint32_t>(sheet.attribute("sheetId")).value_or(0);
    const std::string id = RelationshipIdOf(sheet);
    for (const office::Relationship& relationship : relationships) {
      if (relationship.id == id && !relationship.external) entry.part = relationship.part;
    }
    sheets_.push_back(std::move(entry));
  }
  return true;
}

Sheet* WorkbookDocument::SheetAt(int32_t sheet, std::string* error) {
  if (sheet < 0 || static_cast<size_t>(sheet) >= sheets_.size()) {
    *error = file_name_ + ": sheet " + std::to_string(sheet + 1) + " does not exist";
    return nullptr;
  }
  SheetPart& entry = sheets_[sheet];
  if (entry.sheet) return entry.sheet.get();
  if (entry.part.empty()) {
    *error = file_name_ + ": sheet " + std::to_string(sheet + 1) + " has no worksheet part";
    return nullptr;
  }
  pugi::xml_document* part = package_->XmlPart(entry.part, error);
  if (part == nullptr) return nullptr;
  // Outside the spreadsheet namespace no element would match, and writes
  // would go nowhere while reporting success.
  if (!IsSpreadsheetElement(part->document_element(), "worksheet")) {
    *error = file_name_ + ": " + entry.part + ": the part is not a worksheet";
    return nullptr;
  }
  entry.sheet = std::make_unique<Sheet>(*part, entry.sheet_id);
  std::vector<std::string> tables;
  std::string ignored;
  package_->RelatedParts(entry.part, RelationshipType("table"), &tables, &ignored);
  for (const std::string& table : tables) {
    if (pugi::xml_document* table_part = package_->XmlPart(table, &ignored)) {
      entry.sheet->tables().Add(table_part);
      table_parts_[table_part] = table;
    }
  }
  return entry.sheet.get();
}

bool WorkbookDocument::LocateTable(const formula::StructuredReference& reference,
                                   NameTarget* target, std::string* reason) {
  const auto sheets = static_cast<int32_t>(names_->sheet_names().size());
  for (int32_t index = 0; index < sheets; ++index) {
    std::string error;
    const Sheet* sheet = SheetAt(index, &error);
    CellArea area;
    std::string why;
    if (sheet != nullptr && sheet->tables().Locate(reference, &area, &why)) {
      *target = {index, area, false};
      return true;
    }
    if (!why.empty()) {
      *reason = why;
      return false;
    }
  }
  return false;
}

void WorkbookDocument::NoteNameChanged(std::string_view name) {
  package_->MarkChanged(package_->MainDocumentPartName());
  cells_->NoteNameChange(name);
  for (const std::string& user : names_->NamesUsing(name)) cells_->NoteNameChange(user);
}

void WorkbookDocument::NoteCellsWritten(int32_t sheet) {
  SheetPart& entry = sheets_[sheet];
  package_->MarkChanged(entry.part);
  if (cells_->styles_changed()) package_->MarkChanged(styles_part_);
  for (const pugi::xml_document* table : entry.sheet->tables().changed_parts()) {
    package_->MarkChanged(table_parts_[table]);
  }
}

void WorkbookDocument::NotePropertiesChanged() {
  if (!core_part_.empty()) package_->MarkChanged(core_part_);
}

bool WorkbookDocument::Save(const std::string& user, int64_t now_utc_seconds, std::string* error,
                            HRESULT* code) {
  return PrepareSave(user, now_utc_seconds, error, code) && package_->Save(error, code);
}

bool WorkbookDocument::SaveAs(const std::string& path, const std::string& user,
                              int64_t now_utc_seconds, std::string* error, HRESULT* code) {
  if (!PrepareSave(user, now_utc_seconds, error, code) || !package_->SaveAs(path, error, code)) {
    return false;
  }
  path_ = office::FullPathOf(path);
  file_name_ = package_->file_name();
  return true;
}

bool WorkbookDocument::PrepareSave(const std::string& user, int64_t now_utc_seconds,
                                   std::string* error, HRESULT* code) {
  if (cells_->PrepareSave()) package_->MarkChanged(package_->MainDocumentPartName());
  if (cells_->calc_chain_changed() && !calc_chain_part_.empty()) {
    if (!cells_->calc_chain_empty()) {
      package_->MarkChanged(calc_chain_part_);
    } else if (package_->RemovePart(calc_chain_part_, error)) {
      calc_chain_part_.clear();
    } else {
      *code = STG_E_DOCFILECORRUPT;
      return false;
    }
  }
  if (!properties_->NoteSave(user, now_utc_seconds)) {
    *error = file_name_ + ": the document properties part cannot be made";
    *code = E_FAIL;
    return false;
  }
  NotePropertiesChanged();
  return true;
}

}  // namespace ovc::excel
