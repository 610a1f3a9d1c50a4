#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "automation/class_registry.h"
#include "ovcbridgesvcs/frame/class_factory.h"
#include "ovcbridgesvcs/frame/class_table.h"

namespace ovc::frame_testing {

// While it lives, every class of the library is served in this process by
// its class object, found by CLSID and ProgID, as in a program that
// registered the library: objects that make other objects of the library by
// class find them.
class LibraryRegistered {
 public:
  LibraryRegistered() {
    for (const LibraryClass& entry : LibraryClasses().classes()) {
      uint32_t cookie = 0;
      EXPECT_EQ(CoRegisterClassObject(
                    entry.coclass->clsid, CreateClassFactory(entry).get(), CLSCTX_INPROC_SERVER,
                    &cookie, {ProgId(*entry.coclass), VersionedProgId(*entry.coclass), {}}),
                S_OK);
      cookies_.push_back(cookie);
    }
  }
  ~LibraryRegistered() {
    for (uint32_t cookie : cookies_) CoRevokeClassObject(cookie);
  }
  LibraryRegistered(const LibraryRegistered&) = delete;
  LibraryRegistered& operator=(const LibraryRegistered&) = delete;

 private:
  std::vector<uint32_t> cookies_;
};

}  // namespace ovc::frame_testing
