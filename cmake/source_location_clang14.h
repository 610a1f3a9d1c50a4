// Clang 14 lacks __builtin_source_location, which libstdc++ 12's
// <source_location> needs, so there that header declares nothing. The clang
// build includes this file first in every source (see CMakeLists.txt) to fill
// the gap with clang's older location builtins; it does nothing where the
// library's own std::source_location exists.
#pragma once

#include <source_location>

#ifndef __cpp_lib_source_location

#include <cstdint>

namespace std {

struct source_location {
  // Default arguments are evaluated where current() is called, and where an
  // enclosing default argument is used.
  static constexpr source_location current(const char* file = __builtin_FILE(),
                                           const char* function = __builtin_FUNCTION(),
                                           uint_least32_t line = __builtin_LINE(),
                                           uint_least32_t column = __builtin_COLUMN()) noexcept {
    source_location location;
    location.file_ = file;
    location.function_ = function;
    location.line_ = line;
    location.column_ = column;
    return location;
  }

  constexpr source_location() noexcept = default;

  constexpr uint_least32_t line() const noexcept { return line_; }
  constexpr uint_least32_t column() const noexcept { return column_; }
  constexpr const char* file_name() const noexcept { return file_; }
  constexpr const char* function_name() const noexcept { return function_; }

 private:
  const char* file_ = "";
  const char* function_ = "";
  uint_least32_t line_ = 0;
  uint_least32_t column_ = 0;
};

}  // namespace std

#endif
