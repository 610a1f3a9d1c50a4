#pragma once

#include <memory>
#include <string>

#include "office/word/application_state.h"
#include "office/word/word.h"
#include "office/word/word_object.h"

namespace ovc::word {

// The application's open documents.
class Documents final : public WordObject<IDocuments> {
 public:
  explicit Documents(std::shared_ptr<ApplicationState> application);

  // Opens a document, or hands out the open one of the same file. ReadOnly
  // opens without writing or locking; a file locked by another opens
  // read-only. Passwords are refused (E_NOTIMPL), as are the arguments that
  // convert or revert; the others are accepted and have no effect.
  HRESULT Open(const std::wstring& file_name, const Variant& confirm_conversions,
               const Variant& read_only, const Variant& add_to_recent_files,
               const Variant& password_document, const Variant& password_template,
               const Variant& revert, const Variant& write_password_document,
               const Variant& write_password_template, const Variant& format,
               IDispatch** document) override;
  HRESULT get_Count(int32_t* count) override;
  // By 1-based position or by file name (without regard to case).
  HRESULT Item(const Variant& index, IDispatch** document) override;

  std::string Disconnected() const override { return application_->Disconnected(); }

 private:
  std::shared_ptr<ApplicationState> application_;
};

}  // namespace ovc::word
