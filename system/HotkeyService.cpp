#include "System.h"

DWORD HotkeyCounter = 0;
DWORD LastHotkeyId = 0;
HWND FeedbackTarget = nullptr;
WNDPROC PreviousWindowProc = nullptr;

namespace {

constexpr DWORD kFirstHotkeyId = 33001;

}  // namespace

UINT TranslateHotkeyModifiers(int modifiers) {
  switch (modifiers) {
    case 0:
      return 0;
    case 1:
      return MOD_CONTROL;
    case 2:
      return MOD_SHIFT;
    case 3:
      return MOD_CONTROL | MOD_SHIFT;
    case 4:
      return MOD_ALT;
    case 5:
      return MOD_CONTROL | MOD_ALT;
    case 6:
      return MOD_SHIFT | MOD_ALT;
    default:
      return static_cast<UINT>(modifiers);
  }
}

int RegisterFeedbackHotkey(HWND window, HWND target, int modifiers, int virtualKey) {
  FeedbackTarget = target;
  const UINT translated = TranslateHotkeyModifiers(modifiers);
  // Only the first registering window gets the forwarding procedure, and it
  // must be in place before WM_HOTKEY can arrive.
  if (!PreviousWindowProc) {
    PreviousWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HotkeyWindowProc)));
  }
  ++HotkeyCounter;
  LastHotkeyId = kFirstHotkeyId - 1 + HotkeyCounter;
  const bool registered = RegisterHotKey(window, static_cast<int>(LastHotkeyId), translated,
                                         static_cast<UINT>(virtualKey));
  return registered ? static_cast<int>(LastHotkeyId) : 0;
}

LRESULT CALLBACK HotkeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HOTKEY) {
    const DWORD id = static_cast<DWORD>(wParam);
    if (id >= kFirstHotkeyId && id <= LastHotkeyId) {
      SendMessageA(FeedbackTarget, FeedbackMessage, wParam, 0);
    }
  }
  return CallWindowProcA(PreviousWindowProc, hwnd, message, wParam, lParam);
}
