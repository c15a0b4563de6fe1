#include "SoundClips.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "WaveChunks.h"

namespace {

constexpr int kBufferCount = 20;
constexpr DWORD kBufferSize = 15360;
// A device that has given no buffer back for this long is abandoned.
constexpr DWORD kSilenceTimeoutMs = 8888;

class CriticalSectionLock {
 public:
  explicit CriticalSectionLock(CRITICAL_SECTION* section) : section_(section) {
    EnterCriticalSection(section_);
  }
  ~CriticalSectionLock() { LeaveCriticalSection(section_); }
  CriticalSectionLock(const CriticalSectionLock&) = delete;
  CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

 private:
  CRITICAL_SECTION* section_;
};

class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_) CloseHandle(handle_);
  }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// One playing clip. Its thread owns it from the moment it runs and releases
// it, its device and its handles when it finishes.
struct Playback {
  Playback() { InitializeCriticalSection(&lock); }
  ~Playback() { DeleteCriticalSection(&lock); }
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  std::unique_ptr<BYTE[]> format;
  std::unique_ptr<BYTE[]> samples;
  DWORD samplesSize = 0;
  DWORD nextSample = 0;
  bool repeat = false;
  std::unique_ptr<BYTE[]> buffers;
  WAVEHDR headers[kBufferCount] = {};
  // A device plays its buffers in the order written and gives them back in
  // that order, so they go out in turn and the next to refill is the oldest.
  int nextBuffer = 0;
  HWAVEOUT device = nullptr;
  CRITICAL_SECTION lock;
  int freeBuffers = kBufferCount;  // not queued at the device; guarded by lock
  OwnedHandle bufferReturned;
  OwnedHandle stop;
  OwnedHandle thread;
  Playback* previous = nullptr;  // links of ActivePlaybacks
  Playback* next = nullptr;
};

struct PlaybackList {
  PlaybackList() { InitializeCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  Playback* first = nullptr;
};

// Never torn down: a playback thread may still be running while the process
// ends.
PlaybackList ActivePlaybacks;

void AddActivePlayback(Playback* playback) {
  CriticalSectionLock lock(&ActivePlaybacks.lock);
  playback->next = ActivePlaybacks.first;
  if (playback->next) playback->next->previous = playback;
  ActivePlaybacks.first = playback;
}

void RemoveActivePlayback(Playback* playback) {
  CriticalSectionLock lock(&ActivePlaybacks.lock);
  if (playback->previous) {
    playback->previous->next = playback->next;
  } else {
    ActivePlaybacks.first = playback->next;
  }
  if (playback->next) playback->next->previous = playback->previous;
}

// Runs on the system's wave thread, where a waveOut call could deadlock: it
// only counts the buffer and wakes the playback's thread. The wake-up is made
// under the lock because the thread, once it sees every buffer back, goes on
// to release the event.
void CALLBACK BufferReturned(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
  if (message != WOM_DONE) return;
  auto* playback = reinterpret_cast<Playback*>(instance);
  CriticalSectionLock lock(&playback->lock);
  ++playback->freeBuffers;
  SetEvent(playback->bufferReturned.Get());
}

bool HasSamplesLeft(const Playback& playback) {
  return playback.repeat || playback.nextSample < playback.samplesSize;
}

bool TakeFreeBuffer(Playback& playback) {
  CriticalSectionLock lock(&playback.lock);
  if (playback.freeBuffers == 0) return false;
  --playback.freeBuffers;
  return true;
}

void QueueNextBuffer(Playback& playback) {
  WAVEHDR& header = playback.headers[playback.nextBuffer];
  playback.nextBuffer = (playback.nextBuffer + 1) % kBufferCount;
  if (header.dwFlags & WHDR_PREPARED) {
    waveOutUnprepareHeader(playback.device, &header, sizeof header);
  }
  if (playback.nextSample == playback.samplesSize) playback.nextSample = 0;  // repeating
  const DWORD length = std::min(kBufferSize, playback.samplesSize - playback.nextSample);
  std::memcpy(header.lpData, playback.samples.get() + playback.nextSample, length);
  playback.nextSample += length;
  header.dwBufferLength = length;
  header.dwFlags = 0;
  waveOutPrepareHeader(playback.device, &header, sizeof header);
  waveOutWrite(playback.device, &header, sizeof header);
}

// Refills and queues every buffer the device has given back, while samples
// last. True once the clip has ended: every sample queued and every buffer
// back.
bool QueueFreeBuffers(Playback& playback) {
  while (HasSamplesLeft(playback) && TakeFreeBuffer(playback)) QueueNextBuffer(playback);
  if (HasSamplesLeft(playback)) return false;
  CriticalSectionLock lock(&playback.lock);
  return playback.freeBuffers == kBufferCount;
}

void UnprepareBuffers(Playback& playback) {
  for (WAVEHDR& header : playback.headers) {
    if (header.dwFlags & WHDR_PREPARED) {
      waveOutUnprepareHeader(playback.device, &header, sizeof header);
    }
  }
}

DWORD WINAPI PlaybackThread(LPVOID parameter) {
  std::unique_ptr<Playback> playback(static_cast<Playback*>(parameter));
  const HANDLE events[] = {playback->stop.Get(), playback->bufferReturned.Get()};
  while (!QueueFreeBuffers(*playback)) {
    if (WaitForMultipleObjects(2, events, FALSE, kSilenceTimeoutMs) != WAIT_OBJECT_0 + 1) {
      // Stopped, or the device has stopped giving buffers back. The reset
      // hands back every queued buffer, so the sound ends now.
      waveOutPause(playback->device);
      waveOutReset(playback->device);
      break;
    }
  }
  UnprepareBuffers(*playback);
  RemoveActivePlayback(playback.get());
  if (playback->device) waveOutClose(playback->device);
  return 0;
}

// The device reads a whole WAVEFORMATEX and, for formats other than PCM,
// cbSize bytes after it. The copy is zero-filled past the chunk and its
// cbSize cut to what the chunk holds, so no image makes the device read past
// the copy.
std::unique_ptr<BYTE[]> CopyFormat(const WaveChunks& chunks) {
  const std::size_t size = std::max(chunks.formatSize, sizeof(WAVEFORMATEX));
  std::unique_ptr<BYTE[]> copy(new (std::nothrow) BYTE[size]());
  if (!copy) return copy;
  std::memcpy(copy.get(), chunks.format, chunks.formatSize);
  auto* format = reinterpret_cast<WAVEFORMATEX*>(copy.get());
  const std::size_t extra = size - sizeof(WAVEFORMATEX);
  if (format->cbSize > extra) format->cbSize = static_cast<WORD>(extra);
  return copy;
}

}  // namespace

