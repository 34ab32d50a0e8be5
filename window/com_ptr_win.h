#pragma once

// Owns one COM reference, released when the owner goes.

#include <unknwn.h>

#include <utility>

namespace kelto {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over the one reference `owned` carries.
  explicit ComPtr(Interface* owned) : pointer_(owned) {}
  ~ComPtr() { Reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For a call that hands out a new reference: whatever was held is released first.
  void** Out() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  void Reset() {
    if (Interface* held = std::exchange(pointer_, nullptr)) {
      held->Release();
    }
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace kelto
