#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "orvan/storage/sqlite_store.h"

// Shared by the libFuzzer targets in this folder. Each target is a program
// that runs the inputs given to it as files, or fuzzes from a corpus folder.
namespace ovc::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Ends the run as a crash when a property of the code under test does not
// hold, so that the fuzzer keeps the input that broke it.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

inline void Require(const orvan::Status& status, const char* what) {
  if (!status.ok()) std::fprintf(stderr, "%s\n", status.message().c_str());
  Require(status.ok(), what);
}

// A new, empty workspace in memory.
inline std::unique_ptr<orvan::SqliteStore> NewMemoryStore() {
  std::unique_ptr<orvan::SqliteStore> store;
  Require(orvan::SqliteStore::Open(":memory:", orvan::SqliteStore::Mode::kCreate, &store),
          "an empty workspace opens in memory");
  return store;
}

// The file each input is written to (WriteScratch); removed when the fuzzer
// exits.
inline const std::string& ScratchFile() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr ? folder : "/tmp") + "/package-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    fuzz::Require(fd >= 0, "a scratch file can be made");
    ::close(fd);
    return pattern;
  }();
  static const bool removed_at_exit = [] {
    return std::atexit([] { ::unlink(path.c_str()); }) == 0;
  }();
  (void)removed_at_exit;
  return path;
}

inline void WriteScratch(std::string_view bytes) {
  FILE* file = std::fopen(ScratchFile().c_str(), "wb");
  fuzz::Require(file != nullptr, "the scratch file opens");
  fuzz::Require(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(),
                "the input is written");
  std::fclose(file);
}

}  // namespace ovc::fuzz
