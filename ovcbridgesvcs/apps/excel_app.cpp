#include "ovcbridgesvcs/apps/excel_app.h"

#include <utility>

#include "automation/class_registry.h"
#include "ovcbridgesvcs/apps/excel_members.h"
#include "ovcbridgesvcs/apps/excel_report.h"
#include "ovcbridgesvcs/apps/workbook_close_sink.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {

using namespace excel;  // NOLINT: the member tables

namespace {

constexpr std::wstring_view kProgId = L"Excel.Application";
constexpr std::wstring_view kWorkbookFileFilter =
    L"MS Excel Files (*.xlsx)|*.xlsx|MS Excel Macro-Enabled Files (*.xlsm)|*.xlsm|"
    L"MS Excel 97-2003 Files (*.xls)|*.xls||";
constexpr int32_t kNormalWindow = -4143;
constexpr int32_t kOpenArguments = 13;

}  // namespace

CExcelApp::CExcelApp() = default;

CExcelApp::~CExcelApp() {
  DisconnectEvents();
  if (sink_) sink_->Detach();
}

HRESULT CExcelApp::Activate(VARIANT_BOOL visible) {
  CMethodFrame frame(L"CExcelApp::Activate");
  return RunMethod(frame, [&] { return ActivateWith(visible != VARIANT_FALSE); });
}

HRESULT CExcelApp::ActivateWith(bool visible) {
  if (workbook_) {
    bool saved = true;
    ReadSaved(&saved);  // a workbook closed behind our back lets Excel go
  }
  if (application_) {
    Variant answer;
    if (Failed(Get(application_.get(), application.visible, &answer))) LetExcelGo();
  }
  if (!application_ && Failed(StartApp())) return E_FAIL;
  if (!workbook_ && Failed(OpenFile())) return E_FAIL;
  if (visible) return MakeAppVisible();
  return S_OK;
}

HRESULT CExcelApp::StartApp() {
  workbook_.Reset();
  CLSID clsid;
  const HRESULT found = CLSIDFromProgID(kProgId, &clsid);
  if (found == REGDB_E_WRITEREGDB) return ReportExcel(msg::kRegistryCorrupt);
  if (found == CO_E_CLASSSTRING) return ReportExcel(msg::kExcelProgIdInvalid);
  if (Failed(found) || Failed(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IDispatch::kIid,
                                               application_.ReceiveVoid()))) {
    return ReportExcel(msg::kExcelNotRegistered);
  }
  return S_OK;
}

HRESULT CExcelApp::OpenFile() {
  ComPtr<IDispatch> books;
  if (Failed(GetObject(application_.get(), application.workbooks, &books))) {
    return ReportExcel(msg::kNoWorkbooks);
  }
  std::vector<Variant> args(kOpenArguments, Variant::Missing());
  args[0] = Variant(path_);
  args[2] = Variant::Bool(linked_ != nullptr && *linked_ == VARIANT_TRUE);
  args[6] = Variant::Bool(false);
  args[12] = Variant::Bool(false);
  if (Failed(
          GetObject(books.get(), workbook.open, &workbook_, std::move(args), CallKind::kMethod))) {
    workbook_.Reset();
    return ReportExcel(msg::kExcelOpenFailed, WithReason(path_, TakeReason()));
  }
  Call(application_.get(), application.calculate);
  Put(workbook_.get(), workbook.saved, Variant::Bool(true));
  ConnectEvents();
  return S_OK;
}

HRESULT CExcelApp::MakeAppVisible() {
  if (!application_) return E_FAIL;
  HRESULT status = Put(application_.get(), application.visible, Variant::Bool(true));
  if (Succeeded(status)) {
    status = Put(application_.get(), application.screen_updating, Variant::Bool(true));
  }
  if (Succeeded(status)) {
    status = Put(application_.get(), application.window_state, Variant::I4(kNormalWindow));
  }
  return status;
}

void CExcelApp::ConnectEvents() {
  DisconnectEvents();
  const ComPtr<IConnectionPointContainer> container = application_.As<IConnectionPointContainer>();
  if (!container ||
      Failed(container->FindConnectionPoint(IExcelAppEvents::kIid, events_.Receive()))) {
    return;
  }
  if (!sink_) sink_ = MakeObject<WorkbookCloseSink>(this);
  if (Failed(events_->Advise(static_cast<IExcelAppEvents*>(sink_.get()), &events_cookie_))) {
    events_.Reset();
  }
}

void CExcelApp::DisconnectEvents() {
  if (const ComPtr<IConnectionPoint> events = std::exchange(events_, nullptr)) {
    events->Unadvise(events_cookie_);
  }
  events_cookie_ = 0;
}

void CExcelApp::LetExcelGo() {
  DisconnectEvents();
  workbook_.Reset();
  application_.Reset();
}

void CExcelApp::OnWorkbookClosing(IDispatch* closing) {
  if (workbook_ && SameObject(closing, workbook_.get())) LetExcelGo();
}

HRESULT CExcelApp::ReadSaved(bool* saved) {
  *saved = true;
  if (!workbook_) return S_OK;
  Variant answer;
  if (Failed(Get(workbook_.get(), workbook.saved, &answer)) || answer.vt() != VT_BOOL) {
    TerminateApp(VARIANT_FALSE);
    return ReportExcel(msg::kWorkbookClosed);
  }
  *saved = answer.boolVal() != VARIANT_FALSE;
  return S_OK;
}

HRESULT CExcelApp::get_Saved(VARIANT_BOOL* saved) {
  CMethodFrame frame(L"CExcelApp::get_Saved");
  return RunMethod(frame, [&]() -> HRESULT {
    if (saved == nullptr) return E_POINTER;
    bool answer = true;
    const HRESULT status = ReadSaved(&answer);
    *saved = answer ? VARIANT_TRUE : VARIANT_FALSE;
    return status;
  });
}

