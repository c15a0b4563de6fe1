#include "FakeWaveOut.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// An INFINITE wait that has not ended after this long is reported and given up,
// so that a fault fails the test instead of hanging it.
constexpr auto kLongestWait = std::chrono::seconds(60);

struct Object {
  enum class Kind { Event, Thread } kind;
  bool manualReset = false;
  bool signalled = false;  // a set event, an ended thread
  bool resumed = false;
};

struct Device {
  FakeDeviceRecord record;
  WAVEOUTPROC callback = nullptr;
  DWORD_PTR instance = 0;
  double bytesPerSecond = 88200;
  std::deque<WAVEHDR*> queue;
  std::set<WAVEHDR*> prepared;
  bool opened = false;
  bool paused = false;
  bool resetting = false;
  bool closing = false;
  std::thread player;
};

struct State {
  std::mutex mutex;
  std::condition_variable changed;
  FakeWaveSettings settings;
  std::uintptr_t nextHandle = 0x10000;
  std::map<HANDLE, std::shared_ptr<Object>> handles;
  std::map<HWAVEOUT, std::unique_ptr<Device>> devices;
  std::vector<HWAVEOUT> openOrder;
  std::vector<std::string> faults;
  std::vector<DWORD> waitTimeouts;
  int runningThreads = 0;
};

// Outlives every thread, also ones still running when the process ends.
State& S() {
  static State* state = new State;
  return *state;
}

// Constant-initialised: critical sections are made during static
// initialisation, before S() may exist.
std::atomic<int> liveSections{0};

thread_local bool onDeviceThread = false;

HANDLE NewHandle(State& s) {
  s.nextHandle += 4;
  return reinterpret_cast<HANDLE>(s.nextHandle);
}

void Fault(State& s, const std::string& what) { s.faults.push_back(what); }

// A waveOut call from the callback deadlocks on Windows.
void CheckNotInCallback(State& s, const char* function) {
  if (onDeviceThread) Fault(s, std::string(function) + " called from the wave callback");
}

Device* FindDevice(State& s, HWAVEOUT handle, const char* function) {
  CheckNotInCallback(s, function);
  if (!handle) return nullptr;
  auto found = s.devices.find(handle);
  if (found == s.devices.end() || found->second->record.closed) {
    Fault(s, std::string(function) + " on a closed or unknown device");
    return nullptr;
  }
  return found->second.get();
}

void Notify(HWAVEOUT handle, Device* device, UINT message, WAVEHDR* header) {
  device->callback(handle, message, device->instance, reinterpret_cast<DWORD_PTR>(header), 0);
}

// Gives the oldest queued buffer back through the callback; the lock is
// released meanwhile, as a device calls back without holding its own.
void ReturnOldest(State& s, std::unique_lock<std::mutex>& lock, HWAVEOUT handle, Device* device) {
  WAVEHDR* header = device->queue.front();
  device->queue.pop_front();
  header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
  lock.unlock();
  Notify(handle, device, WOM_DONE, header);
  lock.lock();
  s.changed.notify_all();
}

void Play(HWAVEOUT handle, Device* device) {
  onDeviceThread = true;
  State& s = S();
  Notify(handle, device, WOM_OPEN, nullptr);
  std::unique_lock<std::mutex> lock(s.mutex);
  device->opened = true;
  s.changed.notify_all();
  for (;;) {
    s.changed.wait(lock, [&] {
      return device->closing || device->resetting ||
             (!device->queue.empty() && !device->paused && !s.settings.holding);
    });
    if (device->resetting) {
      while (!device->queue.empty()) ReturnOldest(s, lock, handle, device);
      device->resetting = false;
      s.changed.notify_all();
      continue;
    }
    if (device->closing) break;
    const WAVEHDR* playing = device->queue.front();
    if (s.settings.speed > 0) {
      const std::chrono::duration<double> length(playing->dwBufferLength / device->bytesPerSecond /
                                                 s.settings.speed);
      const bool interrupted = s.changed.wait_for(
          lock, length, [&] { return device->closing || device->resetting || device->paused; });
      if (interrupted) continue;
    }
    device->record.playedBytes += playing->dwBufferLength;
    ReturnOldest(s, lock, handle, device);
  }
  lock.unlock();
  Notify(handle, device, WOM_CLOSE, nullptr);
}

