#include "automation/conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "automation/com_ptr.h"
#include "automation/number_text.h"
#include "automation/safe_array.h"
#include "automation/text.h"
#include "tests/automation/value_object.h"

namespace ovc {
namespace {

using values_testing::ValueObject;

// One conversion: `expected` is the result, or nothing when `failure` is
// the status expected instead.
struct ConversionCase {
  Variant source;
  VARTYPE vt;
  uint16_t flags;
  Variant expected;
  HRESULT failure = S_OK;
};

ConversionCase Converts(Variant source, VARTYPE vt, Variant expected, uint16_t flags = 0) {
  return {std::move(source), vt, flags, std::move(expected)};
}

ConversionCase Fails(Variant source, VARTYPE vt, HRESULT failure, uint16_t flags = 0) {
  return {std::move(source), vt, flags, Variant(), failure};
}

void Check(const std::vector<ConversionCase>& cases) {
  for (const ConversionCase& c : cases) {
    const Variant untouched(L"untouched");
    Variant result = untouched;
    const HRESULT hr = VariantChangeType(&result, c.source, c.flags, c.vt);
    SCOPED_TRACE(ToUtf8(VarTypeName(c.source.vt()) + L" -> " + VarTypeName(c.vt)));
    EXPECT_EQ(hr, Failed(c.failure) ? c.failure : S_OK);
    EXPECT_EQ(result, Failed(c.failure) ? untouched : c.expected);
  }
}

Variant Text(std::wstring text) { return Variant(std::move(text)); }

// Numbers round half to even and check their range; booleans are -1 and 0;
// text is read in the default locale.
TEST(ConversionTest, Scalars) {
  int32_t number = 42;
  std::wstring text = L"2.5";
  Check({
      Converts(Variant::R8(2.5), VT_I4, Variant::I4(2)),
      Converts(Variant::R8(3.5), VT_I4, Variant::I4(4)),
      Converts(Variant::R8(2.5000001), VT_I2, Variant::I2(3)),
      Fails(Variant::R8(std::nan("")), VT_I4, DISP_E_OVERFLOW),
      Fails(Variant::R8(-657435.0), VT_DATE, DISP_E_OVERFLOW),
      Converts(Variant(true), VT_I4, Variant::I4(-1)),
      Converts(Text(L" false "), VT_BOOL, Variant(false)),
      Converts(Text(L"-1,234.5"), VT_R8, Variant::R8(-1234.5)),
      Converts(Text(L"1000e-330"), VT_R8, Variant::R8(0)),
      Fails(Text(L"-0.001e312"), VT_R8, DISP_E_OVERFLOW),
      Fails(Text(L",5"), VT_R8, DISP_E_TYPEMISMATCH),
      Converts(Variant::ByRef(VT_I4, &number), VT_BSTR, Text(L"42")),
      Converts(Variant::Date(44190.75), VT_BSTR, Text(L"12/25/2020 6:00:00 PM")),
      Converts(Variant(), VT_I2, Variant::I2(0)),
      Fails(Variant::I4(1), VT_NULL, DISP_E_TYPEMISMATCH),
      Converts(Variant::Error(E_FAIL), VT_I4, Variant::I4(E_FAIL)),
      Converts(Variant::ByRef(VT_BSTR, &text), VT_R8, Variant::R8(2.5)),
      Fails(Variant::I4(3), 4, DISP_E_BADVARTYPE),
  });
}

// 64-bit integers and currency convert exactly and check their range at
// both ends.
TEST(ConversionTest, WideIntegersAndCurrency) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  const auto cy = [](int64_t units) { return Variant::Cy(CY{units}); };
  Check({
      Converts(Variant::I8(kMax), VT_BSTR, Text(L"9223372036854775807")),
      Converts(Variant::I8(kMin), VT_BSTR, Text(L"-9223372036854775808")),
      Converts(Text(L" 9,223,372,036,854,775,807 "), VT_I8, Variant::I8(kMax)),
      Converts(Text(L"-9223372036854775808"), VT_I8, Variant::I8(kMin)),
      Fails(Text(L"9223372036854775808"), VT_I8, DISP_E_OVERFLOW),
      Fails(Text(L"1e19"), VT_I8, DISP_E_OVERFLOW),
      Converts(Text(L"2.5"), VT_I8, Variant::I8(2)),
      Converts(Text(L"-2.50001"), VT_I8, Variant::I8(-3)),
      Converts(Text(L"0.35e1"), VT_I8, Variant::I8(4)),
      Converts(Text(L"5e-1000"), VT_I8, Variant::I8(0)),
      Fails(Text(L"2.5x"), VT_I8, DISP_E_TYPEMISMATCH),
      Fails(Variant::R8(0x1p63), VT_I8, DISP_E_OVERFLOW),
      Converts(Variant::R8(-0x1p63), VT_I8, Variant::I8(kMin)),
      Converts(Variant::Date(1.5), VT_I8, Variant::I8(2)),
      Converts(Variant::I8((int64_t{1} << 53) + 1), VT_R8, Variant::R8(0x1p53)),
      Fails(Variant::I8(int64_t{1} << 31), VT_I4, DISP_E_OVERFLOW),
      Converts(Variant::I8(-(int64_t{1} << 31)), VT_I4, Variant::I4(-2147483647 - 1)),
      Fails(Variant::I8(kMax), VT_DATE, DISP_E_OVERFLOW),
      Converts(Variant(true), VT_I8, Variant::I8(-1)),
      Converts(Variant::I8(2), VT_BOOL, Variant(true)),
      Converts(Text(L"922337203685477.5807"), VT_CY, cy(kMax)),
      Fails(Text(L"922337203685477.5808"), VT_CY, DISP_E_OVERFLOW),
      Converts(Text(L"-922337203685477.5808"), VT_CY, cy(kMin)),
      Converts(Text(L"0.00005"), VT_CY, cy(0)),
      Converts(Text(L"0.00015"), VT_CY, cy(2)),
      Converts(cy(122500), VT_BSTR, Text(L"12.25")),
      Converts(cy(-1), VT_BSTR, Text(L"-0.0001")),
      Converts(cy(25000), VT_I4, Variant::I4(2)),
      Converts(cy(-25001), VT_I2, Variant::I2(-3)),
      Converts(cy(kMin), VT_I8, Variant::I8(-922337203685478)),
      Converts(cy(122500), VT_R8, Variant::R8(12.25)),
      Converts(Variant::I8(922337203685477), VT_CY, cy(9223372036854770000)),
      Fails(Variant::I8(922337203685478), VT_CY, DISP_E_OVERFLOW),
      Converts(Variant::R8(-12.345), VT_CY, cy(-123450)),
      Fails(Variant::R8(1e15), VT_CY, DISP_E_OVERFLOW),
      Converts(Variant(), VT_CY, cy(0)),
  });
}

TEST(ConversionTest, NumberText) {
  const struct {
    double value;
    const wchar_t* text;
    const wchar_t* round_trip;
  } cases[] = {
      {0.1 + 0.2, L"0.3", L"0.30000000000000004"},
      {5e-324, L"4.94065645841247E-324", L"5E-324"},
      {-0.0, L"0", L"-0"},
      {std::numeric_limits<double>::infinity(), L"Infinity", L"Infinity"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DoubleToText(c.value), c.text);
    EXPECT_EQ(DoubleToRoundTripText(c.value), c.round_trip);
    double read = std::nan("");
    EXPECT_EQ(ParseDouble(c.round_trip, &read), std::isfinite(c.value)) << ToUtf8(c.round_trip);
    if (std::isfinite(c.value)) {
      EXPECT_EQ(std::bit_cast<uint64_t>(read), std::bit_cast<uint64_t>(c.value));
    }
  }
  double untouched = 7;
  EXPECT_FALSE(ParseDouble(L"seven", &untouched));
  EXPECT_EQ(untouched, 7);
  EXPECT_EQ(FloatToText(16777217.0f), L"1.677722E+07") << "at most 7 significant digits";
}

TEST(ConversionTest, LeadingIntegerReadsLikeTheCLibrary) {
  const struct {
    std::string_view text;
    int32_t value;
    bool found;
  } cases[] = {
      {"  -7xyz", -7, true},
      {"\v\f\t\r\n 12", 12, true},
      {"+8", 8, true},
      {"abc", 0, false},
      {"-", 0, false},
      {"\xC2\xA0"
       "5",
       0, false},
      {"99999999999", 2147483647, true},
      {"-99999999999", -2147483647 - 1, true},
  };
  for (const auto& each : cases) {
    bool found = !each.found;
    EXPECT_EQ(LeadingInteger(each.text, &found), each.value) << each.text;
    EXPECT_EQ(found, each.found) << each.text;
    EXPECT_EQ(LeadingInteger(FromUtf8(each.text)), each.value) << each.text;
  }
}

TEST(ConversionTest, DestinationMayBeTheSource) {
  Variant value(L"12");
  ASSERT_EQ(VariantChangeType(&value, value, 0, VT_I4), S_OK);
  EXPECT_EQ(value, Variant::I4(12));
  Variant array(SafeArray::FromValues({Variant(L"1")}));
  ASSERT_EQ(VariantChangeType(&array, array, 0, VT_ARRAY | VT_I4), S_OK);
  EXPECT_EQ(array.array().data()[0], Variant::I4(1));
}

// Objects convert through their default value, arrays element-wise.
TEST(ConversionTest, ObjectsAndArrays) {
  ComPtr<ValueObject> object = MakeObject<ValueObject>(Variant(L"42"));
  ComPtr<ValueObject> failing = MakeObject<ValueObject>(Variant(), E_ACCESSDENIED);
  ComPtr<ValueObject> outer =
      MakeObject<ValueObject>(Variant(static_cast<IDispatch*>(object.get())));
  const Variant held(static_cast<IDispatch*>(object.get()));
  const Variant unknown(static_cast<IUnknown*>(object.get()));
  const Variant numbers(SafeArray::FromValues({Variant::I4(1), Variant::I4(2)}, VT_I4));
  const Variant texts(SafeArray::FromValues({Variant(L"1"), Variant(L"2")}));
  const Variant words(SafeArray::FromValues({Variant(L"1"), Variant(L"two")}));
  Check({
      Converts(held, VT_I4, Variant::I4(42)),
      Fails(held, VT_I4, DISP_E_TYPEMISMATCH, VARIANT_NOVALUEPROP),
      Converts(held, VT_UNKNOWN, unknown),
      Converts(unknown, VT_DISPATCH, held),
      Fails(Variant(static_cast<IDispatch*>(failing.get())), VT_I4, E_ACCESSDENIED),
      // An object whose value is an object does not convert.
      Fails(Variant(static_cast<IDispatch*>(outer.get())), VT_I4, DISP_E_TYPEMISMATCH),
      Fails(Variant::I4(3), VT_DISPATCH, DISP_E_TYPEMISMATCH),
      Fails(words, VT_ARRAY | VT_I4, DISP_E_TYPEMISMATCH),
      Fails(Variant::I4(1), VT_ARRAY | VT_I4, DISP_E_TYPEMISMATCH),
  });
  EXPECT_EQ(object->reads(), 1);
  EXPECT_EQ(object->references(), 4u) << "held, unknown and outer's value";
}

}  // namespace
}  // namespace ovc