HRESULT CExcelApp::TerminateApp(VARIANT_BOOL save) {
  CMethodFrame frame(L"CExcelApp::TerminateApp");
  return RunMethod(frame, [&] {
    if (!application_) {
      workbook_.Reset();
      return;
    }
    DisconnectEvents();
    Put(application_.get(), application.screen_updating, Variant::Bool(true));
    if (workbook_) {
      Variant saved;
      const bool clean = Succeeded(Get(workbook_.get(), workbook.saved, &saved)) &&
                         saved.vt() == VT_BOOL && saved.boolVal() != VARIANT_FALSE;
      if (save == VARIANT_FALSE || clean) {
        Put(workbook_.get(), workbook.saved, Variant::Bool(true));
        Call(workbook_.get(), workbook.close, {Variant::Bool(false)});
      } else {
        MakeAppVisible();
      }
    }
    Call(application_.get(), application.quit);
    LetExcelGo();
  });
}

HRESULT CExcelApp::Save() {
  CMethodFrame frame(L"CExcelApp::Save");
  return RunMethod(frame, [&]() -> HRESULT {
    if (!application_ || !workbook_) return S_OK;
    Variant read_only;
    if (Succeeded(Get(workbook_.get(), workbook.read_only, &read_only)) &&
        read_only.vt() == VT_BOOL && read_only.boolVal() != VARIANT_FALSE) {
      return ReportExcel(msg::kReadOnlySave, path_);
    }
    return Call(workbook_.get(), workbook.save);
  });
}

HRESULT CExcelApp::get_ReadOnly(VARIANT_BOOL* read_only) {
  CMethodFrame frame(L"CExcelApp::get_ReadOnly");
  return RunMethod(frame, [&]() -> HRESULT {
    if (read_only == nullptr) return E_POINTER;
    Variant answer;
    const HRESULT status = Get(workbook_.get(), workbook.read_only, &answer);
    if (Failed(status)) return status;
    *read_only = answer.vt() == VT_BOOL ? answer.boolVal() : VARIANT_FALSE;
    return S_OK;
  });
}

HRESULT CExcelApp::RunMacro(const std::wstring& macro) {
  CMethodFrame frame(L"CExcelApp::RunMacro");
  return RunMethod(frame, [&]() -> HRESULT {
    if (Failed(EnsureRunning())) return E_FAIL;
    const UserCodeScope macro_code;
    if (Failed(Call(application_.get(), application.run, {Variant(macro)}))) {
      return ReportExcel(msg::kExcelMacroFailed, WithReason(macro, TakeReason()));
    }
    return S_OK;
  });
}

HRESULT CExcelApp::DocumentProperty(std::wstring_view name, ComPtr<IDispatch>* property) {
  if (Failed(EnsureRunning())) return E_FAIL;
  ComPtr<IDispatch> properties;
  const HRESULT status = GetObject(workbook_.get(), workbook.properties, &properties);
  if (Failed(status)) return status;
  return GetObject(properties.get(), workbook.property_item, property,
                   {Variant(std::wstring(name))});
}

HRESULT CExcelApp::ReadProperty(std::wstring_view name, Variant* value) {
  ComPtr<IDispatch> property;
  const HRESULT status = DocumentProperty(name, &property);
  if (Failed(status)) return status;
  return Get(property.get(), workbook.property_value, value);
}

HRESULT CExcelApp::ReadTextProperty(std::wstring_view name, std::wstring* text) {
  if (text == nullptr) return E_POINTER;
  Variant value;
  const HRESULT status = ReadProperty(name, &value);
  *text = value.vt() == VT_BSTR ? value.bstr() : std::wstring();
  return status;
}

HRESULT CExcelApp::get_Description(std::wstring* description) {
  CMethodFrame frame(L"CExcelApp::get_Description");
  return RunMethod(frame, [&] { return ReadTextProperty(L"Comments", description); });
}

HRESULT CExcelApp::put_Description(const std::wstring& description) {
  CMethodFrame frame(L"CExcelApp::put_Description");
  return RunMethod(frame, [&]() -> HRESULT {
    ComPtr<IDispatch> property;
    const HRESULT status = DocumentProperty(L"Comments", &property);
    if (Failed(status)) return status;
    return Put(property.get(), workbook.property_value, Variant(description));
  });
}

HRESULT CExcelApp::get_ModifiedBy(std::wstring* author) {
  CMethodFrame frame(L"CExcelApp::get_ModifiedBy");
  return RunMethod(frame, [&] { return ReadTextProperty(L"Last Author", author); });
}

HRESULT CExcelApp::get_ModifiedTimeStamp(Variant* time) {
  CMethodFrame frame(L"CExcelApp::get_ModifiedTimeStamp");
  return RunMethod(frame, [&]() -> HRESULT {
    if (time == nullptr) return E_POINTER;
    time->Clear();
    return ReadProperty(L"Last Save Time", time);
  });
}

HRESULT CExcelApp::get_Path(std::wstring* path) { return Give(path, path_); }
HRESULT CExcelApp::put_Path(const std::wstring& path) { return Give(&path_, path); }
HRESULT CExcelApp::get_AppFileFilter(std::wstring* filter) {
  return Give(filter, std::wstring(kWorkbookFileFilter));
}
HRESULT CExcelApp::get_StringValuesOnly(VARIANT_BOOL* strings_only) {
  return Give(strings_only, VARIANT_FALSE);
}
HRESULT CExcelApp::putLinkedPtr(VARIANT_BOOL* linked) {
  linked_ = linked;
  return S_OK;
}

}  // namespace ovc::apps
