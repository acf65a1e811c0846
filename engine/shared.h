#pragma once
// Shared<T>: one word that the audio thread, the GUI thread and the remote
// threads read and write without locks. Every access is a relaxed atomic load
// or store, so a field is always read and written whole; no ordering between
// two fields is promised. The wrapper converts to and from T so that module
// code reads like plain arithmetic on the field.

#include <atomic>

template <typename T>
class Shared {
 public:
  static_assert(std::atomic<T>::is_always_lock_free, "a shared field must be one lock-free word");

  constexpr Shared(T v = T()) noexcept : word_(v) {}
  Shared(const Shared& other) noexcept : word_(other.load()) {}

  T load() const noexcept { return word_.load(std::memory_order_relaxed); }
  void store(T v) noexcept { word_.store(v, std::memory_order_relaxed); }
  operator T() const noexcept { return load(); }

  Shared& operator=(T v) noexcept {
    store(v);
    return *this;
  }
  Shared& operator=(const Shared& other) noexcept {
    store(other.load());
    return *this;
  }
  // Compound assignments are a load then a store, not one atomic step: each
  // field has one writer at a time.
  Shared& operator+=(T d) noexcept {
    store(load() + d);
    return *this;
  }
  Shared& operator-=(T d) noexcept {
    store(load() - d);
    return *this;
  }
  Shared& operator*=(T d) noexcept {
    store(load() * d);
    return *this;
  }
  Shared& operator/=(T d) noexcept {
    store(load() / d);
    return *this;
  }

 private:
  std::atomic<T> word_;
};
