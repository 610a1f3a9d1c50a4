#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ovc::links {

// A token runs from "/!" to the first "!/" after it, both markers included.
inline constexpr std::wstring_view kTokenOpen = L"/!";
inline constexpr std::wstring_view kTokenClose = L"!/";

// The next complete token of `text` at or after `from`, as [*begin, *end);
// false when no complete token remains.
bool FindToken(std::wstring_view text, size_t from, size_t* begin, size_t* end);

// The text between `opening` (which `token` starts with, "(" included) and the
// next ")"; nullopt when the token does not start so or has no ")".
std::optional<std::wstring_view> Argument(std::wstring_view token, std::wstring_view opening);

// The integer a count argument starts with (blanks, a sign, digits), clamped
// to [-kMaxCount, kMaxCount] so that positive counts above kMaxCount act as
// kMaxCount; `otherwise` when it starts with no digit.
inline constexpr int kMaxCount = 17;
int Count(std::wstring_view argument, int otherwise);

// The first three double-quoted texts after `opening` in `token` (the true,
// false and empty texts of a boolean format); nullopt when there are fewer.
using BoolTexts = std::array<std::wstring_view, 3>;
std::optional<BoolTexts> QuotedTexts(std::wstring_view token, std::wstring_view opening);

}  // namespace ovc::links
