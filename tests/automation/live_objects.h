#pragma once

#include <atomic>

namespace ovc::objects_testing {

// Counts the live instances of test class T; T derives from LiveObjects<T>
// to make its every construction and destruction visible to a test.
template <class T>
class LiveObjects {
 public:
  static int count() { return live_.load(); }

 protected:
  LiveObjects() { ++live_; }
  LiveObjects(const LiveObjects&) = delete;
  ~LiveObjects() { --live_; }

 private:
  static inline std::atomic<int> live_{0};
};

}  // namespace ovc::objects_testing
