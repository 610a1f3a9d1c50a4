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

// Statements valid in every store's SQL that empty the definitions, and every
// other record, of a workspace.
inline constexpr const char* kDeleteCatalog =
    "DELETE FROM unit_standards; DELETE FROM quantity_types; DELETE FROM units;"
    "DELETE FROM standard_units; DELETE FROM unit_formats; DELETE FROM descriptive_texts;"
    "DELETE FROM class_views; DELETE FROM routes; DELETE FROM enum_texts;"
    "DELETE FROM cases; DELETE FROM meta;";
inline constexpr const char* kDeleteRecords =
    "DELETE FROM objects; DELETE FROM object_cases; DELETE FROM attribute_values;"
    "DELETE FROM bridges; DELETE FROM files; DELETE FROM privileges; DELETE FROM counters;";

}  // namespace ovc::orvan::schema
