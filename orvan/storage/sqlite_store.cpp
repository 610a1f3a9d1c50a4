#include "orvan/storage/sqlite_store.h"

#include <filesystem>
#include <system_error>

#include "orvan/storage/schema.h"

namespace ovc::orvan {

namespace {

constexpr int kBusyTimeoutMs = 10000;

enum TextKind { kPrefixes = 0, kPostfixes = 1, kSubstitutions = 2 };

Status NotOursError(const std::string& path, const std::string& why) {
  return Status::NotOurs("'" + path + "' is not an Orvan workspace: " + why);
}

void BindScalar(Statement& stmt, int index, const Scalar& value) {
  if (const auto* real = std::get_if<double>(&value)) {
    stmt.Bind(index, *real);
  } else if (const auto* integer = std::get_if<int64_t>(&value)) {
    stmt.Bind(index, *integer);
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    stmt.Bind(index, std::string_view(*text));
  } else {
    stmt.BindNull(index);
  }
}

Scalar ReadScalar(const Statement& stmt, int column) {
  switch (stmt.Type(column)) {
    case SQLITE_FLOAT:
      return stmt.Real(column);
    case SQLITE_INTEGER:
      return stmt.Int(column);
    case SQLITE_TEXT:
    case SQLITE_BLOB:
      return stmt.Text(column);
    default:
      return std::monostate();
  }
}

}  // namespace

Status SqliteStore::Open(const std::string& path, Mode mode, std::unique_ptr<SqliteStore>* store) {
  std::error_code ec;
  bool exists = std::filesystem::exists(path, ec);
  if (mode == Mode::kOpen && !exists) {
    return Status::NotFound("the workspace '" + path + "' does not exist");
  }
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (mode == Mode::kCreate) flags |= SQLITE_OPEN_CREATE;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  std::unique_ptr<SqliteStore> opened(new SqliteStore(db));
  if (rc != SQLITE_OK) {
    return Status::Storage("cannot open '" + path + "': " + sqlite3_errstr(rc));
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db, 1);
  ORVAN_RETURN_IF_ERROR(opened->Initialize(mode, path));
  *store = std::move(opened);
  return Status::Ok();
}

SqliteStore::~SqliteStore() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  sqlite3_close(db_);
}

Status SqliteStore::Initialize(Mode mode, const std::string& path) {
  Status status;
  sqlite3_stmt* probe = Prepare("SELECT count(*) FROM sqlite_master", &status);
  int64_t objects = 0;
  if (probe != nullptr) {
    Statement row(probe);
    if (row.Step(&status)) objects = row.Int(0);
  }
  if (!status.ok()) {
    int rc = sqlite3_errcode(db_) & 0xFF;
    if (rc == SQLITE_NOTADB) return NotOursError(path, "the file is not a database");
    return status;
  }
  int64_t application_id = 0;
  {
    Statement row(Prepare("PRAGMA application_id", &status));
    if (row.Step(&status)) application_id = row.Int(0);
  }
  ORVAN_RETURN_IF_ERROR(status);
  if (objects == 0 && application_id == 0) {
    if (mode == Mode::kOpen) return NotOursError(path, "the database is empty");
    ORVAN_RETURN_IF_ERROR(Exec("PRAGMA journal_mode=WAL"));
    return Upgrade();
  }
  if (application_id != schema::kApplicationId) {
    return NotOursError(path, "the database belongs to another program");
  }
  if (mode == Mode::kCreate) {
    return Status::Invalid("the workspace '" + path + "' already exists");
  }
  return Upgrade();
}

int SqliteStore::SchemaVersion() {
  Status status;
  sqlite3_stmt* stmt = Prepare("PRAGMA user_version", &status);
  if (stmt == nullptr) return -1;
  Statement row(stmt);
  return row.Step(&status) ? static_cast<int>(row.Int(0)) : -1;
}

// Brings the schema to the current version in one write transaction, so that
// two processes opening an old file upgrade it once.
Status SqliteStore::Upgrade() {
  if (SchemaVersion() == schema::CurrentVersion()) return Status::Ok();
  ORVAN_RETURN_IF_ERROR(Begin(true));
  int version = SchemaVersion();
  Status status;
  if (version > schema::CurrentVersion()) {
    status = Status::NotOurs("the workspace was written by a newer version (schema " +
                             std::to_string(version) + ")");
  }
  for (int v = version; status.ok() && v < schema::CurrentVersion(); ++v) {
    status = Exec(schema::Migrations()[v]);
  }
  if (status.ok()) {
    std::string pragmas = "PRAGMA application_id=" + std::to_string(schema::kApplicationId) +
                          "; PRAGMA user_version=" + std::to_string(schema::CurrentVersion());
    status = Exec(pragmas.c_str());
  }
  if (!status.ok()) {
    Rollback();
    return status;
  }
  return Commit();
}

