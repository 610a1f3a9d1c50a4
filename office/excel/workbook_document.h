#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "automation/hresult.h"
#include "office/common/core_properties.h"
#include "office/common/services.h"
#include "office/excel/cell_store.h"
#include "office/excel/defined_names.h"
#include "office/excel/sheet.h"
#include "office/package/package.h"

namespace ovc::excel {

// One open workbook file: its package and the models over its parts (names,
// cells, document properties), which record what changed for the next save.
class WorkbookDocument {
 public:
  // Opens the workbook at `path`, never writing it when `read_only`, tracing
  // through `services`. On failure returns null with *error
  // ("<file>: <reason>") and *code set.
  static std::unique_ptr<WorkbookDocument> Open(const std::string& path, bool read_only,
                                                const office::Services& services,
                                                std::string* error, HRESULT* code);

  // The absolute path as opened, and its last component ("Book.xlsx").
  const std::string& path() const { return path_; }
  const std::string& file_name() const { return file_name_; }
  // True when `path` names this workbook's file, however it is spelled.
  bool IsFile(const std::string& path) const { return package_->IsFile(path); }
  bool is_read_only() const { return package_->is_read_only(); }
  // A shared workbook: one that keeps a revision log.
  bool is_shared() const { return shared_; }
  // The calculation mode the file asks for (calcPr/@calcMode) as the
  // application numbers it; automatic when absent.
  int32_t calculation_mode() const { return cells_->settings().calculation_mode(); }
  // The sheet the file shows first (bookViews/workbookView/@activeTab).
  int32_t active_sheet() const { return active_sheet_; }

  // The defined names and sheets of the workbook part.
  DefinedNames& names() { return *names_; }
  const DefinedNames& names() const { return *names_; }
  // Records that the defined name `name` was added, redefined or deleted:
  // the workbook part is written by the next save, and the formulas using the
  // name, directly or through other names, are stale.
  void NoteNameChanged(std::string_view name);

  // The cell values of the workbook.
  CellStore& cells() { return *cells_; }
  // The worksheet `sheet` (0-based, as the names model counts), parsed on
  // first use with its tables; null and *error when its part is missing or
  // malformed.
  Sheet* SheetAt(int32_t sheet, std::string* error);
  // Finds the table `reference` names on any sheet, for the names model and
  // the calculation; false and *reason when it names missing cells, false
  // alone when no sheet has the table.
  bool LocateTable(const formula::StructuredReference& reference, NameTarget* target,
                   std::string* reason);
  // Records a successful put on `sheet`: the parts it changed are written by
  // the next save.
  void NoteCellsWritten(int32_t sheet);

  // The built-in document properties; NotePropertiesChanged after a put.
  office::CoreProperties& properties() { return *properties_; }
  void NotePropertiesChanged();

  // Records who saved and when, asks for a recalculation on open after
  // writes, and writes the workbook over its file atomically. False with
  // *error and *code set on failure, the file then unchanged.
  bool Save(const std::string& user, int64_t now_utc_seconds, std::string* error, HRESULT* code);
  // Saves as Save does, but as the file `path` (see Package::SaveAs), which
  // the workbook then is.
  bool SaveAs(const std::string& path, const std::string& user, int64_t now_utc_seconds,
              std::string* error, HRESULT* code);

 private:
  struct SheetPart {
    std::string part;  // empty when the workbook does not say where the sheet is
    uint32_t sheet_id = 0;
    std::unique_ptr<Sheet> sheet;
  };

  WorkbookDocument(std::unique_ptr<office::Package> package, std::string path);
  bool ReadParts(std::string* error, HRESULT* code);
  bool PrepareSave(const std::string& user, int64_t now_utc_seconds, std::string* error,
                   HRESULT* code);
  // The first part `source` relates to by `type`, parsed; null when none.
  pugi::xml_document* RelatedXmlPart(const std::string& source, std::string_view type,
                                     std::string* part, std::string* error);
  bool ReadSheetParts(const pugi::xml_document& workbook, std::string* error);

  std::unique_ptr<office::Package> package_;
  std::string path_;
  std::string file_name_;
  bool shared_ = false;
  int32_t active_sheet_ = 0;
  std::unique_ptr<DefinedNames> names_;
  std::unique_ptr<CellStore> cells_;
  std::unique_ptr<office::CoreProperties> properties_;
  std::string styles_part_;
  std::string calc_chain_part_;
  std::string core_part_;
  std::vector<SheetPart> sheets_;
  std::map<const pugi::xml_document*, std::string> table_parts_;
};

}  // namespace ovc::excel
