#include "orvan/components/file_service.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "automation/text.h"
#include "orvan/components/session_source.h"

namespace ovc::orvan::components {

namespace {

// $HOME when set, as every program of the user takes it; else the account's
// home folder; else the temporary folder.
std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return std::filesystem::temp_directory_path();
}

std::wstring PathText(const std::filesystem::path& path) { return FromUtf8(path.string()); }

}  // namespace

FileService::FileService() : working_folder_(HomeFolder() / "Orvan Files") {}

HRESULT FileService::Files(IDispatch* workspace, std::optional<FileCheckout>* files,
                           std::wstring* user) {
  std::shared_ptr<Session> session;
  if (HRESULT hr = Report(SessionOf(workspace, &session)); Failed(hr)) return hr;
  Store* store = nullptr;
  if (HRESULT hr = Report(session->GetStore(&store)); Failed(hr)) return hr;
  files->emplace(store, session->user(), working_folder_);
  if (user != nullptr) *user = session->user();
  return S_OK;
}

HRESULT FileService::AddFile(const std::wstring& local_path, VARIANT_BOOL linked,
                             IDispatch* workspace, int32_t* oid) {
  if (oid == nullptr) return E_POINTER;
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  return Report(files->AddFile(std::filesystem::path(ToUtf8(local_path)), linked != 0, oid));
}

HRESULT FileService::CheckOut(int32_t oid, IDispatch* workspace, std::wstring* local_path) {
  if (local_path == nullptr) return E_POINTER;
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  std::filesystem::path path;
  if (HRESULT hr = Report(files->CheckOut(oid, &path)); Failed(hr)) return hr;
  *local_path = PathText(path);
  return S_OK;
}

HRESULT FileService::CheckIn(int32_t oid, IDispatch* workspace) {
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  return Report(files->CheckIn(oid));
}

HRESULT FileService::UndoCheckOut(int32_t oid, IDispatch* workspace) {
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  return Report(files->UndoCheckOut(oid));
}

HRESULT FileService::ConvertToEmbedded(int32_t oid, IDispatch* workspace) {
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  return Report(files->ConvertToEmbedded(oid));
}

HRESULT FileService::FileRecord(int32_t oid, IDispatch* workspace, std::wstring* holder,
                                std::wstring* file_name, VARIANT_BOOL* linked) {
  if (holder == nullptr || file_name == nullptr || linked == nullptr) return E_POINTER;
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  FileInfo info;
  if (HRESULT hr = Report(files->Record(oid, &info)); Failed(hr)) return hr;
  *holder = info.holder;
  *file_name = info.file_name;
  *linked = info.linked ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT FileService::put_WorkingFolder(const std::wstring& folder) {
  if (folder.empty()) return Fail(E_INVALIDARG, L"The working folder must not be empty.");
  working_folder_ = std::filesystem::path(ToUtf8(folder));
  return S_OK;
}

HRESULT FileService::OwnCheckOut(int32_t oid, const std::wstring&, IDispatch* workspace,
                                 std::wstring* local_path) {
  if (local_path == nullptr) return E_POINTER;
  std::optional<FileCheckout> files;
  std::wstring user;
  if (HRESULT hr = Files(workspace, &files, &user); Failed(hr)) return hr;
  FileInfo info;
  if (HRESULT hr = Report(files->Record(oid, &info)); Failed(hr)) return hr;
  local_path->clear();
  if (info.holder != user) return S_OK;
  // Checking out a file the user holds hands back its path and keeps the
  // local copy as it is.
  std::filesystem::path path;
  if (HRESULT hr = Report(files->CheckOut(oid, &path)); Failed(hr)) return hr;
  *local_path = PathText(path);
  return S_OK;
}

HRESULT FileService::GetCopy(int32_t oid, IDispatch* workspace, std::wstring* local_path) {
  if (local_path == nullptr) return E_POINTER;
  std::optional<FileCheckout> files;
  if (HRESULT hr = Files(workspace, &files); Failed(hr)) return hr;
  std::filesystem::path path;
  if (HRESULT hr = Report(files->CopyOut(oid, &path)); Failed(hr)) return hr;
  *local_path = PathText(path);
  return S_OK;
}

}  // namespace ovc::orvan::components
