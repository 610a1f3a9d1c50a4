#include "ovcbridgesvcs/transfer/host_attributes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/safe_array.h"
#include "automation/text.h"
#include "ovcbridgesvcs/host/host_state.h"
#include "tests/ovcbridgesvcs/bridge/bridge_testing.h"

namespace ovc::transfer {
namespace {

using bridge_testing::StatusOf;
using host_testing::Got;
using host_testing::RunInFrame;
using ::testing::HasSubstr;

// A Bridge's LinkSet on Pumps bound to P-101A, transferred with the sample
// plant.
class HostAttributesTest : public bridge_testing::PlantBridgeTest {
 protected:
  ComPtr<ILink> NewLink(const std::wstring& route) { return AddLink(pumps_.get(), route); }

  HostTransfer Transfer() {
    HostTransfer transfer{.link_sets = link_sets_, .bridge_name = L"Plant", .record_change = {}};
    transfer.record_change = [this](ChangeEntry entry) { changes_.push_back(std::move(entry)); };
    return transfer;
  }

  // The status of `run`, whether it returns or raises its failure.
  template <class Run>
  static HRESULT Outcome(Run&& run) {
    HRESULT returned = S_OK;
    const HRESULT raised = RunInFrame([&](CMethodFrame& frame) { returned = run(frame); });
    if (Failed(raised)) ADD_FAILURE() << ToUtf8(host_testing::TakeDesc());
    return Failed(raised) ? raised : returned;
  }
  HRESULT Read() {
    return Outcome([&](CMethodFrame& frame) { return ReadFromDB(frame, Transfer(), true); });
  }
  HRESULT Write() {
    return Outcome([&](CMethodFrame& frame) { return WriteToDB(frame, Transfer()); });
  }
  std::wstring Request(Direction direction) {
    std::wstring text;
    EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) {
                text = BuildAttributesRequest(frame, link_sets_, direction);
              }),
              S_OK);
    return text;
  }
  void Apply(const std::wstring& response, Direction direction) {
    ASSERT_EQ(RunInFrame([&](CMethodFrame& frame) {
                ApplyAttributesResponse(frame, Transfer(), response, direction, true);
              }),
              S_OK);
  }

  // A Link on `route` in case Design, read from location In as `value`.
  ComPtr<ILink> ImportLink(const std::wstring& route, const Variant& value) {
    ComPtr<ILink> link = NewLink(route);
    EXPECT_EQ(link->put_CaseOID(101), S_OK);
    EXPECT_EQ(link->put_ReadLocation(L"In"), S_OK);
    EXPECT_EQ(link->put_AppValue(value), S_OK);
    EXPECT_EQ(link->put_ReadValueFromApp(VARIANT_TRUE), S_OK);
    return link;
  }

  ComPtr<ILinkSet> pumps_ = AddPumpLinkSet(NewBridge().get());
  std::vector<ComPtr<ILinkSet>> link_sets_{pumps_};
  std::vector<ChangeEntry> changes_;
};

bool Error(ILink* link) { return Got(link, &ILink::get_Error) != VARIANT_FALSE; }
Variant HostValue(ILink* link) { return Got(link, &ILink::get_OrvanValue); }

TEST_F(HostAttributesTest, ReadStoresEachDataTypeWithItsStatus) {
  struct Case {
    const wchar_t* route;
    Variant value;
    const wchar_t* status;
  };
  const std::vector<Case> cases = {
      {L"Tag", Variant::Str(L"P-101A"), L"Tag of type String, read from Orvan\r\n"},
      {L"Stages", Variant::I4(1), L"Stages of type Integer, read from Orvan\r\n"},
      {L"InstallDate", Variant::Date(42955.0), L"InstallDate of type Date, read from Orvan\r\n"},
      {L"Spare", Variant::Bool(false), L"Spare of type Boolean, read from Orvan\r\n"},
      {L"Power", Variant::R8(227.9), L"Power of type Real, read from Orvan\r\n"},
  };
  std::vector<ComPtr<ILink>> links;
  for (const Case& each : cases) {
    links.push_back(NewLink(each.route));
    ASSERT_EQ(links.back()->put_CaseOID(101), S_OK);
  }
  const ComPtr<ILink> invalid = NewLink(L"Nope");
  ASSERT_EQ(Read(), S_OK);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].route);
    EXPECT_EQ(HostValue(links[i].get()), cases[i].value);
    EXPECT_EQ(StatusOf(links[i].get()), cases[i].status);
    EXPECT_FALSE(Error(links[i].get()));
  }
  EXPECT_EQ(StatusOf(invalid.get()), L"Nope Invalid Attribute/Route found.\r\n");
  EXPECT_TRUE(Error(invalid.get()));
}

