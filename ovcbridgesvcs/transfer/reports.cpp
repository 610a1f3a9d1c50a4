#include "ovcbridgesvcs/transfer/reports.h"

#include <cstdint>

#include "automation/safe_array.h"
#include "ovcbridgesvcs/transfer/link_walk.h"

namespace ovc::transfer {
namespace {

// The status lines of the enabled Links of `link_set`.
std::wstring StatusLines(CMethodFrame& frame, ILinkSet* link_set, bool errors_only) {
  std::wstring lines;
  const int32_t count = Got(frame, link_set, &ILinkSet::get_Count);
  for (int32_t index = 0; index < count; ++index) {
    const ComPtr<ILink> link = LinkAt(frame, link_set, index);
    if (!GotFlag(frame, link.get(), &ILink::get_Enabled)) continue;
    if (errors_only && !GotFlag(frame, link.get(), &ILink::get_Error)) continue;
    lines.append(Got(frame, link.get(), &ILink::get_Status)).append(L"\r\n");
  }
  return lines;
}

}  // namespace

std::wstring LinkStatusReport(CMethodFrame& frame, std::span<const ComPtr<ILinkSet>> link_sets,
                              bool errors_only) {
  std::wstring report;
  for (const ComPtr<ILinkSet>& link_set : link_sets) {
    if (!GotFlag(frame, link_set.get(), &ILinkSet::get_Enabled) ||
        GotFlag(frame, link_set.get(), &ILinkSet::get_Iterative)) {
      continue;
    }
    const std::wstring lines = StatusLines(frame, link_set.get(), errors_only);
    if (!lines.empty()) report.append(lines).append(L"\r\n");
  }
  return report;
}

std::wstring BridgeProfile(CMethodFrame& frame, std::span<const ComPtr<ILinkSet>> link_sets) {
  std::wstring profile = L"<Profile>";
  for (const ComPtr<ILinkSet>& link_set : link_sets) {
    const Variant oids = Got(frame, link_set.get(), &ILinkSet::get_ObjectOIDList);
    if (!oids.IsArray()) continue;
    const std::wstring view = Got(frame, link_set.get(), &ILinkSet::get_Class);
    const std::wstring links = Got(frame, link_set.get(), &ILinkSet::GetLinkProfile);
    for (const Variant& oid : oids.array().data()) {
      if (oid.vt() != VT_I4) continue;
      profile.append(L"<ProfileObject OID = \"").append(std::to_wstring(oid.i4()));
      profile.append(L"\" ClassView =\"").append(view).append(L"\" >");
      profile.append(links).append(L"</ProfileObject>");
    }
  }
  return profile + L"</Profile>";
}

}  // namespace ovc::transfer
