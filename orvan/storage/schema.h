#pragma once

#include <cstdint>
#include <span>

namespace ovc::orvan::schema {

// Marks a database file as a workspace of this host (PRAGMA application_id).
inline constexpr int32_t kApplicationId = 0x4F52564E;  // "ORVN"

// The SQL that brings a workspace from version i to version i + 1 is
// Migrations()[i]; the current version is Migrations().size(). A new version
// appends a step and never edits an old one.
std::span<const char* const> Migrations();

inline int CurrentVersion() { return static_cast<int>(Migrations().size()); }

}  // namespace ovc::orvan::schema
