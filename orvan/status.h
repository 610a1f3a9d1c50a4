#pragma once

#include <string>
#include <utility>

namespace ovc::orvan {

// The outcome of a host operation: success, or a failure kind with a message
// meant for a person (UTF-8). Cheap to copy; success carries no text.
class Status {
 public:
  enum class Code {
    kOk,
    kNotFound,         // the named record does not exist
    kInvalidArgument,  // the caller's input is not acceptable
    kRefused,          // the operation is not allowed now (lock, privilege)
    kNotOurs,          // the file is not a workspace of this host
    kStorage,          // the database failed (I/O, busy, corrupt)
  };

  Status() = default;
  static Status Ok() { return Status(); }
  static Status NotFound(std::string message) { return {Code::kNotFound, std::move(message)}; }
  static Status Invalid(std::string message) {
    return {Code::kInvalidArgument, std::move(message)};
  }
  static Status Refused(std::string message) { return {Code::kRefused, std::move(message)}; }
  static Status NotOurs(std::string message) { return {Code::kNotOurs, std::move(message)}; }
  static Status Storage(std::string message) { return {Code::kStorage, std::move(message)}; }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  const std::string& message() const { return message_; }
  // The same failure told with another message.
  Status Retold(std::string message) const { return {code_, std::move(message)}; }

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

  Code code_ = Code::kOk;
  std::string message_;
};

}  // namespace ovc::orvan

// Returns the status from the enclosing function when it is a failure.
#define ORVAN_RETURN_IF_ERROR(expr)                \
  do {                                             \
    ::ovc::orvan::Status orvan_status_ = (expr);   \
    if (!orvan_status_.ok()) return orvan_status_; \
  } while (false)
