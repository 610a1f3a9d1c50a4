// The Excel adapter's transfer brackets.
#include "automation/error_info.h"
#include "ovcbridgesvcs/apps/excel_app.h"
#include "ovcbridgesvcs/apps/excel_members.h"
#include "ovcbridgesvcs/frame/run_method.h"

namespace ovc::apps {

using namespace excel;  // NOLINT: the member tables

namespace {

constexpr int32_t kManual = -4135;

// Keeps the first failure of a sequence of steps, with the error object it
// left, which later steps would replace.
class FirstFailure {
 public:
  void operator()(HRESULT status) {
    if (Succeeded(first_) && Failed(status)) {
      first_ = status;
      error_ = GetErrorInfo();
    }
  }
  bool failed() const { return Failed(first_); }
  // The first failure, its error object made the thread's again; or S_OK.
  HRESULT Result() const {
    if (failed()) SetErrorInfo(error_);
    return first_;
  }

 private:
  HRESULT first_ = S_OK;
  ComPtr<IErrorInfo> error_;
};

}  // namespace

// Turns screen updating, change history and automatic calculation off,
// keeping what it found; a failure part way puts back what was changed.
HRESULT CExcelApp::PreBoth() {
  if (Failed(EnsureRunning())) return E_FAIL;
  saved_change_history_.Clear();
  saved_calculation_.Clear();
  HRESULT status = Put(application_.get(), application.screen_updating, Variant::Bool(false));
  if (Failed(status)) return status;
  Variant history, calculation;
  status = Get(workbook_.get(), workbook.keep_change_history, &history);
  if (Succeeded(status) && history.vt() == VT_BOOL && history.boolVal() != VARIANT_FALSE) {
    status = Put(workbook_.get(), workbook.keep_change_history, Variant::Bool(false));
  }
  if (Succeeded(status)) {
    saved_change_history_ = history;
    status = Get(application_.get(), application.calculation, &calculation);
  }
  if (Succeeded(status) && !(calculation.vt() == VT_I4 && calculation.i4() == kManual)) {
    status = Put(application_.get(), application.calculation, Variant::I4(kManual));
  }
  if (Succeeded(status)) {
    saved_calculation_ = calculation;
    return status;
  }
  FirstFailure steps;
  steps(status);
  steps(PostBoth());
  return steps.Result();
}

// Puts back what PreBoth changed; every step runs, the first failure is
// returned. Without Excel there is nothing left to put back.
HRESULT CExcelApp::PostBoth() {
  if (!application_) return S_OK;
  FirstFailure steps;
  steps(Put(application_.get(), application.screen_updating, Variant::Bool(true)));
  if (workbook_ && !saved_change_history_.IsEmpty()) {
    steps(Put(workbook_.get(), workbook.keep_change_history, saved_change_history_));
  }
  if (!saved_calculation_.IsEmpty()) {
    steps(Put(application_.get(), application.calculation, saved_calculation_));
  }
  return steps.Result();
}

HRESULT CExcelApp::RunIfSet(const std::wstring& macro) {
  return macro.empty() ? S_OK : RunMacro(macro);
}

HRESULT CExcelApp::KeepSaved(bool was_saved) {
  if (!was_saved || !workbook_) return S_OK;
  return Put(workbook_.get(), workbook.saved, Variant::Bool(true));
}

// Runs `macro`, then PreBoth, keeping Saved; with `calculate` the workbook is
// recalculated inside the bracket.
HRESULT CExcelApp::OpenBracket(const std::wstring& macro, bool calculate) {
  if (Failed(EnsureRunning())) return E_FAIL;
  if (const HRESULT status = RunIfSet(macro); Failed(status)) return status;
  bool was_saved = true;
  if (const HRESULT status = ReadSaved(&was_saved); Failed(status)) return status;
  if (const HRESULT status = PreBoth(); Failed(status)) return status;
  FirstFailure steps;
  if (calculate) steps(Call(application_.get(), application.calculate));
  steps(KeepSaved(was_saved));
  if (steps.failed()) steps(PostBoth());
  return steps.Result();
}

// Recalculates first with `calculate`, then PostBoth, keeping Saved, then
// runs `macro`: every step runs, the first failure is returned.
HRESULT CExcelApp::CloseBracket(const std::wstring& macro, bool calculate) {
  FirstFailure steps;
  bool was_saved = true;
  steps(ReadSaved(&was_saved));
  if (calculate && application_) steps(Call(application_.get(), application.calculate));
  steps(PostBoth());
  steps(KeepSaved(was_saved));
  steps(RunIfSet(macro));
  return steps.Result();
}

HRESULT CExcelApp::PreImport() {
  CMethodFrame frame(L"CExcelApp::PreImport");
  return RunMethod(frame, [&] { return OpenBracket(pre_import_macro(), false); });
}

HRESULT CExcelApp::PostImport() {
  CMethodFrame frame(L"CExcelApp::PostImport");
  return RunMethod(frame, [&] { return CloseBracket(post_import_macro(), true); });
}

HRESULT CExcelApp::PreExport() {
  CMethodFrame frame(L"CExcelApp::PreExport");
  return RunMethod(frame, [&] { return OpenBracket(pre_export_macro(), true); });
}

HRESULT CExcelApp::PostExport() {
  CMethodFrame frame(L"CExcelApp::PostExport");
  return RunMethod(frame, [&] { return CloseBracket(post_export_macro(), false); });
}

}  // namespace ovc::apps
