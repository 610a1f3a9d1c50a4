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

TEST(EnumVariantTest, NextFetchesWhatIsLeft) {
  const struct {
    int size;
    uint32_t skip_first;
    uint32_t ask;
    HRESULT expected;
    std::vector<int32_t> values;
  } cases[] = {
      {3, 1, 5, S_FALSE, {2, 3}},
      {3, 3, 1, S_FALSE, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " skip " << c.skip_first << " ask " << c.ask);
    const auto enumerator = CreateVariantEnumerator(Numbers(c.size));
    enumerator->Skip(c.skip_first);
    std::vector<Variant> out(c.ask + 1, Variant::Str(L"untouched"));
    uint32_t fetched = 99;
    EXPECT_EQ(enumerator->Next(c.ask, out.data(), &fetched), c.expected);
    ASSERT_EQ(fetched, c.values.size());
    for (size_t i = 0; i < out.size(); ++i) {
      EXPECT_EQ(out[i], i < fetched ? Variant::I4(c.values[i]) : Variant::Str(L"untouched"));
    }
  }
}

TEST(EnumVariantTest, SkipResetAndPointerRules) {
  const auto enumerator = CreateVariantEnumerator(Numbers(3));
  EXPECT_EQ(enumerator->Skip(2), S_OK);
  EXPECT_EQ(enumerator->Skip(2), S_FALSE);
  EXPECT_EQ(enumerator->Reset(), S_OK);
  Variant values[2];
  EXPECT_EQ(enumerator->Next(1, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(enumerator->Next(2, values, nullptr), E_POINTER)
      << "the caller could not know the count";
  EXPECT_EQ(enumerator->Next(1, values, nullptr), S_OK) << "one value needs no count";
  EXPECT_EQ(values[0], Variant::I4(1)) << "failed calls must not advance";
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
