#include "Lifecycle.h"

#include <cstdio>

#include "MainWindow.h"
#include "SoundClips.h"
#include "engine/Engine.h"

namespace {

void StopClipsAndUninitialise() {
  StopAllClips(true);
  OleUninitialize();
}

void EnterExecutableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  path[MAX_PATH - 1] = '\0';
  path[FolderLength(path)] = '\0';
  SetCurrentDirectoryA(path);
}

void AllocatePressPoint() {
  constexpr int kSize = sizeof(POINT);
  PressPoint = static_cast<POINT*>(HeapAlloc(GetProcessHeap(), 0, kSize));
  if (!PressPoint) {
    char message[64];
    std::snprintf(message, sizeof message, "分配 %d 字节内存失败!", kSize);
    ReportFatalError(message);
  }
  PressPoint->x = 0;
  PressPoint->y = 0;
}

WPARAM RunMessageLoop() {
  MSG msg{};
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 0;
    if (MainWindowPreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return msg.wParam;
}

}  // namespace

std::size_t FolderLength(const char* path) {
  std::size_t folder = 0;
  for (std::size_t i = 0; path[i] != '\0'; ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && path[i + 1] != '\0') {
      ++i;
    } else if (path[i] == '\\') {
      folder = i;
    }
  }
  return folder;
}

void ReleasePressPoint() { HeapFree(GetProcessHeap(), 0, PressPoint); }

int RunProgram() {
  const UINT errorMode = SetErrorMode(0);
  SetErrorMode(errorMode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  OleInitialize(nullptr);
  ShutdownRoutine = StopClipsAndUninitialise;
  EnterExecutableFolder();
  AllocatePressPoint();
  ExitRoutineSlot = ReleasePressPoint;
  if (!LoadMainWindow()) ReportFatalError("载入启动窗口失败");
  const WPARAM exitCode = RunMessageLoop();
  RunEndOfProgramCleanup();
  return static_cast<int>(exitCode);
}

// Everything is in place before the user sees the window.
void MainWindowCreated() {
  PlayClip(StartClip, StartClipLength, false);
  SetTrimTimerPeriod(500);
  PasteHotkeyId = RegisterFeedbackHotkey(MainWindow.window, MainWindow.标签1, 0, VK_F2);
  InstallMouseHook();
}

// Never refuses: the window always closes.
void MainWindowCanClose() { UnhookWindowsHookEx(MouseHookHandle); }

void TrimTimerTick() {
  SetProcessWorkingSetSize(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)),
                           static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}
