#include "orvan/storage/postgres_store.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "orvan/storage/postgres_statement.h"
#include "orvan/storage/schema.h"

namespace ovc::orvan {

namespace {

// The key of the advisory lock that serialises the writers of one database
// (advisory locks are per database).
constexpr const char* kTakeWriteLock = "SELECT pg_advisory_xact_lock(1330795086)";  // "ORVN"
// As long as the embedded store's busy timeout: a writer waits this long for
// another before it fails.
constexpr const char* kLockTimeout = "SET lock_timeout = 10000";

enum TextKind { kPrefixes = 0, kPostfixes = 1, kSubstitutions = 2 };

// Integers are bigint throughout, so that every integer parameter is an int8.
// A stored scalar keeps its kind by the one of value_real, value_int and
// value_text that is not NULL. Version N + 1 is reached by kMigrations[N].
constexpr const char* kVersion1 = R"sql(
CREATE TABLE orvan_schema(version bigint NOT NULL);
INSERT INTO orvan_schema(version) VALUES(0);
CREATE TABLE meta(key text PRIMARY KEY, value bigint NOT NULL);
CREATE TABLE counters(name text PRIMARY KEY, value bigint NOT NULL);
CREATE TABLE unit_standards(position bigint PRIMARY KEY, name text NOT NULL);
CREATE TABLE quantity_types(id bigint PRIMARY KEY, name text NOT NULL UNIQUE);
CREATE TABLE units(
  quantity_type bigint NOT NULL, position bigint NOT NULL,
  system_name text NOT NULL, text text NOT NULL,
  factor double precision NOT NULL, unit_offset double precision NOT NULL,
  PRIMARY KEY(quantity_type, position));
CREATE TABLE standard_units(
  quantity_type bigint NOT NULL, position bigint NOT NULL,
  standard text NOT NULL, unit text NOT NULL,
  PRIMARY KEY(quantity_type, position));
CREATE TABLE unit_formats(position bigint PRIMARY KEY, unit text NOT NULL, format text NOT NULL);
CREATE TABLE descriptive_texts(
  kind bigint NOT NULL, position bigint NOT NULL, text text NOT NULL,
  PRIMARY KEY(kind, position));
CREATE TABLE class_views(id bigint PRIMARY KEY, name text NOT NULL UNIQUE);
CREATE TABLE routes(
  class_view bigint NOT NULL, position bigint NOT NULL, name text NOT NULL,
  type text NOT NULL, quantity_type text NOT NULL,
  vector bigint NOT NULL, read_only bigint NOT NULL,
  PRIMARY KEY(class_view, position));
CREATE TABLE enum_texts(
  class_view bigint NOT NULL, route bigint NOT NULL, position bigint NOT NULL,
  text text NOT NULL,
  PRIMARY KEY(class_view, route, position));
CREATE TABLE cases(oid bigint PRIMARY KEY, name text NOT NULL);
CREATE TABLE objects(oid bigint PRIMARY KEY, name text NOT NULL, class_view text NOT NULL);
CREATE INDEX objects_by_class_view ON objects(class_view, oid);
CREATE TABLE object_cases(
  object bigint NOT NULL, case_oid bigint NOT NULL,
  PRIMARY KEY(object, case_oid));
CREATE TABLE attribute_values(
  object bigint NOT NULL, route text NOT NULL, case_oid bigint NOT NULL,
  element bigint NOT NULL, value_real double precision, value_int bigint, value_text text,
  entered double precision, entered_unit text NOT NULL,
  prefix text NOT NULL, postfix text NOT NULL, substitution text NOT NULL,
  PRIMARY KEY(object, route, case_oid, element));
CREATE TABLE bridges(
  oid bigint PRIMARY KEY, name text NOT NULL,
  created_by text NOT NULL, date_created text NOT NULL,
  modified_by text NOT NULL, date_modified text NOT NULL,
  lock_holder text NOT NULL, document text NOT NULL);
CREATE TABLE files(
  oid bigint PRIMARY KEY, file_name text NOT NULL, linked bigint NOT NULL,
  linked_path text NOT NULL, holder text NOT NULL, content bytea NOT NULL);
CREATE TABLE privileges(
  user_name text NOT NULL, name text NOT NULL, allowed bigint NOT NULL,
  PRIMARY KEY(user_name, name));
)sql";

// Bridges count their saves, so that a save based on an older copy is seen.
constexpr const char* kVersion2 = R"sql(
ALTER TABLE bridges ADD COLUMN version bigint NOT NULL DEFAULT 0;
)sql";

constexpr const char* kMigrations[] = {kVersion1, kVersion2};
constexpr int kCurrentVersion = static_cast<int>(std::size(kMigrations));

// Every relation a user made in the database, ours or not.
constexpr const char* kCountTables =
    "SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
    "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') "
    "AND n.nspname NOT IN ('pg_catalog', 'information_schema') "
    "AND n.nspname NOT LIKE 'pg\\_toast%' AND n.nspname NOT LIKE 'pg\\_temp%'";

Status NotOursError(const std::string& shown, const std::string& why) {
  return Status::NotOurs("'" + shown + "' is not an Orvan workspace: " + why);
}

