#include "office/excel/cell_error.h"

#include <array>
#include <cstdint>

namespace ovc::excel {

namespace {

struct CellError {
  std::string_view text;
  int32_t number;
};

constexpr std::array<CellError, 10> kErrors = {{{"#NULL!", 2000},
                                                {"#DIV/0!", 2007},
                                                {"#VALUE!", 2015},
                                                {"#REF!", 2023},
                                                {"#NAME?", 2029},
                                                {"#NUM!", 2036},
                                                {"#N/A", 2042},
                                                {"#GETTING_DATA", 2043},
                                                {"#SPILL!", 2045},
                                                {"#CALC!", 2050}}};

constexpr SCODE kErrorBase = static_cast<SCODE>(0x800A0000);

}  // namespace

bool ErrorCodeFromText(std::string_view text, SCODE* code) {
  for (const CellError& error : kErrors) {
    if (error.text == text) {
      *code = kErrorBase + error.number;
      return true;
    }
  }
  return false;
}

std::string_view ErrorTextFromCode(SCODE code) {
  for (const CellError& error : kErrors) {
    if (kErrorBase + error.number == code) return error.text;
  }
  return {};
}

}  // namespace ovc::excel
