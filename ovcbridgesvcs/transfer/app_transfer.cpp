// The per-file engine: host values into the application files and file
// values back into the Links.
#include "ovcbridgesvcs/transfer/app_transfer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ovcbridgesvcs/frame/member_values.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/frame/user_interface.h"
#include "ovcbridgesvcs/resources/message_ids.h"
#include "ovcbridgesvcs/transfer/link_walk.h"
#include "ovcbridgesvcs/transfer/progress_step.h"

namespace ovc::transfer {
namespace {

constexpr std::wstring_view kRowMarker = L"/!Row!/";

// `transfer` over a list of its own of the enabled LinkSets, the only ones a
// file's transfer looks at: the hooks and macros run by a transfer may
// change the Bridge's list, never the one being walked, and may not enable
// or disable a LinkSet meanwhile. An iterative run enables one working copy
// of many at a time, so the list is short.
class OwnLinkSets {
 public:
  OwnLinkSets(CMethodFrame& frame, const HostTransfer& transfer) : transfer_(transfer) {
    for (const ComPtr<ILinkSet>& link_set : transfer.link_sets) {
      if (GotFlag(frame, link_set.get(), &ILinkSet::get_Enabled)) link_sets_.push_back(link_set);
    }
    transfer_.link_sets = link_sets_;
  }
  OwnLinkSets(const OwnLinkSets&) = delete;
  OwnLinkSets& operator=(const OwnLinkSets&) = delete;

  const HostTransfer& get() const { return transfer_; }

 private:
  std::vector<ComPtr<ILinkSet>> link_sets_;
  HostTransfer transfer_;
};

// The hooks around a file's transfer.
struct Bracket {
  HRESULT (IApp::*open)();
  HRESULT (IApp::*close)();
};
constexpr Bracket kImportBracket{&IApp::PreImport, &IApp::PostImport};
constexpr Bracket kExportBracket{&IApp::PreExport, &IApp::PostExport};

// Runs `walk` inside the bracket: once the opening hook succeeded the
// closing one runs on every way out, and the first failure is raised.
template <class Walk>
void Bracketed(CMethodFrame& frame, IApp* app, const Bracket& bracket, Walk&& walk) {
  CheckAndRaise(frame, (app->*bracket.open)());
  try {
    walk();
  } catch (...) {
    static_cast<void>((app->*bracket.close)());  // the walk's failure is the one passed on
    throw;
  }
  CheckAndRaise(frame, (app->*bracket.close)());
}

std::wstring FileNameOf(CMethodFrame& frame, IApp* app) {
  return Got(frame, app, &IApp::get_Name) + Got(frame, app, &IApp::get_Type);
}

// The enabled, non-iterative LinkSets of the transfer, in order.
std::vector<ILinkSet*> WalkedLinkSets(CMethodFrame& frame, const HostTransfer& transfer) {
  std::vector<ILinkSet*> walked;
  for (const ComPtr<ILinkSet>& link_set : transfer.link_sets) {
    if (GotFlag(frame, link_set.get(), &ILinkSet::get_Enabled) &&
        !GotFlag(frame, link_set.get(), &ILinkSet::get_Iterative)) {
      walked.push_back(link_set.get());
    }
  }
  return walked;
}

// Calls `visit(frame, object_name, link)` for every enabled Link of
// `link_set`, each in a frame of its own: a failure becomes the Link's
// status line "<file>:  <reason>" and the walk goes on with the next Link.
// `visit` answers whether a value moved between the Link and the file;
// returns how many did.
template <class Visit>
int64_t ForEachLinkOf(CMethodFrame& frame, ILinkSet* link_set, const std::wstring& file,
                      const std::wstring& object_name, Visit& visit) {
  const int32_t count = Got(frame, link_set, &ILinkSet::get_Count);
  int64_t moved = 0;
  for (int32_t i = 0; i < count; ++i) {
    const ComPtr<ILink> link = LinkAt(frame, link_set, i);
    if (!GotFlag(frame, link.get(), &ILink::get_Enabled)) continue;
    CMethodFrame link_frame(frame.method_name);
    bool value_moved = false;
    const HRESULT done =
        RunMethod(link_frame, [&] { value_moved = visit(link_frame, object_name, link.get()); });
    if (Failed(done)) AppendStatus(frame, link.get(), file + L":  " + TakeFailureReason(done));
    moved += value_moved ? 1 : 0;
  }
  return moved;
}

// ForEachLinkOf over the enabled, non-iterative LinkSets of the transfer,
// in order. Each object, and the end of the file, is reported to the
// progress service, which may stop the walk there.
template <class Visit>
void ForEachLink(CMethodFrame& frame, const HostTransfer& transfer, const std::wstring& file,
                 ProgressPhase phase, Visit&& visit) {
  const std::vector<ILinkSet*> walked = WalkedLinkSets(frame, transfer);
  const auto total = static_cast<int64_t>(walked.size());
  int64_t links = 0;
  for (int64_t done = 0; done < total; ++done) {
    const std::wstring object_name = Got(frame, walked[done], &ILinkSet::get_ObjectName);
    ReportStep(frame, {phase, file, object_name, done, total, links});
    links += ForEachLinkOf(frame, walked[done], file, object_name, visit);
  }
  ReportStep(frame, {phase, file, {}, total, total, links});
}

// One file written: each Link's value published for the file and put at its
// write location.
class FileWrite {
 public:
  FileWrite(CMethodFrame& frame, const HostTransfer& transfer, IApp* app)
      : transfer_(transfer),
        app_(app),
        file_(FileNameOf(frame, app)),
        strings_only_(GotFlag(frame, app, &IApp::get_StringValuesOnly)) {}

