#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "orvan/orvan.h"
#include "ovcbridgesvcs/resources/ovcbridgesvcs.h"

namespace ovc {
namespace {

const InterfaceInfo* FindInterface(const TypeLibraryInfo& library, std::wstring_view name) {
  for (const InterfaceInfo* info : library.interfaces) {
    if (info->name == name) return info;
  }
  return nullptr;
}

const CoclassInfo* FindCoclass(const TypeLibraryInfo& library, std::wstring_view name) {
  for (const CoclassInfo* info : library.coclasses) {
    if (info->name == name) return info;
  }
  return nullptr;
}

const EnumInfo* FindEnum(const TypeLibraryInfo& library, std::wstring_view name) {
  for (const EnumInfo* info : library.enums) {
    if (info->name == name) return info;
  }
  return nullptr;
}

std::string Narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(TypeLibraryTest, IdentifiesTheLibrary) {
  const TypeLibraryInfo& library = OVCBridgeSvcsTypeLibrary();
  EXPECT_EQ(library.name, L"OVCBridgeSvcs");
  EXPECT_EQ(library.libid, MakeGuid("38000000-BF26-11D5-A6FE-0002A500E8F9"));
  EXPECT_EQ(LIBID_OVCBridgeSvcs, library.libid);
  EXPECT_EQ(library.major_version, 380);
  EXPECT_EQ(library.minor_version, 0);
  EXPECT_EQ(library.locale, 1033u);
  EXPECT_EQ(library.help, L"OVCBridgeSvcs Version 38.0");
}

struct CoclassCase {
  const wchar_t* name;
  CLSID constant;
  const char* clsid;
  const wchar_t* help;
  const wchar_t* interface_name;
  const char* iid;
};

TEST(TypeLibraryTest, ListsTheEightCreatableClasses) {
  const CoclassCase cases[] = {
      {L"Bridge", CLSID_Bridge, "38000201-BF26-11D5-A6FE-0002A500E8F9", L"Bridge Class", L"IBridge",
       "38000101-BF26-11D5-A6FE-0002A500E8F9"},
      {L"LinkSet", CLSID_LinkSet, "38000202-BF26-11D5-A6FE-0002A500E8F9", L"LinkSet Class",
       L"ILinkSet", "38000102-BF26-11D5-A6FE-0002A500E8F9"},
      {L"Link", CLSID_Link, "38000203-BF26-11D5-A6FE-0002A500E8F9", L"Link Class", L"ILink",
       "38000103-BF26-11D5-A6FE-0002A500E8F9"},
      {L"AppCollection", CLSID_AppCollection, "38000204-BF26-11D5-A6FE-0002A500E8F9",
       L"AppCollection Class", L"IAppCollection", "38000104-BF26-11D5-A6FE-0002A500E8F9"},
      {L"App", CLSID_App, "38000205-BF26-11D5-A6FE-0002A500E8F9", L"App Class", L"IApp",
       "38000105-BF26-11D5-A6FE-0002A500E8F9"},
      {L"WordApp", CLSID_WordApp, "38000206-BF26-11D5-A6FE-0002A500E8F9", L"WordApp Class",
       L"IExternalApp", "38000106-BF26-11D5-A6FE-0002A500E8F9"},
      {L"ExcelApp", CLSID_ExcelApp, "38000207-BF26-11D5-A6FE-0002A500E8F9", L"ExcelApp Class",
       L"IExternalApp", "38000106-BF26-11D5-A6FE-0002A500E8F9"},
      {L"Orvan", CLSID_Orvan, "38000208-BF26-11D5-A6FE-0002A500E8F9", L"Orvan Class", L"IOrvan",
       "38000107-BF26-11D5-A6FE-0002A500E8F9"},
  };
  const TypeLibraryInfo& library = OVCBridgeSvcsTypeLibrary();
  EXPECT_EQ(library.coclasses.size(), std::size(cases));
  for (const CoclassCase& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    const GUID clsid = MakeGuid(c.clsid);
    EXPECT_EQ(c.constant, clsid);
    const CoclassInfo* coclass = FindCoclass(library, c.name);
    ASSERT_NE(coclass, nullptr);
    EXPECT_EQ(coclass->clsid, clsid);
    EXPECT_EQ(coclass->help, c.help);
    ASSERT_NE(coclass->default_interface, nullptr);
    EXPECT_EQ(coclass->default_interface, FindInterface(library, c.interface_name));
    EXPECT_EQ(coclass->default_interface->iid, MakeGuid(c.iid));
  }
}

TEST(TypeLibraryTest, ExposesTheGeneratedInterfacesUnderTheirIdentifiers) {
  EXPECT_EQ(IBridge::kIid, MakeGuid("38000101-BF26-11D5-A6FE-0002A500E8F9"));
  EXPECT_EQ(IExternalApp::kIid, MakeGuid("38000106-BF26-11D5-A6FE-0002A500E8F9"));
  EXPECT_EQ(&IOrvan::TypeInfo(), FindInterface(OVCBridgeSvcsTypeLibrary(), L"IOrvan"));
}

struct EnumeratorCase {
  const wchar_t* enumeration;
  const char* uuid;
  const wchar_t* name;
  int32_t value;
};

TEST(TypeLibraryTest, EnumeratorsHaveTheirContractValues) {
  constexpr const char* kObj = "38000301-BF26-11D5-A6FE-0002A500E8F9";
  constexpr const char* kOp = "38000302-BF26-11D5-A6FE-0002A500E8F9";
  constexpr const char* kDefaults = "38000303-BF26-11D5-A6FE-0002A500E8F9";
  constexpr const char* kValidate = "38000304-BF26-11D5-A6FE-0002A500E8F9";
  const EnumeratorCase cases[] = {
      {L"OVCBRIDGESVCSOBJ", kObj, L"ovBridge", 0},
      {L"OVCBRIDGESVCSOBJ", kObj, L"ovLinkSet", 1},
      {L"OVCBRIDGESVCSOBJ", kObj, L"ovLink", 2},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovReadFromOrvan", 0},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovWriteToOrvan", 1},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovReadFromApp", 2},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovWriteToApp", 3},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovExportOrvanToApp", 4},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovImportOrvanFromApp", 5},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovAutorun", 6},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovAutorunPause", 7},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovSynchNamesAdd", 8},
      {L"OVCBRIDGETRANSFEROP", kOp, L"ovSynchNamesReplace", 9},
      {L"OVCBRIDGEDEFAULTS", kDefaults, L"ovWorkspaceDefault", -10},
      {L"OVCBRIDGEDEFAULTS", kDefaults, L"ovBridgeDefault", -11},
      {L"OVCBRIDGEDEFAULTS", kDefaults, L"ovLinkSetDefault", -12},
      {L"OVCBRIDGEVALIDATE", kValidate, L"ovOK", 0},
      {L"OVCBRIDGEVALIDATE", kValidate, L"ovWarning", 1},
      {L"OVCBRIDGEVALIDATE", kValidate, L"ovError", 2},
  };
  const TypeLibraryInfo& library = OVCBridgeSvcsTypeLibrary();
  EXPECT_EQ(library.enums.size(), 4u);
  std::map<std::wstring_view, size_t> listed;
  for (const EnumeratorCase& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    const EnumInfo* info = FindEnum(library, c.enumeration);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->uuid, MakeGuid(c.uuid));
    const EnumeratorInfo* found = nullptr;
    for (const EnumeratorInfo& enumerator : info->enumerators) {
      if (enumerator.name == c.name) found = &enumerator;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->value, c.value);
    ++listed[c.enumeration];
  }
  for (const EnumInfo* info : library.enums) {
    EXPECT_EQ(info->enumerators.size(), listed[info->name]) << Narrow(info->name);
  }
  EXPECT_EQ(ovLinkSetDefault, -12);
  EXPECT_EQ(ovSynchNamesReplace, 9);
}

