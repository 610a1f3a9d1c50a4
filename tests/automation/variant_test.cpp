#include "automation/variant.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "automation/com_ptr.h"
#include "automation/safe_array.h"
#include "tests/automation/value_object.h"

namespace ovc {
namespace {

using values_testing::ValueObject;

TEST(VariantTest, ConstructorsAndFactoriesSetTypeAndValue) {
  EXPECT_EQ(Variant().vt(), VT_EMPTY);
  EXPECT_EQ(Variant::Null().vt(), VT_NULL);
  EXPECT_EQ(Variant::I2(-7).i2(), -7);
  EXPECT_EQ(Variant(int32_t{42}).vt(), VT_I4);
  EXPECT_EQ(Variant(2.5).r8(), 2.5);
  EXPECT_EQ(Variant::Date(44190.5).vt(), VT_DATE);
  EXPECT_EQ(Variant::Date(44190.5).date(), 44190.5);
  EXPECT_EQ(Variant(true).boolVal(), VARIANT_TRUE);
  EXPECT_EQ(Variant(false).boolVal(), VARIANT_FALSE);
  EXPECT_EQ(Variant::BoolRaw(1).boolVal(), 1);
  EXPECT_EQ(Variant(L"text").bstr(), L"text");
  EXPECT_EQ(Variant(static_cast<const wchar_t*>(nullptr)).bstr(), L"");
  EXPECT_EQ(Variant::Error(E_FAIL).scode(), E_FAIL);
  EXPECT_TRUE(Variant::Missing().IsMissing());
  EXPECT_FALSE(Variant::Error(E_FAIL).IsMissing());
  EXPECT_EQ(Variant(SafeArray::Vector(VT_BSTR, 2)).vt(), VT_ARRAY | VT_BSTR);
}

TEST(VariantTest, CopiesAreDeepAndIndependent) {
  Variant text(L"one");
  Variant copy = text;
  text = Variant(L"two");
  EXPECT_EQ(copy.bstr(), L"one");

  Variant array(SafeArray::Vector(VT_I4, 2));
  Variant array_copy = array;
  const int32_t index = 1;
  ASSERT_EQ(array.array().PutElement({&index, 1}, Variant::I4(9)), S_OK);
  Variant element;
  ASSERT_EQ(array_copy.array().GetElement({&index, 1}, &element), S_OK);
  EXPECT_EQ(element, Variant::I4(0));
}

TEST(VariantTest, MoveLeavesSourceEmpty) {
  Variant source(L"moved");
  Variant target = std::move(source);
  EXPECT_EQ(target.bstr(), L"moved");
  EXPECT_TRUE(source.IsEmpty());  // NOLINT(bugprone-use-after-move)
  Variant other(int32_t{1});
  other = std::move(target);
  EXPECT_EQ(other.bstr(), L"moved");
  EXPECT_TRUE(target.IsEmpty());  // NOLINT(bugprone-use-after-move)
}

TEST(VariantTest, InterfacesAreReferenceCounted) {
  ComPtr<ValueObject> object = MakeObject<ValueObject>(Variant());
  ASSERT_EQ(object->references(), 1u);
  {
    Variant held(static_cast<IDispatch*>(object.get()));
    EXPECT_EQ(object->references(), 2u);
    Variant copy = held;
    EXPECT_EQ(object->references(), 3u);
    Variant moved = std::move(copy);
    EXPECT_EQ(object->references(), 3u);
    moved = Variant(int32_t{0});
    EXPECT_EQ(object->references(), 2u);
    held.Clear();
    EXPECT_EQ(object->references(), 1u);
    Variant as_unknown(static_cast<IUnknown*>(object.get()));
    EXPECT_EQ(as_unknown.vt(), VT_UNKNOWN);
    EXPECT_EQ(object->references(), 2u);
  }
  EXPECT_EQ(object->references(), 1u);

  object->AddRef();
  { Variant attached = Variant::AttachDispatch(object.get()); }
  EXPECT_EQ(object->references(), 1u);
}

TEST(VariantTest, SelfAssignmentKeepsValue) {
  ComPtr<ValueObject> object = MakeObject<ValueObject>(Variant());
  Variant held(static_cast<IDispatch*>(object.get()));
  Variant& alias = held;
  held = alias;
  EXPECT_EQ(held.dispatch(), object.get());
  EXPECT_EQ(object->references(), 2u);
}

TEST(VariantTest, EqualityComparesTypeAndValue) {
  EXPECT_EQ(Variant(), Variant());
  EXPECT_EQ(Variant::Null(), Variant::Null());
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_EQ(Variant::I4(3), Variant::I4(3));
  EXPECT_NE(Variant::I4(3), Variant::I2(3));
  EXPECT_NE(Variant::R8(3), Variant::Date(3));
  EXPECT_NE(Variant(L"a"), Variant(L"A"));
  EXPECT_EQ(Variant(SafeArray::FromValues({Variant::I4(1), Variant(L"x")})),
            Variant(SafeArray::FromValues({Variant::I4(1), Variant(L"x")})));
  EXPECT_NE(Variant(SafeArray::FromValues({Variant::I4(1)})),
            Variant(SafeArray::FromValues({Variant::I4(2)})));

  ComPtr<ValueObject> first = MakeObject<ValueObject>(Variant());
  ComPtr<ValueObject> second = MakeObject<ValueObject>(Variant());
  EXPECT_EQ(Variant(static_cast<IDispatch*>(first.get())),
            Variant(static_cast<IDispatch*>(first.get())));
  EXPECT_NE(Variant(static_cast<IDispatch*>(first.get())),
            Variant(static_cast<IDispatch*>(second.get())));

  int32_t a = 1;
  int32_t b = 1;
  EXPECT_EQ(Variant::ByRef(VT_I4, &a), Variant::ByRef(VT_I4, &a));
  EXPECT_NE(Variant::ByRef(VT_I4, &a), Variant::ByRef(VT_I4, &b));
}

TEST(VariantTest, DereferencedReadsEveryStorageType) {
  int16_t i2 = -3;
  int16_t flag = VARIANT_TRUE;
  int32_t i4 = 70000;
  int32_t code = DISP_E_OVERFLOW;
  double r8 = 1.5;
  double date = 44190.25;
  std::wstring text = L"target";
  SafeArray array = SafeArray::FromValues({Variant::I4(5)});
  Variant inner(L"inner");
  EXPECT_EQ(Variant::ByRef(VT_I2, &i2).Dereferenced(), Variant::I2(-3));
  EXPECT_EQ(Variant::ByRef(VT_BOOL, &flag).Dereferenced(), Variant::Bool(true));
  EXPECT_EQ(Variant::ByRef(VT_I4, &i4).Dereferenced(), Variant::I4(70000));
  EXPECT_EQ(Variant::ByRef(VT_ERROR, &code).Dereferenced(), Variant::Error(DISP_E_OVERFLOW));
  EXPECT_EQ(Variant::ByRef(VT_R8, &r8).Dereferenced(), Variant::R8(1.5));
  EXPECT_EQ(Variant::ByRef(VT_DATE, &date).Dereferenced(), Variant::Date(44190.25));
  EXPECT_EQ(Variant::ByRef(VT_BSTR, &text).Dereferenced(), Variant(L"target"));
  EXPECT_EQ(Variant::ByRef(VT_ARRAY | VT_VARIANT, &array).Dereferenced(), Variant(array));
  EXPECT_EQ(Variant::ByRef(&inner).Dereferenced(), inner);
  EXPECT_EQ(Variant::I4(8).Dereferenced(), Variant::I4(8));
}

TEST(VariantTest, DereferencedObjectIsAddRefd) {
  ComPtr<ValueObject> object = MakeObject<ValueObject>(Variant());
  IDispatch* pointer = object.get();
  {
    Variant value = Variant::ByRef(VT_DISPATCH, &pointer).Dereferenced();
    EXPECT_EQ(value.dispatch(), pointer);
    EXPECT_EQ(object->references(), 2u);
  }
  EXPECT_EQ(object->references(), 1u);
}

TEST(VariantTest, StoreThroughReferenceConvertsToTargetType) {
  int32_t i4 = 0;
  EXPECT_EQ(Variant::ByRef(VT_I4, &i4).StoreThroughReference(Variant(L"1,234")), S_OK);
  EXPECT_EQ(i4, 1234);
  int16_t flag = 0;
  EXPECT_EQ(Variant::ByRef(VT_BOOL, &flag).StoreThroughReference(Variant(L"True")), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  std::wstring text;
  EXPECT_EQ(Variant::ByRef(VT_BSTR, &text).StoreThroughReference(Variant(2.5)), S_OK);
  EXPECT_EQ(text, L"2.5");
  Variant any;
  EXPECT_EQ(Variant::ByRef(&any).StoreThroughReference(Variant::Date(1)), S_OK);
  EXPECT_EQ(any, Variant::Date(1));
  SafeArray array = SafeArray::Vector(VT_VARIANT, 0);
  EXPECT_EQ(Variant::ByRef(VT_ARRAY | VT_VARIANT, &array)
                .StoreThroughReference(Variant(SafeArray::FromValues({Variant(L"a")}))),
            S_OK);
  EXPECT_EQ(array.size(), 1u);
}

TEST(VariantTest, StoreThroughReferenceFailureLeavesTarget) {
  int16_t i2 = 5;
  EXPECT_EQ(Variant::ByRef(VT_I2, &i2).StoreThroughReference(Variant::I4(40000)), DISP_E_OVERFLOW);
  EXPECT_EQ(i2, 5);
  EXPECT_EQ(Variant::ByRef(VT_I2, &i2).StoreThroughReference(Variant(L"five")),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(i2, 5);
  EXPECT_EQ(Variant::I2(1).StoreThroughReference(Variant::I2(2)), E_INVALIDARG);
}

TEST(VariantTest, StoreThroughReferenceReplacesObjectReference) {
  ComPtr<ValueObject> first = MakeObject<ValueObject>(Variant());
  ComPtr<ValueObject> second = MakeObject<ValueObject>(Variant());
  IDispatch* slot = first.get();
  first->AddRef();  // the reference the slot owns
  Variant reference = Variant::ByRef(VT_DISPATCH, &slot);
  ASSERT_EQ(reference.StoreThroughReference(Variant(static_cast<IDispatch*>(second.get()))), S_OK);
  EXPECT_EQ(slot, second.get());
  EXPECT_EQ(first->references(), 1u);
  EXPECT_EQ(second->references(), 2u);
  slot->Release();
}

TEST(VariantTest, StoreThroughReferenceFromItsOwnTarget) {
  std::wstring text = L"12";
  Variant reference = Variant::ByRef(VT_BSTR, &text);
  EXPECT_EQ(reference.StoreThroughReference(reference), S_OK);
  EXPECT_EQ(text, L"12");
}

TEST(VariantTest, VarTypeNames) {
  const struct {
    VARTYPE vt;
    const wchar_t* name;
  } cases[] = {
      {VT_EMPTY, L"VT_EMPTY"},
      {VT_I4, L"VT_I4"},
      {VT_DISPATCH, L"VT_DISPATCH"},
      {VT_ARRAY | VT_BSTR, L"VT_ARRAY|VT_BSTR"},
      {VT_BYREF | VT_VARIANT, L"VT_BYREF|VT_VARIANT"},
      {VT_BYREF | VT_ARRAY | VT_R8, L"VT_BYREF|VT_ARRAY|VT_R8"},
      {4, L"0x0004"},
      {0x8003, L"0x8003"},
  };
  for (const auto& c : cases) EXPECT_EQ(VarTypeName(c.vt), c.name) << c.vt;
}

TEST(VariantTest, ValidVarTypes) {
  const struct {
    VARTYPE vt;
    bool valid;
  } cases[] = {
      {VT_EMPTY, true},
      {VT_UNKNOWN, true},
      {VT_VARIANT, false},
      {4, false},
      {VT_ARRAY | VT_VARIANT, true},
      {VT_ARRAY | VT_I4, true},
      {VT_ARRAY | VT_EMPTY, false},
      {VT_BYREF | VT_VARIANT, true},
      {VT_BYREF | VT_ARRAY | VT_BSTR, true},
      {VT_BYREF | VT_NULL, false},
      {0x8000 | VT_I4, false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidVarType(c.vt), c.valid) << c.vt;
}

}  // namespace
}  // namespace ovc
