// The operations the engine and the shell perform on Windows: key strokes,
// polling waits, worker threads, the clipboard, reading the wait-time choice and
// the fatal error report.
#pragma once

#include "Win32.h"

// Synthesises a key stroke: the keys go down in order, then come up in the same
// order. Only the low 8 bits of a key count; a second or third key whose low
// 8 bits are 0 is absent.
void PressKeys(int key1, int key2 = 0, int key3 = 0);

// Dispatches whatever is queued for the calling thread, leaving a WM_QUIT at the
// head of the queue where it is.
void ProcessPendingMessages();

// Busy-waits at least ms milliseconds while keeping the calling thread's
// messages flowing. Safe across the 49.7-day wrap of the tick count.
void WaitProcessingEvents(int ms);

using WorkerRoutine = void (*)();

// Starts an already-running thread on entry with a NULL start parameter and
// closes its handle at once. True when the thread was created.
bool StartWorkerThread(LPTHREAD_START_ROUTINE entry);

template <WorkerRoutine routine>
DWORD WINAPI WorkerEntry(LPVOID) {
  routine();
  return 0;
}

// Runs routine on a new thread of its own that nobody tracks or waits for.
template <WorkerRoutine routine>
bool StartWorker() {
  return StartWorkerThread(&WorkerEntry<routine>);
}

// Replaces everything on the clipboard with text as CF_TEXT. False when the
// clipboard could not be opened or the text could not be handed over; in the
// latter case the clipboard is left empty.
bool SetClipboardText(const char* text);

// A control of one of the program's windows, named by both handles so that a
// read can tell a closed window from a missing control.
struct ControlRef {
  HWND window;
  HWND control;
};

enum class ControlRead { Ok, WindowGone, ControlGone };

// Reads a combo box's selected index (-1 when nothing is selected) from any
// thread; the owning thread answers from its message loop. Reports instead of
// reading when the window or the control no longer exists, also when it was
// destroyed while the read was pending.
ControlRead TryReadComboSelection(const ControlRef& combo, int* selection);

// As TryReadComboSelection, but a window or control that is gone is fatal.
int ReadComboSelection(const ControlRef& combo);

// The message a control turns into its feedback event: wParam and lParam
// become the event's two parameters.
inline constexpr UINT FeedbackMessage = 0x8075;

// ---- Hotkey service: a global hotkey reported as a control's feedback event.

// Registrations made so far, successful or not, and the identifier of the
// latest (33000 + HotkeyCounter; 0 before the first).
extern DWORD HotkeyCounter;
extern DWORD LastHotkeyId;
// The control every registered hotkey reports to: the latest registration's.
extern HWND FeedbackTarget;
// The registering window's own procedure, which HotkeyWindowProc passes on to.
extern WNDPROC PreviousWindowProc;

// Modifiers in the service's encoding: 1 Ctrl, 2 Shift, 4 Alt, summed.
UINT TranslateHotkeyModifiers(int modifiers);

// Registers virtualKey with modifiers as a hotkey of window, whose presses
// reach target as FeedbackMessage. Returns the new identifier (from 33001), or
// 0 when the key is taken; a failed registration still uses its identifier up.
int RegisterFeedbackHotkey(HWND window, HWND target, int modifiers, int virtualKey);

LRESULT CALLBACK HotkeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---- The end of the program.

// The one routine the end-of-program cleanup calls, once; a later setting
// replaces an earlier one.
extern void (*ExitRoutineSlot)();
// What the program still has to stop after the exit routine: its sounds,
// OLE. Set by start-up.
extern void (*ShutdownRoutine)();

// Runs the exit routine once, emptying its slot, then the shutdown routine.
void RunEndOfProgramCleanup();

// Shows the error box, then ends the program with exit code -1 through the
// cleanup, without the exit routine.
[[noreturn]] void ReportFatalError(const char* message);