bool PlayClip(const void* data, DWORD length, bool repeat) {
  WaveChunks chunks;
  if (!FindWaveChunks(data, length, &chunks)) return false;

  std::unique_ptr<Playback> playback(new (std::nothrow) Playback);
  if (!playback) return false;
  playback->repeat = repeat;
  playback->format = CopyFormat(chunks);
  playback->samples.reset(new (std::nothrow) BYTE[chunks.samplesSize]);
  playback->buffers.reset(new (std::nothrow) BYTE[kBufferCount * kBufferSize]());
  if (!playback->format || !playback->samples || !playback->buffers) return false;
  std::memcpy(playback->samples.get(), chunks.samples, chunks.samplesSize);
  playback->samplesSize = static_cast<DWORD>(chunks.samplesSize);
  for (int i = 0; i < kBufferCount; ++i) {
    playback->headers[i].lpData =
        reinterpret_cast<LPSTR>(playback->buffers.get() + i * kBufferSize);
  }
  playback->bufferReturned = OwnedHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  playback->stop = OwnedHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!playback->bufferReturned.Get() || !playback->stop.Get()) return false;

  if (waveOutGetNumDevs() != 0) {
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, reinterpret_cast<LPCWAVEFORMATEX>(playback->format.get()),
                    reinterpret_cast<DWORD_PTR>(&BufferReturned),
                    reinterpret_cast<DWORD_PTR>(playback.get()),
                    CALLBACK_FUNCTION) == MMSYSERR_NOERROR) {
      playback->device = device;
    }
  }

  DWORD threadId = 0;
  playback->thread = OwnedHandle(
      CreateThread(nullptr, 0, PlaybackThread, playback.get(), CREATE_SUSPENDED, &threadId));
  if (!playback->thread.Get()) {
    if (playback->device) waveOutClose(playback->device);
    return false;
  }
  AddActivePlayback(playback.get());
  // From here on the thread owns the playback.
  Playback* started = playback.release();
  ResumeThread(started->thread.Get());
  return true;
}

void StopAllClips(bool wait) {
  std::vector<OwnedHandle> threads;
  {
    CriticalSectionLock lock(&ActivePlaybacks.lock);
    for (Playback* playback = ActivePlaybacks.first; playback; playback = playback->next) {
      // A thread closes its own handle as it finishes; a copy stays waitable.
      HANDLE copy = nullptr;
      if (wait && DuplicateHandle(GetCurrentProcess(), playback->thread.Get(), GetCurrentProcess(),
                                  &copy, SYNCHRONIZE, FALSE, 0)) {
        threads.emplace_back(copy);
      }
      SetEvent(playback->stop.Get());
    }
  }
  for (const OwnedHandle& thread : threads) WaitForSingleObject(thread.Get(), INFINITE);
}

std::size_t CountActivePlaybacks() {
  CriticalSectionLock lock(&ActivePlaybacks.lock);
  std::size_t count = 0;
  for (const Playback* playback = ActivePlaybacks.first; playback; playback = playback->next) {
    ++count;
  }
  return count;
}