// libpq's messages end in a line break.
std::string Trimmed(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

struct ConnectionCloser {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
using Connection = std::unique_ptr<PGconn, ConnectionCloser>;

// Connects to the database of the URI, or to `database` instead when given.
// Texts travel as UTF-8 whatever the client's locale.
Connection Connect(const std::string& uri, const char* database) {
  const char* keywords[] = {"dbname", "client_encoding", "fallback_application_name",
                            database ? "dbname" : nullptr, nullptr};
  const char* values[] = {uri.c_str(), "UTF8", "orvan", database, nullptr};
  return Connection(PQconnectdbParams(keywords, values, 1));
}

Status ConnectionError(const std::string& shown, PGconn* conn) {
  return Status::Storage("cannot connect to '" + shown + "': " + Trimmed(PQerrorMessage(conn)));
}

// Creates the database a connection failed to reach, when it does not exist
// and the role may; else gives the connection's failure.
Status CreateMissingDatabase(const std::string& uri, const std::string& shown, PGconn* failed) {
  Connection maintenance = Connect(uri, "postgres");
  if (PQstatus(maintenance.get()) != CONNECTION_OK) return ConnectionError(shown, failed);
  std::string name = PQdb(failed);
  PgParams params;
  params.Text(name);
  PgRows rows;
  rows.Reset(PQexecParams(maintenance.get(), "SELECT 1 FROM pg_database WHERE datname = $1",
                          params.count(), params.types(), params.values(), params.lengths(),
                          params.formats(), 1));
  if (!rows.Succeeded() || rows.rows() > 0) return ConnectionError(shown, failed);
  // CREATE DATABASE takes no parameters: the name goes in as a quoted identifier.
  char* quoted = PQescapeIdentifier(maintenance.get(), name.c_str(), name.size());
  if (quoted == nullptr) return ConnectionError(shown, failed);
  std::string sql =
      std::string("CREATE DATABASE ") + quoted + " ENCODING 'UTF8' TEMPLATE template0";
  PQfreemem(quoted);
  rows.Reset(PQexec(maintenance.get(), sql.c_str()));
  if (!rows.Succeeded()) {
    return Status::Storage("cannot create the database of '" + shown +
                           "': " + Trimmed(PQerrorMessage(maintenance.get())));
  }
  return Status::Ok();
}

Scalar ReadScalar(const PgRows& rows, int row, int first) {
  if (!rows.IsNull(row, first)) return rows.Real(row, first);
  if (!rows.IsNull(row, first + 1)) return rows.Int(row, first + 1);
  if (!rows.IsNull(row, first + 2)) return rows.Text(row, first + 2);
  return std::monostate();
}

// Columns first..first+8: the scalar's three columns, entered, its unit and
// the three descriptive texts.
Element ReadElement(const PgRows& rows, int row, int first) {
  Element element;
  element.value = ReadScalar(rows, row, first);
  if (!rows.IsNull(row, first + 3)) element.entered = rows.Real(row, first + 3);
  element.entered_unit = rows.Text(row, first + 4);
  element.prefix = rows.Text(row, first + 5);
  element.postfix = rows.Text(row, first + 6);
  element.substitution = rows.Text(row, first + 7);
  return element;
}

int32_t Oid32(const PgRows& rows, int row, int column) {
  return static_cast<int32_t>(rows.Int(row, column));
}

Status NotFoundError(const char* kind, int32_t oid) {
  return Status::NotFound(std::string(kind) + " " + std::to_string(oid) + " does not exist");
}

}  // namespace

Status PostgresStore::Open(const std::string& uri, const std::string& shown, Mode mode,
                           std::unique_ptr<PostgresStore>* store) {
  Connection conn = Connect(uri, nullptr);
  if (PQstatus(conn.get()) != CONNECTION_OK) {
    if (mode == Mode::kOpen) return ConnectionError(shown, conn.get());
    ORVAN_RETURN_IF_ERROR(CreateMissingDatabase(uri, shown, conn.get()));
    conn = Connect(uri, nullptr);
    if (PQstatus(conn.get()) != CONNECTION_OK) return ConnectionError(shown, conn.get());
  }
  std::unique_ptr<PostgresStore> opened(new PostgresStore(conn.release()));
  ORVAN_RETURN_IF_ERROR(opened->Initialize(mode, shown));
  *store = std::move(opened);
  return Status::Ok();
}

PostgresStore::~PostgresStore() { PQfinish(conn_); }

Status PostgresStore::Initialize(Mode mode, const std::string& shown) {
  ORVAN_RETURN_IF_ERROR(Exec(kLockTimeout));
  if (mode == Mode::kCreate) return CreateSchema(shown);
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(Run("SELECT to_regclass('orvan_schema') IS NOT NULL", PgParams(), &rows));
  if (rows.Int(0, 0) == 0) {
    ORVAN_RETURN_IF_ERROR(Run(kCountTables, PgParams(), &rows));
    if (rows.Int(0, 0) == 0) return NotOursError(shown, "the database is empty");
    return NotOursError(shown, "the database belongs to another program");
  }
  if (SchemaVersion() == kCurrentVersion) return Status::Ok();
  return Upgrade(shown);
}

// Checks and creates under the write lock in one transaction, so that two
// processes creating at once make one workspace and a refusal leaves the
// database as it was.
Status PostgresStore::CreateSchema(const std::string& shown) {
  const char* encoding = PQparameterStatus(conn_, "server_encoding");
  if (encoding == nullptr || std::string_view(encoding) != "UTF8") {
    return Status::Invalid("the database of '" + shown +
                           "' does not use the UTF8 encoding and cannot hold every text");
  }
  return Atomically(true, [&] {
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(Run("SELECT to_regclass('orvan_schema') IS NOT NULL", PgParams(), &rows));
    if (rows.Int(0, 0) != 0) return Status::Invalid("the workspace '" + shown + "' already exists");
    ORVAN_RETURN_IF_ERROR(Run(kCountTables, PgParams(), &rows));
    if (rows.Int(0, 0) != 0) {
      return NotOursError(shown, "the database holds the tables of another program");
    }
    return Upgrade(shown);
  });
}

int PostgresStore::SchemaVersion() {
  PgRows rows;
  if (!Run("SELECT version FROM orvan_schema", PgParams(), &rows).ok() || rows.rows() != 1) {
    return -1;
  }
  return static_cast<int>(std::clamp<int64_t>(rows.Int(0, 0), -1, INT32_MAX));
}

// Brings the schema to the current version under the write lock, so that two
// processes opening an old workspace upgrade it once.
Status PostgresStore::Upgrade(const std::string& shown) {
  return Atomically(true, [&] {
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(Run("SELECT to_regclass('orvan_schema') IS NULL", PgParams(), &rows));
    int version = rows.Int(0, 0) != 0 ? 0 : SchemaVersion();
    if (version < 0) return NotOursError(shown, "its schema version is unreadable");
    if (version > kCurrentVersion) {
      return NotOursError(
          shown, "it was written by a newer version (schema " + std::to_string(version) + ")");
    }
    for (int v = version; v < kCurrentVersion; ++v) ORVAN_RETURN_IF_ERROR(Exec(kMigrations[v]));
    if (version == kCurrentVersion) return Status::Ok();
    return Run("UPDATE orvan_schema SET version = $1", PgParams().Int(kCurrentVersion));
  });
}

Status PostgresStore::Exec(const char* sql) {
  PgRows rows;
  rows.Reset(PQexec(conn_, sql));
  return rows.Succeeded() ? Status::Ok() : DatabaseError();
}

Status PostgresStore::DatabaseError() const {
  return Status::Storage("database error: " + Trimmed(PQerrorMessage(conn_)));
}

// A connection the server dropped (a restart, a terminated session) is made
// again before the next operation outside a transaction; the operation that
// met the drop has failed already.
Status PostgresStore::EnsureConnected() {
  if (PQstatus(conn_) == CONNECTION_OK) return Status::Ok();
  PQreset(conn_);
  prepared_.clear();
  if (PQstatus(conn_) != CONNECTION_OK) return DatabaseError();
  return Exec(kLockTimeout);
}

Status PostgresStore::Run(const char* sql, const PgParams& params, PgRows* rows) {
  if (!params.ok()) return Status::Storage("too many statement parameters");
  if (!in_transaction_) ORVAN_RETURN_IF_ERROR(EnsureConnected());
  auto found = prepared_.find(sql);
  if (found == prepared_.end()) {
    std::string name = "orvan" + std::to_string(prepared_.size());
    rows->Reset(PQprepare(conn_, name.c_str(), sql, params.count(), params.types()));
    if (!rows->Succeeded()) return DatabaseError();
    found = prepared_.emplace(sql, std::move(name)).first;
  }
  rows->Reset(PQexecPrepared(conn_, found->second.c_str(), params.count(), params.values(),
                             params.lengths(), params.formats(), 1));
  return rows->Succeeded() ? Status::Ok() : DatabaseError();
}

Status PostgresStore::Run(const char* sql, const PgParams& params) {
  PgRows rows;
  return Run(sql, params, &rows);
}

Status PostgresStore::ChangeOne(const char* sql, const PgParams& params, const char* kind,
                                int32_t oid) {
  return Atomically(true, [&] {
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(Run(sql, params, &rows));
    return rows.Changed() == 0 ? NotFoundError(kind, oid) : Status::Ok();
  });
}

// Must run under the write lock.
Status PostgresStore::NextOid(const char* sql, const char* kind, int32_t* oid) {
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(Run(sql, PgParams(), &rows));
  if (rows.Int(0, 0) > INT32_MAX)
    return Status::Storage(std::string("no ") + kind + " OIDs are left");
  *oid = Oid32(rows, 0, 0);
  return Status::Ok();
}

Status PostgresStore::Begin(bool write) {
  if (in_transaction_) return Status::Invalid("a transaction is already open");
  ORVAN_RETURN_IF_ERROR(EnsureConnected());
  ORVAN_RETURN_IF_ERROR(Exec(write ? "BEGIN" : "BEGIN ISOLATION LEVEL REPEATABLE READ"));
  in_transaction_ = true;
  write_locked_ = false;
  if (!write) return Status::Ok();
  Status status = TakeWriteLock();
  if (!status.ok()) Rollback();
  return status;
}

Status PostgresStore::TakeWriteLock() {
  ORVAN_RETURN_IF_ERROR(Exec(kTakeWriteLock));
  write_locked_ = true;
  return Status::Ok();
}

Status PostgresStore::Commit() {
  if (!in_transaction_) return Status::Invalid("no transaction is open");
  Status status = Exec("COMMIT");
  in_transaction_ = false;
  return status;
}

void PostgresStore::Rollback() {
  if (!in_transaction_) return;
  in_transaction_ = false;
  PQclear(PQexec(conn_, "ROLLBACK"));
}

template <typename Fn>
Status PostgresStore::Atomically(bool write, Fn fn) {
  if (in_transaction_) {
    if (write && !write_locked_) ORVAN_RETURN_IF_ERROR(TakeWriteLock());
    return fn();
  }
  ORVAN_RETURN_IF_ERROR(Begin(write));
  Status status = fn();
  if (!status.ok()) {
    Rollback();
    return status;
  }
  return Commit();
}

// ---- catalog ----

Status PostgresStore::LoadCatalog(Catalog* catalog) {
  return Atomically(false, [&] {
    *catalog = Catalog();
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(
        Run("SELECT name FROM unit_standards ORDER BY position", PgParams(), &rows));
    for (int i = 0; i < rows.rows(); ++i) catalog->unit_standards.push_back(rows.Text(i, 0));
    ORVAN_RETURN_IF_ERROR(Run("SELECT oid, name FROM cases ORDER BY oid", PgParams(), &rows));
    for (int i = 0; i < rows.rows(); ++i) {
      catalog->cases.push_back({Oid32(rows, i, 0), rows.Text(i, 1)});
    }
    ORVAN_RETURN_IF_ERROR(Run("SELECT key, value FROM meta", PgParams(), &rows));
    for (int i = 0; i < rows.rows(); ++i) {
      if (rows.TextView(i, 0) == "default_case") catalog->default_case = Oid32(rows, i, 1);
      if (rows.TextView(i, 0) == "governing_case") catalog->governing_case = Oid32(rows, i, 1);
    }
    ORVAN_RETURN_IF_ERROR(
        Run("SELECT unit, format FROM unit_formats ORDER BY position", PgParams(), &rows));
    for (int i = 0; i < rows.rows(); ++i) {
      catalog->unit_formats.push_back({rows.Text(i, 0), rows.Text(i, 1)});
    }
    ORVAN_RETURN_IF_ERROR(LoadUnits(catalog));
    ORVAN_RETURN_IF_ERROR(LoadTexts(catalog));
    return LoadClassViews(catalog);
  });
}

Status PostgresStore::LoadUnits(Catalog* catalog) {
  std::unordered_map<int64_t, size_t> index;
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(Run("SELECT id, name FROM quantity_types ORDER BY id", PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    index[rows.Int(i, 0)] = catalog->quantity_types.size();
    catalog->quantity_types.push_back({rows.Text(i, 1), {}, {}});
  }
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT quantity_type, system_name, text, factor, unit_offset FROM units "
          "ORDER BY quantity_type, position",
          PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    auto found = index.find(rows.Int(i, 0));
    if (found == index.end()) continue;
    catalog->quantity_types[found->second].units.push_back(
        {rows.Text(i, 1), rows.Text(i, 2), rows.Real(i, 3), rows.Real(i, 4)});
  }
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT quantity_type, standard, unit FROM standard_units "
          "ORDER BY quantity_type, position",
          PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    auto found = index.find(rows.Int(i, 0));
    if (found == index.end()) continue;
    catalog->quantity_types[found->second].standard_units.emplace_back(rows.Text(i, 1),
                                                                       rows.Text(i, 2));
  }
  return Status::Ok();
}

