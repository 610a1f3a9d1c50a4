#include "office/word/document_file.h"

#include "office/common/open_files.h"

#include <utility>
#include <vector>

namespace ovc::word {
namespace {

constexpr std::string_view kSettingsRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings";
constexpr std::string_view kSettingsContentType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml";

}  // namespace

DocumentFile::DocumentFile(std::unique_ptr<WordDocument> model, std::string path)
    : model_(std::move(model)), path_(std::move(path)) {}

std::unique_ptr<DocumentFile> DocumentFile::Open(const std::string& path,
                                                 const office::OpenOptions& options,
                                                 std::string* error, HRESULT* code) {
  std::unique_ptr<WordDocument> model = WordDocument::Open(path, options, error, code);
  if (!model) return nullptr;
  std::unique_ptr<DocumentFile> file(new DocumentFile(std::move(model), office::FullPathOf(path)));
  file->ReadParts();
  return file;
}

void DocumentFile::ReadParts() {
  const auto first_related = [this](const std::string& source, std::string_view type,
                                    std::string* part) -> pugi::xml_document* {
    std::vector<std::string> parts;
    std::string ignored;
    if (!package().RelatedParts(source, type, &parts, &ignored) || parts.empty()) return nullptr;
    *part = parts.front();
    return package().XmlPart(*part, &ignored);
  };
  const std::string main = package().MainDocumentPartName();
  properties_ = office::CoreProperties::OfPackage(&package(), &core_part_);
  pugi::xml_document* settings = first_related(main, kSettingsRelationship, &settings_part_);
  settings_ = std::make_unique<DocumentSettings>(settings, [this, main] {
    const std::string folder = main.substr(0, main.rfind('/') + 1);
    return AddPart(folder + "settings.xml", kSettingsContentType, main, kSettingsRelationship,
                   &settings_part_);
  });
}

pugi::xml_document* DocumentFile::AddPart(const std::string& name, std::string_view content_type,
                                          const std::string& source,
                                          std::string_view relationship_type, std::string* part) {
  std::string error;
  pugi::xml_document* added =
      package().AddXmlPart(name, content_type, source, relationship_type, nullptr, &error);
  if (added != nullptr) *part = name;
  return added;
}

void DocumentFile::NoteChanges() {
  if (properties_->changed() && !core_part_.empty()) package().MarkChanged(core_part_);
  if (settings_->changed() && !settings_part_.empty()) package().MarkChanged(settings_part_);
}

bool DocumentFile::Save(const std::string& user, int64_t now_utc_seconds, std::string* error,
                        HRESULT* code) {
  return PrepareSave(user, now_utc_seconds, error, code) && package().Save(error, code);
}

bool DocumentFile::SaveAs(const std::string& path, const std::string& user, int64_t now_utc_seconds,
                          std::string* error, HRESULT* code) {
  if (!PrepareSave(user, now_utc_seconds, error, code) || !package().SaveAs(path, error, code)) {
    return false;
  }
  path_ = office::FullPathOf(path);
  return true;
}

bool DocumentFile::PrepareSave(const std::string& user, int64_t now_utc_seconds, std::string* error,
                               HRESULT* code) {
  if (!properties_->NoteSave(user, now_utc_seconds)) {
    *error = file_name() + ": the document properties part cannot be made";
    *code = E_FAIL;
    return false;
  }
  NoteChanges();
  return true;
}

}  // namespace ovc::word
