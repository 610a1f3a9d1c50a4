#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

// Rules a type library must keep for its interfaces to be callable by name,
// whatever their members: one member per DISPID and kind, the accessors of a
// property on one DISPID, [retval] last, no required parameter after an
// optional one, distinct identifiers, and classes whose default interface
// is in the library.
TEST(TypeLibraryTest, EveryInterfaceIsCallableByDispatch) {
  const TypeLibraryInfo& library = OVCBridgeSvcsTypeLibrary();
  std::set<GUID> ids{library.libid};
  for (const InterfaceInfo* info : library.interfaces) {
    EXPECT_TRUE(ids.insert(info->iid).second) << Narrow(info->name);
    std::set<std::pair<DISPID, MemberKind>> seen;
    for (const MemberInfo& member : info->members) {
      SCOPED_TRACE(Narrow(info->name) + "::" + Narrow(member.name));
      EXPECT_TRUE(seen.emplace(member.id, member.kind).second);
      EXPECT_EQ(info->IdOfName(member.name), member.id);
      bool optional_seen = false;
      for (size_t i = 0; i < member.params.size(); ++i) {
        const ParamInfo& param = member.params[i];
        EXPECT_TRUE(!param.is_retval() || i + 1 == member.params.size());
        EXPECT_TRUE(param.is_optional() || param.is_retval() || !optional_seen);
        optional_seen = optional_seen || param.is_optional();
      }
      if (member.kind == MemberKind::kPropertyGet) {
        EXPECT_TRUE(!member.params.empty() && member.params.back().is_retval());
      }
    }
  }
  for (const CoclassInfo* coclass : library.coclasses) {
    EXPECT_TRUE(ids.insert(coclass->clsid).second) << Narrow(coclass->name);
    EXPECT_NE(
        std::find(library.interfaces.begin(), library.interfaces.end(), coclass->default_interface),
        library.interfaces.end());
  }
}

}  // namespace
}  // namespace ovc
