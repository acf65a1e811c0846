#include "engine/random.h"

#include <atomic>
#include <chrono>

namespace {

// A linear congruential generator giving 15-bit ints. The state is one atomic
// word advanced with compare-and-swap, so any thread may draw without a lock.
std::atomic<unsigned> state{1};
std::atomic<void (*)()> reseedHook{nullptr};

const auto programStart = std::chrono::steady_clock::now();

}  // namespace

int randomInt() {
  unsigned s = state.load(std::memory_order_relaxed);
  unsigned next;
  do {
    next = s * 214013u + 2531011u;
  } while (!state.compare_exchange_weak(s, next, std::memory_order_relaxed));
  return static_cast<int>((next >> 16) & 0x7fff);
}

void seedRandom(unsigned seed) { state.store(seed, std::memory_order_relaxed); }

void reseedRandomFromClock() {
  seedRandom(millisecondsSinceStart());
  if (auto hook = reseedHook.load()) hook();
}

void setReseedHook(void (*hook)()) { reseedHook.store(hook); }

unsigned millisecondsSinceStart() {
  using namespace std::chrono;
  return static_cast<unsigned>(duration_cast<milliseconds>(steady_clock::now() - programStart).count());
}