Status SqliteStore::Exec(const char* sql) {
  char* error = nullptr;
  int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
  if (rc == SQLITE_OK) return Status::Ok();
  std::string message = std::string("database error: ") + (error ? error : sqlite3_errstr(rc));
  sqlite3_free(error);
  return Status::Storage(message);
}

sqlite3_stmt* SqliteStore::Prepare(const char* sql, Status* status) {
  auto found = statements_.find(sql);
  if (found != statements_.end()) return found->second;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    *status = StorageError("prepare");
    return nullptr;
  }
  statements_.emplace(sql, stmt);
  return stmt;
}

Status SqliteStore::StorageError(const char* what) const {
  return Status::Storage(std::string("database error (") + what + "): " + sqlite3_errmsg(db_));
}

Status SqliteStore::Begin(bool write) {
  if (in_transaction_) return Status::Invalid("a transaction is already open");
  ORVAN_RETURN_IF_ERROR(Exec(write ? "BEGIN IMMEDIATE" : "BEGIN"));
  in_transaction_ = true;
  return Status::Ok();
}

Status SqliteStore::Commit() {
  if (!in_transaction_) return Status::Invalid("no transaction is open");
  Status status = Exec("COMMIT");
  if (!status.ok()) {
    Rollback();
    return status;
  }
  in_transaction_ = false;
  return status;
}