TEST_F(HostAttributesTest, ReadGivesAVectorAndTheAffixesAsArrays) {
  const ComPtr<ILink> curve = NewLink(L"HeadCurve");
  const ComPtr<ILink> flow = NewLink(L"Flow");
  ASSERT_EQ(curve->put_CaseOID(101), S_OK);
  ASSERT_EQ(flow->put_CaseOID(103), S_OK);
  ASSERT_EQ(Read(), S_OK);
  const Variant values = HostValue(curve.get());
  ASSERT_TRUE(values.IsArray());
  EXPECT_EQ(values.array().size(), 4U);
  EXPECT_EQ(values.array().data()[1], Variant::R8(56.7));
  EXPECT_TRUE(Got(curve.get(), &ILink::get_Prefix).IsArray());
  EXPECT_EQ(StatusOf(curve.get()), L"");
  EXPECT_EQ(Got(flow.get(), &ILink::get_Prefix), Variant::Str(L"~"));
}

// A Quantity that is no value of its type fails the read of that link only,
// never storing 0 or a cut number.
TEST_F(HostAttributesTest, QuantityThatIsNoValueOfItsTypeFailsTheRead) {
  struct Case {
    const wchar_t* data_type;
    const wchar_t* quantity;
    Variant value;  // empty: the read fails
    const wchar_t* status;
  };
  const std::vector<Case> cases = {
      {L"Integer", L"12abc", {}, L". Failed to read integer value from Orvan"},
      {L"Integer", L"4294967296", {}, L". Failed to read integer value from Orvan"},
      {L"Integer", L"-12", Variant::I4(-12), L" of type Integer, read from Orvan"},
      {L"Real", L"x", {}, L". Failed to read real value from Orvan"},
      {L"Real", L"1e999", {}, L". Failed to read real value from Orvan"},
      {L"Real", L"-2.5e3", Variant::R8(-2500), L" of type Real, read from Orvan"},
      {L"Date", L"36526.5x", {}, L". Failed to read Date value from Orvan"},
      {L"Date", L"36526.5", Variant::Date(36526.5), L" of type Date, read from Orvan"},
      {L"Boolean", L"true", Variant::Bool(false), L" of type Boolean, read from Orvan"},
      {L"Boolean", L"1", Variant::Bool(true), L" of type Boolean, read from Orvan"},
      {L"Enum", L"", {}, L" of type String, read empty from Orvan"},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(std::wstring(each.data_type) + L" " + each.quantity);
    const ComPtr<ILink> link = NewLink(L"Flow");
    ASSERT_EQ(link->put_OrvanValue(Variant::I4(7)), S_OK);
    Apply(std::wstring(L"<Objects><Object OID=\"1001\"><Attributes><Attribute DataType=\"") +
              each.data_type + L"\"><Values><Value Error=\"Read Successful\" Quantity=\"" +
              each.quantity + L"\"/></Values></Attribute></Attributes></Object></Objects>",
          Direction::kRead);
    const bool fails = std::wstring(each.status).starts_with(L". Failed");
    EXPECT_EQ(Error(link.get()), fails);
    EXPECT_THAT(StatusOf(link.get()), HasSubstr(std::wstring(L"Flow") + each.status));
    if (fails) {
      EXPECT_THAT(StatusOf(link.get()), HasSubstr(each.quantity));
      EXPECT_EQ(HostValue(link.get()), Variant::I4(7));
    } else {
      EXPECT_EQ(HostValue(link.get()), each.value);
    }
    ASSERT_EQ(pumps_->RemoveAll(), S_OK);
  }
}

TEST_F(HostAttributesTest, WalkSkipsWhatTheRequestLeftOut) {
  const ComPtr<ILink> unrouted = NewLink(L"");
  const ComPtr<ILink> tag = NewLink(L"Tag");
  const ComPtr<ILink> kind = NewLink(L"Description");
  const std::wstring answer =
      L"<Objects><Object OID=\"1001\"><Attributes>"
      L"<Attribute DataType=\"String\"><Value Error=\"Read Successful\" "
      L"Quantity=\"A\"/></Attribute>"
      L"<Attribute DataType=\"Vector\" Error=\"odd\"/>"
      L"</Attributes></Object></Objects>";
  Apply(L"<Objects><Object OID=\"2001\">", Direction::kRead);  // does not parse
  Apply(L"<Objects><Object OID=\"2001\"><A/></Object></Objects>", Direction::kRead);
  EXPECT_EQ(StatusOf(tag.get()), L"");
  Apply(answer, Direction::kRead);
  EXPECT_EQ(HostValue(tag.get()), Variant::Str(L"A"));
  EXPECT_EQ(StatusOf(kind.get()), L"Description\tInvalid\tdata type.\r\nodd\r\n");
  EXPECT_TRUE(Error(kind.get()));
  EXPECT_EQ(StatusOf(unrouted.get()), L"");
}

