#include "ovcbridgesvcs/frame/report_error.h"

#include <string>

#include "automation/error_info.h"
#include "ovcbridgesvcs/frame/class_table.h"
#include "ovcbridgesvcs/frame/message_catalogue.h"

namespace ovc {
namespace {

// Status codes of the interface facility: failure bit and facility 4.
constexpr uint32_t kInterfaceFacility = 0x80040000;

std::wstring ReportingProgId(const CLSID& clsid) {
  const LibraryClass* entry = LibraryClasses().Find(clsid);
  return entry == nullptr ? std::wstring() : VersionedProgId(*entry->coclass);
}

}  // namespace

HRESULT ReportError(const CLSID& clsid, uint32_t message, const IID& iid, HRESULT code) {
  if (code == S_OK) code = static_cast<HRESULT>(kInterfaceFacility + message);
  return SetErrorResult(code, LoadMessage(message), ReportingProgId(clsid), iid);
}

HRESULT ReportError(const CLSID& clsid, std::wstring_view text, const IID& iid, HRESULT code) {
  if (code == S_OK) code = DISP_E_EXCEPTION;
  return SetErrorResult(code, std::wstring(text), ReportingProgId(clsid), iid);
}

}  // namespace ovc
