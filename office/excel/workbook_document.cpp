#include "office/excel/workbook_document.h"

#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "office/excel/application_state.h"

namespace ovc::excel {
namespace {

constexpr std::string_view kRevisionHeaders =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/revisionHeaders";

int32_t CalculationModeOf(std::string_view mode) {
  if (mode == "manual") return kCalculationManual;
  if (mode == "autoNoTable") return kCalculationSemiautomatic;
  return kCalculationAutomatic;
}

}  // namespace

WorkbookDocument::WorkbookDocument(std::unique_ptr<office::Package> package, std::string path)
    : package_(std::move(package)),
      path_(std::move(path)),
      file_name_(std::filesystem::path(path_).filename().string()) {}

std::unique_ptr<WorkbookDocument> WorkbookDocument::Open(const std::string& path, bool read_only,
                                                         const Services& services,
                                                         std::string* error, HRESULT* code) {
  office::OpenOptions options;
  options.read_only = read_only;
  if (services.trace) {
    options.trace = [trace = services.trace](std::string_view line) { trace(std::string(line)); };
  }
  std::unique_ptr<office::Package> package = office::Package::Open(path, options, error, code);
  if (!package) return nullptr;
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  std::unique_ptr<WorkbookDocument> document(
      new WorkbookDocument(std::move(package), absolute.lexically_normal().string()));
  if (!document->ReadWorkbookPart(error, code)) return nullptr;
  return document;
}

bool WorkbookDocument::ReadWorkbookPart(std::string* error, HRESULT* code) {
  const std::string& main = package_->MainDocumentPartName();
  pugi::xml_document* workbook = package_->XmlPart(main, error);
  std::vector<std::string> revisions;
  if (workbook == nullptr || !package_->RelatedParts(main, kRevisionHeaders, &revisions, error)) {
    *code = STG_E_DOCFILECORRUPT;
    return false;
  }
  const pugi::xml_node calculation = workbook->document_element().child("calcPr");
  calculation_mode_ = CalculationModeOf(calculation.attribute("calcMode").as_string("auto"));
  shared_ = !revisions.empty();
  names_ = std::make_unique<DefinedNames>(workbook);
  const int32_t tab = workbook->document_element()
                          .child("bookViews")
                          .child("workbookView")
                          .attribute("activeTab")
                          .as_int(0);
  const auto sheets = static_cast<int32_t>(names_->sheet_names().size());
  active_sheet_ = tab >= 0 && tab < sheets ? tab : 0;
  return true;
}

bool WorkbookDocument::Save(std::string* error, HRESULT* code) {
  return package_->Save(error, code);
}

}  // namespace ovc::excel
