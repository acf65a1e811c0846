#include "audio/fsound.h"

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/load_meter.h"
#include "engine/audio_lock.h"

struct FSOUND_STREAM {
  FSOUND_STREAMCALLBACK callback = nullptr;
  void* userData = nullptr;
  int rate = 0;
  // One block of `length` bytes as the callback fills it; the SDL side hands
  // it out in whatever period size the device asks for. Playback thread only.
  std::vector<unsigned char> block;
  size_t consumed = 0;
  bool playing = false;  // changed under the layer lock
  int channel = -1;

  // NoSound puller.
  std::thread puller;
  std::mutex wakeMutex;
  std::condition_variable wake;
  bool stopRequested = false;  // under wakeMutex

  // Hands the callback a block; the block is cleared first so that a
  // callback that writes nothing (rendering paused) gives silence rather
  // than the previous block again. The render's time goes to the load
  // meter.
  void refill() {
    std::memset(block.data(), 0, block.size());
    const auto start = std::chrono::steady_clock::now();
    callback(this, block.data(), static_cast<int>(block.size()), userData);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    recordRender(took.count(), static_cast<int>(block.size() / 4), rate);
    consumed = 0;
  }
};

namespace {

// Layer state: main thread, except where noted.
struct Layer {
  int requestedOutput = -1;  // -1: not chosen, the real output
  int driver = 0;
  bool initialised = false;
  int mixRate = 0;
  int error = kErrorNone;

  bool probed = false;
  bool driverFound = false;
  bool ownsSdlAudio = false;  // we initialised SDL's audio subsystem
  char sdlDriver[32] = "";
  char driverName[96] = "";

  FSOUND_STREAM* stream = nullptr;  // read by the SDL callback; changed under the layer lock
  int deviceFrames = 0;             // the open SDL device's period
};

Layer layer;

// True while SDL's device is open: then the layer lock also takes SDL's
// audio lock. Changed only while renderMutex is held.
std::atomic<bool> sdlDeviceOpen{false};

// Held by the NoSound puller around each callback, and by every holder of
// the layer lock. Recursive so that nested locks on one thread are harmless.
std::recursive_mutex& renderMutex() {
  static std::recursive_mutex m;
  return m;
}

// Per-thread nesting of the layer lock: only the outermost level takes and
// releases the underlying locks, so a device opened or closed in between
// never unbalances SDL's lock.
thread_local int lockDepth = 0;
thread_local bool lockHoldsSdl = false;

void layerLock() {
  if (lockDepth++ > 0) return;
  renderMutex().lock();
  lockHoldsSdl = sdlDeviceOpen.load();
  if (lockHoldsSdl) SDL_LockAudio();
}

void layerUnlock() {
  if (lockDepth == 0) return;  // unbalanced: nothing held
  if (--lockDepth > 0) return;
  if (lockHoldsSdl) SDL_UnlockAudio();
  lockHoldsSdl = false;
  renderMutex().unlock();
}

struct LayerLockGuard {
  LayerLockGuard() { layerLock(); }
  ~LayerLockGuard() { layerUnlock(); }
};

bool fail(int code) {
  layer.error = code;
  return false;
}

bool knownOutput(int code) {
  switch (code) {
    case kOutputNoSound:
    case kOutputWaveOut:
    case kOutputDirectSound:
    case kOutputOss:
    case kOutputEsd:
    case kOutputAlsa:
    case kOutputAsio:
      return true;
    default:
      return false;
  }
}

bool noSound() { return layer.requestedOutput == kOutputNoSound; }

// Finds SDL's audio driver (SDL_AUDIODRIVER honoured). Initialises SDL's
// audio subsystem when nobody has, and names the one driver entry.
void probeSdl() {
  if (layer.probed) return;
  layer.probed = true;
  layer.driverFound = false;
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
      std::snprintf(layer.driverName, sizeof layer.driverName, "no sound driver (%s)", SDL_GetError());
      return;
    }
    layer.ownsSdlAudio = true;
  }
  if (SDL_AudioDriverName(layer.sdlDriver, sizeof layer.sdlDriver) == nullptr) {
    std::snprintf(layer.driverName, sizeof layer.driverName, "no sound driver (%s)", SDL_GetError());
    return;
  }
  layer.driverFound = true;
  std::snprintf(layer.driverName, sizeof layer.driverName, "%s (default device)", layer.sdlDriver);
}

