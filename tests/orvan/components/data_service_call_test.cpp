#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

class DataServiceCallComponentTest : public ComponentTest {
 protected:
  // A new call set up the way the library sets one up.
  LateBound NewCall(const wchar_t* method, const wchar_t* service = L"OVDBBridgeSvcs.Main") {
    LateBound call = workspace_.Object(L"NewDataServiceCall");
    EXPECT_EQ(call.Put(L"Option", Variant(0)), S_OK);
    EXPECT_EQ(call.Put(L"ServiceName", Variant(service)), S_OK);
    EXPECT_EQ(call.Put(L"MethodName", Variant(method)), S_OK);
    EXPECT_EQ(call.Put(L"RequestText", Variant(L"")), S_OK);
    return call;
  }

  // The response of a call that must succeed, parsed.
  pugi::xml_document Run(LateBound call) {
    EXPECT_EQ(call.Call(L"Execute", {Variant(0)}), S_OK) << ToUtf8(call.error().description);
    pugi::xml_document document;
    const std::string text = ToUtf8(call.Get(L"ResponseText").bstr());
    EXPECT_TRUE(document.load_string(text.c_str())) << text;
    return document;
  }
};

TEST_F(DataServiceCallComponentTest, RequestsTakeParametersAndRunAsTheWorkspaceUser) {
  LateBound call = NewCall(L"ListObjects", L"OVDBGenericSvcs.Main");
  ASSERT_EQ(call.Call(L"AddParameter", {Variant(L"FilterView"), Variant(L"Tanks")}), S_OK);
  const pugi::xml_document listed = Run(call);
  pugi::xpath_node_set objects = listed.select_nodes("//Object");
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_STREQ(objects[0].node().attribute("KnownName").value(), "T-1");
  ASSERT_EQ(workspace_.Put(L"UserName", Variant(L"ann")), S_OK);
  EXPECT_STREQ(Run(NewCall(L"GetUserName")).first_child().attribute("AccountName").value(), "ann");
}

TEST_F(DataServiceCallComponentTest, ARefusedRequestFailsWithAnErrorObjectAndAnErrorResponse) {
  LateBound call = NewCall(L"Frobnicate");
  EXPECT_EQ(call.Call(L"Execute", {Variant(0)}), E_INVALIDARG);
  EXPECT_EQ(call.error().source, L"Orvan.DataServiceCall");
  EXPECT_NE(call.error().description.find(L"Frobnicate"), std::wstring::npos)
      << ToUtf8(call.error().description);
  const std::wstring response = call.Get(L"ResponseText").bstr();
  EXPECT_EQ(response.rfind(L"<Error", 0), 0u) << ToUtf8(response);
}

}  // namespace
}  // namespace ovc::orvan::testing
