#pragma once

#include <libpq-fe.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ovc::orvan {

// The parameters of one statement, every one in binary format with its type
// named, so that numbers never pass through text and bytes are not escaped.
// The texts and bytes are borrowed: they must outlive the execution.
class PgParams {
 public:
  static constexpr int kMax = 12;

  PgParams& Int(int64_t value);
  PgParams& Real(double value);
  PgParams& Real(std::optional<double> value);  // NULL when empty
  PgParams& Text(std::string_view text);
  PgParams& TextOrNull(const std::string* text);  // NULL when null
  PgParams& Bytes(std::string_view bytes);
  PgParams& IntOrNull(const int64_t* value);

  int count() const { return count_; }
  const Oid* types() const { return types_.data(); }
  const char* const* values() const { return values_.data(); }
  const int* lengths() const { return lengths_.data(); }
  const int* formats() const { return formats_.data(); }
  // False when more than kMax parameters were added.
  bool ok() const { return ok_; }

 private:
  PgParams& Add(Oid type, const char* value, size_t length);
  PgParams& AddNumber(Oid type, uint64_t bits, int length);

  int count_ = 0;
  bool ok_ = true;
  std::array<Oid, kMax> types_{};
  std::array<const char*, kMax> values_{};
  std::array<int, kMax> lengths_{};
  std::array<int, kMax> formats_{};
  std::array<std::array<char, 8>, kMax> numbers_{};
};

// The rows of a statement's result in binary format. Readers take a row and a
// column index (both from 0) within the bounds of rows() and the statement.
class PgRows {
 public:
  void Reset(PGresult* result) { result_.reset(result); }

  // True when the statement ran (with or without result rows).
  bool Succeeded() const {
    ExecStatusType status = PQresultStatus(result_.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
  }
  int rows() const { return result_ ? PQntuples(result_.get()) : 0; }
  bool IsNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
  // An integer or boolean column.
  int64_t Int(int row, int column) const;
  double Real(int row, int column) const;
  std::string Text(int row, int column) const;
  std::string_view TextView(int row, int column) const;
  // The number of rows a statement without result rows changed.
  int64_t Changed() const;

 private:
  struct Clear {
    void operator()(PGresult* result) const { PQclear(result); }
  };
  std::unique_ptr<PGresult, Clear> result_;
};

}  // namespace ovc::orvan
