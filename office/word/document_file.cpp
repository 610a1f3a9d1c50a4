#include "office/word/document_file.h"

#include <filesystem>
#include <utility>
#include <vector>

namespace ovc::word {
namespace {

constexpr std::string_view kSettingsRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
constexpr std::string_view kSettingsContentType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";

// Why the main part's content type is not one of a word-processing
// document; "" when it is.
std::string RefusalOf(std::string_view content_type) {
  if (content_type.find("wordprocessingml.document.main+xml") != std::string_view::npos ||
      content_type.find("wordprocessingml.template.main+xml") != std::string_view::npos ||
      content_type.find("ms-word.document.macroEnabled.main+xml") != std::string_view::npos ||
      content_type.find("ms-word.template.macroEnabledTemplate.main+xml") !=
          std::string_view::npos) {
    return {};
  }
  if (content_type.find("spreadsheetml") != std::string_view::npos ||
      content_type.find("ms-excel") != std::string_view::npos) {
    return "a workbook, not a word-processing document: not supported";
  }
  return "not a word-processing document: not supported";
}

}  // namespace

DocumentFile::DocumentFile(std::unique_ptr<office::Package> package, std::string path)
    : package_(std::move(package)), path_(std::move(path)) {}

std::unique_ptr<DocumentFile> DocumentFile::Open(const std::string& path,
                                                 const office::OpenOptions& options,
                                                 std::string* error, HRESULT* code) {
  std::unique_ptr<office::Package> package = office::Package::Open(path, options, error, code);
  if (!package) return nullptr;
  const std::string refusal = RefusalOf(package->ContentType(package->MainDocumentPartName()));
  if (!refusal.empty()) {
    *error = package->file_name() + ": " + refusal;
    *code = E_NOTIMPL;
    return nullptr;
  }
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
  std::unique_ptr<DocumentFile> file(
      new DocumentFile(std::move(package), absolute.lexically_normal().string()));
  if (!file->ReadParts(error, code)) return nullptr;
  return file;
}

bool DocumentFile::ReadParts(std::string* error, HRESULT* code) {
  const auto first_related = [this](const std::string& source, std::string_view type,
                                    std::string* part) -> pugi::xml_document* {
    std::vector<std::string> parts;
    std::string ignored;
    if (!package_->RelatedParts(source, type, &parts, &ignored) || parts.empty()) return nullptr;
    *part = parts.front();
    return package_->XmlPart(*part, &ignored);
  };
  const std::string& main = package_->MainDocumentPartName();
  if (package_->XmlPart(main, error) == nullptr) {
    *code = STG_E_DOCFILECORRUPT;
    return false;
  }
  const std::string root(office::kPackageRoot);
  pugi::xml_document* core =
      first_related(root, office::CoreProperties::kRelationshipType, &core_part_);
  properties_ = std::make_unique<office::CoreProperties>(core, [this, root] {
    return AddPart("/docProps/core.xml", office::CoreProperties::kContentType, root,
                   office::CoreProperties::kRelationshipType, &core_part_);
  });
  pugi::xml_document* settings = first_related(main, kSettingsRelationship, &settings_part_);
  settings_ = std::make_unique<DocumentSettings>(settings, [this, main] {
    const std::string folder = main.substr(0, main.rfind('/') + 1);
    return AddPart(folder + "settings.xml", kSettingsContentType, main, kSettingsRelationship,
                   &settings_part_);
  });
  return true;
}

pugi::xml_document* DocumentFile::AddPart(const std::string& name, std::string_view content_type,
                                          const std::string& source,
                                          std::string_view relationship_type, std::string* part) {
  std::string error;
  pugi::xml_document* added =
      package_->AddXmlPart(name, content_type, source, relationship_type, nullptr, &error);
  if (added != nullptr) *part = name;
  return added;
}

void DocumentFile::NoteChanges() {
  if (properties_->changed() && !core_part_.empty()) package_->MarkChanged(core_part_);
  if (settings_->changed() && !settings_part_.empty()) package_->MarkChanged(settings_part_);
}

bool DocumentFile::Save(const std::string& user, int64_t now_utc_seconds, std::string* error,
                        HRESULT* code) {
  if (!properties_->NoteSave(user, now_utc_seconds)) {
    *error = file_name() + ": the document properties part cannot be made";
    *code = E_FAIL;
    return false;
  }
  NoteChanges();
  return package_->Save(error, code);
}

}  // namespace ovc::word
