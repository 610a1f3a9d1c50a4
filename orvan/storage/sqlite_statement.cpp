#include "orvan/storage/sqlite_statement.h"

namespace ovc::orvan {

Statement::~Statement() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool Statement::Step(Status* status) {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) {
    sqlite3* db = sqlite3_db_handle(stmt_);
    *status = Status::Storage(std::string("database error: ") + sqlite3_errmsg(db));
  }
  return false;
}

Status Statement::Run() {
  Status status;
  while (Step(&status)) {
  }
  return status;
}

std::string Statement::Text(int column) const { return std::string(TextView(column)); }

std::string_view Statement::TextView(int column) const {
  // Blob access also serves text columns and keeps embedded NUL characters.
  const void* data = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  if (data == nullptr) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<size_t>(size));
}

}  // namespace ovc::orvan