void releaseSdl() {
  if (layer.ownsSdlAudio) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  layer.ownsSdlAudio = false;
  layer.probed = false;
  layer.driverFound = false;
  layer.sdlDriver[0] = '\0';
}

// SDL's playback thread, with SDL's audio lock held.
void sdlFill(void*, Uint8* out, int length) {
  FSOUND_STREAM* s = layer.stream;
  if (s == nullptr || !s->playing) {
    std::memset(out, 0, static_cast<size_t>(length));
    return;
  }
  size_t left = static_cast<size_t>(length);
  while (left > 0) {
    if (s->consumed == s->block.size()) s->refill();
    size_t n = std::min(left, s->block.size() - s->consumed);
    std::memcpy(out, s->block.data() + s->consumed, n);
    s->consumed += n;
    out += n;
    left -= n;
  }
}

// Opens SDL's device, paused, with a period of `frames` (SDL counts them in
// 16 bits). SDL converts to the device's own format for us.
bool openSdlDevice(int frames) {
  SDL_AudioSpec wanted{};
  wanted.freq = layer.mixRate;
  wanted.format = AUDIO_S16LSB;
  wanted.channels = 2;
  wanted.samples = static_cast<Uint16>(frames < 32768 ? frames : 32768);
  wanted.callback = sdlFill;
  std::lock_guard<std::recursive_mutex> g(renderMutex());
  if (SDL_OpenAudio(&wanted, nullptr) < 0) return false;
  sdlDeviceOpen = true;
  layer.deviceFrames = frames;
  return true;
}

void closeSdlDevice() {
  std::lock_guard<std::recursive_mutex> g(renderMutex());
  if (!sdlDeviceOpen) return;
  sdlDeviceOpen = false;
  SDL_CloseAudio();
  layer.deviceFrames = 0;
}

// The NoSound puller: one block per block duration on an absolute schedule,
// so the average rate stays the real-time rate even when a pull is late.
void pullLoop(FSOUND_STREAM* s) {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(static_cast<double>(s->block.size() / 4) / s->rate));
  auto next = Clock::now();
  std::unique_lock<std::mutex> wakeLock(s->wakeMutex);
  while (!s->stopRequested) {
    wakeLock.unlock();
    {
      std::lock_guard<std::recursive_mutex> render(renderMutex());
      s->refill();
    }
    wakeLock.lock();
    next += period;
    const auto now = Clock::now();
    if (now - next > std::chrono::seconds(1)) next = now;  // stalled: no burst to catch up
    s->wake.wait_until(wakeLock, next, [s] { return s->stopRequested; });
  }
}

void stopPuller(FSOUND_STREAM* s) {
  if (!s->puller.joinable()) return;
  {
    std::lock_guard<std::mutex> g(s->wakeMutex);
    s->stopRequested = true;
  }
  s->wake.notify_all();
  s->puller.join();
}

}  // namespace

float FSOUND_GetVersion() { return 3.74f; }

int FSOUND_SetOutput(int outputType) {
  layer.error = kErrorNone;
  if (layer.initialised) return fail(kErrorAlreadyInitialised);
  if (!knownOutput(outputType)) return fail(kErrorInvalidParam);
  layer.requestedOutput = outputType;
  layer.driver = 0;
  if (!noSound()) probeSdl();
  return 1;
}

int FSOUND_GetOutput() {
  if (noSound()) return kOutputNoSound;
  probeSdl();
  if (layer.driverFound) {
    if (std::strcmp(layer.sdlDriver, "alsa") == 0) return kOutputAlsa;
    if (std::strcmp(layer.sdlDriver, "dsp") == 0 || std::strcmp(layer.sdlDriver, "dma") == 0) return kOutputOss;
    if (std::strcmp(layer.sdlDriver, "esd") == 0) return kOutputEsd;
  }
  return layer.requestedOutput;
}

int FSOUND_GetNumDrivers() { return 1; }