std::shared_ptr<Object> FindObject(State& s, HANDLE handle, const char* function) {
  auto found = s.handles.find(handle);
  if (found == s.handles.end()) {
    Fault(s, std::string(function) + " on a closed or unknown handle");
    return nullptr;
  }
  return found->second;
}

}  // namespace

void ResetFakeWaveOut(const FakeWaveSettings& settings) {
  State& s = S();
  std::unique_lock<std::mutex> lock(s.mutex);
  for (auto& entry : s.devices) {
    Device* device = entry.second.get();
    if (!device->player.joinable()) continue;
    device->closing = true;
    s.changed.notify_all();
    lock.unlock();
    device->player.join();
    lock.lock();
  }
  s.devices.clear();
  s.openOrder.clear();
  s.handles.clear();
  s.faults.clear();
  s.waitTimeouts.clear();
  s.settings = settings;
}

void ReleaseHeldBuffers() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.settings.holding = false;
  s.changed.notify_all();
}

std::vector<FakeDeviceRecord> FakeDevices() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::vector<FakeDeviceRecord> records;
  for (HWAVEOUT handle : s.openOrder) records.push_back(s.devices.at(handle)->record);
  return records;
}

std::vector<std::string> FakeWaveFaults() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.faults;
}

int OpenFakeHandles() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return static_cast<int>(s.handles.size());
}

int LiveFakeCriticalSections() { return liveSections.load(); }

int RunningFakeThreads() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.runningThreads;
}

std::vector<DWORD> FakeWaitTimeouts() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.waitTimeouts;
}

bool WaitForFakeThreads(int ms) {
  State& s = S();
  std::unique_lock<std::mutex> lock(s.mutex);
  return s.changed.wait_for(lock, std::chrono::milliseconds(ms),
                            [&] { return s.runningThreads == 0; });
}

// ---- Wave output.

UINT WINAPI waveOutGetNumDevs() {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.settings.devices;
}

MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx,
                            DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen) {
  State& s = S();
  std::unique_lock<std::mutex> lock(s.mutex);
  CheckNotInCallback(s, "waveOutOpen");
  if (s.settings.devices == 0) return MMSYSERR_BADDEVICEID;
  if (s.settings.openFails) return MMSYSERR_ALLOCATED;
  auto device = std::make_unique<Device>();
  // Exactly what a device reads: a read past the caller's block shows up
  // under the address sanitizer.
  const std::size_t extra = pwfx->wFormatTag == WAVE_FORMAT_PCM ? 0 : pwfx->cbSize;
  const auto* bytes = reinterpret_cast<const BYTE*>(pwfx);
  device->record.format.assign(bytes, bytes + sizeof(WAVEFORMATEX) + extra);
  device->record.deviceId = uDeviceID;
  device->record.openFlags = fdwOpen;
  device->callback = reinterpret_cast<WAVEOUTPROC>(dwCallback);
  device->instance = dwInstance;
  if (pwfx->nAvgBytesPerSec) device->bytesPerSecond = pwfx->nAvgBytesPerSec;
  const auto handle = static_cast<HWAVEOUT>(NewHandle(s));
  Device* opened = device.get();
  s.devices[handle] = std::move(device);
  s.openOrder.push_back(handle);
  opened->player = std::thread(Play, handle, opened);
  s.changed.wait(lock, [&] { return opened->opened; });
  *phwo = handle;
  return MMSYSERR_NOERROR;
}

