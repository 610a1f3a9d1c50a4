#include "office/word/password_hash.h"

#include <openssl/evp.h>
#include <sys/random.h>

#include <algorithm>
#include <array>
#include <string>

namespace ovc::word {
namespace {

std::string Digest(const EVP_MD* type, std::string_view first, std::string_view second) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  unsigned int size = 0;
  const bool hashed = context != nullptr && EVP_DigestInit_ex(context, type, nullptr) == 1 &&
                      EVP_DigestUpdate(context, first.data(), first.size()) == 1 &&
                      EVP_DigestUpdate(context, second.data(), second.size()) == 1 &&
                      EVP_DigestFinal_ex(context, digest.data(), &size) == 1;
  EVP_MD_CTX_free(context);
  return hashed ? std::string(reinterpret_cast<const char*>(digest.data()), size) : std::string();
}

std::string Utf16Le(std::wstring_view text) {
  std::string bytes;
  for (wchar_t c : text) {
    auto put = [&bytes](uint32_t unit) {
      bytes.push_back(static_cast<char>(unit & 0xFF));
      bytes.push_back(static_cast<char>(unit >> 8));
    };
    const auto code = static_cast<uint32_t>(c);
    if (code > 0xFFFF) {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      put(code);
    }
  }
  return bytes;
}

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string HashPassword(std::string_view algorithm, std::wstring_view password,
                         std::string_view salt, uint32_t spin_count) {
  const EVP_MD* type = EVP_get_digestbyname(std::string(algorithm).c_str());
  if (type == nullptr) return {};
  std::string hash = Digest(type, salt, Utf16Le(password));
  for (uint32_t round = 0; round < spin_count && !hash.empty(); ++round) {
    const char counter[4] = {
        static_cast<char>(round & 0xFF), static_cast<char>((round >> 8) & 0xFF),
        static_cast<char>((round >> 16) & 0xFF), static_cast<char>((round >> 24) & 0xFF)};
    hash = Digest(type, hash, std::string_view(counter, sizeof counter));
  }
  return hash;
}

std::string EncodeBase64(std::string_view bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = 0;
    for (size_t k = 0; k < 3; ++k) {
      group = (group << 8) | (k < left ? static_cast<uint8_t>(bytes[i + k]) : 0u);
    }
    for (size_t k = 0; k < 4; ++k) {
      text.push_back(k <= left ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=');
    }
  }
  return text;
}

bool DecodeBase64(std::string_view text, std::string* bytes) {
  if (text.size() % 4 != 0) return false;
  const size_t padding = text.ends_with("==") ? 2 : text.ends_with('=') ? 1 : 0;
  bytes->clear();
  for (size_t i = 0; i < text.size(); i += 4) {
    uint32_t group = 0;
    for (size_t k = 0; k < 4; ++k) {
      size_t value = 0;
      if (i + k < text.size() - padding) {
        value = kAlphabet.find(text[i + k]);
        if (value == std::string_view::npos) return false;
      }
      group = (group << 6) | static_cast<uint32_t>(value);
    }
    const size_t count = i + 4 == text.size() ? 3 - padding : 3;
    for (size_t k = 0; k < count; ++k) {
      bytes->push_back(static_cast<char>((group >> (16 - 8 * k)) & 0xFF));
    }
  }
  return true;
}

bool RandomBytes(size_t count, std::string* bytes) {
  bytes->assign(count, '\0');
  size_t filled = 0;
  while (filled < count) {
    const ssize_t got = getrandom(bytes->data() + filled, count - filled, 0);
    if (got <= 0) return false;
    filled += static_cast<size_t>(got);
  }
  return true;
}

}  // namespace ovc::word