void SqliteStore::Rollback() {
  if (!in_transaction_) return;
  in_transaction_ = false;
  if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

template <typename Fn>
Status SqliteStore::Atomically(bool write, Fn fn) {
  if (in_transaction_) return fn();
  ORVAN_RETURN_IF_ERROR(Begin(write));
  Status status = fn();
  if (!status.ok()) {
    Rollback();
    return status;
  }
  return Commit();
}

// A prepared statement, or an early return of the preparation failure.
#define ORVAN_STATEMENT(name, sql)                         \
  Status name##_status;                                    \
  sqlite3_stmt* name##_raw = Prepare(sql, &name##_status); \
  if (name##_raw == nullptr) return name##_status;         \
  Statement name(name##_raw)

// ---- catalog ----

Status SqliteStore::LoadCatalog(Catalog* catalog) {
  return Atomically(false, [&] {
    *catalog = Catalog();
    Status status;
    {
      ORVAN_STATEMENT(rows, "SELECT name FROM unit_standards ORDER BY position");
      while (rows.Step(&status)) catalog->unit_standards.push_back(rows.Text(0));
    }
    {
      ORVAN_STATEMENT(rows, "SELECT oid, name FROM cases ORDER BY oid");
      while (rows.Step(&status)) {
        catalog->cases.push_back({static_cast<int32_t>(rows.Int(0)), rows.Text(1)});
      }
    }
    {
      ORVAN_STATEMENT(rows, "SELECT key, value FROM meta");
      while (rows.Step(&status)) {
        if (rows.TextView(0) == "default_case")
          catalog->default_case = static_cast<int32_t>(rows.Int(1));
        if (rows.TextView(0) == "governing_case")
          catalog->governing_case = static_cast<int32_t>(rows.Int(1));
      }
    }
    {
      ORVAN_STATEMENT(rows, "SELECT unit, format FROM unit_formats ORDER BY position");
      while (rows.Step(&status)) catalog->unit_formats.push_back({rows.Text(0), rows.Text(1)});
    }
    ORVAN_RETURN_IF_ERROR(status);
    ORVAN_RETURN_IF_ERROR(LoadUnits(catalog));
    ORVAN_RETURN_IF_ERROR(LoadTexts(catalog));
    return LoadClassViews(catalog);
  });
}

Status SqliteStore::LoadUnits(Catalog* catalog) {
  Status status;
  std::unordered_map<int64_t, size_t> index;
  {
    ORVAN_STATEMENT(rows, "SELECT id, name FROM quantity_types ORDER BY id");
    while (rows.Step(&status)) {
      index[rows.Int(0)] = catalog->quantity_types.size();
      catalog->quantity_types.push_back({rows.Text(1), {}, {}});
    }
  }
  {
    ORVAN_STATEMENT(rows,
                    "SELECT quantity_type, system_name, text, factor, offset FROM units "
                    "ORDER BY quantity_type, position");
    while (rows.Step(&status)) {
      auto found = index.find(rows.Int(0));
      if (found == index.end()) continue;
      catalog->quantity_types[found->second].units.push_back(
          {rows.Text(1), rows.Text(2), rows.Real(3), rows.Real(4)});
    }
  }
  {
    ORVAN_STATEMENT(rows,
                    "SELECT quantity_type, standard, unit FROM standard_units "
                    "ORDER BY quantity_type, position");
    while (rows.Step(&status)) {
      auto found = index.find(rows.Int(0));
      if (found == index.end()) continue;
      catalog->quantity_types[found->second].standard_units.emplace_back(rows.Text(1),
                                                                         rows.Text(2));
    }
  }
  return status;
}

Status SqliteStore::LoadTexts(Catalog* catalog) {
  Status status;
  ORVAN_STATEMENT(rows, "SELECT kind, text FROM descriptive_texts ORDER BY kind, position");
  while (rows.Step(&status)) {
    switch (rows.Int(0)) {
      case kPrefixes:
        catalog->texts.prefixes.push_back(rows.Text(1));
        break;
      case kPostfixes:
        catalog->texts.postfixes.push_back(rows.Text(1));
        break;
      case kSubstitutions:
        catalog->texts.substitutions.push_back(rows.Text(1));
        break;
    }
  }
  return status;
}

Status SqliteStore::LoadClassViews(Catalog* catalog) {
  Status status;
  std::unordered_map<int64_t, size_t> index;
  {
    ORVAN_STATEMENT(rows, "SELECT id, name FROM class_views ORDER BY id");
    while (rows.Step(&status)) {
      index[rows.Int(0)] = catalog->class_views.size();
      catalog->class_views.push_back({rows.Text(1), {}});
    }
  }
  {
    ORVAN_STATEMENT(rows,
                    "SELECT class_view, name, type, quantity_type, vector, read_only FROM routes "
                    "ORDER BY class_view, position");
    while (rows.Step(&status)) {
      auto found = index.find(rows.Int(0));
      if (found == index.end()) continue;
      Route route;
      route.name = rows.Text(1);
      if (!ParseTypeName(rows.TextView(2), &route.type)) {
        return Status::Storage("unknown attribute type '" + rows.Text(2) + "' of route '" +
                               route.name + "'");
      }
      route.quantity_type = rows.Text(3);
      route.vector = rows.Int(4) != 0;
      route.read_only = rows.Int(5) != 0;
      catalog->class_views[found->second].routes.push_back(std::move(route));
    }
  }
  {
    ORVAN_STATEMENT(rows,
                    "SELECT class_view, route, text FROM enum_texts "
                    "ORDER BY class_view, route, position");
    while (rows.Step(&status)) {
      auto found = index.find(rows.Int(0));
      if (found == index.end()) continue;
      auto& routes = catalog->class_views[found->second].routes;
      auto route = static_cast<size_t>(rows.Int(1));
      if (route < routes.size()) routes[route].enum_texts.push_back(rows.Text(2));
    }
  }
  return status;
}

Status SqliteStore::ReplaceCatalog(const Catalog& catalog) {
  return Atomically(true, [&] {
    ORVAN_RETURN_IF_ERROR(Exec(schema::kDeleteCatalog));
    return InsertCatalog(catalog);
  });
}

Status SqliteStore::InsertCatalog(const Catalog& catalog) {
  for (size_t i = 0; i < catalog.unit_standards.size(); ++i) {
    ORVAN_STATEMENT(insert, "INSERT INTO unit_standards(position, name) VALUES(?, ?)");
    insert.Bind(1, static_cast<int64_t>(i));
    insert.Bind(2, std::string_view(catalog.unit_standards[i]));
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  for (size_t i = 0; i < catalog.quantity_types.size(); ++i) {
    ORVAN_RETURN_IF_ERROR(
        InsertQuantityType(static_cast<int64_t>(i) + 1, catalog.quantity_types[i]));
  }
  for (size_t i = 0; i < catalog.unit_formats.size(); ++i) {
    ORVAN_STATEMENT(insert, "INSERT INTO unit_formats(position, unit, format) VALUES(?, ?, ?)");
    insert.Bind(1, static_cast<int64_t>(i));
    insert.Bind(2, std::string_view(catalog.unit_formats[i].unit));
    insert.Bind(3, std::string_view(catalog.unit_formats[i].format));
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  const std::vector<std::string>* lists[] = {&catalog.texts.prefixes, &catalog.texts.postfixes,
                                             &catalog.texts.substitutions};
  for (int64_t kind = 0; kind < 3; ++kind) {
    const auto& texts = *lists[kind];
    for (size_t i = 0; i < texts.size(); ++i) {
      ORVAN_STATEMENT(insert,
                      "INSERT INTO descriptive_texts(kind, position, text) VALUES(?, ?, ?)");
      insert.Bind(1, kind);
      insert.Bind(2, static_cast<int64_t>(i));
      insert.Bind(3, std::string_view(texts[i]));
      ORVAN_RETURN_IF_ERROR(insert.Run());
    }
  }
  for (size_t i = 0; i < catalog.class_views.size(); ++i) {
    ORVAN_RETURN_IF_ERROR(InsertClassView(static_cast<int64_t>(i) + 1, catalog.class_views[i]));
  }
  for (const Case& c : catalog.cases) {
    ORVAN_STATEMENT(insert, "INSERT INTO cases(oid, name) VALUES(?, ?)");
    insert.Bind(1, static_cast<int64_t>(c.oid));
    insert.Bind(2, std::string_view(c.name));
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  ORVAN_RETURN_IF_ERROR(SetMeta("default_case", catalog.default_case));
  return SetMeta("governing_case", catalog.governing_case);
}

Status SqliteStore::InsertQuantityType(int64_t id, const QuantityType& type) {
  {
    ORVAN_STATEMENT(insert, "INSERT INTO quantity_types(id, name) VALUES(?, ?)");
    insert.Bind(1, id);
    insert.Bind(2, std::string_view(type.name));
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  for (size_t i = 0; i < type.units.size(); ++i) {
    const Unit& unit = type.units[i];
    ORVAN_STATEMENT(insert,
                    "INSERT INTO units(quantity_type, position, system_name, text, factor, offset) "
                    "VALUES(?, ?, ?, ?, ?, ?)");
    insert.Bind(1, id);
    insert.Bind(2, static_cast<int64_t>(i));
    insert.Bind(3, std::string_view(unit.system_name));
    insert.Bind(4, std::string_view(unit.text));
    insert.Bind(5, unit.factor);
    insert.Bind(6, unit.offset);
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  for (size_t i = 0; i < type.standard_units.size(); ++i) {
    ORVAN_STATEMENT(insert,
                    "INSERT INTO standard_units(quantity_type, position, standard, unit) "
                    "VALUES(?, ?, ?, ?)");
    insert.Bind(1, id);
    insert.Bind(2, static_cast<int64_t>(i));
    insert.Bind(3, std::string_view(type.standard_units[i].first));
    insert.Bind(4, std::string_view(type.standard_units[i].second));
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  return Status::Ok();
}

Status SqliteStore::InsertClassView(int64_t id, const ClassView& view) {
  {
    ORVAN_STATEMENT(insert, "INSERT INTO class_views(id, name) VALUES(?, ?)");
    insert.Bind(1, id);
    insert.Bind(2, std::string_view(view.name));
    ORVAN_RETURN_IF_ERROR(insert.Run());
  }
  for (size_t i = 0; i < view.routes.size(); ++i) {
    const Route& route = view.routes[i];
    {
      ORVAN_STATEMENT(insert,
                      "INSERT INTO routes(class_view, position, name, type, quantity_type, vector, "
                      "read_only) VALUES(?, ?, ?, ?, ?, ?, ?)");
      insert.Bind(1, id);
      insert.Bind(2, static_cast<int64_t>(i));
      insert.Bind(3, std::string_view(route.name));
      insert.Bind(4, TypeName(route.type));
      insert.Bind(5, std::string_view(route.quantity_type));
      insert.Bind(6, static_cast<int64_t>(route.vector));
      insert.Bind(7, static_cast<int64_t>(route.read_only));
      ORVAN_RETURN_IF_ERROR(insert.Run());
    }
    for (size_t k = 0; k < route.enum_texts.size(); ++k) {
      ORVAN_STATEMENT(insert,
                      "INSERT INTO enum_texts(class_view, route, position, text) "
                      "VALUES(?, ?, ?, ?)");
      insert.Bind(1, id);
      insert.Bind(2, static_cast<int64_t>(i));
      insert.Bind(3, static_cast<int64_t>(k));
      insert.Bind(4, std::string_view(route.enum_texts[k]));
      ORVAN_RETURN_IF_ERROR(insert.Run());
    }
  }
  return Status::Ok();
}

Status SqliteStore::SetMeta(const char* key, int64_t value) {
  ORVAN_STATEMENT(insert, "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)");
  insert.Bind(1, std::string_view(key));
  insert.Bind(2, value);
  return insert.Run();
}

// ---- objects ----

Status SqliteStore::GetObject(int32_t oid, ObjectRecord* object) {
  return Atomically(false, [&] {
    Status status;
    {
      ORVAN_STATEMENT(row, "SELECT name, class_view FROM objects WHERE oid = ?");
      row.Bind(1, static_cast<int64_t>(oid));
      if (!row.Step(&status)) {
        if (!status.ok()) return status;
        return Status::NotFound("object " + std::to_string(oid) + " does not exist");
      }
      object->oid = oid;
      object->name = row.Text(0);
      object->class_view = row.Text(1);
    }
    object->cases.clear();
    ORVAN_STATEMENT(cases, "SELECT case_oid FROM object_cases WHERE object = ? ORDER BY case_oid");
    cases.Bind(1, static_cast<int64_t>(oid));
    while (cases.Step(&status)) object->cases.push_back(static_cast<int32_t>(cases.Int(0)));
    return status;
  });
}

Status SqliteStore::ListObjects(std::string_view class_view, std::vector<ObjectRecord>* objects) {
  return Atomically(false, [&] {
    objects->clear();
    Status status;
    {
      ORVAN_STATEMENT(rows,
                      "SELECT oid, name, class_view FROM objects "
                      "WHERE ?1 = '' OR class_view = ?1 ORDER BY oid");
      rows.Bind(1, class_view);
      while (rows.Step(&status)) {
        objects->push_back({static_cast<int32_t>(rows.Int(0)), rows.Text(1), rows.Text(2), {}});
      }
    }
    ORVAN_RETURN_IF_ERROR(status);
    for (ObjectRecord& object : *objects) {
      ORVAN_STATEMENT(cases,
                      "SELECT case_oid FROM object_cases WHERE object = ? ORDER BY case_oid");
      cases.Bind(1, static_cast<int64_t>(object.oid));
      while (cases.Step(&status)) object.cases.push_back(static_cast<int32_t>(cases.Int(0)));
    }
    return status;
  });
}

Status SqliteStore::PutObject(const ObjectRecord& object) {
  return Atomically(true, [&] {
    {
      ORVAN_STATEMENT(insert,
                      "INSERT OR REPLACE INTO objects(oid, name, class_view) VALUES(?, ?, ?)");
      insert.Bind(1, static_cast<int64_t>(object.oid));
      insert.Bind(2, std::string_view(object.name));
      insert.Bind(3, std::string_view(object.class_view));
      ORVAN_RETURN_IF_ERROR(insert.Run());
    }
    {
      ORVAN_STATEMENT(erase, "DELETE FROM object_cases WHERE object = ?");
      erase.Bind(1, static_cast<int64_t>(object.oid));
      ORVAN_RETURN_IF_ERROR(erase.Run());
    }
    for (int32_t case_oid : object.cases) {
      ORVAN_STATEMENT(insert, "INSERT OR IGNORE INTO object_cases(object, case_oid) VALUES(?, ?)");
      insert.Bind(1, static_cast<int64_t>(object.oid));
      insert.Bind(2, static_cast<int64_t>(case_oid));
      ORVAN_RETURN_IF_ERROR(insert.Run());
    }
    return Status::Ok();
  });
}

// ---- values ----

namespace {

Element ReadElement(const Statement& row, int first) {
  Element element;
  element.value = ReadScalar(row, first);
  if (row.Type(first + 1) == SQLITE_FLOAT) element.entered = row.Real(first + 1);
  element.entered_unit = row.Text(first + 2);
  element.prefix = row.Text(first + 3);
  element.postfix = row.Text(first + 4);
  element.substitution = row.Text(first + 5);
  return element;
}

}  // namespace

Status SqliteStore::GetValue(const ValueKey& key, std::vector<Element>* elements) {
  elements->clear();
  ORVAN_STATEMENT(rows,
                  "SELECT value, entered, entered_unit, prefix, postfix, substitution "
                  "FROM attribute_values WHERE object = ? AND route = ? AND case_oid = ? "
                  "ORDER BY element");
  rows.Bind(1, static_cast<int64_t>(key.object));
  rows.Bind(2, std::string_view(key.route));
  rows.Bind(3, static_cast<int64_t>(key.case_oid));
  Status status;
  while (rows.Step(&status)) elements->push_back(ReadElement(rows, 0));
  return status;
}

Status SqliteStore::PutValue(const ValueKey& key, const std::vector<Element>& elements) {
  return Atomically(true, [&] {
    {
      ORVAN_STATEMENT(
          erase, "DELETE FROM attribute_values WHERE object = ? AND route = ? AND case_oid = ?");
      erase.Bind(1, static_cast<int64_t>(key.object));
      erase.Bind(2, std::string_view(key.route));
      erase.Bind(3, static_cast<int64_t>(key.case_oid));
      ORVAN_RETURN_IF_ERROR(erase.Run());
    }
    for (size_t i = 0; i < elements.size(); ++i) {
      const Element& element = elements[i];
      ORVAN_STATEMENT(insert,
                      "INSERT INTO attribute_values(object, route, case_oid, element, value, "
                      "entered, entered_unit, prefix, postfix, substitution) "
                      "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
      insert.Bind(1, static_cast<int64_t>(key.object));
      insert.Bind(2, std::string_view(key.route));
      insert.Bind(3, static_cast<int64_t>(key.case_oid));
      insert.Bind(4, static_cast<int64_t>(i));
      BindScalar(insert, 5, element.value);
      if (element.entered) {
        insert.Bind(6, *element.entered);
      } else {
        insert.BindNull(6);
      }
      insert.Bind(7, std::string_view(element.entered_unit));
      insert.Bind(8, std::string_view(element.prefix));
      insert.Bind(9, std::string_view(element.postfix));
      insert.Bind(10, std::string_view(element.substitution));
      ORVAN_RETURN_IF_ERROR(insert.Run());
    }
    return Status::Ok();
  });
}

Status SqliteStore::ListValues(std::vector<StoredValue>* values) {
  return Atomically(false, [&] {
    values->clear();
    ORVAN_STATEMENT(rows,
                    "SELECT object, route, case_oid, value, entered, entered_unit, prefix, "
                    "postfix, substitution FROM attribute_values "
                    "ORDER BY object, route, case_oid, element");
    Status status;
    while (rows.Step(&status)) {
      ValueKey key{static_cast<int32_t>(rows.Int(0)), rows.Text(1),
                   static_cast<int32_t>(rows.Int(2))};
      if (values->empty() || values->back().key.object != key.object ||
          values->back().key.route != key.route || values->back().key.case_oid != key.case_oid) {
        values->push_back({std::move(key), {}});
      }
      values->back().elements.push_back(ReadElement(rows, 3));
    }
    return status;
  });
}

// ---- bridges ----

namespace {

void ReadBridgeRow(const Statement& row, BridgeRecord* bridge) {
  bridge->oid = static_cast<int32_t>(row.Int(0));
  bridge->name = row.Text(1);
  bridge->created_by = row.Text(2);
  bridge->date_created = row.Text(3);
  bridge->modified_by = row.Text(4);
  bridge->date_modified = row.Text(5);
  bridge->lock_holder = row.Text(6);
  bridge->version = row.Int(7);
}

Status BridgeNotFound(int32_t oid) {
  return Status::NotFound("bridge " + std::to_string(oid) + " does not exist");
}

}  // namespace

Status SqliteStore::AddBridge(BridgeRecord* bridge) {
  return Atomically(true, [&] {
    if (bridge->oid < 1) {
      Status status;
      ORVAN_STATEMENT(row, "SELECT coalesce(max(oid), 0) + 1 FROM bridges");
      if (!row.Step(&status)) return status;
      if (row.Int(0) > INT32_MAX) return Status::Storage("no bridge OIDs are left");
      bridge->oid = static_cast<int32_t>(row.Int(0));
    }
    return PutBridge(*bridge);
  });
}

Status SqliteStore::GetBridge(int32_t oid, bool with_document, BridgeRecord* bridge) {
  Status status;
  // The document is read only when asked for; it is most of the row.
  ORVAN_STATEMENT(
      row,
      "SELECT oid, name, created_by, date_created, modified_by, date_modified, "
      "lock_holder, version, CASE WHEN ?2 THEN document ELSE '' END FROM bridges WHERE oid = ?1");
  row.Bind(1, static_cast<int64_t>(oid));
  row.Bind(2, static_cast<int64_t>(with_document));
  if (!row.Step(&status)) {
    if (!status.ok()) return status;
    return BridgeNotFound(oid);
  }
  ReadBridgeRow(row, bridge);
  bridge->document = row.Text(8);
  return Status::Ok();
}

Status SqliteStore::PutBridge(const BridgeRecord& bridge) {
  ORVAN_STATEMENT(insert,
                  "INSERT OR REPLACE INTO bridges(oid, name, created_by, date_created, "
                  "modified_by, date_modified, lock_holder, document, version) "
                  "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, static_cast<int64_t>(bridge.oid));
  insert.Bind(2, std::string_view(bridge.name));
  insert.Bind(3, std::string_view(bridge.created_by));
  insert.Bind(4, std::string_view(bridge.date_created));
  insert.Bind(5, std::string_view(bridge.modified_by));
  insert.Bind(6, std::string_view(bridge.date_modified));
  insert.Bind(7, std::string_view(bridge.lock_holder));
  insert.Bind(8, std::string_view(bridge.document));
  insert.Bind(9, bridge.version);
  return insert.Run();
}

Status SqliteStore::SetBridgeLock(int32_t oid, std::string_view holder) {
  ORVAN_STATEMENT(update, "UPDATE bridges SET lock_holder = ? WHERE oid = ?");
  update.Bind(1, holder);
  update.Bind(2, static_cast<int64_t>(oid));
  ORVAN_RETURN_IF_ERROR(update.Run());
  return sqlite3_changes(db_) == 0 ? BridgeNotFound(oid) : Status::Ok();
}

Status SqliteStore::DeleteBridge(int32_t oid) {
  ORVAN_STATEMENT(erase, "DELETE FROM bridges WHERE oid = ?");
  erase.Bind(1, static_cast<int64_t>(oid));
  ORVAN_RETURN_IF_ERROR(erase.Run());
  return sqlite3_changes(db_) == 0 ? BridgeNotFound(oid) : Status::Ok();
}

Status SqliteStore::ListBridges(std::vector<BridgeRecord>* bridges) {
  bridges->clear();
  ORVAN_STATEMENT(rows,
                  "SELECT oid, name, created_by, date_created, modified_by, date_modified, "
                  "lock_holder, version FROM bridges ORDER BY oid");
  Status status;
  while (rows.Step(&status)) {
    bridges->emplace_back();
    ReadBridgeRow(rows, &bridges->back());
  }
  return status;
}

Status SqliteStore::NextNumber(std::string_view counter, int32_t* number) {
  return Atomically(true, [&] {
    {
      ORVAN_STATEMENT(bump,
                      "INSERT INTO counters(name, value) VALUES(?, 1) "
                      "ON CONFLICT(name) DO UPDATE SET value = value + 1");
      bump.Bind(1, counter);
      ORVAN_RETURN_IF_ERROR(bump.Run());
    }
    Status status;
    ORVAN_STATEMENT(row, "SELECT value FROM counters WHERE name = ?");
    row.Bind(1, counter);
    if (!row.Step(&status)) return status;
    if (row.Int(0) > INT32_MAX) return Status::Storage("the counter is exhausted");
    *number = static_cast<int32_t>(row.Int(0));
    return Status::Ok();
  });
}

Status SqliteStore::RaiseCounter(std::string_view counter, int32_t at_least) {
  ORVAN_STATEMENT(raise,
                  "INSERT INTO counters(name, value) VALUES(?1, ?2) "
                  "ON CONFLICT(name) DO UPDATE SET value = max(value, ?2)");
  raise.Bind(1, counter);
  raise.Bind(2, static_cast<int64_t>(at_least));
  return raise.Run();
}

Status SqliteStore::ListCounters(std::vector<Counter>* counters) {
  counters->clear();
  ORVAN_STATEMENT(rows, "SELECT name, value FROM counters ORDER BY name");
  Status status;
  while (rows.Step(&status)) {
    if (rows.Int(1) > INT32_MAX || rows.Int(1) < 0) {
      return Status::Storage("the counter '" + rows.Text(0) + "' is out of range");
    }
    counters->push_back({rows.Text(0), static_cast<int32_t>(rows.Int(1))});
  }
  return status;
}

// ---- files ----

namespace {

void ReadFileRow(const Statement& row, bool with_content, FileRecord* file) {
  file->oid = static_cast<int32_t>(row.Int(0));
  file->file_name = row.Text(1);
  file->linked = row.Int(2) != 0;
  file->linked_path = row.Text(3);
  file->holder = row.Text(4);
  file->content = with_content ? row.Text(5) : std::string();
}

}  // namespace

Status SqliteStore::AddFile(FileRecord* file) {
  return Atomically(true, [&] {
    if (file->oid < 1) {
      Status status;
      ORVAN_STATEMENT(row, "SELECT coalesce(max(oid), 0) + 1 FROM files");
      if (!row.Step(&status)) return status;
      if (row.Int(0) > INT32_MAX) return Status::Storage("no file OIDs are left");
      file->oid = static_cast<int32_t>(row.Int(0));
    }
    return PutFile(*file);
  });
}

Status SqliteStore::GetFile(int32_t oid, bool with_content, FileRecord* file) {
  Status status;
  ORVAN_STATEMENT(row,
                  "SELECT oid, file_name, linked, linked_path, holder, "
                  "CASE WHEN ?2 THEN content ELSE x'' END FROM files WHERE oid = ?1");
  row.Bind(1, static_cast<int64_t>(oid));
  row.Bind(2, static_cast<int64_t>(with_content));
  if (!row.Step(&status)) {
    if (!status.ok()) return status;
    return Status::NotFound("file " + std::to_string(oid) + " does not exist");
  }
  ReadFileRow(row, with_content, file);
  return Status::Ok();
}

Status SqliteStore::PutFile(const FileRecord& file) {
  ORVAN_STATEMENT(insert,
                  "INSERT OR REPLACE INTO files(oid, file_name, linked, linked_path, holder, "
                  "content) VALUES(?, ?, ?, ?, ?, ?)");
  insert.Bind(1, static_cast<int64_t>(file.oid));
  insert.Bind(2, std::string_view(file.file_name));
  insert.Bind(3, static_cast<int64_t>(file.linked));
  insert.Bind(4, std::string_view(file.linked_path));
  insert.Bind(5, std::string_view(file.holder));
  insert.BindBlob(6, std::string_view(file.content));
  return insert.Run();
}

Status SqliteStore::ListFiles(std::vector<FileRecord>* files) {
  files->clear();
  ORVAN_STATEMENT(rows,
                  "SELECT oid, file_name, linked, linked_path, holder FROM files ORDER BY oid");
  Status status;
  while (rows.Step(&status)) {
    files->emplace_back();
    ReadFileRow(rows, false, &files->back());
  }
  return status;
}

// ---- privileges ----

Status SqliteStore::GetPrivilege(std::string_view user, std::string_view name, bool* allowed) {
  ORVAN_STATEMENT(row, "SELECT allowed FROM privileges WHERE user = ? AND name = ?");
  row.Bind(1, user);
  row.Bind(2, name);
  Status status;
  *allowed = row.Step(&status) ? row.Int(0) != 0 : true;
  return status;
}

Status SqliteStore::PutPrivilege(const Privilege& privilege) {
  ORVAN_STATEMENT(insert, "INSERT OR REPLACE INTO privileges(user, name, allowed) VALUES(?, ?, ?)");
  insert.Bind(1, std::string_view(privilege.user));
  insert.Bind(2, std::string_view(privilege.name));
  insert.Bind(3, static_cast<int64_t>(privilege.allowed));
  return insert.Run();
}

Status SqliteStore::ListPrivileges(std::vector<Privilege>* privileges) {
  privileges->clear();
  ORVAN_STATEMENT(rows, "SELECT user, name, allowed FROM privileges ORDER BY user, name");
  Status status;
  while (rows.Step(&status)) privileges->push_back({rows.Text(0), rows.Text(1), rows.Int(2) != 0});
  return status;
}

Status SqliteStore::Clear() {
  return Atomically(true, [&] {
    ORVAN_RETURN_IF_ERROR(ReplaceCatalog(Catalog()));
    return Exec(schema::kDeleteRecords);
  });
}

}  // namespace ovc::orvan