namespace {

// Preparing and unpreparing both refuse a header the device still holds.
MMRESULT SetPrepared(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh, bool prepared, const char* call) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  Device* device = FindDevice(s, hwo, call);
  if (!device) return MMSYSERR_INVALHANDLE;
  if (cbwh != sizeof(WAVEHDR)) Fault(s, std::string(call) + " with a wrong header size");
  if (pwh->dwFlags & WHDR_INQUEUE) {
    Fault(s, std::string(call) + " on a queued buffer");
    return WAVERR_STILLPLAYING;
  }
  if (prepared) {
    pwh->dwFlags |= WHDR_PREPARED;
    device->prepared.insert(pwh);
  } else {
    pwh->dwFlags &= ~WHDR_PREPARED;
    device->prepared.erase(pwh);
  }
  return MMSYSERR_NOERROR;
}

}  // namespace

MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
  return SetPrepared(hwo, pwh, cbwh, true, "waveOutPrepareHeader");
}

MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
  return SetPrepared(hwo, pwh, cbwh, false, "waveOutUnprepareHeader");
}

MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  Device* device = FindDevice(s, hwo, "waveOutWrite");
  if (!device) return MMSYSERR_INVALHANDLE;
  if (cbwh != sizeof(WAVEHDR)) Fault(s, "waveOutWrite with a wrong header size");
  if (!(pwh->dwFlags & WHDR_PREPARED)) {
    Fault(s, "waveOutWrite of an unprepared buffer");
    return WAVERR_UNPREPARED;
  }
  if (pwh->dwFlags & WHDR_INQUEUE) {
    Fault(s, "waveOutWrite of a queued buffer");
    return WAVERR_STILLPLAYING;
  }
  if (pwh->dwBufferLength == 0) Fault(s, "waveOutWrite of an empty buffer");
  device->record.writes.push_back(pwh->dwBufferLength);
  device->record.written.insert(device->record.written.end(), pwh->lpData,
                                pwh->lpData + pwh->dwBufferLength);
  pwh->dwFlags = (pwh->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
  device->queue.push_back(pwh);
  s.changed.notify_all();
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutPause(HWAVEOUT hwo) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  Device* device = FindDevice(s, hwo, "waveOutPause");
  if (!device) return MMSYSERR_INVALHANDLE;
  ++device->record.pauses;
  device->paused = true;
  s.changed.notify_all();
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutReset(HWAVEOUT hwo) {
  State& s = S();
  std::unique_lock<std::mutex> lock(s.mutex);
  Device* device = FindDevice(s, hwo, "waveOutReset");
  if (!device) return MMSYSERR_INVALHANDLE;
  ++device->record.resets;
  device->resetting = true;
  s.changed.notify_all();
  s.changed.wait(lock, [&] { return !device->resetting; });
  return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutClose(HWAVEOUT hwo) {
  State& s = S();
  std::unique_lock<std::mutex> lock(s.mutex);
  Device* device = FindDevice(s, hwo, "waveOutClose");
  if (!device) return MMSYSERR_INVALHANDLE;
  if (!device->queue.empty()) {
    Fault(s, "waveOutClose with buffers queued");
    return WAVERR_STILLPLAYING;
  }
  if (!device->prepared.empty()) Fault(s, "waveOutClose with buffers still prepared");
  device->closing = true;
  s.changed.notify_all();
  const int delayMs = s.settings.closeDelayMs;
  lock.unlock();
  device->player.join();
  std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
  lock.lock();
  device->record.closed = true;
  return MMSYSERR_NOERROR;
}

// ---- Threads, events and handles.

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto thread = std::make_shared<Object>();
  thread->kind = Object::Kind::Thread;
  thread->resumed = (dwCreationFlags & CREATE_SUSPENDED) == 0;
  const HANDLE handle = NewHandle(s);
  s.handles[handle] = thread;
  ++s.runningThreads;
  if (lpThreadId) *lpThreadId = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(handle));
  std::thread([thread, lpStartAddress, lpParameter] {
    State& state = S();
    {
      std::unique_lock<std::mutex> lock(state.mutex);
      state.changed.wait(lock, [&] { return thread->resumed; });
    }
    lpStartAddress(lpParameter);
    std::lock_guard<std::mutex> lock(state.mutex);
    thread->signalled = true;
    --state.runningThreads;
    state.changed.notify_all();
  }).detach();
  return handle;
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::shared_ptr<Object> thread = FindObject(s, hThread, "ResumeThread");
  if (!thread || thread->kind != Object::Kind::Thread) return static_cast<DWORD>(-1);
  const DWORD previous = thread->resumed ? 0 : 1;
  thread->resumed = true;
  s.changed.notify_all();
  return previous;
}

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto event = std::make_shared<Object>();
  event->kind = Object::Kind::Event;
  event->manualReset = bManualReset != FALSE;
  event->signalled = bInitialState != FALSE;
  const HANDLE handle = NewHandle(s);
  s.handles[handle] = event;
  return handle;
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::shared_ptr<Object> event = FindObject(s, hEvent, "SetEvent");
  if (!event || event->kind != Object::Kind::Event) return FALSE;
  event->signalled = true;
  s.changed.notify_all();
  return TRUE;
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                    DWORD dwMilliseconds) {
  State& s = S();
  std::unique_lock<std::mutex> lock(s.mutex);
  s.waitTimeouts.push_back(dwMilliseconds);
  if (bWaitAll) Fault(s, "WaitForMultipleObjects for all objects is not faked");
  std::vector<std::shared_ptr<Object>> objects;
  for (DWORD i = 0; i < nCount; ++i) {
    objects.push_back(FindObject(s, lpHandles[i], "WaitForMultipleObjects"));
    if (!objects.back()) return WAIT_FAILED;
  }
  const bool infinite = dwMilliseconds == INFINITE;
  const Clock::time_point deadline =
      Clock::now() +
      (infinite ? kLongestWait
                : std::chrono::duration_cast<Clock::duration>(
                      std::chrono::milliseconds(dwMilliseconds / s.settings.timeoutDivisor)));
  for (;;) {
    for (DWORD i = 0; i < nCount; ++i) {
      Object& object = *objects[i];
      if (!object.signalled) continue;
      if (object.kind == Object::Kind::Event && !object.manualReset) object.signalled = false;
      return WAIT_OBJECT_0 + i;
    }
    if (s.changed.wait_until(lock, deadline) == std::cv_status::timeout &&
        Clock::now() >= deadline) {
      if (infinite) Fault(s, "an INFINITE wait never ended");
      return WAIT_TIMEOUT;
    }
  }
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

HANDLE WINAPI GetCurrentProcess() {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
}

BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle,
                            HANDLE hTargetProcessHandle, LPHANDLE lpTargetHandle, DWORD, BOOL,
                            DWORD) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (hSourceProcessHandle != GetCurrentProcess() || hTargetProcessHandle != GetCurrentProcess()) {
    Fault(s, "DuplicateHandle across processes");
  }
  std::shared_ptr<Object> object = FindObject(s, hSourceHandle, "DuplicateHandle");
  if (!object) return FALSE;
  const HANDLE copy = NewHandle(s);
  s.handles[copy] = object;
  *lpTargetHandle = copy;
  return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  State& s = S();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.handles.erase(hObject) == 0) {
    Fault(s, "CloseHandle on a closed or unknown handle");
    return FALSE;
  }
  return TRUE;
}

// ---- Critical sections: a recursive mutex, kept where Windows keeps its
// semaphore.

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  *lpCriticalSection = CRITICAL_SECTION{};
  lpCriticalSection->LockSemaphore = new std::recursive_mutex;
  ++liveSections;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  delete static_cast<std::recursive_mutex*>(lpCriticalSection->LockSemaphore);
  lpCriticalSection->LockSemaphore = nullptr;
  --liveSections;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  static_cast<std::recursive_mutex*>(lpCriticalSection->LockSemaphore)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  static_cast<std::recursive_mutex*>(lpCriticalSection->LockSemaphore)->unlock();
}
