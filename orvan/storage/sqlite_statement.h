#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "orvan/status.h"

namespace ovc::orvan {

// A prepared statement borrowed from a connection's cache for one execution:
// bind, step, read columns; the destructor resets it and clears its bindings.
// Parameter and column indexes start at 1 and 0 as in SQLite.
class Statement {
 public:
  explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
  void Bind(int index, double value) { sqlite3_bind_double(stmt_, index, value); }
  void Bind(int index, std::string_view text) {
    sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
  }
  void BindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
  }
  void BindNull(int index) { sqlite3_bind_null(stmt_, index); }

  // True with a row to read; false when done or failed (then *status is set).
  bool Step(Status* status);
  // Runs to completion; for statements without result rows.
  Status Run();

  int Type(int column) const { return sqlite3_column_type(stmt_, column); }
  int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  double Real(int column) const { return sqlite3_column_double(stmt_, column); }
  std::string Text(int column) const;
  std::string_view TextView(int column) const;

 private:
  sqlite3_stmt* stmt_;
};

}  // namespace ovc::orvan
