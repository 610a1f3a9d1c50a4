#include <gtest/gtest.h>

#include "tests/orvan/components/component_fixture.h"

namespace ovc::orvan::testing {
namespace {

class FieldFormatterComponentTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    formatter_ = LateBound::Create(L"Orvan.FieldFormatter");
    ASSERT_EQ(formatter_.Put(L"Workspace", workspace_.AsArgument()), S_OK);
  }

  struct Parsed {
    Variant value;
    std::wstring prefix, postfix, substitution;
  };

  // Calls ParseReal or ParseInteger with its [out] arguments by reference.
  HRESULT Parse(const wchar_t* member, const wchar_t* text, Parsed* parsed) {
    return formatter_.Call(member, {Variant(text), Variant::ByRef(&parsed->value),
                                    Variant::ByRef(VT_BSTR, &parsed->prefix),
                                    Variant::ByRef(VT_BSTR, &parsed->postfix),
                                    Variant::ByRef(VT_BSTR, &parsed->substitution)});
  }

  LateBound formatter_;
};

TEST_F(FieldFormatterComponentTest, ListsTheValidTextsOfTheWorkspace) {
  EXPECT_EQ(Texts(formatter_.Get(L"Prefixes")), (std::vector<std::wstring>{L"~", L"approx."}));
  EXPECT_EQ(Texts(formatter_.Get(L"Postfixes")), (std::vector<std::wstring>{L"max", L"(est)"}));
  EXPECT_EQ(Texts(formatter_.Get(L"Substitutions")), (std::vector<std::wstring>{L"N/A", L"TBD"}));
}

TEST_F(FieldFormatterComponentTest, ParsesNumbersWithTheirDescriptiveTexts) {
  struct Case {
    const wchar_t* member;
    const wchar_t* text;
    Variant value;
    const wchar_t* prefix;
    const wchar_t* postfix;
    const wchar_t* substitution;
  };
  const Case cases[] = {
      {L"ParseReal", L"~ 0.1 (est)", Variant::R8(0.1), L"~", L"(est)", L""},
      {L"ParseInteger", L"42 max", Variant::I4(42), L"", L"max", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    Parsed parsed;
    ASSERT_EQ(Parse(c.member, c.text, &parsed), S_OK) << ToUtf8(formatter_.error().description);
    EXPECT_EQ(parsed.value, c.value);
    EXPECT_EQ(parsed.prefix, c.prefix);
    EXPECT_EQ(parsed.postfix, c.postfix);
    EXPECT_EQ(parsed.substitution, c.substitution);
  }
}

}  // namespace
}  // namespace ovc::orvan::testing
