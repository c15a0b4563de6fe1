// The copy-paste engine: the drag detector that the low-level mouse hook runs,
// and the copy-and-paste sequence that each drag starts on a worker thread.
#pragma once

#include "../system/System.h"

// Milliseconds to wait for each item of the wait-time choice, by position.
inline constexpr int WaitTable[7] = {800, 1000, 1200, 1500, 2000, 2500, 3000};

// Where the last left-button press seen by the hook happened, in screen pixels.
// Start-up allocates it before the hook can be installed; it lives until exit.
extern POINT* PressPoint;

// The installed low-level mouse hook, or the last one removed; 0 before the
// first installation.
extern HHOOK MouseHookHandle;

// The combo box whose selection picks the wait; filled in by whoever creates it
// before the hook is installed, and only read by the workers afterwards.
extern ControlRef WaitTimeChoice;

LRESULT CALLBACK DragDetector(int nCode, WPARAM wParam, LPARAM lParam);

// Installs DragDetector as a global low-level mouse hook of this thread, which
// must run a message loop while it is installed; MouseHookHandle keeps it.
void InstallMouseHook();

void CopyPasteSequence();

// The copy switch: removes the mouse hook or installs a new one, as the
// switch's caption says.
void CopySwitchClicked();

// The paste hotkey F2's identifier: 0 when another program holds F2.
extern int PasteHotkeyId;

// The feedback handler of the label that F2 reports to: pastes with Ctrl+V.
void PasteHotkeyHandler(int first, int second);