  void Walk(CMethodFrame& frame) {
    ForEachLink(frame, transfer_, file_, ProgressPhase::kWritePass,
                std::bind_front(&FileWrite::WriteLink, this));
  }

 private:
  bool WriteLink(CMethodFrame& frame, const std::wstring& object, ILink* link) {
    const std::wstring location = Got(frame, link, &ILink::get_WriteLocation);
    if (!GotFlag(frame, link, &ILink::get_ReadFromOrvan)) {
      AppendStatus(
          frame, link,
          L"Value not written to \"" + location + L"\" because no value was read from Orvan.");
      return false;
    }
    if (location.empty()) return false;
    const bool recording = static_cast<bool>(transfer_.record_change);
    // Read before the location is selected for the write, so that reading
    // it can never change what is written or where.
    const Variant old_value = recording ? ValueBefore(location) : Variant();
    VARIANT_BOOL exists = VARIANT_FALSE;
    CheckAndRaise(frame, app_->get_LocationExists(location, &exists));
    if (exists == VARIANT_FALSE) {
      AppendStatus(frame, link,
                   L"Value not written to \"" + location +
                       L"\" because location does not exist in \"" + file_ + L"\"");
      return false;
    }
    Variant value;
    CheckAndRaise(frame,
                  link->get_PublishedValue(ToVariantBool(strings_only_), VARIANT_TRUE, &value));
    if (value.IsArray()) {
      const bool column =
          Got(frame, link, &ILink::get_WriteFormat).find(kRowMarker) == std::wstring::npos;
      CheckAndRaise(frame, app_->SetVectorValueAtSelection(value, ToVariantBool(column)));
      MarkWritten(frame, link, L":  vector value written to " + location);
    } else {
      CheckAndRaise(frame, app_->SetValueAtSelection(value));
      MarkWritten(frame, link, L":  value written to " + location);
    }
    if (recording) transfer_.record_change({file_, object, location, old_value, value});
    return true;
  }

  // What `location` holds before the write; empty when it cannot be read.
  Variant ValueBefore(const std::wstring& location) {
    Variant value;
    if (Succeeded(app_->GetValue(location, &value))) return value;
    SetErrorInfo(nullptr);
    return Variant();
  }

  void MarkWritten(CMethodFrame& frame, ILink* link, const std::wstring& what) {
    CheckAndRaise(frame, link->put_WrittenToApp(VARIANT_TRUE));
    AppendStatus(frame, link, file_ + what);
  }

  const HostTransfer& transfer_;
  IApp* app_;
  std::wstring file_;
  bool strings_only_;
};

// One file read: each Link's read location taken into its raw value and
// converted.
class FileRead {
 public:
  FileRead(CMethodFrame& frame, const HostTransfer& transfer, IApp* app)
      : transfer_(transfer), app_(app), file_(FileNameOf(frame, app)) {}

  void Walk(CMethodFrame& frame) {
    ForEachLink(frame, transfer_, file_, ProgressPhase::kReadPass,
                std::bind_front(&FileRead::ReadLink, this));
  }

 private:
  bool ReadLink(CMethodFrame& frame, const std::wstring& object, ILink* link) {
    const std::wstring location = Got(frame, link, &ILink::get_ReadLocation);
    if (location.empty()) return false;
    Variant value;
    if (const HRESULT read = app_->GetValue(location, &value); Failed(read)) {
      NoteFailedRead(frame, link, location, TakeFailureReason(read));
      return false;
    }
    CheckAndRaise(frame, link->put_RawAppValue(value));
    CheckAndRaise(frame, link->ConvertAppValue(file_));
    if (transfer_.record_change) {
      transfer_.record_change(
          {transfer_.bridge_name, object, Got(frame, link, &ILink::get_AttribName),
           Got(frame, link, &ILink::get_OrvanValue), Got(frame, link, &ILink::get_AppValue)});
    }
    return true;
  }

