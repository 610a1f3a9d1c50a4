#include "ovcbridgesvcs/apps/app.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <utility>

#include "automation/class_registry.h"
#include "automation/text.h"
#include "ovcbridgesvcs/apps/location_names.h"
#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_format.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/frame/trace_log.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "ovcbridgesvcs/resources/message_ids.h"

namespace ovc::apps {
namespace {

constexpr std::wstring_view kNoStatistics = L"Unable to access application file for statistics.";

// The size and time of the regular file at `path`, or nullopt (traced)
// when it cannot be examined or is no regular file.
std::optional<FileStats> StatsOf(const std::wstring& path) {
  struct stat status {};
  int failure = 0;
  if (::stat(ToUtf8(path).c_str(), &status) != 0) {
    failure = errno;
  } else if (!S_ISREG(status.st_mode)) {
    failure = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
  } else {
    return FileStats{static_cast<uint64_t>(status.st_size), status.st_mtim.tv_sec};
  }
  CTraceLog::Instance().Trace(
      CTraceLog::kErrorLevel, TraceKind::kError,
      FormatMessageText(L"Can't get stats on %s, ERRORNO %d", path, failure));
  return std::nullopt;
}

// The adapter class that takes files with extension `type`, and the message
// that says it could not be made.
struct AdapterClass {
  CLSID clsid;
  uint32_t not_created;
};

std::optional<AdapterClass> AdapterClassOf(const std::wstring& type) {
  switch (FileKindOf(type)) {
    case FileKind::kWorkbook:
      return AdapterClass{CLSID_ExcelApp, msg::kExcelNotCreated};
    case FileKind::kDocument:
      return AdapterClass{CLSID_WordApp, msg::kWordNotCreated};
    case FileKind::kNone:
      break;
  }
  return std::nullopt;
}

// Puts what `get` reads from `source` into `target` with `put`; a failing
// step is skipped.
template <class T, class Put>
void CopyProperty(IApp& source, IApp& target, HRESULT (IApp::*get)(T*), Put put) {
  T value{};
  if (Succeeded((source.*get)(&value))) (target.*put)(value);
}

}  // namespace

CApp::~CApp() {
  if (adapter_) FinalCleanUp();
}

HRESULT CApp::get_Enabled(VARIANT_BOOL* value) { return GiveFlag(value, enabled_); }

HRESULT CApp::put_Enabled(VARIANT_BOOL value) {
  SetPersisted(enabled_, value != VARIANT_FALSE, dirty_);
  return S_OK;
}

HRESULT CApp::get_Path(std::wstring* value) { return Give(value, path_); }

HRESULT CApp::put_Path(const std::wstring& value) {
  CMethodFrame frame(L"CApp::put_Path");
  return RunMethod(frame, [&]() -> HRESULT {
    const std::optional<FileStats> stats = StatsOf(value);
    if (!stats) return ReportError(CLSID_App, kNoStatistics, IID_NULL, E_FAIL);
    baseline_ = *stats;
    if (value == path_) return S_OK;
    dirty_ = true;
    if (adapter_) adapter_->TerminateApp(VARIANT_FALSE);
    const std::filesystem::path file(ToUtf8(value));
    const std::wstring type = FromUtf8(file.extension().string());
    if (type.empty()) return ReportError(CLSID_App, msg::kNeedsExtension, IID_NULL, E_FAIL);
    path_ = value;
    type_ = type;
    if (name_.empty()) name_ = FromUtf8(file.stem().string());
    if (!adapter_) {
      if (HRESULT hr = MakeAdapter(frame); Failed(hr)) return hr;
    }
    CheckAndRaise(frame, adapter_->put_Path(path_));
    CheckAndRaise(frame, adapter_->putLinkedPtr(&linked_));
    return S_OK;
  });
}

HRESULT CApp::MakeAdapter(CMethodFrame& frame) {
  const std::optional<AdapterClass> adapter_class = AdapterClassOf(type_);
  if (!adapter_class) RaiseError(frame, SourceLocation::Current(), E_POINTER);
  ComPtr<IUnknown> made;
  if (Failed(CoCreateInstance(adapter_class->clsid, nullptr, CLSCTX_SERVER, IUnknown::kIid,
                              made.ReceiveVoid())) ||
      Failed(made.As(&adapter_))) {
    return ReportError(CLSID_App, adapter_class->not_created, IID_NULL, E_FAIL);
  }
  return S_OK;
}

HRESULT CApp::get_Name(std::wstring* value) { return Give(value, name_); }

HRESULT CApp::put_Name(const std::wstring& value) {
  SetPersisted(name_, value, dirty_);
  return S_OK;
}

HRESULT CApp::get_Type(std::wstring* value) { return Give(value, type_); }

HRESULT CApp::get_FullName(std::wstring* value) { return Give(value, name_ + type_); }

HRESULT CApp::get_Description(std::wstring* value) {
  if (value == nullptr) return E_POINTER;
  if (!description_.empty()) return Give(value, description_);
  if (!adapter_) return ReportNoFile(E_POINTER);
  return adapter_->get_Description(value);
}

HRESULT CApp::put_Description(const std::wstring& value) {
  if (value == description_) return S_OK;
  description_ = value;
  if (!adapter_) return ReportNoFile(E_POINTER);
  adapter_->put_Description(value);
  dirty_ = true;
  return S_OK;
}

HRESULT CApp::get_ModifiedBy(std::wstring* value) {
  if (value == nullptr) return E_POINTER;
  if (!adapter_) return ReportNoFile(E_POINTER);
  std::wstring author;
  if (HRESULT hr = adapter_->get_ModifiedBy(&author); Failed(hr)) return hr;
  modified_by_ = std::move(author);
  return Give(value, modified_by_);
}

HRESULT CApp::put_ModifiedBy(const std::wstring& value) {
  SetPersisted(modified_by_, value, dirty_);
  return S_OK;
}

HRESULT CApp::get_ModifiedTimeStamp(Variant* value) {
  if (value == nullptr) return E_POINTER;
  if (!adapter_) return ReportNoFile(E_POINTER);
  Variant saved;
  if (HRESULT hr = adapter_->get_ModifiedTimeStamp(&saved); Failed(hr)) return hr;
  modified_time_stamp_ = std::move(saved);
  return Give(value, modified_time_stamp_);
}

HRESULT CApp::put_ModifiedTimeStamp(const Variant& value) {
  if (value.vt() != VT_DATE && value.vt() != VT_EMPTY) {
    return ReportError(CLSID_App, msg::kModifiedTimeStampType, IID_NULL, E_FAIL);
  }
  modified_time_stamp_ = value;
  dirty_ = true;
  return S_OK;
}

HRESULT CApp::get_OID(int32_t* value) { return Give(value, oid_); }

HRESULT CApp::put_OID(int32_t value) {
  oid_ = value;
  return S_OK;
}

HRESULT CApp::get_Linked(VARIANT_BOOL* value) { return Give(value, linked_); }

HRESULT CApp::put_Linked(VARIANT_BOOL value) {
  linked_ = value;
  return S_OK;
}

HRESULT CApp::get_Converted(VARIANT_BOOL* value) { return GiveFlag(value, converted_); }

HRESULT CApp::put_Converted(VARIANT_BOOL value) {
  converted_ = value != VARIANT_FALSE;
  return S_OK;
}

HRESULT CApp::get_CheckedOut(VARIANT_BOOL* value) { return GiveFlag(value, checked_out_); }

HRESULT CApp::put_CheckedOut(VARIANT_BOOL) {
  checked_out_ = true;
  return S_OK;
}

HRESULT CApp::get_Dirty(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  VARIANT_BOOL saved = VARIANT_FALSE;
  return GiveFlag(value, dirty_ || Failed(get_Saved(&saved)) || saved == VARIANT_FALSE);
}

HRESULT CApp::put_Dirty(VARIANT_BOOL value) {
  if (value != VARIANT_FALSE) {
    dirty_ = true;
    return S_OK;
  }
  dirty_ = false;
  const std::optional<FileStats> stats = StatsOf(path_);
  if (!stats) return ReportError(CLSID_App, kNoStatistics, IID_NULL, E_FAIL);
  baseline_ = *stats;
  return S_OK;
}

HRESULT CApp::get_FileDirty(VARIANT_BOOL* value) {
  if (value == nullptr) return E_POINTER;
  const std::optional<FileStats> stats = StatsOf(path_);
  if (!stats) {
    return ReportError(CLSID_App, L"Unable to access file to check to see if it has been modified.",
                       IID_NULL, E_FAIL);
  }
  return GiveFlag(value, *stats != baseline_);
}

HRESULT CApp::CopyApp(IDispatch* source) {
  ComPtr<IApp> app;
  if (source == nullptr || Failed(ComPtr<IDispatch>(source).As(&app))) return S_OK;
  CopyProperty(*app, *this, &IApp::get_Path, &IApp::put_Path);
  CopyProperty(*app, *this, &IApp::get_Name, &IApp::put_Name);
  CopyProperty(*app, *this, &IApp::get_Description, &IApp::put_Description);
  CopyProperty(*app, *this, &IApp::get_ModifiedBy, &IApp::put_ModifiedBy);
  CopyProperty(*app, *this, &IApp::get_MacroPreImport, &IApp::put_MacroPreImport);
  CopyProperty(*app, *this, &IApp::get_MacroPostImport, &IApp::put_MacroPostImport);
  CopyProperty(*app, *this, &IApp::get_MacroPreExport, &IApp::put_MacroPreExport);
  CopyProperty(*app, *this, &IApp::get_MacroPostExport, &IApp::put_MacroPostExport);
  CopyProperty(*app, *this, &IApp::get_MacroRelease, &IApp::put_MacroRelease);
  CopyProperty(*app, *this, &IApp::get_ModifiedTimeStamp, &IApp::put_ModifiedTimeStamp);
  CopyProperty(*app, *this, &IApp::get_Enabled, &IApp::put_Enabled);
  CopyProperty(*app, *this, &IApp::get_Linked, &IApp::put_Linked);
  oid_ = -1;
  SetErrorInfo(nullptr);
  return S_OK;
}

HRESULT CApp::FinalCleanUp() {
  CMethodFrame frame(L"CApp::FinalCleanUp");
  RunMethod(frame, [&] {
    if (adapter_) adapter_->TerminateApp(VARIANT_FALSE);
    if (oid_ < 0 || !checked_out_) return;
    HostState& host = HostState::Current();
    const ComPtr<IOVFileService> files = host.FileService(frame);
    files->UndoCheckOut(oid_, host.workspace().get());
  });
  SetErrorInfo(nullptr);
  return S_OK;
}

}  // namespace ovc::apps
