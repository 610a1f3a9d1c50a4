#include "ovcbridgesvcs/transfer/location_numbering.h"

#include <gtest/gtest.h>

#include "automation/text.h"

namespace ovc::transfer {
namespace {

TEST(LocationNumberingTest, OldSuffixesGoAndTheNumberIsPadded) {
  struct Case {
    const wchar_t* location;
    const wchar_t* delimiter;
    int32_t digits;
    int64_t number;
    const wchar_t* numbered;
  };
  const Case cases[] = {
      {L"Temp_3", L"_", 2, 4, L"Temp_04"},
      {L"Temp3", L"_", 2, 4, L"Temp3_04"},
      {L"Temp12", L"", 0, 5, L"Temp5"},
      {L"Temp_123", L"_", 3, 7, L"Temp_007"},
      {L"Temp_1234", L"_", 0, 7, L"Temp_1234_7"},
      {L"Temp1234", L"", 0, 7, L"Temp12347"},
      {L"_3", L"_", 0, 1, L"_3_1"},
      {L"42", L"", 0, 1, L"421"},
      {L"Temp", L"_", 0, 1, L"Temp_1"},
      {L"Temp--5", L"--", 2, 6, L"Temp--06"},
      {L"Temp_5", L"_", 3, -4, L"Temp_-04"},
      {L"Temp_5", L"_", 99, 1, L"Temp_0000000001"},
      {L"Temp_5", L"_", 2, 123, L"Temp_123"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        NumberedLocation(c.location, {.delimiter = c.delimiter, .digits = c.digits}, c.number),
        c.numbered)
        << ToUtf8(c.location);
  }
}

}  // namespace
}  // namespace ovc::transfer
