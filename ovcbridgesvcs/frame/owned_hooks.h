#pragma once

namespace ovc {

// A copy of a program's plain-function hooks (a struct with a `context` and
// a `release` hook beside the others) that owns their context: the release
// hook, when there is one, is called once, when the holder goes.
template <class Hooks>
class OwnedHooks {
 public:
  explicit OwnedHooks(const Hooks& hooks) : hooks_(hooks) {}
  OwnedHooks(const OwnedHooks&) = delete;
  OwnedHooks& operator=(const OwnedHooks&) = delete;
  ~OwnedHooks() {
    if (hooks_.release != nullptr) hooks_.release(hooks_.context);
  }

  const Hooks* operator->() const { return &hooks_; }

 private:
  const Hooks hooks_;
};

}  // namespace ovc
