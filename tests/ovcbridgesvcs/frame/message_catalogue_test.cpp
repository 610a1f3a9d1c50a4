#include "ovcbridgesvcs/frame/message_catalogue.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace ovc {
namespace {

// The numbers the catalogue defines: 1100-1133, 1201, 1203-1219, 1221-1281
// and 1283-1306.
bool IsDefined(uint32_t number) {
  return (number >= 1100 && number <= 1133) || number == 1201 ||
         (number >= 1203 && number <= 1219) || (number >= 1221 && number <= 1281) ||
         (number >= 1283 && number <= 1306);
}

TEST(MessageCatalogueTest, HoldsExactlyTheDefinedNumbers) {
  int defined = 0;
  for (uint32_t number = 0; number <= 2000; ++number) {
    const bool found = FindMessage(number).has_value();
    EXPECT_EQ(found, IsDefined(number)) << number;
    if (found) {
      ++defined;
      EXPECT_FALSE(FindMessage(number)->empty()) << number;
    }
  }
  EXPECT_EQ(defined, 137);
}

TEST(MessageCatalogueTest, UnknownNumbersLoadAsUnknownError) {
  for (const uint32_t number : {0u, 1099u, 1134u, 1200u, 1202u, 1220u, 1282u, 1307u, 65535u}) {
    EXPECT_EQ(LoadMessage(number), L"Unknown Error") << number;
  }
}

TEST(MessageCatalogueTest, TextsAreKeptExactly) {
  const struct {
    uint32_t number;
    const wchar_t* text;
  } cases[] = {
      {1100, L"OVCBridgeSvcs"},
      {1104, L"LintSet:  Link index is out of range"},
      {1108, L"Bridge Collection:  LinkSet index is out of range"},
      {1117, L"Final release failied during Link Set FinalCleanUp"},
      {1118, L"Write to application:  "},
      {1201, L"Application file name must have extension of .doc, .docx, .xls., .xlsx or .xlsm"},
      {1203, L"App: Error in CoCreateInstance for ExcelApp "},
      {1208,
       L"CO_E_CLASSSTRING from CLSIDFromProgID, likely the \"Excel.application\" ProgID is "
       L"invalid."},
      {1218, L"MIcrosoft Excel not registered properly"},
      {1243, L"Excel Error:  Multiple workbooks are open, sharring the same range name:"},
      {1249,
       L"Word Error:  Unable to GetValue, possibly because the document is protected.\n\n"
       L"Location: "},
      {1257, L"    There are no enabled applications."},
      {1265,
       L"Link error:  units of measure information was requested, but the  Units of Measures "
       L"are null."},
      {1277, L"No class view has been speicified for object:  "},
      {1281, L"The class view is valid but no objects have been specified: "},
      {1283, L"The following objects are not in the class view \""},
      {1290,
       L"Target bridge has no compatible linkset (matching name and classview to linksets in "
       L"source bridge) ."},
      {1295,
       L"Object Binding already set for linkset %s, (linkset # %ld); Do you wish to "
       L"over-write?"},
      {1297, L"Validating Source Bridge\r\n"},
      {1298, L"\r\nValidating Target Bridge\r\n"},
      {1301, L"\r\nObject %s bound to linkset %s (linkset # %ld) with classview %s.\r\n"},
      {1306, L"   The Application Read Location specified in this link is invalid."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindMessage(c.number), std::wstring_view(c.text)) << c.number;
    EXPECT_EQ(LoadMessage(c.number), c.text) << c.number;
  }
}

}  // namespace
}  // namespace ovc
