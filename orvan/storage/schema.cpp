#include "orvan/storage/schema.h"

namespace ovc::orvan::schema {

namespace {

// Columns without a declared type keep exactly what was bound: a double stays
// an IEEE double (also -0.0), a text stays a text.
constexpr const char* kVersion1 = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value) WITHOUT ROWID;
CREATE TABLE counters(name TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE unit_standards(position INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE quantity_types(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE units(
  quantity_type INTEGER NOT NULL, position INTEGER NOT NULL,
  system_name TEXT NOT NULL, text TEXT NOT NULL, factor, offset,
  PRIMARY KEY(quantity_type, position)) WITHOUT ROWID;
CREATE TABLE standard_units(
  quantity_type INTEGER NOT NULL, position INTEGER NOT NULL,
  standard TEXT NOT NULL, unit TEXT NOT NULL,
  PRIMARY KEY(quantity_type, position)) WITHOUT ROWID;
CREATE TABLE unit_formats(position INTEGER PRIMARY KEY, unit TEXT NOT NULL, format TEXT NOT NULL);
CREATE TABLE descriptive_texts(
  kind INTEGER NOT NULL, position INTEGER NOT NULL, text TEXT NOT NULL,
  PRIMARY KEY(kind, position)) WITHOUT ROWID;
CREATE TABLE class_views(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE routes(
  class_view INTEGER NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL,
  type TEXT NOT NULL, quantity_type TEXT NOT NULL,
  vector INTEGER NOT NULL, read_only INTEGER NOT NULL,
  PRIMARY KEY(class_view, position)) WITHOUT ROWID;
CREATE TABLE enum_texts(
  class_view INTEGER NOT NULL, route INTEGER NOT NULL, position INTEGER NOT NULL,
  text TEXT NOT NULL,
  PRIMARY KEY(class_view, route, position)) WITHOUT ROWID;
CREATE TABLE cases(oid INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE objects(oid INTEGER PRIMARY KEY, name TEXT NOT NULL, class_view TEXT NOT NULL);
CREATE INDEX objects_by_class_view ON objects(class_view, oid);
CREATE TABLE object_cases(
  object INTEGER NOT NULL, case_oid INTEGER NOT NULL,
  PRIMARY KEY(object, case_oid)) WITHOUT ROWID;
CREATE TABLE attribute_values(
  object INTEGER NOT NULL, route TEXT NOT NULL, case_oid INTEGER NOT NULL,
  element INTEGER NOT NULL, value, entered, entered_unit TEXT NOT NULL,
  prefix TEXT NOT NULL, postfix TEXT NOT NULL, substitution TEXT NOT NULL,
  PRIMARY KEY(object, route, case_oid, element)) WITHOUT ROWID;
CREATE TABLE bridges(
  oid INTEGER PRIMARY KEY, name TEXT NOT NULL,
  created_by TEXT NOT NULL, date_created TEXT NOT NULL,
  modified_by TEXT NOT NULL, date_modified TEXT NOT NULL,
  lock_holder TEXT NOT NULL, document TEXT NOT NULL);
CREATE TABLE files(
  oid INTEGER PRIMARY KEY, file_name TEXT NOT NULL, linked INTEGER NOT NULL,
  linked_path TEXT NOT NULL, holder TEXT NOT NULL, content BLOB NOT NULL);
)sql";

// Privileges were added after the first release.
constexpr const char* kVersion2 = R"sql(
CREATE TABLE privileges(
  user TEXT NOT NULL, name TEXT NOT NULL, allowed INTEGER NOT NULL,
  PRIMARY KEY(user, name)) WITHOUT ROWID;
)sql";

// Bridges count their saves, so that a save based on an older copy is seen.
constexpr const char* kVersion3 = R"sql(
ALTER TABLE bridges ADD COLUMN version INTEGER NOT NULL DEFAULT 0;
)sql";

constexpr const char* kMigrations[] = {kVersion1, kVersion2, kVersion3};

}  // namespace

std::span<const char* const> Migrations() { return kMigrations; }

}  // namespace ovc::orvan::schema