TEST(TypeLibraryTest, EachInterfaceHasItsFullMemberTable) {
  const std::pair<const wchar_t*, size_t> cases[] = {
      {L"IBridge", 102},       {L"ILinkSet", 68},     {L"ILink", 89}, {L"IApp", 63},
      {L"IAppCollection", 27}, {L"IExternalApp", 41}, {L"IOrvan", 6},
  };
  const TypeLibraryInfo& library = OVCBridgeSvcsTypeLibrary();
  EXPECT_EQ(library.interfaces.size(), std::size(cases));
  for (const auto& [name, count] : cases) {
    const InterfaceInfo* info = FindInterface(library, name);
    ASSERT_NE(info, nullptr) << Narrow(name);
    EXPECT_EQ(info->members.size(), count) << Narrow(name);
  }
}

struct ParamCase {
  VARTYPE vt;
  uint8_t flags;
  const wchar_t* default_value = L"";
  const wchar_t* type_name = L"";
};

struct MemberCase {
  const wchar_t* interface_name;
  size_t position;  // in vtable order, after the IDispatch entries
  const wchar_t* name;
  MemberKind kind;
  uint32_t dispid;
  std::vector<ParamCase> params;
};

constexpr uint8_t kIn = kParamIn;
constexpr uint8_t kOut = kParamOut;
constexpr uint8_t kRetval = kParamOut | kParamRetval;
constexpr uint8_t kOptionalIn = kParamIn | kParamOptional | kParamHasDefault;
constexpr MemberKind kGet = MemberKind::kPropertyGet;
constexpr MemberKind kPut = MemberKind::kPropertyPut;
constexpr MemberKind kMethod = MemberKind::kMethod;

