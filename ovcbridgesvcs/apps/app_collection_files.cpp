// The AppCollection's files: working copies and storing files in the host.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "automation/text.h"
#include "ovcbridgesvcs/apps/app_collection.h"
#include "ovcbridgesvcs/apps/host_files.h"
#include "ovcbridgesvcs/apps/working_copy.h"
#include "ovcbridgesvcs/frame/raise_error.h"
#include "ovcbridgesvcs/frame/report_error.h"
#include "ovcbridgesvcs/frame/run_method.h"
#include "ovcbridgesvcs/frame/working_folder.h"
#include "ovcbridgesvcs/host/host_state.h"

namespace ovc::apps {
namespace {

namespace fs = std::filesystem;

// Whether the file at `path` lies in the working folder, which holds only
// copies the library made.
bool InWorkingFolder(const fs::path& path) {
  const std::optional<fs::path> folder = WorkingFolder();
  std::error_code error;
  return folder && fs::equivalent(fs::path(path).parent_path(), *folder, error);
}

// Whether someone holds the stored file `oid` checked out; one nobody holds,
// such as a file saved without checking it out, has nothing to check in.
bool Held(CMethodFrame& frame, IOVFileService& files, int32_t oid) {
  std::wstring holder;
  std::wstring file_name;
  VARIANT_BOOL linked = VARIANT_FALSE;
  CheckAndRaise(frame, files.FileRecord(oid, HostState::Current().workspace().get(), &holder,
                                        &file_name, &linked));
  return !holder.empty();
}

}  // namespace

bool CAppCollection::TakeWorkingCopy(CMethodFrame& frame, IApp& app) {
  std::wstring source;
  CheckAndRaise(frame, app.get_Path(&source));
  const std::optional<fs::path> folder = WorkingFolder();
  fs::path copy;
  const auto in_use = [&](const fs::path& path) { return PathInUse(FromUtf8(path.string())); };
  if (!folder || MakeWorkingCopy(fs::path(ToUtf8(source)), *folder, in_use, &copy) != 0) {
    ReportError(CLSID_AppCollection, L"Unable to make working copy of the file: " + source,
                IID_NULL, E_FAIL);
    return false;
  }
  CheckAndRaise(frame, app.put_Path(FromUtf8(copy.string())));
  return true;
}

HRESULT CAppCollection::MakeCopyAndAdd(IDispatch* app) {
  CMethodFrame frame(L"CAppCollection::MakeCopyAndAdd");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IApp> added = AppOf(app);
    if (!added || !TakeWorkingCopy(frame, *added)) return E_FAIL;
    apps_.items().push_back(added);
    dirty_ = true;
    return S_OK;
  });
}

HRESULT CAppCollection::ConvertLinkedFile(IDispatch* linked_app) {
  CMethodFrame frame(L"CAppCollection::ConvertLinkedFile");
  return RunMethod(frame, [&]() -> HRESULT {
    const ComPtr<IApp> converted = AppOf(linked_app);
    if (!converted || !TakeWorkingCopy(frame, *converted)) return E_FAIL;
    CheckAndRaise(frame, converted->put_Converted(VARIANT_TRUE));
    CheckAndRaise(frame, converted->put_Linked(VARIANT_FALSE));
    dirty_ = true;
    return S_OK;
  });
}

HRESULT CAppCollection::SaveFiles(VARIANT_BOOL check_out) {
  CMethodFrame frame(L"CAppCollection::SaveFiles");
  return RunMethod(frame, [&] {
    for (const ComPtr<IApp>& app : apps_.items()) SaveFile(frame, *app, check_out != VARIANT_FALSE);
  });
}

void CAppCollection::SaveFile(CMethodFrame& frame, IApp& app, bool check_out) {
  // A file that could not be saved must not replace what the host holds.
  CheckAndRaise(frame, app.Save());
  const ComPtr<IOVFileService> files = HostFileService(frame);
  const ComPtr<IOVWorkspace> workspace = HostState::Current().workspace();
  int32_t oid = -1;
  std::wstring path;
  VARIANT_BOOL converted = VARIANT_FALSE;
  CheckAndRaise(frame, app.get_OID(&oid));
  CheckAndRaise(frame, app.get_Path(&path));
  CheckAndRaise(frame, app.get_Converted(&converted));
  if (oid == -1) {
    app.TerminateApp(VARIANT_FALSE);
    VARIANT_BOOL linked = VARIANT_FALSE;
    CheckAndRaise(frame, app.get_Linked(&linked));
    CheckAndRaise(frame, files->AddFile(path, linked, workspace.get(), &oid));
    CheckAndRaise(frame, app.put_OID(oid));
    // The host holds the file now; only a copy the library made is removed.
    const fs::path local(ToUtf8(path));
    std::error_code error;
    if (linked == VARIANT_FALSE && InWorkingFolder(local)) fs::remove(local, error);
  } else if (converted != VARIANT_FALSE) {
    app.TerminateApp(VARIANT_FALSE);
    CheckAndRaise(frame, files->ConvertToEmbedded(oid, workspace.get()));
  } else if (Held(frame, *files, oid)) {
    CheckAndRaise(frame, files->CheckIn(oid, workspace.get()));
  }
  if (!check_out) return;
  std::wstring checked_out;
  CheckAndRaise(frame, files->CheckOut(oid, workspace.get(), &checked_out));
  CheckAndRaise(frame, app.put_Path(checked_out));
  CheckAndRaise(frame, app.put_CheckedOut(VARIANT_TRUE));
}

}  // namespace ovc::apps