TEST_F(HostAttributesTest, WriteRequestCarriesSingleAndVectorValues) {
  ImportLink(L"InstallDate", Variant::Date(36526.5));
  const ComPtr<ILink> unread = ImportLink(L"Tag", Variant::Str(L"X"));
  ASSERT_EQ(unread->put_ReadValueFromApp(VARIANT_FALSE), S_OK);
  ImportLink(L"HeadCurve", Variant(SafeArray::FromValues(
                               {Variant::R8(1.5), Variant(), Variant::R8(3), Variant::R8(4)})));
  NewLink(L"Power");  // not marked for import
  const std::wstring request = Request(Direction::kWrite);
  EXPECT_THAT(request, HasSubstr(L"<Attribute Route=\"InstallDate\" Case=\"101\" Units=\"\">"
                                 L"<Values><Value Quantity=\"36526.5\" Prefix=\"\" Postfix=\"\" "
                                 L"Substitution=\"\"/></Values></Attribute>"));
  EXPECT_THAT(request, HasSubstr(L"<Value Prefix=\"\" Postfix=\"\" Substitution=\"\"/>"));
  EXPECT_THAT(request,
              HasSubstr(L"<Value Quantity=\"1.5\" Prefix=\"\" Postfix=\"\"/>"
                        L"<Value Quantity=\"\" Substitution=\"\" Prefix=\"\" Postfix=\"\"/>"));
  EXPECT_THAT(request, ::testing::Not(HasSubstr(L"Power")));
}

TEST_F(HostAttributesTest, WriteStoresAcceptedValuesAndMarksRefusedOnes) {
  const ComPtr<ILink> stages = ImportLink(L"Stages", Variant::I4(3));
  const ComPtr<ILink> refused = ImportLink(L"Manufacturer", Variant::Str(L"Acme"));
  const ComPtr<ILink> power = ImportLink(L"Power", Variant::Error(0x800A07E7));  // #N/A
  ASSERT_EQ(Write(), S_OK);
  EXPECT_EQ(StatusOf(stages.get()), L"Value\twritten\tto Orvan\r\n");
  EXPECT_EQ(
      StatusOf(refused.get()),
      L"Manufacturer\tFailed to\twrite\tvalue\tin Orvan.\r\n'Manufacturer' is read-only.\r\n");
  EXPECT_TRUE(Error(refused.get()));
  EXPECT_TRUE(Got(stages.get(), &ILink::get_WrittenToOrvan));
  EXPECT_FALSE(Got(refused.get(), &ILink::get_WrittenToOrvan));
  ASSERT_EQ(changes_.size(), 2U);  // Stages and the texts of Power
  EXPECT_EQ(changes_[0].source, L"Plant");
  EXPECT_EQ(changes_[0].place, L"Stages");
  EXPECT_EQ(changes_[0].new_value, Variant::I4(3));
  ASSERT_EQ(Read(), S_OK);
  EXPECT_EQ(HostValue(stages.get()), Variant::I4(3));
  EXPECT_EQ(HostValue(power.get()), Variant::R8(227.9));
}

// A request the host fails as a whole (here: its database is gone) is
// raised with the host's reason and marks no Link.
TEST_F(HostAttributesTest, AFailedWriteRequestMarksNoLink) {
  const ComPtr<ILink> stages = ImportLink(L"Stages", Variant::I4(3));
  ASSERT_EQ(stages->put_OrvanValue(Variant::I4(1)), S_OK);
  ASSERT_EQ(workspace_->Close(), S_OK);
  EXPECT_EQ(RunInFrame([&](CMethodFrame& frame) { WriteToDB(frame, Transfer()); }), E_FAIL);
  EXPECT_THAT(host_testing::TakeThreadError().first, HasSubstr(L"The workspace is not open"));
  EXPECT_EQ(StatusOf(stages.get()), L"");
  EXPECT_FALSE(Error(stages.get()));
  EXPECT_EQ(HostValue(stages.get()), Variant::I4(1));
  EXPECT_TRUE(changes_.empty());
}

TEST_F(HostAttributesTest, WithoutWorkspaceNothingIsSent) {
  NewLink(L"Tag");
  HostState::Current().Clear();
  EXPECT_EQ(Read(), E_FAIL);
  EXPECT_EQ(host_testing::TakeDesc(), L"Invalid workspace.\nFailed to read from Orvan database.");
  EXPECT_EQ(Write(), E_FAIL);
  EXPECT_EQ(host_testing::TakeDesc(), L"Invalid workspace.\nFailed to write to Orvan database.");
}

}  // namespace
}  // namespace ovc::transfer