const std::vector<MemberCase>& MemberCases() {
  static const std::vector<MemberCase> cases = {
      {L"IBridge", 0, L"Item", kGet, 0x0, {{VT_VARIANT, kIn}, {VT_VARIANT, kRetval}}},
      {L"IBridge", 1, L"_NewEnum", kGet, 0xfffffffc, {{VT_UNKNOWN, kRetval}}},
      {L"IBridge", 2, L"Count", kGet, 0x60020001, {{VT_I4, kRetval}}},
      {L"IBridge",
       6,
       L"DefaultString",
       kGet,
       0x60020005,
       {{VT_I4, kIn, L"", L"OVCBRIDGEDEFAULTS"}, {VT_BSTR, kRetval}}},
      {L"IBridge", 11, L"CaseOID", kGet, 0x60020010, {{VT_I4, kRetval}}},
      {L"IBridge", 12, L"CaseOID", kPut, 0x60020010, {{VT_I4, kIn}}},
      {L"IBridge",
       17,
       L"SetCaseInfo",
       kMethod,
       0x60020114,
       {{VT_I4, kIn, L"", L"OVCBRIDGESVCSOBJ"},
        {VT_I4, kIn},
        {VT_I4, kIn},
        {VT_BSTR, kOut},
        {VT_BSTR, kOut}}},
      {L"IBridge",
       24,
       L"Validate",
       kGet,
       0x60020023,
       {{VT_I4, kIn, L"", L"OVCBRIDGETRANSFEROP"},
        {VT_I4, kOut, L"", L"OVCBRIDGEVALIDATE"},
        {VT_BSTR, kRetval}}},
      {L"IBridge", 32, L"CreatedTimeStamp", kPut, 0x60020027, {{VT_VARIANT, kIn}}},
      {L"IBridge", 35, L"FinalCleanUp", kMethod, 0x60020129, {}},
      {L"IBridge", 39, L"AddLinkSet", kMethod, 0x60020133, {{VT_VARIANT, kOut | kParamOptional}}},
      {L"IBridge",
       44,
       L"InsertLinkSet",
       kMethod,
       0x60020136,
       {{VT_DISPATCH, kIn}, {VT_I4, kOptionalIn, L"-1"}}},
      {L"IBridge",
       47,
       L"InsertLinkSets",
       kMethod,
       0x60020139,
       {{VT_DISPATCH, kIn}, {VT_I4, kOptionalIn, L"-1"}}},
      {L"IBridge", 50, L"OptimizePerformance", kPut, 0x60020041, {{VT_BOOL, kIn}}},
      {L"IBridge", 62, L"ReadFromOrvan", kMethod, 0x60020153, {{VT_BOOL, kIn}, {VT_BOOL, kIn}}},
      {L"IBridge", 66, L"AddApp", kMethod, 0x60020157, {{VT_BSTR, kIn}, {VT_VARIANT, kRetval}}},
      {L"IBridge",
       71,
       L"InsertApps",
       kMethod,
       0x60020162,
       {{VT_DISPATCH, kIn}, {VT_I4, kOptionalIn, L"-1"}}},
      {L"IBridge", 77, L"Create", kMethod, 0x60020168, {}},
      {L"IBridge",
       94,
       L"GetUnitDefaultFormat",
       kMethod,
       0x60020186,
       {{VT_BSTR, kIn}, {VT_BSTR, kOut}}},
      {L"IBridge", 97, L"GetBridgeProfile", kMethod, 0x60020189, {{VT_BSTR, kOut}}},
      {L"IBridge", 101, L"ReadFromAppsIterative", kMethod, 0x60020193, {{VT_BOOL, kIn}}},

      {L"ILinkSet", 0, L"Item", kGet, 0x0, {{VT_VARIANT, kIn}, {VT_VARIANT, kRetval}}},
      {L"ILinkSet", 1, L"_NewEnum", kGet, 0xfffffffc, {{VT_UNKNOWN, kRetval}}},
      {L"ILinkSet", 20, L"CaseName", kGet, 0x60020015, {{VT_I4, kIn}, {VT_BSTR, kRetval}}},
      {L"ILinkSet", 22, L"Parent", kPut, 0x60020016, {{VT_DISPATCH, kIn}}},
      {L"ILinkSet",
       35,
       L"InsertLink",
       kMethod,
       0x60020126,
       {{VT_DISPATCH, kIn}, {VT_I4, kOptionalIn, L"-1"}}},
      {L"ILinkSet",
       38,
       L"InsertLinks",
       kMethod,
       0x60020129,
       {{VT_DISPATCH, kIn}, {VT_I4, kOptionalIn, L"-1"}}},
      {L"ILinkSet", 39, L"CreateLink", kMethod, 0x60020131, {{VT_VARIANT, kRetval}}},
      {L"ILinkSet", 53, L"ObjectNameList", kPut, 0x60020040, {{VT_VARIANT, kIn}}},
      {L"ILinkSet",
       58,
       L"SetCaseInfo",
       kMethod,
       0x60020143,
       {{VT_I4, kIn, L"", L"OVCBRIDGESVCSOBJ"}, {VT_I4, kIn}, {VT_BSTR, kOut}, {VT_BSTR, kOut}}},
      {L"ILinkSet",
       60,
       L"CreateWorkingCopy",
       kMethod,
       0x60020145,
       {{VT_I4, kIn}, {VT_VARIANT, kRetval}}},
      {L"ILinkSet", 67, L"ReadObjects", kMethod, 0x60020152, {{VT_DISPATCH, kIn}}},

      {L"ILink", 0, L"AttribName", kGet, 0x60020001, {{VT_BSTR, kRetval}}},
      {L"ILink", 12, L"AppendStatus", kMethod, 0x60020108, {{VT_BSTR, kIn}}},
      {L"ILink", 22, L"UnitStringByIndex", kGet, 0x60020016, {{VT_I4, kIn}, {VT_BSTR, kRetval}}},
      {L"ILink",
       45,
       L"PublishedValue",
       kGet,
       0x60020029,
       {{VT_BOOL, kIn}, {VT_BOOL, kIn}, {VT_VARIANT, kRetval}}},
      {L"ILink", 46, L"GetXML", kMethod, 0x60020130, {{VT_VARIANT, kOut}}},
      {L"ILink", 82, L"ConvertAppValue", kMethod, 0x60020154, {{VT_BSTR, kIn}}},
      {L"ILink", 88, L"UnitSetName", kGet, 0x60020059, {{VT_BSTR, kRetval}}},

      {L"IApp", 0, L"LocationCount", kGet, 0x60020001, {{VT_I4, kRetval}}},
      {L"IApp", 27, L"LocationExists", kGet, 0x60020024, {{VT_BSTR, kIn}, {VT_BOOL, kRetval}}},
      {L"IApp",
       48,
       L"SetVectorValue",
       kMethod,
       0x60020137,
       {{VT_BSTR, kIn}, {VT_VARIANT, kIn}, {VT_BOOL, kIn}}},
      {L"IApp",
       62,
       L"SetVectorValueAtSelection",
       kMethod,
       0x60020147,
       {{VT_VARIANT, kIn}, {VT_BOOL, kIn}}},

      {L"IAppCollection", 0, L"Item", kGet, 0x0, {{VT_VARIANT, kIn}, {VT_VARIANT, kRetval}}},
      {L"IAppCollection",
       5,
       L"InsertApp",
       kMethod,
       0x60020104,
       {{VT_DISPATCH, kIn}, {VT_I4, kOptionalIn, L"-1"}}},
      {L"IAppCollection",
       12,
       L"LocationList",
       kGet,
       0x60020011,
       {{VT_BOOL, kIn}, {VT_VARIANT, kRetval}}},
      {L"IAppCollection",
       15,
       L"DisplayLocation",
       kMethod,
       0x60020115,
       {{VT_BSTR, kIn}, {VT_BSTR, kIn}}},
      {L"IAppCollection", 21, L"IndexByOID", kGet, 0x60020020, {{VT_I4, kIn}, {VT_I4, kRetval}}},
      {L"IAppCollection", 26, L"ConvertLinkedFile", kMethod, 0x60020126, {{VT_DISPATCH, kIn}}},

      {L"IExternalApp", 0, L"Activate", kMethod, 0x60020101, {{VT_BOOL, kIn}}},
      {L"IExternalApp", 13, L"PostExport", kMethod, 0x60020115, {}},
      {L"IExternalApp",
       18,
       L"LocationExists",
       kMethod,
       0x60020120,
       {{VT_BSTR, kIn}, {VT_BOOL, kRetval}}},
      {L"IExternalApp", 27, L"MacroPostExport", kPut, 0x60020025, {{VT_BSTR, kIn}}},
      {L"IExternalApp", 38, L"putLinkedPtr", kMethod, 0x60020134, {{VT_BYREF | VT_BOOL, kIn}}},

      {L"IOrvan", 0, L"Initialize", kMethod, 0x60020101, {{VT_DISPATCH, kIn}, {VT_DISPATCH, kIn}}},
      {L"IOrvan", 3, L"OVCCache", kGet, 0x60020004, {{VT_DISPATCH, kRetval}}},
      {L"IOrvan", 5, L"FinalCleanUp", kMethod, 0x60020106, {}},
  };
  return cases;
}

