// A recording stand-in for the Win32 calls of the portable code, with a
// simulated tick count. Single-threaded: tests run worker routines themselves.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../../system/Win32.h"

struct KeyEvent {
  int key;
  bool up;
  DWORD tick;
  bool operator==(const KeyEvent& o) const { return key == o.key && up == o.up; }
};

struct ClipboardWrite {
  std::string text;
  DWORD tick;
};

// Thrown by the fake ExitProcess so a test can see the program end.
struct ProcessExit {
  UINT code;
};

struct FakeWin32 {
  // Each reading of the tick count returns tick, then advances it by tickStep.
  DWORD tick = 0;
  DWORD tickStep = 1;
  long tickReadings = 0;
  long tickReadingLimit = 10'000'000;  // a runaway wait fails the test instead of hanging
  long peekCalls = 0;
  long dispatched = 0;
  std::deque<MSG> queue;

  std::vector<KeyEvent> keys;

  bool clipboardBusy = false;  // another program holds it open
  bool clipboardOpen = false;
  bool allocFails = false;
  bool lockFails = false;
  bool setDataFails = false;
  std::vector<std::string> clipboardFormats;  // texts as CF_TEXT, in the order set
  std::vector<ClipboardWrite> clipboardWrites;
  std::set<HGLOBAL> liveBlocks;  // allocated, not freed and not owned by the clipboard

  bool createThreadFails = false;
  std::vector<LPTHREAD_START_ROUTINE> threadEntries;
  std::vector<LPVOID> threadParameters;
  std::vector<HANDLE> threadHandles;
  std::vector<HANDLE> closedHandles;

  std::set<HWND> windows;
  // Answers SendMessageA; by default a combo box with nothing selected.
  std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> onSendMessage;
  long sentMessages = 0;
  std::vector<MSG> sent;  // every SendMessageA, in order

  // Window procedures by window; SetWindowLongPtrA(GWLP_WNDPROC) fails while set.
  std::map<HWND, LONG_PTR> windowProcs;
  bool setWindowProcFails = false;
  long setWindowProcCalls = 0;
  std::vector<MSG> passedOn;  // CallWindowProcA, with the procedure in time
  std::vector<WNDPROC> passedOnTo;
  LRESULT passedOnResult = 11;

  struct Hotkey {
    HWND window;
    int id;
    UINT modifiers, key;
  };
  std::vector<Hotkey> hotkeys;  // registered ones only
  std::vector<Hotkey> hotkeyAttempts;
  std::set<std::pair<UINT, UINT>> takenHotkeys;  // held by other programs

  POINT cursor{0, 0};
  bool cursorFails = false;
  long nextHookCalls = 0;
  LRESULT nextHookResult = 7;

  // Life-cycle calls in order, as "Name(argument)".
  std::vector<std::string> calls;
  UINT errorMode = 0x0004;
  std::string modulePath = "C:\\Tools\\f2paste.exe";
  bool heapAllocFails = false;
  std::set<void*> heapBlocks;
  std::uintptr_t nextHook = 0x500;
  std::set<HHOOK> installedHooks;

  std::vector<std::string> messageBoxTexts;
  std::vector<std::string> messageBoxCaptions;
  std::vector<UINT> messageBoxStyles;

  // Ticks at which the clipboard was set to the empty text.
  std::vector<DWORD> EmptiedAt() const;
};

FakeWin32& Fake();
void ResetFake();

// Opaque handles for fake windows; never dereferenced.
HWND FakeWindow(int n);
