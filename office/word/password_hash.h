#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ovc::word {

// The salted, iterated hash a document keeps for a protection password:
// H0 = H(salt + password as UTF-16LE), then spin_count rounds of
// H = H(H + round number as 4 bytes little-endian), H being the digest
// `algorithm` names ("SHA-512", "SHA-256", ...). `salt` and the result are
// raw bytes; the result is empty for an algorithm that is not known.
std::string HashPassword(std::string_view algorithm, std::wstring_view password,
                         std::string_view salt, uint32_t spin_count);

// Base64 with padding, as the settings part stores hashes and salts.
std::string EncodeBase64(std::string_view bytes);
// False for text that is not padded base64 (white space is not allowed).
bool DecodeBase64(std::string_view text, std::string* bytes);

// `count` random bytes from the system's generator; false when it fails.
bool RandomBytes(size_t count, std::string* bytes);

}  // namespace ovc::word
