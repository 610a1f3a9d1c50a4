#pragma once

#include <memory>

#include "office/excel/application_state.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"

namespace ovc::excel {

// The open workbooks of an application: Open, and the open ones by position
// (1-based, in opening order) or by file name.
class Workbooks final : public ExcelObject<IWorkbooks> {
 public:
  explicit Workbooks(std::shared_ptr<ApplicationState> application);

  // Opens a workbook, or hands out the open one when the path names a file
  // already open. ReadOnly is honoured; Password and WriteResPassword are
  // refused (E_NOTIMPL), as is a file named like an open one (E_ACCESSDENIED);
  // the other arguments are accepted and ignored.
  HRESULT Open(const std::wstring& file_name, const Variant& update_links, const Variant& read_only,
               const Variant& format, const Variant& password, const Variant& write_res_password,
               const Variant& ignore_read_only_recommended, const Variant& origin,
               const Variant& delimiter, const Variant& editable, const Variant& notify,
               const Variant& converter, const Variant& add_to_mru, IDispatch** workbook) override;
  HRESULT get_Count(int32_t* count) override;
  HRESULT get_Item(const Variant& index, IDispatch** workbook) override;

  std::string Disconnected() const override;

 private:
  std::shared_ptr<ApplicationState> application_;
};

}  // namespace ovc::excel
