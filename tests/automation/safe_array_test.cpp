#include "automation/safe_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace ovc {
namespace {

TEST(SafeArrayTest, NewElementsHoldTheZeroValueOfTheirType) {
  const struct {
    VARTYPE element_type;
    Variant zero;
  } cases[] = {
      {VT_I2, Variant::I2(0)}, {VT_I4, Variant::I4(0)},
      {VT_R8, Variant::R8(0)}, {VT_DATE, Variant::Date(0)},
      {VT_BSTR, Variant(L"")}, {VT_BOOL, Variant::Bool(false)},
      {VT_VARIANT, Variant()}, {VT_DISPATCH, Variant::AttachDispatch(nullptr)},
  };
  for (const auto& c : cases) {
    SafeArray array = SafeArray::Vector(c.element_type, 2);
    ASSERT_EQ(array.size(), 2u);
    EXPECT_EQ(array.data()[1], c.zero) << VarTypeName(c.element_type);
  }
}

TEST(SafeArrayTest, CreateChecksShape) {
  SafeArray array = SafeArray::Vector(VT_I4, 1);
  EXPECT_EQ(SafeArray::Create(VT_I4, {}, &array), E_INVALIDARG);
  EXPECT_EQ(SafeArray::Create(VT_EMPTY, {{0, 1}}, &array), DISP_E_BADVARTYPE);
  EXPECT_EQ(SafeArray::Create(VT_ARRAY | VT_I4, {{0, 1}}, &array), DISP_E_BADVARTYPE);
  EXPECT_EQ(SafeArray::Create(VT_I4, {{std::numeric_limits<int32_t>::max(), 2}}, &array),
            E_INVALIDARG);
  const SafeArrayBound huge{std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<uint32_t>::max()};
  EXPECT_EQ(SafeArray::Create(VT_VARIANT, {huge, huge}, &array), E_OUTOFMEMORY);
  EXPECT_EQ(SafeArray::Create(VT_VARIANT, {huge, huge, huge}, &array), E_OUTOFMEMORY)
      << "the element count overflows";
  EXPECT_EQ(array.element_type(), VT_I4) << "a failed Create leaves the result";
  EXPECT_EQ(SafeArray::Create(VT_BSTR, {{1, 3}, {-2, 2}}, &array), S_OK);
  EXPECT_EQ(array.element_type(), VT_BSTR);
  EXPECT_EQ(array.size(), 6u);
}

TEST(SafeArrayTest, InvalidConstructionGivesEmptyVariantVector) {
  SafeArray array(VT_NULL, {{0, 4}});
  EXPECT_EQ(array.element_type(), VT_VARIANT);
  EXPECT_EQ(array.dimensions(), 1u);
  EXPECT_EQ(array.size(), 0u);
}

TEST(SafeArrayTest, BoundsPerDimension) {
  SafeArray array(VT_R8, {{1, 3}, {-2, 4}});
  int32_t lower = 0;
  int32_t upper = 0;
  ASSERT_EQ(array.LowerBound(1, &lower), S_OK);
  ASSERT_EQ(array.UpperBound(1, &upper), S_OK);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 3);
  ASSERT_EQ(array.LowerBound(2, &lower), S_OK);
  ASSERT_EQ(array.UpperBound(2, &upper), S_OK);
  EXPECT_EQ(lower, -2);
  EXPECT_EQ(upper, 1);
  EXPECT_EQ(array.LowerBound(0, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(array.UpperBound(3, &upper), DISP_E_BADINDEX);
  SafeArray empty = SafeArray::Vector(VT_I4, 0, 5);
  ASSERT_EQ(empty.UpperBound(1, &upper), S_OK);
  EXPECT_EQ(upper, 4);
}

TEST(SafeArrayTest, MultiDimensionIndexingIsColumnMajor) {
  SafeArray array(VT_I4, {{1, 2}, {10, 3}});
  for (int32_t column = 10; column <= 12; ++column) {
    for (int32_t row = 1; row <= 2; ++row) {
      const int32_t indices[] = {row, column};
      ASSERT_EQ(array.PutElement(indices, Variant::I4(row * 100 + column)), S_OK);
    }
  }
  std::vector<int32_t> stored;
  for (const Variant& element : array.data()) stored.push_back(element.i4());
  EXPECT_EQ(stored, (std::vector<int32_t>{110, 210, 111, 211, 112, 212}));
  const int32_t indices[] = {2, 11};
  Variant value;
  ASSERT_EQ(array.GetElement(indices, &value), S_OK);
  EXPECT_EQ(value, Variant::I4(211));
}

TEST(SafeArrayTest, IndicesOutOfBoundsAreRejected) {
  SafeArray array(VT_I4, {{1, 2}, {10, 3}});
  const std::vector<std::vector<int32_t>> bad = {{0, 10}, {3, 10},    {1, 9}, {1, 13},
                                                 {1},     {1, 10, 0}, {}};
  Variant value = Variant::I4(77);
  for (const std::vector<int32_t>& indices : bad) {
    EXPECT_EQ(array.GetElement(indices, &value), DISP_E_BADINDEX);
    EXPECT_EQ(array.PutElement(indices, Variant::I4(1)), DISP_E_BADINDEX);
  }
  EXPECT_EQ(value, Variant::I4(77));
  for (const Variant& element : array.data()) EXPECT_EQ(element, Variant::I4(0));
}

TEST(SafeArrayTest, PutElementConvertsToElementType) {
  SafeArray numbers = SafeArray::Vector(VT_I2, 1);
  const int32_t first = 0;
  ASSERT_EQ(numbers.PutElement({&first, 1}, Variant(L" 12 ")), S_OK);
  EXPECT_EQ(numbers.data()[0], Variant::I2(12));
  EXPECT_EQ(numbers.PutElement({&first, 1}, Variant::I4(70000)), DISP_E_OVERFLOW);
  EXPECT_EQ(numbers.PutElement({&first, 1}, Variant(L"many")), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(numbers.data()[0], Variant::I2(12));

  SafeArray variants = SafeArray::Vector(VT_VARIANT, 1);
  std::wstring text = L"by reference";
  ASSERT_EQ(variants.PutElement({&first, 1}, Variant::ByRef(VT_BSTR, &text)), S_OK);
  EXPECT_EQ(variants.data()[0], Variant(L"by reference"));
}

TEST(SafeArrayTest, FromValuesConvertsEachValue) {
  SafeArray texts = SafeArray::FromValues({Variant::I4(1), Variant(true)}, VT_BSTR);
  EXPECT_EQ(texts.element_type(), VT_BSTR);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts.data()[0], Variant(L"1"));
  EXPECT_EQ(texts.data()[1], Variant(L"-1"));
  SafeArray numbers = SafeArray::FromValues({Variant(L"x")}, VT_R8);
  EXPECT_EQ(numbers.data()[0], Variant::Error(DISP_E_TYPEMISMATCH));
  int32_t lower = -1;
  ASSERT_EQ(numbers.LowerBound(1, &lower), S_OK);
  EXPECT_EQ(lower, 0);
}

TEST(SafeArrayTest, EqualityNeedsSameShape) {
  EXPECT_EQ(SafeArray::Vector(VT_I4, 2), SafeArray::Vector(VT_I4, 2));
  EXPECT_FALSE(SafeArray::Vector(VT_I4, 2) == SafeArray::Vector(VT_I4, 2, 1));
  EXPECT_FALSE(SafeArray::Vector(VT_I4, 2) == SafeArray::Vector(VT_R8, 2));
  EXPECT_FALSE(SafeArray(VT_I4, {{0, 2}, {0, 1}}) == SafeArray::Vector(VT_I4, 2));
}

}  // namespace
}  // namespace ovc
