#include "office/common/open_files.h"

#include <gtest/gtest.h>

namespace ovc::office {
namespace {

struct Lookup {
  Variant index;
  HRESULT code;
  size_t position;
  std::string description;
};

TEST(FindOpenFile, SelectsByNameWithoutCaseOrByPositionFromOne) {
  const std::vector<std::string> names = {"Book1.xlsx", "Plan.xlsx"};
  const Lookup lookups[] = {
      {Variant(L"plan.XLSX"), S_OK, 1, ""},
      {Variant::I4(1), S_OK, 0, ""},
      {Variant(2.0), S_OK, 1, ""},
      {Variant(L"2"), DISP_E_BADINDEX, 0, "Workbooks: no open workbook is named '2'"},
      {Variant::I4(0), DISP_E_BADINDEX, 0, "Workbooks: no open workbook at position 0"},
      {Variant::I4(3), DISP_E_BADINDEX, 0, "Workbooks: no open workbook at position 3"},
      {Variant(), DISP_E_BADINDEX, 0, "Workbooks: no open workbook at position 0"},
      {Variant::AttachDispatch(nullptr), DISP_E_TYPEMISMATCH, 0,
       "Workbooks: the index is neither a position nor a name"},
  };
  for (const Lookup& lookup : lookups) {
    size_t position = 0;
    const LookupError error = FindOpenFile(names, lookup.index, "Workbooks", "workbook", &position);
    EXPECT_EQ(error.code, lookup.code) << error.description;
    EXPECT_EQ(error.description, lookup.description);
    EXPECT_EQ(position, lookup.position) << lookup.description;
  }
}

}  // namespace
}  // namespace ovc::office
