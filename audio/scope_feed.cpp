#include "audio/scope_feed.h"

#include "audio/render.h"
#include "engine/shared.h"
#include "engine/spsc_ring.h"

namespace {

SpscRing<ScopeFrame, kScopeFeedCapacity>& ring() {
  static SpscRing<ScopeFrame, kScopeFeedCapacity> frames;
  return frames;
}

// Audio thread writes, any thread reads.
Shared<long> dropped{0};

// The render callback's hook: audio thread.
void pushFrame(float v, int n) {
  if (!ring().push(ScopeFrame{v, n})) dropped = dropped + 1;
}

}  // namespace

void startScopeFeed() {
  ring();  // made here, not on the audio thread
  setScopeHook(pushFrame);
}

void stopScopeFeed() { setScopeHook(nullptr); }

std::size_t takeScopeFrames(ScopeFrame* out, std::size_t max) {
  std::size_t n = 0;
  while (n < max && ring().pop(out[n])) ++n;
  return n;
}

long droppedScopeFrames() { return dropped; }
