#include <gtest/gtest.h>

#include <string>

#include "automation/error_info.h"
#include "orvan/orvan.h"
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
  LateBound case_list = LateBound::Create(L"Orvan.CaseList");
  LateBound governing = LateBound::Create(L"Orvan.GoverningCase");
  LateBound files = LateBound::Create(L"Orvan.FileService");
  LateBound closed = LateBound::Create(L"Orvan.Workspace");
  using V = Variant;
  const V ws = workspace_.AsArgument();
  const V not_ws = cache.AsArgument();
  const V missing(FromUtf8(dir_.File("missing.xlsx")));
  const V view(L"FilterView"), ints(SafeArray::Vector(VT_I4, 2));
  struct Case {
    LateBound* object;
    const wchar_t* source;  // after "Orvan."
    const wchar_t* member;
    std::vector<Variant> args;
    HRESULT code;
    const wchar_t* says;
  };
  const Case cases[] = {
      {&cache, L"Cache", L"ClassView", {V(L"pumps")}, E_INVALIDARG, L"'pumps'"},
      {&pumps, L"ClassView", L"Attribute", {V(L"Colour")}, E_INVALIDARG, L"'Colour'"},
      {&pressure, L"QuantityType", L"UnitForStandard", {V(L"Metric")}, E_INVALIDARG, L"'Metric'"},
      {&units, L"Units", L"Item", {V(4)}, DISP_E_BADINDEX, L"from 1 to 3"},
      {&unbound_cache, L"Cache", L"ClassView", {V(L"Pumps")}, E_FAIL, L"Workspace"},
      {&case_list, L"CaseList", L"Count", {}, E_UNEXPECTED, L"Initialize"},
      {&case_list, L"CaseList", L"Initialize", {V(-2), ws}, E_INVALIDARG, L"-2"},
      {&case_list, L"CaseList", L"Initialize", {V(-1), not_ws}, E_INVALIDARG, L"not an Orvan"},
      {&governing, L"GoverningCase", L"GoverningCase", {V(-1)}, E_UNEXPECTED, L"Workspace"},
      {&governing, L"GoverningCase", L"GoverningCase", {V(L"all")}, E_INVALIDARG, L"-1"},
      {&call, L"DataServiceCall", L"ResponseText", {}, E_UNEXPECTED, L"not been executed"},
      {&call, L"DataServiceCall", L"AddParameter", {view, ints}, DISP_E_TYPEMISMATCH, L"View"},
      {&files, L"FileService", L"CheckOut", {V(9999), ws}, E_INVALIDARG, L"9999"},
      {&files, L"FileService", L"AddFile", {missing, V::Bool(false), ws}, E_INVALIDARG, L"missing"},
      {&closed, L"Workspace", L"DefaultCase", {}, E_FAIL, L"not open"},
      {&closed, L"Workspace", L"Open", {V(L"")}, E_INVALIDARG, L"path"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(std::wstring(c.source) + L"." + c.member));
    EXPECT_EQ(c.object->Call(c.member, c.args), c.code);
    EXPECT_EQ(c.object->error().source, L"Orvan." + std::wstring(c.source));
    EXPECT_NE(c.object->error().description.find(c.says), std::wstring::npos)
        << ToUtf8(c.object->error().description);
  }
  EXPECT_EQ(workspace_.Put(L"UserName", Variant(L"")), E_INVALIDARG);
  EXPECT_EQ(files.Put(L"WorkingFolder", Variant(L"")), E_INVALIDARG);
  EXPECT_EQ(closed.Get(L"Path"), Variant(L""));
}

TEST(ComponentRegistrationTest, EveryClassOfTheTypeLibraryIsCreatableByBothProgIds) {
  ASSERT_EQ(RegisterOrvanClasses(), S_OK);
  ASSERT_EQ(RegisterOrvanClasses(), S_OK) << "registering again is harmless";
  for (const CoclassInfo* coclass : OrvanHostTypeLibrary().coclasses) {
    const std::wstring prog_id = L"Orvan." + std::wstring(coclass->name);
    SCOPED_TRACE(ToUtf8(prog_id));
    for (const std::wstring& name : {prog_id, prog_id + L".1"}) {
      ComPtr<IDispatch> object;
      ASSERT_EQ(CreateObject(name, &object), S_OK);
      ComPtr<IUnknown> default_interface;
      EXPECT_EQ(
          object->QueryInterface(coclass->default_interface->iid, default_interface.ReceiveVoid()),
          S_OK);
      ComPtr<ISupportErrorInfo> errors;
      ASSERT_EQ(object.As(&errors), S_OK);
      EXPECT_EQ(errors->InterfaceSupportsErrorInfo(coclass->default_interface->iid), S_OK);
    }
  }
}

}  // namespace
}  // namespace ovc::orvan::testing
