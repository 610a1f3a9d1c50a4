#include "automation/safe_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace ovc {
namespace {

TEST(SafeArrayTest, CreateChecksShapeAndBoundsArePerDimension) {
  SafeArray array = SafeArray::Vector(VT_I4, 1);
  EXPECT_EQ(SafeArray::Create(VT_I4, {}, &array), E_INVALIDARG);
  EXPECT_EQ(SafeArray::Create(VT_EMPTY, {{0, 1}}, &array), DISP_E_BADVARTYPE);
  EXPECT_EQ(SafeArray::Create(VT_I4, {{std::numeric_limits<int32_t>::max(), 2}}, &array),
            E_INVALIDARG);
  const SafeArrayBound huge{std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<uint32_t>::max()};
  EXPECT_EQ(SafeArray::Create(VT_VARIANT, {huge, huge, huge}, &array), E_OUTOFMEMORY)
      << "the element count overflows";
  EXPECT_EQ(array.element_type(), VT_I4) << "a failed Create leaves the result";
  EXPECT_EQ(SafeArray::Create(VT_BSTR, {{1, 3}, {-2, 2}}, &array), S_OK);
  EXPECT_EQ(array.size(), 6u);
  EXPECT_EQ(array.data()[5], Variant(L"")) << "new elements hold the zero value of their type";

  // Bounds are per dimension.
  int32_t lower = 9;
  int32_t upper = 9;
  EXPECT_EQ(array.LowerBound(2, &lower), S_OK);
  EXPECT_EQ(array.UpperBound(2, &upper), S_OK);
  EXPECT_EQ(lower, -2);
  EXPECT_EQ(upper, -1);
  EXPECT_EQ(array.LowerBound(3, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(array.UpperBound(0, &upper), DISP_E_BADINDEX);
  ASSERT_EQ(SafeArray::Vector(VT_I4, 0, 5).UpperBound(1, &upper), S_OK);
  EXPECT_EQ(upper, 4) << "an empty array ends before its lower bound";
}

// How indexes map to elements is checked with the Python sequences, which
// reach elements of several dimensions by their indexes.
TEST(SafeArrayTest, IndexesOutsideTheBoundsAreRefused) {
  SafeArray array(VT_I4, {{1, 2}, {10, 3}});
  const SafeArray before = array;
  const std::vector<std::vector<int32_t>> bad = {{0, 10}, {1, 13}, {1}, {}};
  Variant value = Variant::I4(77);
  for (const std::vector<int32_t>& indices : bad) {
    EXPECT_EQ(array.GetElement(indices, &value), DISP_E_BADINDEX);
    EXPECT_EQ(array.PutElement(indices, Variant::I4(1)), DISP_E_BADINDEX);
  }
  EXPECT_EQ(value, Variant::I4(77));
  EXPECT_EQ(array, before);
}

TEST(SafeArrayTest, ElementsConvertToTheElementType) {
  SafeArray numbers = SafeArray::Vector(VT_I2, 1);
  const int32_t first = 0;
  ASSERT_EQ(numbers.PutElement({&first, 1}, Variant(L" 12 ")), S_OK);
  EXPECT_EQ(numbers.PutElement({&first, 1}, Variant::I4(70000)), DISP_E_OVERFLOW);
  EXPECT_EQ(numbers.data()[0], Variant::I2(12));
  SafeArray variants = SafeArray::Vector(VT_VARIANT, 1);
  std::wstring text = L"by reference";
  ASSERT_EQ(variants.PutElement({&first, 1}, Variant::ByRef(VT_BSTR, &text)), S_OK);
  EXPECT_EQ(variants.data()[0], Variant(L"by reference")) << "the value, not the reference";

  const SafeArray texts = SafeArray::FromValues({Variant(true), Variant(L"x")}, VT_R8);
  EXPECT_EQ(texts.data()[0], Variant::R8(-1));
  EXPECT_EQ(texts.data()[1], Variant::Error(DISP_E_TYPEMISMATCH));

  const SafeArray amounts =
      SafeArray::FromValues({Variant(L"12.25"), Variant::I8(int64_t{1} << 62)}, VT_CY);
  EXPECT_EQ(amounts.data()[0], Variant::Cy(CY{122500}));
  EXPECT_EQ(amounts.data()[1], Variant::Error(DISP_E_OVERFLOW));
  EXPECT_EQ(SafeArray::Vector(VT_I8, 1).data()[0], Variant::I8(0));
}

}  // namespace
}  // namespace ovc
