// Test-only stand-in for the main window: an edit control with known text and
// a combo box with the seven wait items, running the real drag detector and
// copy-and-paste sequence. The optional command-line number picks an item.
// It writes probe.txt into the current directory: the screen positions of the
// edit control and of each of its characters, for the test to drag across.
#include <cstdio>
#include <cstdlib>

#include "engine/Engine.h"

namespace {

constexpr char kText[] = "alpha bravo charlie delta echo";
constexpr const char* kItems[] = {"0.8秒", "1秒", "1.2秒", "1.5秒", "2秒", "2.5秒", "3秒"};
POINT pressPoint{0, 0};

LRESULT CALLBACK ProbeWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void WritePositions(HWND edit) {
  FILE* file = std::fopen("probe.tmp", "w");
  if (!file) return;
  RECT rect;
  GetWindowRect(edit, &rect);
  std::fprintf(file, "edit %ld %ld %ld %ld\n", static_cast<long>(rect.left),
               static_cast<long>(rect.top), static_cast<long>(rect.right),
               static_cast<long>(rect.bottom));
  for (int i = 0; i < static_cast<int>(sizeof kText) - 1; ++i) {
    const LRESULT packed = SendMessageA(edit, EM_POSFROMCHAR, i, 0);
    POINT point{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
    ClientToScreen(edit, &point);
    std::fprintf(file, "char %d %ld %ld\n", i, static_cast<long>(point.x),
                 static_cast<long>(point.y));
  }
  std::fclose(file);
  MoveFileExA("probe.tmp", "probe.txt", MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  PressPoint = &pressPoint;

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ProbeWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "DragProbe";
  RegisterClassA(&windowClass);

  HWND window = CreateWindowExA(0, "DragProbe", "Drag probe", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                40, 40, 420, 200, nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExA(0, "EDIT", kText, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                              10, 10, 380, 28, window, nullptr, instance, nullptr);
  HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                               10, 60, 120, 160, window, nullptr, instance, nullptr);
  if (!window || !edit || !combo) return 1;
  HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const char* item : kItems) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  const int picked = commandLine && *commandLine ? std::atoi(commandLine) : -1;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(picked), 0);

  WaitTimeChoice = {window, combo};
  MouseHookHandle = SetWindowsHookExA(WH_MOUSE_LL, DragDetector, GetModuleHandleA(nullptr), 0);

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  WritePositions(edit);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  UnhookWindowsHookEx(MouseHookHandle);
  return static_cast<int>(msg.wParam);
}
