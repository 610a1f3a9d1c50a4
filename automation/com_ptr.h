#pragma once

#include <cstddef>
#include <utility>

#include "automation/unknown.h"

namespace ovc {

// An owning, reference-counted pointer to an interface. Safe when empty:
// every operation on an empty ComPtr is defined (As fails with E_POINTER,
// get returns null).
template <class T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ComPtr(std::nullptr_t) noexcept {}
  // Takes a new reference to `pointer`.
  explicit ComPtr(T* pointer) noexcept : pointer_(pointer) { AddRefPointer(); }
  ComPtr(const ComPtr& other) noexcept : pointer_(other.pointer_) { AddRefPointer(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  template <class U>
  ComPtr(const ComPtr<U>& other) noexcept : pointer_(other.get()) {
    AddRefPointer();
  }
  template <class U>
  ComPtr(ComPtr<U>&& other) noexcept : pointer_(other.Detach()) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }

  // Adopts a pointer whose reference the caller already owns.
  static ComPtr Attach(T* pointer) noexcept {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }
  // Gives up ownership without releasing.
  T* Detach() noexcept { return std::exchange(pointer_, nullptr); }

  void Reset() noexcept {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }

  T* get() const noexcept { return pointer_; }
  T* operator->() const noexcept { return pointer_; }
  T& operator*() const noexcept { return *pointer_; }
  explicit operator bool() const noexcept { return pointer_ != nullptr; }

  // Releases the current pointer and returns the address to receive a new,
  // already AddRef'd one (for [out] arguments).
  T** Receive() noexcept {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }

  // QueryInterface for U. Leaves *result empty on failure.
  template <class U>
  HRESULT As(ComPtr<U>* result) const {
    if (result == nullptr) return E_POINTER;
    if (pointer_ == nullptr) {
      result->Reset();
      return E_POINTER;
    }
    return pointer_->QueryInterface(U::kIid, result->ReceiveVoid());
  }
  template <class U>
  ComPtr<U> As() const {
    ComPtr<U> result;
    As(&result);
    return result;
  }

  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.pointer_ == b.pointer_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.pointer_ == nullptr; }

 private:
  void AddRefPointer() {
    if (pointer_ != nullptr) pointer_->AddRef();
  }

  T* pointer_ = nullptr;
};

// Two interface pointers denote the same object when their IUnknown
// pointers are equal.
bool IsSameObject(IUnknown* a, IUnknown* b);

}  // namespace ovc
