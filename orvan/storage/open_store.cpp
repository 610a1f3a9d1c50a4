#include "orvan/storage/open_store.h"

#include "automation/text.h"
#include "orvan/storage/postgres_store.h"
#include "orvan/storage/sqlite_store.h"

namespace ovc::orvan {

namespace {

constexpr std::string_view kSchemes[] = {"postgresql://", "postgres://"};

// The length of the scheme and "://" that `location` starts with; 0 when it
// starts with none of kSchemes.
size_t SchemeLength(std::string_view location) {
  for (std::string_view scheme : kSchemes) {
    if (EqualsAsciiNoCase(location.substr(0, scheme.size()), scheme)) return scheme.size();
  }
  return 0;
}

int HexValue(char c) {
  if (IsAsciiDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `text` with each %XX replaced by its byte.
std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// "user:password@host" becomes "user@host". The credentials end at the last
// '@' before the first '/', so that a password holding an unencoded '@' is
// dropped whole.
std::string WithoutUserPassword(std::string_view authority_and_rest) {
  size_t end = authority_and_rest.substr(0, authority_and_rest.find('/')).rfind('@');
  if (end == std::string_view::npos) return std::string(authority_and_rest);
  size_t colon = authority_and_rest.substr(0, end).find(':');
  if (colon == std::string_view::npos) return std::string(authority_and_rest);
  return std::string(authority_and_rest.substr(0, colon)) +
         std::string(authority_and_rest.substr(end));
}

// The query text ("a=1&b=2") without its password parameters.
std::string WithoutPasswordParameter(std::string_view query) {
  std::string kept;
  while (true) {
    size_t end = query.find('&');
    std::string_view parameter = query.substr(0, end);
    if (PercentDecoded(parameter.substr(0, parameter.find('='))) != "password") {
      if (!kept.empty()) kept += '&';
      kept += parameter;
    }
    if (end == std::string_view::npos) return kept;
    query.remove_prefix(end + 1);
  }
}

}  // namespace

bool IsDatabaseUri(std::string_view location) { return SchemeLength(location) > 0; }

std::string DisplayLocation(std::string_view location) {
  const size_t scheme = SchemeLength(location);
  if (scheme == 0) return std::string(location);
  std::string shown(location.substr(0, scheme));
  std::string rest = WithoutUserPassword(location.substr(scheme));
  size_t question = rest.find('?');
  if (question == std::string::npos) return shown + rest;
  std::string query = WithoutPasswordParameter(std::string_view(rest).substr(question + 1));
  shown += rest.substr(0, question);
  return query.empty() ? shown : shown + "?" + query;
}

Status OpenStore(const std::string& location, OpenMode mode, std::unique_ptr<Store>* store) {
  if (IsDatabaseUri(location)) {
    std::unique_ptr<PostgresStore> opened;
    ORVAN_RETURN_IF_ERROR(PostgresStore::Open(
        location, DisplayLocation(location),
        mode == OpenMode::kCreate ? PostgresStore::Mode::kCreate : PostgresStore::Mode::kOpen,
        &opened));
    *store = std::move(opened);
    return Status::Ok();
  }
  std::unique_ptr<SqliteStore> opened;
  ORVAN_RETURN_IF_ERROR(SqliteStore::Open(
      location, mode == OpenMode::kCreate ? SqliteStore::Mode::kCreate : SqliteStore::Mode::kOpen,
      &opened));
  *store = std::move(opened);
  return Status::Ok();
}

}  // namespace ovc::orvan
