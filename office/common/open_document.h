#pragma once

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "automation/text.h"
#include "office/common/office_error.h"
#include "office/common/open_files.h"
#include "office/common/services.h"

namespace ovc::office {

// How a closing document treats its changes.
enum class CloseChoice {
  kSave,
  kDiscard,
  // A clean document just closes, a read-only one is discarded, any other
  // asks the prompt service (default: save).
  kAsk,
};

// What every open document of an office application shares: Name,
// FullName, Saved, ReadOnly and Save, the "has been closed" state and the
// save-or-discard decision of a close. `Object` is the application's object
// base for the document's interface, which declares those members; `File`
// is the open file, offering file_name(), path(), is_read_only() and
// Save(user, now_utc_seconds, error, code).
template <class Object, class File>
class OpenDocument : public Object {
 public:
  HRESULT get_Name(std::wstring* name) override {
    *name = FromUtf8(file_name_);
    return S_OK;
  }
  HRESULT get_FullName(std::wstring* path) override {
    *path = FromUtf8(file_->path());
    return S_OK;
  }
  HRESULT get_Saved(VARIANT_BOOL* saved) override {
    *saved = saved_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT put_Saved(VARIANT_BOOL saved) override {
    saved_ = saved != VARIANT_FALSE;
    return S_OK;
  }
  HRESULT get_ReadOnly(VARIANT_BOOL* read_only) override {
    *read_only = file_->is_read_only() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  // The folder of FullName.
  HRESULT get_Path(std::wstring* path) override {
    *path = FromUtf8(std::filesystem::path(file_->path()).parent_path().string());
    return S_OK;
  }
  // Writes the file atomically; a read-only one is refused (E_ACCESSDENIED).
  HRESULT Save() override { return SaveFile(); }

  // The open file, or null once closed.
  File* file() const { return file_.get(); }
  // Records a change: Saved turns false.
  void MarkChanged() { saved_ = false; }

 protected:
  // `services` is borrowed and must outlive the document.
  OpenDocument(std::unique_ptr<File> file, const Services* services)
      : file_name_(file->file_name()),
        file_(std::move(file)),
        open_file_(std::make_unique<ProcessOpenFile>(file_->path())),
        services_(services) {}

  // "<file>: has been closed" once closed, else "".
  std::string Closed() const {
    return file_ ? std::string() : Describe(file_name_, "", "has been closed");
  }
  // Saves, Saved then true; on failure the error object names the file.
  HRESULT SaveFile() {
    if (file_->is_read_only()) {
      return this->Fail(E_ACCESSDENIED,
                        Describe(file_name_, "", "opened read-only: cannot be saved"));
    }
    std::string error;
    HRESULT code = S_OK;
    if (!file_->Save(UserName(*services_), std::time(nullptr), &error, &code)) {
      return this->Fail(code, error);
    }
    open_file_->Moved(file_->path());
    saved_ = true;
    return S_OK;
  }
  // Saves as the file `path`, which the document then is (see
  // Package::SaveAs), Saved then true; refused (E_ACCESSDENIED) when
  // `same_name`, another file open in the application, has its name, or when
  // the file is open in this process.
  HRESULT SaveFileAs(const std::string& path, const OpenDocument* same_name) {
    std::string refusal;
    if (same_name != nullptr) {
      refusal = "'" + same_name->file_->path() + "' of the same name is open; close it first";
    } else if (open_file_->OtherIsOpen(path)) {
      refusal = "'" + path + "' is open in this program; close it first";
    }
    if (!refusal.empty())
      return this->Fail(E_ACCESSDENIED, Describe(file_name_, "SaveAs", refusal));
    std::string error;
    HRESULT code = S_OK;
    if (!file_->SaveAs(path, UserName(*services_), std::time(nullptr), &error, &code)) {
      return this->Fail(code, error);
    }
    file_name_ = file_->file_name();
    open_file_->Moved(file_->path());
    saved_ = true;
    return S_OK;
  }
  // kSave or kDiscard for `choice`: kAsk discards a clean or read-only
  // document and otherwise follows the prompt service (traced).
  CloseChoice Decide(CloseChoice choice) const {
    if (choice != CloseChoice::kAsk) return choice;
    if (saved_ || file_->is_read_only()) return CloseChoice::kDiscard;
    const bool save = !services_->prompt || services_->prompt(file_name_);
    Trace(file_name_ + ": asked whether to save changes, answered " + (save ? "yes" : "no"));
    return save ? CloseChoice::kSave : CloseChoice::kDiscard;
  }
  // Closes the file without saving; unsaved changes are traced with `why`
  // unless it is empty.
  void CloseFile(const std::string& why) {
    if (!saved_ && !why.empty()) Trace(file_name_ + ": changes discarded: " + why);
    file_.reset();
    open_file_.reset();
  }
  void Trace(const std::string& line) const {
    if (services_->trace) services_->trace(line);
  }

  std::string file_name_;

 private:
  std::unique_ptr<File> file_;
  std::unique_ptr<ProcessOpenFile> open_file_;  // while file_ is open
  const Services* services_;
  bool saved_ = true;
};

}  // namespace ovc::office
