#include "office/excel/application.h"

#include <span>
#include <utility>
#include <vector>

#include "automation/text.h"
#include "office/common/macro_registry.h"
#include "office/excel/range.h"
#include "office/excel/range_text.h"
#include "office/excel/workbook.h"
#include "office/excel/workbooks.h"

namespace ovc::excel {

Application::Application(office::Services services)
    : state_(std::make_shared<ApplicationState>(std::move(services))),
      events_(this, IAppEvents::kIid) {
  state_->application = this;
  state_->events = &events_;
}

Application::~Application() {
  state_->application = nullptr;
  state_->events = nullptr;
  const std::vector<ComPtr<Workbook>> open = state_->workbooks;
  for (const ComPtr<Workbook>& workbook : open) {
    workbook->Discard("the application was released without Quit");
  }
  state_->quit = true;
}

std::string Application::Disconnected() const {
  return state_->quit ? "Excel.Application: the application has quit" : std::string();
}

HRESULT Application::Calculate() {
  // Formula cells are evaluated by no one yet: stale cells stay stale and
  // keep failing when read.
  return S_OK;
}

HRESULT Application::get_Visible(VARIANT_BOOL* visible) {
  *visible = state_->visible ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::put_Visible(VARIANT_BOOL visible) {
  state_->visible = visible != VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::get_ScreenUpdating(VARIANT_BOOL* updating) {
  *updating = state_->screen_updating ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::put_ScreenUpdating(VARIANT_BOOL updating) {
  state_->screen_updating = updating != VARIANT_FALSE;
  return S_OK;
}

HRESULT Application::get_WindowState(int32_t* state) {
  *state = state_->window_state;
  return S_OK;
}

HRESULT Application::put_WindowState(int32_t state) {
  if (state != kWindowNormal && state != kWindowMinimized && state != kWindowMaximized) {
    return Fail(E_INVALIDARG, "WindowState: " + std::to_string(state) +
                                  " is not a window state (-4143, -4140 or -4137)");
  }
  state_->window_state = state;
  return S_OK;
}

HRESULT Application::get_Calculation(int32_t* mode) {
  *mode = state_->calculation.value_or(kCalculationAutomatic);
  return S_OK;
}

HRESULT Application::put_Calculation(int32_t mode) {
  if (mode != kCalculationAutomatic && mode != kCalculationManual &&
      mode != kCalculationSemiautomatic) {
    return Fail(E_INVALIDARG, "Calculation: " + std::to_string(mode) +
                                  " is not a calculation mode (-4105, -4135 or 2)");
  }
  state_->calculation = mode;
  return S_OK;
}

HRESULT Application::get_Range(const Variant& cell1, const Variant& cell2, IDispatch** range) {
  if (!cell2.IsMissing()) {
    return Fail(E_NOTIMPL, "Range: Cell2 is not supported: give one reference or name");
  }
  const Variant text = cell1.Dereferenced();
  if (text.vt() != VT_BSTR) return Fail(DISP_E_TYPEMISMATCH, "Range: Cell1 is not text");
  const std::string written = ToUtf8(text.bstr());
  RangeText parsed;
  std::string reason;
  HRESULT code = S_OK;
  if (!ParseRangeText(written, &parsed, &reason, &code)) {
    return Fail(code, "Range: " + reason);
  }
  Workbook* workbook = parsed.book.empty() ? state_->active : FindOpen(parsed.book);
  if (workbook == nullptr) {
    return Fail(DISP_E_BADINDEX, parsed.book.empty()
                                     ? "Range: no workbook is open"
                                     : "Range: workbook '" + parsed.book + "' is not open");
  }
  NameTarget target;
  if (!workbook->document()->names().ResolveRange(parsed, workbook->active_sheet(), &target,
                                                  &reason, &code)) {
    return Fail(code, Describe(workbook->file_name(), written, reason));
  }
  if (target.more_areas) {
    state_->Trace(Describe(workbook->file_name(), written, "several areas: the first one is used"));
  }
  *range = MakeObject<excel::Range>(ComPtr<Workbook>(workbook), target.sheet, target.area).Detach();
  return S_OK;
}

Workbook* Application::FindOpen(std::string_view file_name) const {
  for (const ComPtr<Workbook>& open : state_->workbooks) {
    if (EqualsNoCase(FromUtf8(open->file_name()), FromUtf8(file_name))) return open.get();
  }
  return nullptr;
}

HRESULT Application::Goto(const Variant& reference, const Variant&) {
  const Variant target = reference.Dereferenced();
  ComPtr<IRange> range;
  if (target.vt() != VT_DISPATCH || target.dispatch() == nullptr ||
      Failed(target.dispatch()->QueryInterface(IRange::kIid, range.ReceiveVoid()))) {
    return Fail(DISP_E_TYPEMISMATCH, "Goto: Reference is not a Range");
  }
  auto* cells = dynamic_cast<excel::Range*>(range.get());
  if (cells == nullptr || FindOpen(cells->workbook()->file_name()) != cells->workbook()) {
    return Fail(E_INVALIDARG, "Goto: the Range belongs to another application");
  }
  state_->active = cells->workbook();
  cells->workbook()->set_active_sheet(cells->sheet());
  return S_OK;
}

HRESULT Application::get_Workbooks(IDispatch** workbooks) {
  *workbooks = MakeObject<Workbooks>(state_).Detach();
  return S_OK;
}

HRESULT Application::get_ActiveWorkbook(IDispatch** workbook) {
  *workbook = state_->active;
  if (*workbook != nullptr) (*workbook)->AddRef();
  return S_OK;
}

HRESULT Application::Run(const Variant& macro, const Variant& arg1, const Variant& arg2,
                         const Variant& arg3, const Variant& arg4, const Variant& arg5,
                         const Variant& arg6, const Variant& arg7, const Variant& arg8,
                         const Variant& arg9, const Variant& arg10, const Variant& arg11,
                         const Variant& arg12, const Variant& arg13, const Variant& arg14,
                         const Variant& arg15, const Variant& arg16, const Variant& arg17,
                         const Variant& arg18, const Variant& arg19, const Variant& arg20,
                         const Variant& arg21, const Variant& arg22, const Variant& arg23,
                         const Variant& arg24, const Variant& arg25, const Variant& arg26,
                         const Variant& arg27, const Variant& arg28, const Variant& arg29,
                         const Variant& arg30, Variant* result) {
  const Variant* const args[] = {&arg1,  &arg2,  &arg3,  &arg4,  &arg5,  &arg6,  &arg7,  &arg8,
                                 &arg9,  &arg10, &arg11, &arg12, &arg13, &arg14, &arg15, &arg16,
                                 &arg17, &arg18, &arg19, &arg20, &arg21, &arg22, &arg23, &arg24,
                                 &arg25, &arg26, &arg27, &arg28, &arg29, &arg30};
  std::string reason;
  const HRESULT hr = office::RunMacro(this, macro, args, result, &reason);
  return reason.empty() ? hr : Fail(hr, reason);
}

HRESULT Application::Quit() {
  ComPtr<IDispatch> keep_alive(this);
  const std::vector<ComPtr<Workbook>> open = state_->workbooks;
  for (const ComPtr<Workbook>& workbook : open) {
    bool cancelled = false;
    const HRESULT hr = workbook->End(CloseChoice::kAsk, &cancelled);
    if (Failed(hr)) return hr;
    if (cancelled) {
      state_->Trace("Quit: stopped, an event sink kept " + workbook->file_name() + " open");
      return S_OK;
    }
  }
  state_->quit = true;
  return S_OK;
}

HRESULT Application::FindConnectionPoint(const IID& iid, IConnectionPoint** point) {
  return FindConnectionPointAmong({&events_}, iid, point);
}

}  // namespace ovc::excel
