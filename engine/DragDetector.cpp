#include "Engine.h"

POINT* PressPoint = nullptr;
HHOOK MouseHookHandle = nullptr;

// Runs inside the system's mouse input path: read the cursor, compare, hand off.
LRESULT CALLBACK DragDetector(int nCode, WPARAM wParam, LPARAM lParam) {
  switch (wParam) {
    case WM_LBUTTONDOWN:
      GetCursorPos(PressPoint);
      return CallNextHookEx(MouseHookHandle, nCode, wParam, lParam);
    case WM_LBUTTONUP: {
      POINT release{0, 0};
      GetCursorPos(&release);
      if (release.x != PressPoint->x || release.y != PressPoint->y) {
        StartWorker<CopyPasteSequence>();
      }
      // Other hooks in the chain still see the release; it always reaches its
      // window whatever they answer.
      CallNextHookEx(MouseHookHandle, nCode, wParam, lParam);
      return 0;
    }
    default:
      return CallNextHookEx(MouseHookHandle, nCode, wParam, lParam);
  }
}

void InstallMouseHook() {
  HMODULE module = GetModuleHandleA(nullptr);
  MouseHookHandle = SetWindowsHookExA(WH_MOUSE_LL, DragDetector, module, 0);
}
