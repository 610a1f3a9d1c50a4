#include "automation/guid.h"

#include <gtest/gtest.h>

namespace ovc {
namespace {

constexpr GUID kSample = MakeGuid("38000101-bf26-11D5-A6FE-0002A500E8F9");

TEST(GuidTest, TextIsBracedUpperCaseAndReadsBothForms) {
  EXPECT_EQ(GuidToString(kSample), L"{38000101-BF26-11D5-A6FE-0002A500E8F9}");
  EXPECT_EQ(GuidFromString(GuidToString(kSample)), kSample);
  EXPECT_EQ(GuidFromString(L"38000101-bf26-11d5-a6fe-0002a500e8f9"), kSample);
  const wchar_t* bad[] = {
      L"",
      L"{38000101-BF26-11D5-A6FE-0002A500E8F9",
      L"(38000101-BF26-11D5-A6FE-0002A500E8F9)",
      L"38000101-BF26-11D5-A6FE-0002A500E8FG",
      L"38000101BF26-11D5-A6FE-0002A500E8F9-",
      L"{38000101-BF26-11D5-A6FE-0002A500E8F9}x",
      L"+8000101-BF26-11D5-A6FE-0002A500E8F9",
  };
  for (const wchar_t* text : bad) EXPECT_FALSE(GuidFromString(text).has_value()) << text;
}

}  // namespace
}  // namespace ovc