Status PostgresStore::LoadTexts(Catalog* catalog) {
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT kind, text FROM descriptive_texts ORDER BY kind, position", PgParams(), &rows));
  std::vector<std::string>* lists[] = {&catalog->texts.prefixes, &catalog->texts.postfixes,
                                       &catalog->texts.substitutions};
  for (int i = 0; i < rows.rows(); ++i) {
    int64_t kind = rows.Int(i, 0);
    if (kind >= kPrefixes && kind <= kSubstitutions) lists[kind]->push_back(rows.Text(i, 1));
  }
  return Status::Ok();
}

Status PostgresStore::LoadClassViews(Catalog* catalog) {
  std::unordered_map<int64_t, size_t> index;
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(Run("SELECT id, name FROM class_views ORDER BY id", PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    index[rows.Int(i, 0)] = catalog->class_views.size();
    catalog->class_views.push_back({rows.Text(i, 1), {}});
  }
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT class_view, name, type, quantity_type, vector, read_only FROM routes "
          "ORDER BY class_view, position",
          PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    auto found = index.find(rows.Int(i, 0));
    if (found == index.end()) continue;
    Route route;
    route.name = rows.Text(i, 1);
    if (!ParseTypeName(rows.TextView(i, 2), &route.type)) {
      return Status::Storage("unknown attribute type '" + rows.Text(i, 2) + "' of route '" +
                             route.name + "'");
    }
    route.quantity_type = rows.Text(i, 3);
    route.vector = rows.Int(i, 4) != 0;
    route.read_only = rows.Int(i, 5) != 0;
    catalog->class_views[found->second].routes.push_back(std::move(route));
  }
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT class_view, route, text FROM enum_texts ORDER BY class_view, route, position",
          PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    auto found = index.find(rows.Int(i, 0));
    if (found == index.end()) continue;
    auto& routes = catalog->class_views[found->second].routes;
    int64_t route = rows.Int(i, 1);
    if (route >= 0 && static_cast<uint64_t>(route) < routes.size()) {
      routes[static_cast<size_t>(route)].enum_texts.push_back(rows.Text(i, 2));
    }
  }
  return Status::Ok();
}

