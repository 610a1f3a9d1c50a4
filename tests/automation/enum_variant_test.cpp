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

// Walking the whole sequence one value at a time is left to the Python
// iteration over a counter.
TEST(EnumVariantTest, NextSkipAndResetFetchWhatIsLeft) {
  const auto enumerator = CreateVariantEnumerator(Numbers(3));
  Variant values[3] = {Variant(L"x"), Variant(L"x"), Variant(L"x")};
  uint32_t fetched = 99;
  EXPECT_EQ(enumerator->Next(1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(enumerator->Next(2, values, nullptr), E_POINTER)
      << "the caller could not know the count";
  EXPECT_EQ(enumerator->Skip(1), S_OK) << "failed calls do not advance";
  EXPECT_EQ(enumerator->Next(3, values, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(values[1], Variant::I4(3));
  EXPECT_EQ(values[2], Variant(L"x")) << "past what was fetched stays";
  EXPECT_EQ(enumerator->Skip(1), S_FALSE);
  EXPECT_EQ(enumerator->Next(1, values, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(enumerator->Reset(), S_OK);
  EXPECT_EQ(enumerator->Next(1, values, nullptr), S_OK) << "one value needs no count";
  EXPECT_EQ(values[0], Variant::I4(1));
}

TEST(EnumVariantTest, WorksOnASnapshotThatHoldsItsObjects) {
  ComPtr<IEnumVARIANT> clone;
  {
    const ComPtr<Element> element = MakeObject<Element>();
    std::vector<Variant> values = {Variant(static_cast<IUnknown*>(element.get()))};
    values.push_back(Variant::I4(2));
    const auto enumerator = CreateVariantEnumerator(values);
    values[0] = Variant::I4(0);
    enumerator->Skip(1);
    enumerator->Clone(clone.Receive());
    enumerator->Reset();
  }
  EXPECT_EQ(Element::count(), 1);
  Variant out;
  ASSERT_EQ(clone->Next(1, &out, nullptr), S_OK);
  EXPECT_EQ(out, Variant::I4(2)) << "a clone starts where its original was and moves alone";
  clone->Reset();
  ASSERT_EQ(clone->Next(1, &out, nullptr), S_OK);
  EXPECT_EQ(out.vt(), VT_UNKNOWN);
  clone.Reset();
  EXPECT_EQ(Element::count(), 1) << "the fetched copy still holds it";
  out.Clear();
  EXPECT_EQ(Element::count(), 0);
}

}  // namespace
}  // namespace ovc
