// A stand-in for wave output, threads, events and critical sections, with real
// threads: each open device plays on a thread of its own and calls back from
// it, as Windows does. Thread-safe. It records what a device was given and
// every misuse a real device would punish (a waveOut call from the callback,
// freeing or closing what is still queued, a wait on a closed handle, ...).
#pragma once

#include <string>
#include <vector>

#include "../../system/Win32.h"

struct FakeWaveSettings {
  UINT devices = 1;
  bool openFails = false;
  // How fast devices play: 1 is real time, 0 gives each buffer back at once.
  double speed = 0;
  // Devices keep every buffer until ReleaseHeldBuffers.
  bool holding = false;
  // Wait time-outs run out this many times sooner.
  DWORD timeoutDivisor = 1;
  // How long waveOutClose takes, in real milliseconds.
  int closeDelayMs = 0;
};

struct FakeDeviceRecord {
  std::vector<BYTE> format;  // the WAVEFORMATEX and the cbSize bytes after it
  UINT deviceId = 0;
  DWORD openFlags = 0;
  std::vector<DWORD> writes;    // the length of each buffer written, in order
  std::vector<BYTE> written;    // their bytes, in order
  std::size_t playedBytes = 0;  // bytes of the buffers played to their end
  int pauses = 0;
  int resets = 0;
  bool closed = false;
};

// Clears the records and applies settings; every thread of the previous test
// must have ended.
void ResetFakeWaveOut(const FakeWaveSettings& settings);

void ReleaseHeldBuffers();

std::vector<FakeDeviceRecord> FakeDevices();
std::vector<std::string> FakeWaveFaults();
// Handles created or duplicated and not yet closed.
int OpenFakeHandles();
int LiveFakeCriticalSections();
// Threads created and not yet returned from their routine.
int RunningFakeThreads();
// The time-outs of every wait, as asked for.
std::vector<DWORD> FakeWaitTimeouts();

// Waits, in real time, until no fake thread runs; false if that took longer
// than ms.
bool WaitForFakeThreads(int ms);