Status PostgresStore::ReplaceCatalog(const Catalog& catalog) {
  return Atomically(true, [&] {
    ORVAN_RETURN_IF_ERROR(Exec(schema::kDeleteCatalog));
    return InsertCatalog(catalog);
  });
}

Status PostgresStore::InsertCatalog(const Catalog& catalog) {
  for (size_t i = 0; i < catalog.unit_standards.size(); ++i) {
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO unit_standards(position, name) VALUES($1, $2)",
            PgParams().Int(static_cast<int64_t>(i)).Text(catalog.unit_standards[i])));
  }
  for (size_t i = 0; i < catalog.quantity_types.size(); ++i) {
    ORVAN_RETURN_IF_ERROR(
        InsertQuantityType(static_cast<int64_t>(i) + 1, catalog.quantity_types[i]));
  }
  for (size_t i = 0; i < catalog.unit_formats.size(); ++i) {
    const UnitFormat& format = catalog.unit_formats[i];
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO unit_formats(position, unit, format) VALUES($1, $2, $3)",
            PgParams().Int(static_cast<int64_t>(i)).Text(format.unit).Text(format.format)));
  }
  const std::vector<std::string>* lists[] = {&catalog.texts.prefixes, &catalog.texts.postfixes,
                                             &catalog.texts.substitutions};
  for (int64_t kind = kPrefixes; kind <= kSubstitutions; ++kind) {
    const auto& texts = *lists[kind];
    for (size_t i = 0; i < texts.size(); ++i) {
      ORVAN_RETURN_IF_ERROR(
          Run("INSERT INTO descriptive_texts(kind, position, text) VALUES($1, $2, $3)",
              PgParams().Int(kind).Int(static_cast<int64_t>(i)).Text(texts[i])));
    }
  }
  for (size_t i = 0; i < catalog.class_views.size(); ++i) {
    ORVAN_RETURN_IF_ERROR(InsertClassView(static_cast<int64_t>(i) + 1, catalog.class_views[i]));
  }
  for (const Case& c : catalog.cases) {
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO cases(oid, name) VALUES($1, $2)", PgParams().Int(c.oid).Text(c.name)));
  }
  constexpr const char* kSetMeta = "INSERT INTO meta(key, value) VALUES($1, $2)";
  ORVAN_RETURN_IF_ERROR(Run(kSetMeta, PgParams().Text("default_case").Int(catalog.default_case)));
  return Run(kSetMeta, PgParams().Text("governing_case").Int(catalog.governing_case));
}