TEST(TypeLibraryTest, MembersSitInTheirSlotsWithTheirDispidsAndParameters) {
  const TypeLibraryInfo& library = OVCBridgeSvcsTypeLibrary();
  for (const MemberCase& c : MemberCases()) {
    SCOPED_TRACE(Narrow(c.interface_name) + "::" + Narrow(c.name));
    const InterfaceInfo* info = FindInterface(library, c.interface_name);
    ASSERT_NE(info, nullptr);
    ASSERT_LT(c.position, info->members.size());
    const MemberInfo& member = info->members[c.position];
    EXPECT_EQ(Narrow(member.name), Narrow(c.name));
    EXPECT_EQ(member.kind, c.kind);
    EXPECT_EQ(member.id, static_cast<DISPID>(c.dispid));
    EXPECT_NE(member.thunk, nullptr);
    ASSERT_EQ(member.params.size(), c.params.size());
    for (size_t i = 0; i < c.params.size(); ++i) {
      SCOPED_TRACE("parameter " + std::to_string(i));
      EXPECT_EQ(member.params[i].vt, c.params[i].vt);
      EXPECT_EQ(member.params[i].flags, c.params[i].flags);
      EXPECT_EQ(Narrow(member.params[i].default_value), Narrow(c.params[i].default_value));
      EXPECT_EQ(Narrow(member.params[i].type_name), Narrow(c.params[i].type_name));
    }
  }
}

