#pragma once

#include <atomic>
#include <cstdint>

#include "automation/hresult.h"

namespace ovc {

// The library as a server: counts its live objects and the server locks of
// its clients. The library may be unloaded only while the count is zero.
class ServerModule {
 public:
  // The module of this library, created on first use.
  static ServerModule& Instance();

  ServerModule(const ServerModule&) = delete;
  ServerModule& operator=(const ServerModule&) = delete;

  void Lock() { count_.fetch_add(1); }
  void Unlock() { count_.fetch_sub(1); }
  int32_t lock_count() const { return count_.load(); }

  // S_OK when nothing holds the module, S_FALSE otherwise.
  HRESULT CanUnloadNow() const { return lock_count() == 0 ? S_OK : S_FALSE; }

 private:
  ServerModule() = default;

  std::atomic<int32_t> count_{0};
};

// One lock on the module for as long as it lives; every object of the
// library has one as a member, so that the module counts it.
class ModuleLock {
 public:
  ModuleLock() { ServerModule::Instance().Lock(); }
  ModuleLock(const ModuleLock&) : ModuleLock() {}
  ModuleLock& operator=(const ModuleLock&) { return *this; }
  ~ModuleLock() { ServerModule::Instance().Unlock(); }
};

}  // namespace ovc
