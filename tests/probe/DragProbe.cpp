// Test-only stand-in for a user's application: a window with an edit control
// holding known text and a combo box with the seven wait items. By default it
// runs the real drag detector and copy-and-paste sequence over its own combo
// box. Command-line words:
//   N          pick item N of the combo box
//   nohook     install no hook: a plain target for another program's hook
//   name=NAME  window title and output name (default "probe")
//   at=X,Y     window position (default 40,40)
//   log        write NAME-events.txt: "<tick> up" for each left-button release
//              (through a hook of its own that only watches), "<tick> key C"
//              and "<tick> key V" for Ctrl+C and Ctrl+V reaching it, and
//              "<tick> clip HEX" for each clipboard change with its CF_TEXT
// It writes NAME.txt into the current directory with the screen positions of
// the edit control and of each of its characters, and appends a line to
// NAME-keys.txt for every F2 key-down that reaches it, with its modifiers.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Words.h"
#include "engine/Engine.h"

namespace {

constexpr char kText[] = "alpha bravo charlie delta echo";
constexpr const char* kItems[] = {"0.8秒", "1秒", "1.2秒", "1.5秒", "2秒", "2.5秒", "3秒"};
POINT pressPoint{0, 0};

struct Options {
  bool hooked = true;
  int picked = -1;
  std::string name = "probe";
  int x = 40, y = 40;
  bool log = false;
};

FILE* events = nullptr;

void LogEvent(const char* what, const std::string& detail = "") {
  if (!events) return;
  std::fprintf(events, "%lu %s%s%s\n", static_cast<unsigned long>(GetTickCount()), what,
               detail.empty() ? "" : " ", detail.c_str());
  std::fflush(events);
}

std::string Hex(const char* bytes) {
  std::string hex;
  for (; *bytes; ++bytes) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(*bytes));
    hex += pair;
  }
  return hex;
}

void LogClipboard(HWND window) {
  std::string text = "none";
  if (OpenClipboard(window)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
        text = Hex(bytes);
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  LogEvent("clip", text.empty() ? "-" : text);
}

LRESULT CALLBACK WatchingHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (wParam == WM_LBUTTONUP) LogEvent("up");
  return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

Options ParseOptions(const char* commandLine) {
  Options options;
  for (const std::string& word : SplitWords(commandLine)) {
    if (word == "nohook") {
      options.hooked = false;
    } else if (word.rfind("name=", 0) == 0) {
      options.name = word.substr(5);
    } else if (word == "log") {
      options.log = true;
    } else if (word.rfind("at=", 0) == 0) {
      std::sscanf(word.c_str() + 3, "%d,%d", &options.x, &options.y);
    } else {
      options.picked = std::atoi(word.c_str());
    }
  }
  return options;
}

LRESULT CALLBACK ProbeWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_CLIPBOARDUPDATE) {
    LogClipboard(hwnd);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void WritePositions(HWND edit, const std::string& name) {
  const std::string temporary = name + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "w");
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
  MoveFileExA(temporary.c_str(), (name + ".txt").c_str(), MOVEFILE_REPLACE_EXISTING);
}

void LogF2(const std::string& name) {
  FILE* file = std::fopen((name + "-keys.txt").c_str(), "a");
  if (!file) return;
  std::fprintf(file, "F2%s%s%s\n", GetKeyState(VK_SHIFT) < 0 ? " shift" : "",
               GetKeyState(VK_CONTROL) < 0 ? " ctrl" : "", GetKeyState(VK_MENU) < 0 ? " alt" : "");
  std::fclose(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const Options options = ParseOptions(commandLine);
  PressPoint = &pressPoint;

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ProbeWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "DragProbe";
  RegisterClassA(&windowClass);

  HWND window =
      CreateWindowExA(0, "DragProbe", options.name.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                      options.x, options.y, 420, 200, nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExA(0, "EDIT", kText, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                              10, 10, 380, 28, window, nullptr, instance, nullptr);
  HWND combo =
      CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, 10,
                      60, 120, 160, window, nullptr, instance, nullptr);
  if (!window || !edit || !combo) return 1;
  HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const char* item : kItems) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(options.picked), 0);

  WaitTimeChoice = {window, combo};
  if (options.hooked) {
    InstallMouseHook();
  }
  HHOOK watcher = nullptr;
  if (options.log) {
    events = std::fopen((options.name + "-events.txt").c_str(), "w");
    AddClipboardFormatListener(window);
    if (!options.hooked) {
      watcher = SetWindowsHookExA(WH_MOUSE_LL, WatchingHook, GetModuleHandleA(nullptr), 0);
    }
  }

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  WritePositions(edit, options.name);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_F2) {
      LogF2(options.name);
    }
    if (msg.message == WM_KEYDOWN && (msg.wParam == 'C' || msg.wParam == 'V') &&
        GetKeyState(VK_CONTROL) < 0) {
      LogEvent("key", msg.wParam == 'C' ? "C" : "V");
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (options.hooked) UnhookWindowsHookEx(MouseHookHandle);
  if (watcher) UnhookWindowsHookEx(watcher);
  return static_cast<int>(msg.wParam);
}
