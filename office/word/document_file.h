#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation/hresult.h"
#include "office/common/core_properties.h"
#include "office/package/package.h"
#include "office/word/document_settings.h"
#include "office/word/word_document.h"

namespace ovc::word {

// One open word-processing document (.docx, .docm, .dotx, .dotm): its model
// (stories, bookmarks, fields) and what the application keeps in its package
// besides the text: the document properties and the settings (protection,
// revision tracking). The model owns the one package; everything else in it
// is kept as it is; a macro project is kept and never run.
class DocumentFile {
 public:
  // Opens the document at `path`. Null on failure, with *error ("<file>:
  // <reason>") and *code: E_NOTIMPL for a format that is not a
  // word-processing Office Open XML package, STG_E_* otherwise.
  static std::unique_ptr<DocumentFile> Open(const std::string& path,
                                            const office::OpenOptions& options, std::string* error,
                                            HRESULT* code);

  const std::string& file_name() const { return model_->file_name(); }
  // The absolute path the document was opened by.
  const std::string& path() const { return path_; }
  bool is_read_only() const { return package().is_read_only(); }
  bool IsFile(const std::string& path) const { return package().IsFile(path); }
  office::Package& package() const { return model_->package(); }
  WordDocument& model() const { return *model_; }

  office::CoreProperties& properties() { return *properties_; }
  DocumentSettings& settings() { return *settings_; }

  // Writes the document atomically, recording `user` and the time as its
  // last save. False, *error and *code on failure, the file then unchanged.
  bool Save(const std::string& user, int64_t now_utc_seconds, std::string* error, HRESULT* code);
  // Saves as Save does, but as the file `path` (see Package::SaveAs), which
  // the document then is.
  bool SaveAs(const std::string& path, const std::string& user, int64_t now_utc_seconds,
              std::string* error, HRESULT* code);

 private:
  DocumentFile(std::unique_ptr<WordDocument> model, std::string path);
  void ReadParts();
  pugi::xml_document* AddPart(const std::string& name, std::string_view content_type,
                              const std::string& source, std::string_view relationship_type,
                              std::string* part);
  void NoteChanges();
  bool PrepareSave(const std::string& user, int64_t now_utc_seconds, std::string* error,
                   HRESULT* code);

  std::unique_ptr<WordDocument> model_;
  std::string path_;
  std::string core_part_;
  std::string settings_part_;
  std::unique_ptr<office::CoreProperties> properties_;
  std::unique_ptr<DocumentSettings> settings_;
};

}  // namespace ovc::word
