#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "automation/connection_point.h"
#include "office/common/services.h"
#include "office/excel/application_state.h"
#include "office/excel/excel.h"
#include "office/excel/excel_object.h"

namespace ovc::excel {

// The spreadsheet application: its state (nothing is ever drawn), its open
// workbooks, Run for the macros the embedding program registered, and the
// WorkbookBeforeClose event. Each instance is independent of every other.
// Its last release without Quit closes every open workbook without saving
// (traced); after Quit every call on it and on everything taken from it
// fails with RPC_E_DISCONNECTED.
class Application final : public ExcelObject<IApplication, IConnectionPointContainer> {
 public:
  explicit Application(office::Services services);
  ~Application() override;

  HRESULT Calculate() override;
  HRESULT get_Visible(VARIANT_BOOL* visible) override;
  HRESULT put_Visible(VARIANT_BOOL visible) override;
  HRESULT get_ScreenUpdating(VARIANT_BOOL* updating) override;
  HRESULT put_ScreenUpdating(VARIANT_BOOL updating) override;
  HRESULT get_WindowState(int32_t* state) override;
  HRESULT put_WindowState(int32_t state) override;
  HRESULT get_Calculation(int32_t* mode) override;
  HRESULT put_Calculation(int32_t mode) override;
  HRESULT get_Range(const Variant& cell1, const Variant& cell2, IDispatch** range) override;
  HRESULT Goto(const Variant& reference, const Variant& scroll) override;
  HRESULT get_Workbooks(IDispatch** workbooks) override;
  HRESULT get_ActiveWorkbook(IDispatch** workbook) override;
  HRESULT Run(const Variant& macro, const Variant& arg1, const Variant& arg2, const Variant& arg3,
              const Variant& arg4, const Variant& arg5, const Variant& arg6, const Variant& arg7,
              const Variant& arg8, const Variant& arg9, const Variant& arg10, const Variant& arg11,
              const Variant& arg12, const Variant& arg13, const Variant& arg14,
              const Variant& arg15, const Variant& arg16, const Variant& arg17,
              const Variant& arg18, const Variant& arg19, const Variant& arg20,
              const Variant& arg21, const Variant& arg22, const Variant& arg23,
              const Variant& arg24, const Variant& arg25, const Variant& arg26,
              const Variant& arg27, const Variant& arg28, const Variant& arg29,
              const Variant& arg30, Variant* result) override;
  HRESULT Quit() override;

  HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override;

  std::string Disconnected() const override;

 private:
  // The open workbook of that file name (without regard to case), or null.
  Workbook* FindOpen(std::string_view file_name) const;

  std::shared_ptr<ApplicationState> state_;
  ConnectionPoint events_;
};

}  // namespace ovc::excel