Status PostgresStore::InsertQuantityType(int64_t id, const QuantityType& type) {
  ORVAN_RETURN_IF_ERROR(Run("INSERT INTO quantity_types(id, name) VALUES($1, $2)",
                            PgParams().Int(id).Text(type.name)));
  for (size_t i = 0; i < type.units.size(); ++i) {
    const Unit& unit = type.units[i];
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO units(quantity_type, position, system_name, text, factor, unit_offset) "
            "VALUES($1, $2, $3, $4, $5, $6)",
            PgParams()
                .Int(id)
                .Int(static_cast<int64_t>(i))
                .Text(unit.system_name)
                .Text(unit.text)
                .Real(unit.factor)
                .Real(unit.offset)));
  }
  for (size_t i = 0; i < type.standard_units.size(); ++i) {
    const auto& [standard, unit] = type.standard_units[i];
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO standard_units(quantity_type, position, standard, unit) "
            "VALUES($1, $2, $3, $4)",
            PgParams().Int(id).Int(static_cast<int64_t>(i)).Text(standard).Text(unit)));
  }
  return Status::Ok();
}

Status PostgresStore::InsertClassView(int64_t id, const ClassView& view) {
  ORVAN_RETURN_IF_ERROR(
      Run("INSERT INTO class_views(id, name) VALUES($1, $2)", PgParams().Int(id).Text(view.name)));
  for (size_t i = 0; i < view.routes.size(); ++i) {
    const Route& route = view.routes[i];
    auto position = static_cast<int64_t>(i);
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO routes(class_view, position, name, type, quantity_type, vector, "
            "read_only) VALUES($1, $2, $3, $4, $5, $6, $7)",
            PgParams()
                .Int(id)
                .Int(position)
                .Text(route.name)
                .Text(TypeName(route.type))
                .Text(route.quantity_type)
                .Int(route.vector)
                .Int(route.read_only)));
    for (size_t k = 0; k < route.enum_texts.size(); ++k) {
      ORVAN_RETURN_IF_ERROR(Run(
          "INSERT INTO enum_texts(class_view, route, position, text) VALUES($1, $2, $3, $4)",
          PgParams().Int(id).Int(position).Int(static_cast<int64_t>(k)).Text(route.enum_texts[k])));
    }
  }
  return Status::Ok();
}