TEST(TypeLibraryTest, NamesResolveToTheirDispidsWithoutRegardToCase) {
  const InterfaceInfo& bridge = IBridge::TypeInfo();
  EXPECT_EQ(bridge.IdOfName(L"item"), DISPID_VALUE);
  EXPECT_EQ(bridge.IdOfName(L"_NEWENUM"), DISPID_NEWENUM);
  EXPECT_EQ(bridge.IdOfName(L"insertlinkset"), static_cast<DISPID>(0x60020136));
  EXPECT_EQ(ILink::TypeInfo().IdOfName(L"publishedvalue"), static_cast<DISPID>(0x60020029));
  EXPECT_EQ(bridge.IdOfName(L"PublishedValue"), DISPID_UNKNOWN);
}

// Rules every interface of both libraries keeps, whatever its members.
struct LibraryCase {
  const char* name;
  const TypeLibraryInfo& (*library)();

  friend void PrintTo(const LibraryCase& c, std::ostream* out) { *out << c.name; }
};

class TypeLibraryRulesTest : public testing::TestWithParam<LibraryCase> {
 protected:
  static const TypeLibraryInfo& Library() { return GetParam().library(); }
};

TEST_P(TypeLibraryRulesTest, NoTwoMembersShareDispidAndKind) {
  for (const InterfaceInfo* info : Library().interfaces) {
    std::set<std::pair<DISPID, MemberKind>> seen;
    for (const MemberInfo& member : info->members) {
      EXPECT_TRUE(seen.emplace(member.id, member.kind).second)
          << Narrow(info->name) << "::" << Narrow(member.name);
    }
  }
}

