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

// The [out] arguments come back by reference; the value is a Double or a
// Long as the method says.
TEST_F(FieldFormatterComponentTest, ParsesNumbersWithTheirDescriptiveTexts) {
  Parsed real;
  ASSERT_EQ(Parse(L"ParseReal", L"~ 0.1 (est)", &real), S_OK)
      << ToUtf8(formatter_.error().description);
  EXPECT_EQ(real.value, Variant::R8(0.1));
  EXPECT_EQ(real.prefix, L"~");
  EXPECT_EQ(real.postfix, L"(est)");
  EXPECT_EQ(real.substitution, L"");
  Parsed integer;
  ASSERT_EQ(Parse(L"ParseInteger", L"42 max", &integer), S_OK);
  EXPECT_EQ(integer.value, Variant::I4(42));
  EXPECT_EQ(integer.postfix, L"max");
}

}  // namespace
}  // namespace ovc::orvan::testing
