#pragma once

#include <atomic>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "automation/com_ptr.h"

namespace ovc {

namespace detail {
// Walks the interface chain of I (I, I::Base, ... IUnknown) and returns the
// subobject whose identifier is `iid`, or null.
template <class I, class Self>
void* CastToInterface(Self* self, const IID& iid) {
  I* as_interface = static_cast<I*>(self);
  if (iid == I::kIid) return as_interface;
  if constexpr (std::is_same_v<I, IUnknown>) {
    return nullptr;
  } else {
    return CastToInterface<typename I::Base>(as_interface, iid);
  }
}
}  // namespace detail

// Reference counting and QueryInterface for a class implementing
// `Interfaces` (each with kIid and Base). The count starts at zero; create
// objects with MakeObject, which hands out the first reference, and never
// delete them directly. The object deletes itself at its last Release.
// Aggregation is not supported.
template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    static_cast<void>(
        (((*object = detail::CastToInterface<Interfaces>(this, iid)) != nullptr) || ...));
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  uint32_t AddRef() override { return references_.fetch_add(1) + 1; }
  uint32_t Release() override {
    const uint32_t remaining = references_.fetch_sub(1) - 1;
    if (remaining == 0) delete this;
    return remaining;
  }

  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::atomic<uint32_t> references_{0};
};

// Creates an object and returns the first reference to it. Throws
// std::bad_alloc like new.
template <class T, class... Args>
ComPtr<T> MakeObject(Args&&... args) {
  return ComPtr<T>(new T(std::forward<Args>(args)...));
}

// Like MakeObject, answering E_OUTOFMEMORY instead of throwing, and handing
// out interface `iid` into *object (E_NOINTERFACE when the class lacks it).
template <class T, class... Args>
HRESULT CreateObject(const IID& iid, void** object, Args&&... args) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  T* created = new (std::nothrow) T(std::forward<Args>(args)...);
  if (created == nullptr) return E_OUTOFMEMORY;
  ComPtr<T> holder(created);
  return holder->QueryInterface(iid, object);
}

}  // namespace ovc