TEST_P(TypeLibraryRulesTest, AccessorsOfOnePropertyShareOneDispid) {
  for (const InterfaceInfo* info : Library().interfaces) {
    std::map<std::wstring_view, DISPID> ids;
    std::map<DISPID, std::wstring_view> names;
    for (const MemberInfo& member : info->members) {
      auto [by_name, new_name] = ids.emplace(member.name, member.id);
      auto [by_id, new_id] = names.emplace(member.id, member.name);
      EXPECT_EQ(by_name->second, member.id) << Narrow(info->name) << "::" << Narrow(member.name);
      EXPECT_EQ(Narrow(by_id->second), Narrow(member.name)) << Narrow(info->name);
    }
  }
}

TEST_P(TypeLibraryRulesTest, ParameterListsAreCallableByDispatch) {
  for (const InterfaceInfo* info : Library().interfaces) {
    for (const MemberInfo& member : info->members) {
      SCOPED_TRACE(Narrow(info->name) + "::" + Narrow(member.name));
      const auto params = member.params;
      bool optional_seen = false;
      for (size_t i = 0; i < params.size(); ++i) {
        if (params[i].is_retval()) {
          EXPECT_EQ(i + 1, params.size()) << "the return value comes last";
          EXPECT_TRUE(params[i].is_out());
          continue;
        }
        if (params[i].is_optional()) optional_seen = true;
        EXPECT_TRUE(params[i].is_optional() || !optional_seen) << "required after optional";
      }
      if (member.kind == MemberKind::kPropertyGet) {
        ASSERT_FALSE(params.empty());
        EXPECT_TRUE(params.back().is_retval()) << "a property get returns its value";
      }
      if (member.kind == MemberKind::kPropertyPut) {
        ASSERT_FALSE(params.empty());
        EXPECT_FALSE(params.back().is_out()) << "a property put takes its value";
      }
    }
  }
}

TEST_P(TypeLibraryRulesTest, ClassesAndInterfacesHaveDistinctIdentifiers) {
  const TypeLibraryInfo& library = Library();
  std::set<GUID> ids{library.libid};
  for (const InterfaceInfo* info : library.interfaces) {
    EXPECT_TRUE(ids.insert(info->iid).second) << Narrow(info->name);
  }
  for (const CoclassInfo* coclass : library.coclasses) {
    EXPECT_TRUE(ids.insert(coclass->clsid).second) << Narrow(coclass->name);
    EXPECT_NE(FindInterface(library, coclass->default_interface->name), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(BothLibraries, TypeLibraryRulesTest,
                         testing::Values(LibraryCase{"Bridge", &OVCBridgeSvcsTypeLibrary},
                                         LibraryCase{"Host", &OrvanHostTypeLibrary}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(HostTypeLibraryTest, OffersOneClassPerHostComponent) {
  const TypeLibraryInfo& library = OrvanHostTypeLibrary();
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"Workspace", L"IOVWorkspace"},
      {L"Cache", L"IOVCache"},
      {L"DataServiceCall", L"IOVDataServiceCall"},
      {L"ClassView", L"IOVClassView"},
      {L"Attribute", L"IOVAttribute"},
      {L"QuantityType", L"IOVQuantityType"},
      {L"Units", L"IOVUnits"},
      {L"Unit", L"IOVUnit"},
      {L"FieldFormatter", L"IOVFieldFormatter"},
      {L"CaseList", L"IOVCaseList"},
      {L"GoverningCase", L"IOVGoverningCase"},
      {L"ObjectList", L"IOVObjectList"},
      {L"FileService", L"IOVFileService"},
  };
  EXPECT_EQ(library.coclasses.size(), std::size(cases));
  for (const auto& [name, interface_name] : cases) {
    const CoclassInfo* coclass = FindCoclass(library, name);
    ASSERT_NE(coclass, nullptr) << Narrow(name);
    EXPECT_EQ(coclass->default_interface->name, interface_name);
  }
  EXPECT_EQ(IOVUnits::TypeInfo().IdOfName(L"Item"), DISPID_VALUE);
}

}  // namespace
}  // namespace ovc
