#include "automation/enum_variant.h"

#include <gtest/gtest.h>

#include <vector>

#include "automation/com_object.h"
#include "tests/automation/live_objects.h"

namespace ovc {
namespace {

class Element final : public ComObject<IUnknown>, public objects_testing::LiveObjects<Element> {};

std::vector<Variant> Numbers(int count) {
  std::vector<Variant> values;
  for (int i = 1; i <= count; ++i) values.push_back(Variant::I4(i));
  return values;
}

struct NextCase {
  const char* name;
  int size;
  uint32_t skip_first;
  uint32_t ask;
  HRESULT expected;
  std::vector<int32_t> expected_values;
};

class NextTest : public testing::TestWithParam<NextCase> {};

TEST_P(NextTest, FetchesWhatIsLeft) {
  const NextCase& c = GetParam();
  const auto enumerator = CreateVariantEnumerator(Numbers(c.size));
  enumerator->Skip(c.skip_first);
  std::vector<Variant> out(c.ask + 1, Variant::Str(L"untouched"));
  uint32_t fetched = 99;
  EXPECT_EQ(enumerator->Next(c.ask, out.data(), &fetched), c.expected);
  ASSERT_EQ(fetched, c.expected_values.size());
  for (size_t i = 0; i < c.expected_values.size(); ++i) {
    EXPECT_EQ(out[i], Variant::I4(c.expected_values[i])) << "element " << i;
  }
  for (size_t i = fetched; i < out.size(); ++i) EXPECT_EQ(out[i], Variant::Str(L"untouched"));
}

INSTANTIATE_TEST_SUITE_P(EnumVariant, NextTest,
                         testing::Values(NextCase{"all_at_once", 3, 0, 3, S_OK, {1, 2, 3}},
                                         NextCase{"fewer_than_asked", 3, 1, 5, S_FALSE, {2, 3}},
                                         NextCase{"at_the_end", 3, 3, 1, S_FALSE, {}},
                                         NextCase{"nothing_asked", 3, 0, 0, S_OK, {}},
                                         NextCase{"nothing_asked_at_end", 2, 2, 0, S_OK, {}},
                                         NextCase{"empty_sequence", 0, 0, 2, S_FALSE, {}},
                                         NextCase{"skip_past_end", 2, 10, 1, S_FALSE, {}}),
                         [](const testing::TestParamInfo<NextCase>& param) {
                           return param.param.name;
                         });

TEST(EnumVariantTest, SkipReportsWhetherItCouldSkipEverything) {
  const auto enumerator = CreateVariantEnumerator(Numbers(3));
  EXPECT_EQ(enumerator->Skip(2), S_OK);
  EXPECT_EQ(enumerator->Skip(0), S_OK);
  EXPECT_EQ(enumerator->Skip(2), S_FALSE);
  EXPECT_EQ(enumerator->Skip(1), S_FALSE);
}

TEST(EnumVariantTest, ResetStartsOver) {
  const auto enumerator = CreateVariantEnumerator(Numbers(2));
  Variant value;
  enumerator->Skip(2);
  EXPECT_EQ(enumerator->Reset(), S_OK);
  EXPECT_EQ(enumerator->Next(1, &value, nullptr), S_OK);
  EXPECT_EQ(value, Variant::I4(1));
}

TEST(EnumVariantTest, PointerRules) {
  const auto enumerator = CreateVariantEnumerator(Numbers(3));
  Variant values[2];
  EXPECT_EQ(enumerator->Next(1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(enumerator->Next(2, values, nullptr), E_POINTER)
      << "the caller could not know the count";
  EXPECT_EQ(enumerator->Next(0, nullptr, nullptr), S_OK);
  EXPECT_EQ(enumerator->Next(1, values, nullptr), S_OK) << "one value needs no count";
  EXPECT_EQ(values[0], Variant::I4(1)) << "failed calls must not advance";
  EXPECT_EQ(enumerator->Clone(nullptr), E_POINTER);
}

TEST(EnumVariantTest, CloneStartsAtTheSamePositionAndMovesIndependently) {
  const auto original = CreateVariantEnumerator(Numbers(4));
  original->Skip(1);
  ComPtr<IEnumVARIANT> clone;
  ASSERT_EQ(original->Clone(clone.Receive()), S_OK);
  ASSERT_NE(clone.get(), original.get());

  Variant value;
  clone->Skip(1);
  clone->Next(1, &value, nullptr);
  EXPECT_EQ(value, Variant::I4(3));
  original->Next(1, &value, nullptr);
  EXPECT_EQ(value, Variant::I4(2));
  clone->Reset();
  original->Next(1, &value, nullptr);
  EXPECT_EQ(value, Variant::I4(3));
}

TEST(EnumVariantTest, WorksOnASnapshot) {
  std::vector<Variant> values = Numbers(2);
  const auto enumerator = CreateVariantEnumerator(values);
  values[0] = Variant::Str(L"changed");
  values.push_back(Variant::I4(3));
  Variant out[3];
  uint32_t fetched = 0;
  EXPECT_EQ(enumerator->Next(3, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(out[0], Variant::I4(1));
}

TEST(EnumVariantTest, InterfaceValuesLiveAsLongAsAnyClone) {
  ComPtr<IEnumVARIANT> clone;
  {
    const ComPtr<Element> element = MakeObject<Element>();
    const auto enumerator =
        CreateVariantEnumerator({Variant(static_cast<IUnknown*>(element.get()))});
    enumerator->Clone(clone.Receive());
  }
  EXPECT_EQ(Element::count(), 1);
  Variant out;
  ASSERT_EQ(clone->Next(1, &out, nullptr), S_OK);
  EXPECT_EQ(out.vt(), VT_UNKNOWN);
  clone.Reset();
  EXPECT_EQ(Element::count(), 1) << "the fetched copy still holds it";
  out.Clear();
  EXPECT_EQ(Element::count(), 0);
}

}  // namespace
}  // namespace ovc
