#include <gtest/gtest.h>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using ComponentFailureTest = ComponentTest;

// Whatever a script does wrong comes back as a status code and an error
// object whose source is the component's ProgID and whose description says
// what went wrong.
TEST_F(ComponentFailureTest, FailuresReachTheScriptAsErrorObjects) {
  LateBound cache = workspace_.Object(L"Cache");
  LateBound pumps = cache.Object(L"ClassView", {Variant(L"Pumps")});
  LateBound pressure = cache.Object(L"QuantityType", {Variant(L"Pressure")});
  LateBound units = pressure.Object(L"Units");
  LateBound call = workspace_.Object(L"NewDataServiceCall");
  LateBound unbound_cache = LateBound::Create(L"Orvan.Cache");
  LateBound unbound_view = LateBound::Create(L"Orvan.ClassView");
  LateBound unbound_unit = LateBound::Create(L"Orvan.Unit");
  LateBound unbound_call = LateBound::Create(L"Orvan.DataServiceCall");
  LateBound case_list = LateBound::Create(L"Orvan.CaseList");
  LateBound governing = LateBound::Create(L"Orvan.GoverningCase");
  LateBound object_list = LateBound::Create(L"Orvan.ObjectList");
  LateBound formatter = LateBound::Create(L"Orvan.FieldFormatter");
  LateBound files = LateBound::Create(L"Orvan.FileService");
  LateBound closed = LateBound::Create(L"Orvan.Workspace");
  const Variant workspace = workspace_.AsArgument();
  const Variant not_a_workspace = cache.AsArgument();
  const Variant nothing(static_cast<IDispatch*>(nullptr));
  struct Case {
    LateBound* object;
    const wchar_t* source;
    const wchar_t* member;
    std::vector<Variant> args;
    HRESULT code;
    const wchar_t* says;
  };
  const Case cases[] = {
      {&cache, L"Orvan.Cache", L"ClassView", {Variant(L"pumps")}, E_INVALIDARG, L"'pumps'"},
      {&cache, L"Orvan.Cache", L"QuantityType", {Variant(L"Length")}, E_INVALIDARG, L"'Length'"},
      {&pumps, L"Orvan.ClassView", L"Attribute", {Variant(L"Colour")}, E_INVALIDARG, L"'Colour'"},
      {&pressure,
       L"Orvan.QuantityType",
       L"UnitForStandard",
       {Variant(L"Imperial")},
       E_INVALIDARG,
       L"'Imperial'"},
      {&units, L"Orvan.Units", L"Item", {Variant(4)}, DISP_E_BADINDEX, L"from 1 to 3"},
      {&units, L"Orvan.Units", L"Item", {Variant(0)}, DISP_E_BADINDEX, L"from 1 to 3"},
      {&unbound_cache, L"Orvan.Cache", L"ClassView", {Variant(L"Pumps")}, E_FAIL, L"Workspace"},
      {&unbound_view, L"Orvan.ClassView", L"Name", {}, E_UNEXPECTED, L"Cache.ClassView"},
      {&unbound_unit, L"Orvan.Unit", L"Factor", {}, E_UNEXPECTED, L"quantity type"},
      {&case_list, L"Orvan.CaseList", L"Count", {}, E_UNEXPECTED, L"Initialize"},
      {&case_list, L"Orvan.CaseList", L"Initialize", {Variant(-2), workspace}, E_INVALIDARG, L"-2"},
      {&case_list, L"Orvan.CaseList", L"Initialize", {Variant(77), workspace}, E_INVALIDARG, L"77"},
      {&case_list,
       L"Orvan.CaseList",
       L"Initialize",
       {Variant(-1), not_a_workspace},
       E_INVALIDARG,
       L"not an Orvan workspace"},
      {&governing,
       L"Orvan.GoverningCase",
       L"GoverningCase",
       {Variant(-1)},
       E_UNEXPECTED,
       L"Workspace"},
      {&object_list, L"Orvan.ObjectList", L"ObjectOID", {Variant(1)}, E_UNEXPECTED, L"Initialize"},
      {&object_list,
       L"Orvan.ObjectList",
       L"Initialize",
       {Variant(L"Valves"), workspace},
       E_INVALIDARG,
       L"'Valves'"},
      {&object_list,
       L"Orvan.ObjectList",
       L"Initialize",
       {Variant(L"Pumps"), nothing},
       E_INVALIDARG,
       L"No workspace"},
      {&formatter, L"Orvan.FieldFormatter", L"Prefixes", {}, E_UNEXPECTED, L"Workspace"},
      {&call, L"Orvan.DataServiceCall", L"ResponseText", {}, E_UNEXPECTED, L"not been executed"},
      {&call,
       L"Orvan.DataServiceCall",
       L"AddParameter",
       {Variant(L"FilterView"), Variant(SafeArray::Vector(VT_I4, 2))},
       DISP_E_TYPEMISMATCH,
       L"FilterView"},
      {&unbound_call,
       L"Orvan.DataServiceCall",
       L"Execute",
       {Variant(0)},
       E_UNEXPECTED,
       L"NewDataServiceCall"},
      {&files,
       L"Orvan.FileService",
       L"CheckOut",
       {Variant(9999), workspace},
       E_INVALIDARG,
       L"9999"},
      {&files,
       L"Orvan.FileService",
       L"GetCopy",
       {Variant(1), not_a_workspace},
       E_INVALIDARG,
       L"not an Orvan workspace"},
      {&closed, L"Orvan.Workspace", L"DefaultCase", {}, E_FAIL, L"not open"},
      {&closed,
       L"Orvan.Workspace",
       L"Export",
       {Variant(L"/nonexistent/x.json")},
       E_FAIL,
       L"not open"},
      {&closed, L"Orvan.Workspace", L"Open", {Variant(L"")}, E_INVALIDARG, L"path"},
      {&files,
       L"Orvan.FileService",
       L"AddFile",
       {Variant(FromUtf8(dir_.File("missing.xlsx"))), Variant::Bool(false), workspace},
       E_INVALIDARG,
       L"missing.xlsx"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(std::wstring(c.source) + L"." + c.member));
    EXPECT_EQ(c.object->Call(c.member, c.args), c.code);
    EXPECT_EQ(c.object->error().source, c.source);
    EXPECT_NE(c.object->error().description.find(c.says), std::wstring::npos)
        << ToUtf8(c.object->error().description);
  }
  EXPECT_EQ(workspace_.Put(L"UserName", Variant(L"")), E_INVALIDARG);
  EXPECT_EQ(files.Put(L"WorkingFolder", Variant(L"")), E_INVALIDARG);
  EXPECT_EQ(closed.Get(L"Path"), Variant(L""));
}

}  // namespace
}  // namespace ovc::orvan::testing
