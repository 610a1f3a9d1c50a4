#include "automation/hresult.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace ovc {
namespace {

TEST(HresultTest, KnownCodesHaveNamesAndTexts) {
  EXPECT_EQ(HresultName(DISP_E_TYPEMISMATCH), L"DISP_E_TYPEMISMATCH");
  EXPECT_EQ(SystemMessage(DISP_E_OVERFLOW), L"Out of present range.");
  EXPECT_FALSE(HresultName(static_cast<HRESULT>(0x80041234)).has_value());
  EXPECT_FALSE(SystemMessage(static_cast<HRESULT>(0x80041234)).has_value());
}

TEST(HresultTest, ErrnoMapsToFileAndMemoryCodes) {
  const struct {
    int error_number;
    HRESULT hr;
  } cases[] = {
      {ENOENT, E_FILENOTFOUND},
      {ENOTDIR, E_PATHNOTFOUND},
      {EROFS, E_ACCESSDENIED},
      {ENOSPC, E_DISKFULL},
      {ENOMEM, E_OUTOFMEMORY},
      {EINTR, E_FAIL},
      {0, S_OK},
  };
  for (const auto& c : cases) EXPECT_EQ(HresultFromErrno(c.error_number), c.hr) << c.error_number;
}

}  // namespace
}  // namespace ovc
