#include "ovcbridgesvcs/frame/reentry_guard.h"

#include <string>

#include "automation/error_info.h"

namespace ovc {
namespace {

thread_local int32_t user_code_depth = 0;

}  // namespace

UserCodeScope::UserCodeScope() noexcept { ++user_code_depth; }

UserCodeScope::~UserCodeScope() { --user_code_depth; }

HRESULT AdmitFromUserCode(const MemberInfo& member) {
  if (user_code_depth == 0 || member.kind == MemberKind::kPropertyGet) return S_OK;
  return SetErrorResult(E_ACCESSDENIED,
                        std::wstring(member.name) +
                            L" cannot be called from a progress callback, macro or question "
                            L"the Bridge is waiting for; until it returns, properties can "
                            L"only be read",
                        L"OVCBridgeSvcs");
}

}  // namespace ovc
