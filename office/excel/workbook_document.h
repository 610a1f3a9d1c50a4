#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/hresult.h"
#include "office/excel/defined_names.h"
#include "office/excel/services.h"
#include "office/package/package.h"

namespace ovc::excel {

// One open workbook file: its package and what the application reads from it.
class WorkbookDocument {
 public:
  // Opens the workbook at `path`, never writing it when `read_only`, tracing
  // through `services`. On failure returns null with *error
  // ("<file>: <reason>") and *code set.
  static std::unique_ptr<WorkbookDocument> Open(const std::string& path, bool read_only,
                                                const Services& services, std::string* error,
                                                HRESULT* code);

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
  int32_t calculation_mode() const { return calculation_mode_; }

  // The sheet the file shows first (bookViews/workbookView/@activeTab).
  int32_t active_sheet() const { return active_sheet_; }

  // The defined names and sheets of the workbook part.
  DefinedNames& names() { return *names_; }
  const DefinedNames& names() const { return *names_; }
  // Makes the next save write the workbook part back.
  void NoteWorkbookPartChanged() { package_->MarkChanged(package_->MainDocumentPartName()); }

  office::Package& package() { return *package_; }

  // Writes the workbook over its file atomically; false with *error and
  // *code set on failure, the file then unchanged.
  bool Save(std::string* error, HRESULT* code);

 private:
  WorkbookDocument(std::unique_ptr<office::Package> package, std::string path);
  bool ReadWorkbookPart(std::string* error, HRESULT* code);

  std::unique_ptr<office::Package> package_;
  const std::string path_;
  const std::string file_name_;
  bool shared_ = false;
  int32_t calculation_mode_ = 0;
  int32_t active_sheet_ = 0;
  std::unique_ptr<DefinedNames> names_;
};

}  // namespace ovc::excel