// ---- objects ----

Status PostgresStore::ReadCases(int32_t object, std::vector<int32_t>* cases) {
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(Run("SELECT case_oid FROM object_cases WHERE object = $1 ORDER BY case_oid",
                            PgParams().Int(object), &rows));
  cases->clear();
  for (int i = 0; i < rows.rows(); ++i) cases->push_back(Oid32(rows, i, 0));
  return Status::Ok();
}

Status PostgresStore::GetObject(int32_t oid, ObjectRecord* object) {
  return Atomically(false, [&] {
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(
        Run("SELECT name, class_view FROM objects WHERE oid = $1", PgParams().Int(oid), &rows));
    if (rows.rows() == 0) return NotFoundError("object", oid);
    object->oid = oid;
    object->name = rows.Text(0, 0);
    object->class_view = rows.Text(0, 1);
    return ReadCases(oid, &object->cases);
  });
}

Status PostgresStore::ListObjects(std::string_view class_view, std::vector<ObjectRecord>* objects) {
  return Atomically(false, [&] {
    objects->clear();
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(
        Run("SELECT oid, name, class_view FROM objects "
            "WHERE $1 = '' OR class_view = $1 ORDER BY oid",
            PgParams().Text(class_view), &rows));
    for (int i = 0; i < rows.rows(); ++i) {
      objects->push_back({Oid32(rows, i, 0), rows.Text(i, 1), rows.Text(i, 2), {}});
    }
    for (ObjectRecord& object : *objects)
      ORVAN_RETURN_IF_ERROR(ReadCases(object.oid, &object.cases));
    return Status::Ok();
  });
}

Status PostgresStore::PutObject(const ObjectRecord& object) {
  return Atomically(true, [&] {
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO objects(oid, name, class_view) VALUES($1, $2, $3) "
            "ON CONFLICT(oid) DO UPDATE SET name = EXCLUDED.name, class_view = EXCLUDED.class_view",
            PgParams().Int(object.oid).Text(object.name).Text(object.class_view)));
    ORVAN_RETURN_IF_ERROR(
        Run("DELETE FROM object_cases WHERE object = $1", PgParams().Int(object.oid)));
    for (int32_t case_oid : object.cases) {
      ORVAN_RETURN_IF_ERROR(
          Run("INSERT INTO object_cases(object, case_oid) VALUES($1, $2) "
              "ON CONFLICT DO NOTHING",
              PgParams().Int(object.oid).Int(case_oid)));
    }
    return Status::Ok();
  });
}

// ---- values ----

Status PostgresStore::GetValue(const ValueKey& key, std::vector<Element>* elements) {
  elements->clear();
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT value_real, value_int, value_text, entered, entered_unit, prefix, postfix, "
          "substitution FROM attribute_values WHERE object = $1 AND route = $2 AND case_oid = $3 "
          "ORDER BY element",
          PgParams().Int(key.object).Text(key.route).Int(key.case_oid), &rows));
  for (int i = 0; i < rows.rows(); ++i) elements->push_back(ReadElement(rows, i, 0));
  return Status::Ok();
}

Status PostgresStore::PutValue(const ValueKey& key, const std::vector<Element>& elements) {
  return Atomically(true, [&] {
    ORVAN_RETURN_IF_ERROR(
        Run("DELETE FROM attribute_values WHERE object = $1 AND route = $2 AND case_oid = $3",
            PgParams().Int(key.object).Text(key.route).Int(key.case_oid)));
    for (size_t i = 0; i < elements.size(); ++i) {
      const Element& element = elements[i];
      const auto* real = std::get_if<double>(&element.value);
      ORVAN_RETURN_IF_ERROR(
          Run("INSERT INTO attribute_values(object, route, case_oid, element, value_real, "
              "value_int, value_text, entered, entered_unit, prefix, postfix, substitution) "
              "VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12)",
              PgParams()
                  .Int(key.object)
                  .Text(key.route)
                  .Int(key.case_oid)
                  .Int(static_cast<int64_t>(i))
                  .Real(real ? std::optional<double>(*real) : std::nullopt)
                  .IntOrNull(std::get_if<int64_t>(&element.value))
                  .TextOrNull(std::get_if<std::string>(&element.value))
                  .Real(element.entered)
                  .Text(element.entered_unit)
                  .Text(element.prefix)
                  .Text(element.postfix)
                  .Text(element.substitution)));
    }
    return Status::Ok();
  });
}

// Texts are ordered by their bytes, as in the embedded store, whatever the
// database's collation.
Status PostgresStore::ListValues(std::vector<StoredValue>* values) {
  return Atomically(false, [&] {
    values->clear();
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(
        Run("SELECT object, route, case_oid, value_real, value_int, value_text, entered, "
            "entered_unit, prefix, postfix, substitution FROM attribute_values "
            "ORDER BY object, route COLLATE \"C\", case_oid, element",
            PgParams(), &rows));
    for (int i = 0; i < rows.rows(); ++i) {
      ValueKey key{Oid32(rows, i, 0), rows.Text(i, 1), Oid32(rows, i, 2)};
      if (values->empty() || values->back().key.object != key.object ||
          values->back().key.route != key.route || values->back().key.case_oid != key.case_oid) {
        values->push_back({std::move(key), {}});
      }
      values->back().elements.push_back(ReadElement(rows, i, 3));
    }
    return Status::Ok();
  });
}