const char* FSOUND_GetDriverName(int index) {
  layer.error = kErrorNone;
  if (index != 0) {
    fail(kErrorInvalidParam);
    return nullptr;
  }
  if (noSound()) return "NoSound";
  probeSdl();
  return layer.driverName;
}

int FSOUND_SetDriver(int index) {
  layer.error = kErrorNone;
  if (layer.initialised) return fail(kErrorAlreadyInitialised);
  if (index < 0 || index >= FSOUND_GetNumDrivers()) return fail(kErrorInvalidParam);
  layer.driver = index;
  return 1;
}

int FSOUND_Init(int mixRate, int softwareChannels, unsigned int) {
  layer.error = kErrorNone;
  if (layer.initialised) return fail(kErrorAlreadyInitialised);
  if (mixRate <= 0 || softwareChannels <= 0) return fail(kErrorInvalidParam);
  layer.mixRate = mixRate;
  if (!noSound()) {
    probeSdl();
    if (!layer.driverFound || !openSdlDevice(kDeviceFrames)) {
      layer.mixRate = 0;
      return fail(kErrorInit);
    }
  }
  layer.initialised = true;
  return 1;
}

int FSOUND_GetError() { return layer.error; }

FSOUND_STREAM* FSOUND_Stream_Create(FSOUND_STREAMCALLBACK callback, int length, unsigned int mode, int rate,
                                    void* userData) {
  layer.error = kErrorNone;
  if (!layer.initialised) {
    fail(kErrorNotInitialised);
    return nullptr;
  }
  const unsigned int needed = kModeBits16 | kModeStereo | kModeSigned;
  if (callback == nullptr || length <= 0 || length % 4 != 0 || (mode & needed) != needed || rate != layer.mixRate) {
    fail(kErrorInvalidParam);
    return nullptr;
  }
  if (layer.stream != nullptr) {
    fail(kErrorDeviceBusy);
    return nullptr;
  }
  // The device's period follows the stream's buffer, so that a small buffer
  // is heard early: the device is opened again, still paused, at that size.
  if (sdlDeviceOpen && layer.deviceFrames != length / 4) {
    closeSdlDevice();
    if (!openSdlDevice(length / 4)) {
      fail(kErrorInit);
      return nullptr;
    }
  }
  auto* s = new FSOUND_STREAM;
  s->callback = callback;
  s->userData = userData;
  s->rate = rate;
  s->block.assign(static_cast<size_t>(length), 0);
  s->consumed = s->block.size();  // empty: the first period asks the callback
  setAudioLockFunctions(layerLock, layerUnlock);
  {
    LayerLockGuard g;
    layer.stream = s;
  }
  return s;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream) {
  layer.error = kErrorNone;
  if (!layer.initialised) {
    fail(kErrorNotInitialised);
    return -1;
  }
  if (stream == nullptr || stream != layer.stream || channel < -1 || channel >= 32) {
    fail(kErrorInvalidParam);
    return -1;
  }
  if (channel == -1) channel = 0;
  if (stream->playing) return stream->channel;
  {
    LayerLockGuard g;
    stream->playing = true;
    stream->channel = channel;
  }
  if (noSound()) {
    stream->stopRequested = false;
    stream->puller = std::thread(pullLoop, stream);
  } else {
    SDL_PauseAudio(0);
  }
  return channel;
}

int FSOUND_Stream_Close(FSOUND_STREAM* stream) {
  layer.error = kErrorNone;
  if (stream == nullptr || stream != layer.stream) return fail(kErrorInvalidParam);
  stopPuller(stream);
  {
    // After this no playback thread can reach the stream: SDL's callback
    // runs under the lock and finds no stream.
    LayerLockGuard g;
    layer.stream = nullptr;
  }
  if (sdlDeviceOpen) SDL_PauseAudio(1);
  delete stream;
  return 1;
}

void FSOUND_Close() {
  if (layer.stream != nullptr) FSOUND_Stream_Close(layer.stream);
  closeSdlDevice();
  releaseSdl();
  layer.initialised = false;
  layer.mixRate = 0;
  layer.error = kErrorNone;
}
