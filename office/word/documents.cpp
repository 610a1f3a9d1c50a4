#include "office/word/documents.h"

#include <filesystem>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/common/open_files.h"
#include "office/word/document.h"

namespace ovc::word {

Documents::Documents(std::shared_ptr<ApplicationState> application)
    : application_(std::move(application)) {}

HRESULT Documents::Open(const std::wstring& file_name, const Variant& confirm_conversions,
                        const Variant& read_only, const Variant&, const Variant& password_document,
                        const Variant& password_template, const Variant& revert,
                        const Variant& write_password_document,
                        const Variant& write_password_template, const Variant& format,
                        IDispatch** document) {
  const std::string path = ToUtf8(file_name);
  const std::string name = std::filesystem::path(path).filename().string();
  for (const Variant* password : {&password_document, &password_template, &write_password_document,
                                  &write_password_template}) {
    if (!password->IsMissing()) {
      return Fail(E_NOTIMPL,
                  office::Describe(name, "Open", "password-protected documents are not supported"));
    }
  }
  for (const Variant* other : {&confirm_conversions, &revert, &format}) {
    if (!other->IsMissing()) {
      return Fail(E_NOTIMPL, office::Describe(name, "Open",
                                              "ConfirmConversions, Revert and Format are not "
                                              "supported"));
    }
  }
  Variant read_only_flag = Variant::Bool(false);
  if (!read_only.IsMissing() &&
      Failed(VariantChangeType(&read_only_flag, read_only.Dereferenced(), 0, VT_BOOL))) {
    return Fail(DISP_E_TYPEMISMATCH, office::Describe(name, "Open", "ReadOnly is not a boolean"));
  }
  for (const ComPtr<Document>& open : application_->documents) {
    if (open->file()->IsFile(path)) {
      *document = ComPtr<IDispatch>(static_cast<IDocument*>(open.get())).Detach();
      return S_OK;
    }
  }
  office::OpenOptions options;
  options.read_only = read_only_flag.boolVal() != VARIANT_FALSE;
  if (application_->services.trace) {
    options.trace = [trace = application_->services.trace](std::string_view line) {
      trace(std::string(line));
    };
  }
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<DocumentFile> file = DocumentFile::Open(path, options, &error, &code);
  if (!file) return Fail(code, error);
  ComPtr<Document> opened = MakeObject<Document>(application_, std::move(file));
  application_->documents.push_back(opened);
  *document = ComPtr<IDispatch>(static_cast<IDocument*>(opened.get())).Detach();
  return S_OK;
}

HRESULT Documents::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(application_->documents.size());
  return S_OK;
}

HRESULT Documents::Item(const Variant& index, IDispatch** document) {
  const auto& open = application_->documents;
  size_t position = 0;
  const office::LookupError error =
      office::FindOpenFile(office::FileNames(open), index, "Documents", "document", &position);
  if (Failed(error.code)) return Fail(error.code, error.description);
  *document = ComPtr<IDispatch>(static_cast<IDocument*>(open[position].get())).Detach();
  return S_OK;
}

}  // namespace ovc::word