// ---- bridges ----

namespace {

void ReadBridgeRow(const PgRows& rows, int row, BridgeRecord* bridge) {
  bridge->oid = Oid32(rows, row, 0);
  bridge->name = rows.Text(row, 1);
  bridge->created_by = rows.Text(row, 2);
  bridge->date_created = rows.Text(row, 3);
  bridge->modified_by = rows.Text(row, 4);
  bridge->date_modified = rows.Text(row, 5);
  bridge->lock_holder = rows.Text(row, 6);
  bridge->version = rows.Int(row, 7);
}

}  // namespace

Status PostgresStore::AddBridge(BridgeRecord* bridge) {
  return Atomically(true, [&] {
    if (bridge->oid < 1) {
      ORVAN_RETURN_IF_ERROR(
          NextOid("SELECT coalesce(max(oid), 0) + 1 FROM bridges", "bridge", &bridge->oid));
    }
    return PutBridge(*bridge);
  });
}

Status PostgresStore::GetBridge(int32_t oid, bool with_document, BridgeRecord* bridge) {
  PgRows rows;
  // The document is read only when asked for; it is most of the row.
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT oid, name, created_by, date_created, modified_by, date_modified, lock_holder, "
          "version, CASE WHEN $2 <> 0 THEN document ELSE '' END FROM bridges WHERE oid = $1",
          PgParams().Int(oid).Int(with_document), &rows));
  if (rows.rows() == 0) return NotFoundError("bridge", oid);
  ReadBridgeRow(rows, 0, bridge);
  bridge->document = rows.Text(0, 8);
  return Status::Ok();
}

Status PostgresStore::PutBridge(const BridgeRecord& bridge) {
  return Atomically(true, [&] {
    return Run(
        "INSERT INTO bridges(oid, name, created_by, date_created, modified_by, date_modified, "
        "lock_holder, document, version) VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9) "
        "ON CONFLICT(oid) DO UPDATE SET name = EXCLUDED.name, created_by = EXCLUDED.created_by, "
        "date_created = EXCLUDED.date_created, modified_by = EXCLUDED.modified_by, "
        "date_modified = EXCLUDED.date_modified, lock_holder = EXCLUDED.lock_holder, "
        "document = EXCLUDED.document, version = EXCLUDED.version",
        PgParams()
            .Int(bridge.oid)
            .Text(bridge.name)
            .Text(bridge.created_by)
            .Text(bridge.date_created)
            .Text(bridge.modified_by)
            .Text(bridge.date_modified)
            .Text(bridge.lock_holder)
            .Text(bridge.document)
            .Int(bridge.version));
  });
}

Status PostgresStore::SetBridgeLock(int32_t oid, std::string_view holder) {
  return ChangeOne("UPDATE bridges SET lock_holder = $1 WHERE oid = $2",
                   PgParams().Text(holder).Int(oid), "bridge", oid);
}

Status PostgresStore::DeleteBridge(int32_t oid) {
  return ChangeOne("DELETE FROM bridges WHERE oid = $1", PgParams().Int(oid), "bridge", oid);
}

Status PostgresStore::ListBridges(std::vector<BridgeRecord>* bridges) {
  bridges->clear();
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT oid, name, created_by, date_created, modified_by, "
          "date_modified, lock_holder, version FROM bridges ORDER BY oid",
          PgParams(), &rows));
  bridges->resize(static_cast<size_t>(rows.rows()));
  for (int i = 0; i < rows.rows(); ++i) ReadBridgeRow(rows, i, &(*bridges)[i]);
  return Status::Ok();
}

Status PostgresStore::NextNumber(std::string_view counter, int32_t* number) {
  return Atomically(true, [&] {
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(
        Run("INSERT INTO counters(name, value) VALUES($1, 1) "
            "ON CONFLICT(name) DO UPDATE SET value = counters.value + 1 "
            "RETURNING value",
            PgParams().Text(counter), &rows));
    if (rows.Int(0, 0) > INT32_MAX) return Status::Storage("the counter is exhausted");
    *number = Oid32(rows, 0, 0);
    return Status::Ok();
  });
}

Status PostgresStore::RaiseCounter(std::string_view counter, int32_t at_least) {
  return Atomically(true, [&] {
    return Run(
        "INSERT INTO counters(name, value) VALUES($1, $2) "
        "ON CONFLICT(name) DO UPDATE SET value = greatest(counters.value, $2)",
        PgParams().Text(counter).Int(at_least));
  });
}

Status PostgresStore::ListCounters(std::vector<Counter>* counters) {
  counters->clear();
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT name, value FROM counters ORDER BY name COLLATE \"C\"", PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    if (rows.Int(i, 1) < 0 || rows.Int(i, 1) > INT32_MAX) {
      return Status::Storage("the counter '" + rows.Text(i, 0) + "' is out of range");
    }
    counters->push_back({rows.Text(i, 0), Oid32(rows, i, 1)});
  }
  return Status::Ok();
}

