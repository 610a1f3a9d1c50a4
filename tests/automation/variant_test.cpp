#include "automation/variant.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>

#include "automation/com_ptr.h"
#include "automation/safe_array.h"
#include "tests/automation/value_object.h"

namespace ovc {
namespace {

using values_testing::ValueObject;

TEST(VariantTest, CopiesAreDeepAndMovesEmptyTheSource) {
  Variant array(SafeArray::Vector(VT_I4, 2));
  Variant copy = array;
  array.array().data()[1] = Variant::I4(9);
  EXPECT_EQ(copy.array().data()[1], Variant::I4(0));

  Variant source(L"moved");
  Variant target = std::move(source);
  EXPECT_EQ(target.bstr(), L"moved");
  EXPECT_TRUE(source.IsEmpty());  // NOLINT(bugprone-use-after-move)
}

TEST(VariantTest, InterfacesAreReferenceCounted) {
  ComPtr<ValueObject> object = MakeObject<ValueObject>(Variant());
  IDispatch* pointer = object.get();
  {
    Variant held(pointer);
    Variant copy = held;
    Variant moved = std::move(copy);
    Variant& alias = held;
    held = alias;
    EXPECT_EQ(object->references(), 3u);
    moved = Variant::I4(0);
    const Variant through_reference = Variant::ByRef(VT_DISPATCH, &pointer).Dereferenced();
    EXPECT_EQ(through_reference.dispatch(), pointer);
    EXPECT_EQ(object->references(), 3u);
  }
  EXPECT_EQ(object->references(), 1u);
  object->AddRef();
  { Variant attached = Variant::AttachDispatch(pointer); }
  EXPECT_EQ(object->references(), 1u);

  // Storing through a reference replaces the object the slot owns.
  ComPtr<ValueObject> second = MakeObject<ValueObject>(Variant());
  IDispatch* slot = pointer;
  object->AddRef();
  ASSERT_EQ(Variant::ByRef(VT_DISPATCH, &slot).StoreThroughReference(Variant(second.get())), S_OK);
  EXPECT_EQ(slot, second.get());
  EXPECT_EQ(object->references(), 1u);
  EXPECT_EQ(second->references(), 2u);
  slot->Release();
}

TEST(VariantTest, EqualityComparesTypeAndValue) {
  ComPtr<ValueObject> first = MakeObject<ValueObject>(Variant());
  ComPtr<ValueObject> second = MakeObject<ValueObject>(Variant());
  int32_t a = 1;
  int32_t b = 1;
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_NE(Variant::I4(3), Variant::I2(3));
  EXPECT_NE(Variant(static_cast<IDispatch*>(first.get())),
            Variant(static_cast<IDispatch*>(second.get())));
  EXPECT_EQ(Variant(SafeArray::FromValues({Variant(L"x")})),
            Variant(SafeArray::FromValues({Variant(L"x")})));
  EXPECT_EQ(Variant::ByRef(VT_I4, &a), Variant::ByRef(VT_I4, &a));
  EXPECT_NE(Variant::ByRef(VT_I4, &a), Variant::ByRef(VT_I4, &b));
}

TEST(VariantTest, StoreThroughReferenceConvertsOrLeavesTheTarget) {
  int32_t i4 = 0;
  EXPECT_EQ(Variant::ByRef(VT_I4, &i4).StoreThroughReference(Variant(L"1,234")), S_OK);
  EXPECT_EQ(i4, 1234);
  std::wstring text;
  Variant text_reference = Variant::ByRef(VT_BSTR, &text);
  EXPECT_EQ(text_reference.StoreThroughReference(Variant(2.5)), S_OK);
  EXPECT_EQ(text, L"2.5");
  EXPECT_EQ(text_reference.StoreThroughReference(text_reference), S_OK);
  EXPECT_EQ(text, L"2.5");

  int16_t i2 = 5;
  EXPECT_EQ(Variant::ByRef(VT_I2, &i2).StoreThroughReference(Variant(L"five")),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(i2, 5);
  EXPECT_EQ(Variant::I2(1).StoreThroughReference(Variant::I2(2)), E_INVALIDARG);

  int64_t i8 = 0;
  const Variant i8_reference = Variant::ByRef(VT_I8, &i8);
  EXPECT_EQ(i8_reference.StoreThroughReference(Variant(L"-9223372036854775808")), S_OK);
  EXPECT_EQ(i8_reference.Dereferenced(), Variant::I8(std::numeric_limits<int64_t>::min()));
  CY amount;
  const Variant cy_reference = Variant::ByRef(VT_CY, &amount);
  EXPECT_EQ(cy_reference.StoreThroughReference(Variant(L"1.5")), S_OK);
  EXPECT_EQ(cy_reference.Dereferenced(), Variant::Cy(CY{15000}));
}

}  // namespace
}  // namespace ovc
