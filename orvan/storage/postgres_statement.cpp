#include "orvan/storage/postgres_statement.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace ovc::orvan {

namespace {

// Type OIDs fixed by PostgreSQL's catalog.
constexpr Oid kByteaOid = 17;
constexpr Oid kInt8Oid = 20;
constexpr Oid kTextOid = 25;
constexpr Oid kFloat8Oid = 701;

// Binary values travel in network byte order.
uint64_t ReadBigEndian(const char* bytes, int length) {
  uint64_t value = 0;
  for (int i = 0; i < length; ++i) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

}  // namespace

PgParams& PgParams::Add(Oid type, const char* value, size_t length) {
  if (count_ == kMax || length > INT32_MAX) {
    ok_ = false;
    return *this;
  }
  types_[count_] = type;
  values_[count_] = value;
  lengths_[count_] = static_cast<int>(length);
  formats_[count_] = 1;
  ++count_;
  return *this;
}

PgParams& PgParams::AddNumber(Oid type, uint64_t bits, int length) {
  if (count_ == kMax) {
    ok_ = false;
    return *this;
  }
  std::array<char, 8>& bytes = numbers_[count_];
  for (int i = length - 1; i >= 0; --i, bits >>= 8) bytes[i] = static_cast<char>(bits & 0xFF);
  return Add(type, bytes.data(), static_cast<size_t>(length));
}

PgParams& PgParams::Int(int64_t value) {
  return AddNumber(kInt8Oid, static_cast<uint64_t>(value), 8);
}

PgParams& PgParams::IntOrNull(const int64_t* value) {
  return value ? Int(*value) : Add(kInt8Oid, nullptr, 0);
}

PgParams& PgParams::Real(double value) {
  return AddNumber(kFloat8Oid, std::bit_cast<uint64_t>(value), 8);
}

PgParams& PgParams::Real(std::optional<double> value) {
  return value ? Real(*value) : Add(kFloat8Oid, nullptr, 0);
}

// A null pointer is SQL NULL to libpq, so an empty text points at "".
PgParams& PgParams::Text(std::string_view text) {
  return Add(kTextOid, text.empty() ? "" : text.data(), text.size());
}

PgParams& PgParams::TextOrNull(const std::string* text) {
  return text ? Text(*text) : Add(kTextOid, nullptr, 0);
}

PgParams& PgParams::Bytes(std::string_view bytes) {
  return Add(kByteaOid, bytes.empty() ? "" : bytes.data(), bytes.size());
}

int64_t PgRows::Int(int row, int column) const {
  int length = PQgetlength(result_.get(), row, column);
  if (length != 1 && length != 2 && length != 4 && length != 8) return 0;
  uint64_t bits = ReadBigEndian(PQgetvalue(result_.get(), row, column), length);
  // Sign-extend the narrower integer types.
  int unused = 64 - 8 * length;
  return static_cast<int64_t>(bits << unused) >> unused;
}

double PgRows::Real(int row, int column) const {
  if (PQgetlength(result_.get(), row, column) != 8) return 0.0;
  return std::bit_cast<double>(ReadBigEndian(PQgetvalue(result_.get(), row, column), 8));
}

std::string PgRows::Text(int row, int column) const { return std::string(TextView(row, column)); }

std::string_view PgRows::TextView(int row, int column) const {
  return {PQgetvalue(result_.get(), row, column),
          static_cast<size_t>(PQgetlength(result_.get(), row, column))};
}

int64_t PgRows::Changed() const {
  const char* text = result_ ? PQcmdTuples(result_.get()) : "";
  int64_t changed = 0;
  std::from_chars(text, text + std::strlen(text), changed);
  return changed;
}

}  // namespace ovc::orvan
