#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "automation/connection_point.h"
#include "office/common/application_object.h"
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
class Application final
    : public office::ApplicationObject<ExcelObject<IApplication, IConnectionPointContainer>,
                                       ApplicationState, Variant> {
 public:
  explicit Application(office::Services services);
  ~Application() override;

  HRESULT Calculate() override;
  HRESULT get_Calculation(int32_t* mode) override;
  HRESULT put_Calculation(int32_t mode) override;
  HRESULT get_Range(const Variant& cell1, const Variant& cell2, IDispatch** range) override;
  HRESULT Goto(const Variant& reference, const Variant& scroll) override;
  HRESULT get_Workbooks(IDispatch** workbooks) override;
  HRESULT get_ActiveWorkbook(IDispatch** workbook) override;
  HRESULT Quit() override;

  HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override;

  std::string Disconnected() const override;

 private:
  // The open workbook of that file name (without regard to case), or null.
  Workbook* FindOpen(std::string_view file_name) const;

  ConnectionPoint events_;
};

}  // namespace ovc::excel
