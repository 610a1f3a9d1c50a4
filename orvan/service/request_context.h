#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orvan/status.h"
#include "orvan/storage/store.h"

namespace ovc::orvan {

// What a request handler works with; all text UTF-8. The handler runs inside
// the transaction that the data service opened for it.
struct RequestContext {
  Store* store = nullptr;
  std::string user;
  std::vector<std::pair<std::string, std::string>> parameters;

  // The parameter of that name (exact), or null.
  const std::string* Parameter(std::string_view name) const {
    for (const auto& [key, value] : parameters) {
      if (key == name) return &value;
    }
    return nullptr;
  }
};

// Answers one method: fills *response on success; a failure undoes the
// request's transaction.
using RequestHandler = Status (*)(const RequestContext& context, std::string_view request,
                                  std::string* response);

}  // namespace ovc::orvan
