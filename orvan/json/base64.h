#pragma once

#include <string>
#include <string_view>

namespace ovc::orvan {

// Standard base64 (RFC 4648) with padding.
std::string EncodeBase64(std::string_view bytes);
// False, leaving *bytes unchanged, for text that is not padded base64.
bool DecodeBase64(std::string_view text, std::string* bytes);

}  // namespace ovc::orvan
