#pragma once

#include <cstdint>

namespace ovc {

// The source file and line a failure is raised from, written into error
// records and trace lines. As a default argument, Current() names the
// caller's line:
//   void Raise(CMethodFrame& frame, const SourceLocation& where = SourceLocation::Current());
class SourceLocation {
 public:
  static constexpr SourceLocation Current(const char* file = __builtin_FILE(),
                                          uint32_t line = __builtin_LINE()) noexcept {
    return SourceLocation(file, line);
  }

  constexpr SourceLocation() noexcept = default;

  constexpr const char* file_name() const noexcept { return file_; }
  constexpr uint32_t line() const noexcept { return line_; }

 private:
  constexpr SourceLocation(const char* file, uint32_t line) noexcept : file_(file), line_(line) {}

  const char* file_ = "";
  uint32_t line_ = 0;
};

}  // namespace ovc
