#include "automation/guid.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace ovc {
namespace {

constexpr GUID kSample = MakeGuid("38000101-bf26-11D5-A6FE-0002A500E8F9");

TEST(GuidTest, ToStringIsBracedUpperCase) {
  EXPECT_EQ(GuidToString(kSample), L"{38000101-BF26-11D5-A6FE-0002A500E8F9}");
  EXPECT_EQ(GuidToString(GUID_NULL), L"{00000000-0000-0000-0000-000000000000}");
}

TEST(GuidTest, FromStringAcceptsBothFormsAndCases) {
  EXPECT_EQ(GuidFromString(L"{38000101-BF26-11D5-A6FE-0002A500E8F9}"), kSample);
  EXPECT_EQ(GuidFromString(L"38000101-bf26-11d5-a6fe-0002a500e8f9"), kSample);
  EXPECT_EQ(GuidFromString(GuidToString(kSample)), kSample);
}

TEST(GuidTest, FromStringRejectsOtherText) {
  const wchar_t* bad[] = {
      L"",
      L"{38000101-BF26-11D5-A6FE-0002A500E8F9",
      L"38000101-BF26-11D5-A6FE-0002A500E8F9}",
      L"(38000101-BF26-11D5-A6FE-0002A500E8F9)",
      L"38000101-BF26-11D5-A6FE-0002A500E8FG",
      L"38000101BF26-11D5-A6FE-0002A500E8F9-",
      L"38000101-BF26-11D5-A6FE-0002A500E8F",
      L"{38000101-BF26-11D5-A6FE-0002A500E8F9}x",
      L"+8000101-BF26-11D5-A6FE-0002A500E8F9",
  };
  for (const wchar_t* text : bad) EXPECT_FALSE(GuidFromString(text).has_value()) << text;
}

TEST(GuidTest, HashSeparatesDifferentGuids) {
  std::unordered_set<GUID> set = {kSample, GUID_NULL,
                                  MakeGuid("38000101-BF26-11D5-A6FE-0002A500E8FA"),
                                  MakeGuid("38000102-BF26-11D5-A6FE-0002A500E8F9")};
  EXPECT_EQ(set.size(), 4u);
  EXPECT_TRUE(set.contains(MakeGuid("38000101-BF26-11D5-A6FE-0002A500E8F9")));
  EXPECT_NE(std::hash<GUID>{}(kSample),
            std::hash<GUID>{}(MakeGuid("38000101-BF26-11D5-A6FE-0002A500E8FA")));
}

}  // namespace
}  // namespace ovc
