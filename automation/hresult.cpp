#include "automation/hresult.h"

#include <cerrno>

namespace ovc {

namespace {

struct HresultEntry {
  HRESULT code;
  std::wstring_view text;
};

#define OVC_HRESULT_ENTRY(name, code, text) HresultEntry{static_cast<HRESULT>(code), L"" text},
constexpr HresultEntry kEntries[] = {OVC_HRESULT_TABLE(OVC_HRESULT_ENTRY)};
#undef OVC_HRESULT_ENTRY

const HresultEntry* Find(HRESULT hr) {
  for (const HresultEntry& entry : kEntries) {
    if (entry.code == hr) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<std::wstring_view> SystemMessage(HRESULT hr) {
  const HresultEntry* entry = Find(hr);
  if (entry == nullptr || entry->text.empty()) return std::nullopt;
  return entry->text;
}

HRESULT HresultFromErrno(int error_number) {
  switch (error_number) {
    case 0:
      return S_OK;
    case ENOENT:
      return E_FILENOTFOUND;
    case ENOTDIR:
      return E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
      return E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT:
      return E_DISKFULL;
    case ENOMEM:
      return E_OUTOFMEMORY;
    case EEXIST:
      return E_FILEEXISTS;
    default:
      return E_FAIL;
  }
}

}  // namespace ovc
