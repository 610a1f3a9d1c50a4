#include "ovcbridgesvcs/host/bridge_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovc {
namespace {

TEST(BridgeListTest, EachBridgeGivesItsEightAttributesAsTheHostWroteThem) {
  std::vector<std::wstring> texts = {L"kept"};
  ASSERT_EQ(ReadBridgeList(L"<Bridges><Other/><Bridge DateModified=\"\" ModifiedBy=\"a &amp; b\" "
                           L"DateCreated=\"1/2/2026\" CreatedBy=\"&lt;me&gt;\" Name=\" spaced \" "
                           L"OID=\"007\" LockedBy=\"bob\" Description=\"d\"/></Bridges>",
                           &texts),
            S_OK);
  EXPECT_THAT(texts, ::testing::ElementsAre(L"kept", L"007", L" spaced ", L"<me>", L"1/2/2026",
                                            L"a & b", L"", L"d", L"bob"));
  const struct {
    const wchar_t* response;
    HRESULT code;
  } failures[] = {
      {L"<Bridges><Bridge", E_FAIL},
      {L"<Bridges><Bridge OID=\"1\" Name=\"B\"/><Bridge OID=\"2\" CreatedBy=\"\" DateCreated=\"\" "
       L"ModifiedBy=\"\" DateModified=\"\" Description=\"\"/></Bridges>",
       E_POINTER},
  };
  for (const auto& f : failures) {
    EXPECT_EQ(ReadBridgeList(f.response, &texts), f.code) << f.response;
    EXPECT_EQ(texts.size(), 9u) << "unchanged";
  }
}

}  // namespace
}  // namespace ovc