  // A location the file lacks is no failure (it may be another file's);
  // any other failed read leaves its reason on the Link.
  void NoteFailedRead(CMethodFrame& frame, ILink* link, const std::wstring& location,
                      const std::wstring& reason) {
    VARIANT_BOOL exists = VARIANT_TRUE;
    if (Failed(app_->get_LocationExists(location, &exists))) SetErrorInfo(nullptr);
    if (exists != VARIANT_FALSE) AppendStatus(frame, link, file_ + L":  " + reason);
  }

  const HostTransfer& transfer_;
  IApp* app_;
  std::wstring file_;
};

// Whether the first enabled LinkSet has a class view; when it has none the
// "Warning" box says so. False when no LinkSet is enabled.
bool FirstLinkSetHasClassView(CMethodFrame& frame, const HostTransfer& transfer) {
  for (const ComPtr<ILinkSet>& link_set : transfer.link_sets) {
    if (!GotFlag(frame, link_set.get(), &ILinkSet::get_Enabled)) continue;
    ComPtr<IDispatch> class_view;
    CheckAndRaise(frame, link_set->get_ClassViewDisp(class_view.Receive()));
    if (class_view) return true;
    ShowMessageBox(LoadMessage(msg::kNoClassView), L"Warning", kBoxOk);
    return false;
  }
  return false;
}

IAppCollection* AppsOf(CMethodFrame& frame, const HostTransfer& transfer) {
  if (transfer.apps == nullptr) RaiseError(frame, SourceLocation::Current(), E_POINTER);
  return transfer.apps;
}

// Transfers `app` when it is enabled; false when it is not.
bool TransferEnabledApp(CMethodFrame& frame, const HostTransfer& transfer, IApp* app, bool write) {
  if (!GotFlag(frame, app, &IApp::get_Enabled)) return false;
  CheckAndRaise(frame, write ? TransferToApp(transfer, app) : TransferFromApp(transfer, app));
  return true;
}

}  // namespace

HRESULT AppsTransfer(const HostTransfer& transfer, bool write, bool activate) {
  CMethodFrame frame(L"CBridge::AppsTransfer");
  return RunMethod(frame, [&] {
    const OwnLinkSets own(frame, transfer);
    IAppCollection* apps = AppsOf(frame, transfer);
    const int32_t count = Got(frame, apps, &IAppCollection::get_Count);
    for (int32_t i = 0; i < count; ++i) {
      const ComPtr<IApp> app = AppAt(frame, apps, i);
      if (TransferEnabledApp(frame, own.get(), app.get(), write) && activate) {
        CheckAndRaise(frame, app->Activate(VARIANT_TRUE));
      }
    }
  });
}

HRESULT AppTransfer(const HostTransfer& transfer, int32_t index, bool write) {
  CMethodFrame frame(L"CBridge::AppTransfer");
  return RunMethod(frame, [&]() -> HRESULT {
    IAppCollection* apps = AppsOf(frame, transfer);
    const int32_t count = Got(frame, apps, &IAppCollection::get_Count);
    if (index < 0 || index >= count) {
      return ReportOutOfRange(CLSID_Bridge, msg::kAppIndexOutOfRange, index, count - 1);
    }
    TransferEnabledApp(frame, transfer, AppAt(frame, apps, index).get(), write);
    return S_OK;
  });
}

HRESULT TransferToApp(const HostTransfer& transfer, IApp* app) {
  CMethodFrame frame(L"CBridge::TransferToApp");
  return RunMethod(frame, [&] {
    if (app == nullptr) RaiseError(frame, SourceLocation::Current(), E_POINTER);
    const OwnLinkSets own(frame, transfer);
    Bracketed(frame, app, kImportBracket, [&] { FileWrite(frame, own.get(), app).Walk(frame); });
  });
}

HRESULT TransferFromApp(const HostTransfer& transfer, IApp* app) {
  CMethodFrame frame(L"CBridge::TransferFromApp");
  return RunMethod(frame, [&] {
    if (app == nullptr) RaiseError(frame, SourceLocation::Current(), E_POINTER);
    const OwnLinkSets own(frame, transfer);
    if (!FirstLinkSetHasClassView(frame, own.get())) return;
    Bracketed(frame, app, kExportBracket, [&] { FileRead(frame, own.get(), app).Walk(frame); });
  });
}

}  // namespace ovc::transfer
