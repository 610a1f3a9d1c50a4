#include "automation/hresult.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace ovc {
namespace {

TEST(HresultTest, NamesAndTextsComeFromTheTable) {
  EXPECT_EQ(HresultName(E_FAIL), L"E_FAIL");
  EXPECT_EQ(HresultName(DISP_E_TYPEMISMATCH), L"DISP_E_TYPEMISMATCH");
  EXPECT_EQ(HresultName(S_OK), L"S_OK");
  EXPECT_EQ(SystemMessage(DISP_E_OVERFLOW), L"Out of present range.");
  EXPECT_EQ(SystemMessage(E_OUTOFMEMORY),
            L"Not enough memory resources are available to complete this operation.");
  EXPECT_FALSE(HresultName(static_cast<HRESULT>(0x80041234)).has_value());
  EXPECT_FALSE(SystemMessage(static_cast<HRESULT>(0x80041234)).has_value());
}

TEST(HresultTest, ErrnoMapsToFileAndMemoryCodes) {
  const struct {
    int error_number;
    HRESULT hr;
  } cases[] = {
      {ENOENT, E_FILENOTFOUND}, {ENOTDIR, E_PATHNOTFOUND},
      {EACCES, E_ACCESSDENIED}, {EPERM, E_ACCESSDENIED},
      {EROFS, E_ACCESSDENIED},  {ENOSPC, E_DISKFULL},
      {ENOMEM, E_OUTOFMEMORY},  {EEXIST, E_FILEEXISTS},
      {EINTR, E_FAIL},          {0, S_OK},
  };
  for (const auto& c : cases) EXPECT_EQ(HresultFromErrno(c.error_number), c.hr) << c.error_number;
}

}  // namespace
}  // namespace ovc
