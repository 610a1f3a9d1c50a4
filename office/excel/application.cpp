#include "office/excel/application.h"

#include <utility>
#include <vector>

#include "automation/text.h"
#include "office/excel/range.h"
#include "office/excel/range_text.h"
#include "office/excel/workbook.h"
#include "office/excel/workbooks.h"

namespace ovc::excel {

Application::Application(office::Services services)
    : ApplicationObject(std::make_shared<ApplicationState>(std::move(services))),
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
  const double now = LocalNowSerial();
  for (const ComPtr<Workbook>& workbook : state_->workbooks) workbook->Calculate(now);
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
