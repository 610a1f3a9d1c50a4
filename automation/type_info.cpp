#include "automation/type_info.h"

#include "automation/text.h"

namespace ovc {

const MemberInfo* InterfaceInfo::Find(DISPID id, MemberKind kind) const {
  for (const MemberInfo& member : members) {
    if (member.id == id && member.kind == kind) return &member;
  }
  return nullptr;
}

const MemberInfo* InterfaceInfo::Find(DISPID id) const {
  for (const MemberInfo& member : members) {
    if (member.id == id) return &member;
  }
  return nullptr;
}

DISPID InterfaceInfo::IdOfName(std::wstring_view name) const {
  for (const MemberInfo& member : members) {
    if (EqualsNoCase(member.name, name)) return member.id;
  }
  return DISPID_UNKNOWN;
}

}  // namespace ovc
