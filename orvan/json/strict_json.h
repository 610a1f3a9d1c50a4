#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// Reading JSON that must mean one thing only, and naming places in it.
namespace ovc::orvan {

// The JSON pointer (RFC 6901, "/objects/3/oid") of member `key`, or element
// `index`, of the value at `pointer` ("" for the whole document).
std::string PointerBelow(const std::string& pointer, std::string_view key);
std::string PointerBelow(const std::string& pointer, size_t index);

// Parses JSON text as nlohmann::json::parse does, except that a key given
// twice in one object (which would let the last one win silently) throws
// std::invalid_argument "At <pointer>: the key is given twice.". Text that
// is not JSON throws nlohmann::json::exception.
nlohmann::json ParseStrictJson(std::string_view text);

}  // namespace ovc::orvan
