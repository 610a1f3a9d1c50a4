#include "office/excel/workbooks.h"

#include <filesystem>
#include <utility>

#include "automation/conversion.h"
#include "automation/text.h"
#include "office/common/open_files.h"
#include "office/excel/workbook.h"
#include "office/excel/workbook_document.h"

namespace ovc::excel {
namespace {

bool Given(const Variant& argument) { return !argument.IsMissing() && !argument.IsEmpty(); }

}  // namespace

Workbooks::Workbooks(std::shared_ptr<ApplicationState> application)
    : application_(std::move(application)) {}

std::string Workbooks::Disconnected() const {
  return application_->quit ? "Excel.Application: the application has quit" : std::string();
}

HRESULT Workbooks::Open(const std::wstring& file_name, const Variant&, const Variant& read_only,
                        const Variant&, const Variant& password, const Variant& write_res_password,
                        const Variant&, const Variant&, const Variant&, const Variant&,
                        const Variant&, const Variant&, const Variant&, IDispatch** workbook) {
  const std::string path = ToUtf8(file_name);
  const std::string name = std::filesystem::path(path).filename().string();
  if (Given(password) || Given(write_res_password)) {
    return Fail(E_NOTIMPL,
                Describe(name, "Open", "password-protected workbooks are not supported"));
  }
  Variant read_only_flag = Variant::Bool(false);
  if (!read_only.IsMissing() &&
      Failed(VariantChangeType(&read_only_flag, read_only.Dereferenced(), 0, VT_BOOL))) {
    return Fail(DISP_E_TYPEMISMATCH, Describe(name, "Open", "ReadOnly is not a boolean"));
  }
  for (const ComPtr<Workbook>& open : application_->workbooks) {
    if (open->document()->IsFile(path)) {
      application_->active = open.get();
      *workbook = ComPtr<IDispatch>(open).Detach();
      return S_OK;
    }
  }
  for (const ComPtr<Workbook>& open : application_->workbooks) {
    if (EqualsNoCase(FromUtf8(open->file_name()), FromUtf8(name))) {
      return Fail(E_ACCESSDENIED, Describe(name, "Open",
                                           "a different workbook of this name is open already (" +
                                               open->document()->path() + ")"));
    }
  }
  std::string error;
  HRESULT code = S_OK;
  std::unique_ptr<WorkbookDocument> document = WorkbookDocument::Open(
      path, read_only_flag.boolVal() != VARIANT_FALSE, application_->services, &error, &code);
  if (!document) return Fail(code, error);
  if (!application_->calculation) application_->calculation = document->calculation_mode();
  ComPtr<Workbook> opened = MakeObject<Workbook>(application_, std::move(document));
  application_->Adopt(opened);
  *workbook = ComPtr<IDispatch>(opened).Detach();
  return S_OK;
}

HRESULT Workbooks::get_Count(int32_t* count) {
  *count = static_cast<int32_t>(application_->workbooks.size());
  return S_OK;
}

HRESULT Workbooks::get_Item(const Variant& index, IDispatch** workbook) {
  const auto& open = application_->workbooks;
  size_t position = 0;
  const office::LookupError error =
      office::FindOpenFile(office::FileNames(open), index, "Workbooks", "workbook", &position);
  if (Failed(error.code)) return Fail(error.code, error.description);
  *workbook = ComPtr<IDispatch>(open[position]).Detach();
  return S_OK;
}

}  // namespace ovc::excel
