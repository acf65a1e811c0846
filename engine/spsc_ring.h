#pragma once
// SpscRing<T, Capacity>: a fixed-capacity queue from one producer thread to
// one consumer thread, for handing records out of the audio thread. The slots
// live inside the object, so neither side ever allocates, locks or waits:
// push fails when the ring is full and pop when it is empty.
//
// Exactly one thread may push and one (possibly other) thread may pop at any
// time. Indices only grow; a slot is reused once the consumer has passed it.

#include <atomic>
#include <cstddef>
#include <type_traits>

template <typename T, std::size_t Capacity>
class SpscRing {
  static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");
  static_assert(std::is_trivially_copyable_v<T>, "records are copied in and out whole");

 public:
  static constexpr std::size_t capacity() { return Capacity; }

  // Producer only. False (and nothing stored) when the ring is full.
  bool push(const T& item) noexcept {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) >= Capacity) return false;
    slots_[tail & (Capacity - 1)] = item;
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }

  // Consumer only. False when the ring is empty.
  bool pop(T& item) noexcept {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    item = slots_[head & (Capacity - 1)];
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

  // Records waiting; exact only on the consumer's thread while the producer
  // is idle, a snapshot otherwise.
  std::size_t size() const noexcept {
    return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire);
  }

 private:
  // Each index on its own cache line: the producer writes tail_, the
  // consumer head_.
  alignas(64) std::atomic<std::size_t> head_{0};
  alignas(64) std::atomic<std::size_t> tail_{0};
  alignas(64) T slots_[Capacity];
};
