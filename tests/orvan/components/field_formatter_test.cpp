#include <gtest/gtest.h>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

using FieldFormatterComponentTest = ComponentTest;

// Only a text holding a number gives a value: a blank text or a substitution
// gives an empty one, never 0.
TEST_F(FieldFormatterComponentTest, ATextWithoutANumberGivesAnEmptyValue) {
  LateBound formatter = LateBound::Create(L"Orvan.FieldFormatter");
  ASSERT_EQ(formatter.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  const struct {
    const wchar_t* member;
    const wchar_t* text;
    Variant value;
    const wchar_t* substitution;
  } cases[] = {
      {L"ParseReal", L"~2.5", Variant(2.5), L""},  {L"ParseReal", L"", Variant(), L""},
      {L"ParseReal", L" tbd ", Variant(), L"TBD"}, {L"ParseInteger", L"7 max", Variant(7), L""},
      {L"ParseInteger", L"\t", Variant(), L""},    {L"ParseInteger", L"n/a", Variant(), L"N/A"},
  };
  for (const auto& c : cases) {
    Variant value(L"unset");
    std::wstring prefix, postfix, substitution;
    ASSERT_EQ(
        formatter.Call(c.member,
                       {Variant(c.text), Variant::ByRef(&value), Variant::ByRef(VT_BSTR, &prefix),
                        Variant::ByRef(VT_BSTR, &postfix), Variant::ByRef(VT_BSTR, &substitution)}),
        S_OK)
        << ToUtf8(formatter.error().description);
    EXPECT_EQ(value, c.value) << ToUtf8(c.member) << " '" << ToUtf8(c.text) << "'";
    EXPECT_EQ(substitution, c.substitution);
  }
}

}  // namespace
}  // namespace ovc::orvan::testing