// ---- files ----

namespace {

void ReadFileRow(const PgRows& rows, int row, FileRecord* file) {
  file->oid = Oid32(rows, row, 0);
  file->file_name = rows.Text(row, 1);
  file->linked = rows.Int(row, 2) != 0;
  file->linked_path = rows.Text(row, 3);
  file->holder = rows.Text(row, 4);
  file->content = rows.Text(row, 5);
}

}  // namespace

Status PostgresStore::AddFile(FileRecord* file) {
  return Atomically(true, [&] {
    if (file->oid < 1) {
      ORVAN_RETURN_IF_ERROR(
          NextOid("SELECT coalesce(max(oid), 0) + 1 FROM files", "file", &file->oid));
    }
    return PutFile(*file);
  });
}

Status PostgresStore::GetFile(int32_t oid, bool with_content, FileRecord* file) {
  return Atomically(false, [&] {
    PgRows rows;
    ORVAN_RETURN_IF_ERROR(
        Run("SELECT oid, file_name, linked, linked_path, holder, ''::bytea, octet_length(content) "
            "FROM files WHERE oid = $1",
            PgParams().Int(oid), &rows));
    if (rows.rows() == 0) return NotFoundError("file", oid);
    ReadFileRow(rows, 0, file);
    return with_content ? ReadContent(oid, rows.Int(0, 6), &file->content) : Status::Ok();
  });
}

// In slices, so that a large content is held whole only once: libpq would
// also hold all of it in its input buffer and again in its result.
Status PostgresStore::ReadContent(int32_t oid, int64_t size, std::string* content) {
  constexpr int64_t kSlice = 1 << 20;
  content->clear();
  content->reserve(static_cast<size_t>(size));
  while (static_cast<int64_t>(content->size()) < size) {
    PgRows slice;
    ORVAN_RETURN_IF_ERROR(Run(
        "SELECT substring(content FROM $2::integer FOR $3::integer) FROM files WHERE oid = $1",
        PgParams().Int(oid).Int(static_cast<int64_t>(content->size()) + 1).Int(kSlice), &slice));
    if (slice.rows() == 0 || slice.TextView(0, 0).empty()) return NotFoundError("file", oid);
    content->append(slice.TextView(0, 0));
  }
  return Status::Ok();
}

Status PostgresStore::PutFile(const FileRecord& file) {
  return Atomically(true, [&] {
    return Run(
        "INSERT INTO files(oid, file_name, linked, linked_path, holder, content) "
        "VALUES($1, $2, $3, $4, $5, $6) "
        "ON CONFLICT(oid) DO UPDATE SET file_name = EXCLUDED.file_name, linked = EXCLUDED.linked, "
        "linked_path = EXCLUDED.linked_path, holder = EXCLUDED.holder, content = EXCLUDED.content",
        PgParams()
            .Int(file.oid)
            .Text(file.file_name)
            .Int(file.linked)
            .Text(file.linked_path)
            .Text(file.holder)
            .Bytes(file.content));
  });
}

Status PostgresStore::ListFiles(std::vector<FileRecord>* files) {
  files->clear();
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT oid, file_name, linked, linked_path, holder, ''::bytea "
          "FROM files ORDER BY oid",
          PgParams(), &rows));
  files->resize(static_cast<size_t>(rows.rows()));
  for (int i = 0; i < rows.rows(); ++i) ReadFileRow(rows, i, &(*files)[i]);
  return Status::Ok();
}

// ---- privileges ----

Status PostgresStore::GetPrivilege(std::string_view user, std::string_view name, bool* allowed) {
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(Run("SELECT allowed FROM privileges WHERE user_name = $1 AND name = $2",
                            PgParams().Text(user).Text(name), &rows));
  *allowed = rows.rows() == 0 || rows.Int(0, 0) != 0;
  return Status::Ok();
}

Status PostgresStore::PutPrivilege(const Privilege& privilege) {
  return Atomically(true, [&] {
    return Run(
        "INSERT INTO privileges(user_name, name, allowed) VALUES($1, $2, $3) "
        "ON CONFLICT(user_name, name) DO UPDATE SET allowed = EXCLUDED.allowed",
        PgParams().Text(privilege.user).Text(privilege.name).Int(privilege.allowed));
  });
}

Status PostgresStore::ListPrivileges(std::vector<Privilege>* privileges) {
  privileges->clear();
  PgRows rows;
  ORVAN_RETURN_IF_ERROR(
      Run("SELECT user_name, name, allowed FROM privileges "
          "ORDER BY user_name COLLATE \"C\", name COLLATE \"C\"",
          PgParams(), &rows));
  for (int i = 0; i < rows.rows(); ++i) {
    privileges->push_back({rows.Text(i, 0), rows.Text(i, 1), rows.Int(i, 2) != 0});
  }
  return Status::Ok();
}

Status PostgresStore::Clear() {
  return Atomically(true, [&] {
    ORVAN_RETURN_IF_ERROR(ReplaceCatalog(Catalog()));
    return Exec(schema::kDeleteRecords);
  });
}

}  // namespace ovc::orvan
