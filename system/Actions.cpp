#include <cstring>
#include <string>

#include "System.h"

namespace {

class ClipboardSession {
 public:
  ClipboardSession() : open_(OpenClipboard(nullptr) != FALSE) {}
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL block) : block_(block), data_(GlobalLock(block)) {}
  ~GlobalLockGuard() {
    if (data_) GlobalUnlock(block_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  void* Data() const { return data_; }

 private:
  HGLOBAL block_;
  void* data_;
};

bool IsKeyPresent(int key) { return (key & 0xFF) != 0; }

void KeyDown(int key) { keybd_event(static_cast<BYTE>(key), 0, 0, 0); }

void KeyUp(int key) { keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0); }

}  // namespace

void PressKeys(int key1, int key2, int key3) {
  KeyDown(key1);
  if (IsKeyPresent(key2)) KeyDown(key2);
  if (IsKeyPresent(key3)) KeyDown(key3);
  KeyUp(key1);
  if (IsKeyPresent(key2)) KeyUp(key2);
  if (IsKeyPresent(key3)) KeyUp(key3);
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    GetMessageA(&msg, nullptr, 0, 0);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void WaitProcessingEvents(int ms) {
  if (ms <= 0) return;
  // Elapsed time as an unsigned difference stays right across the wrap of the
  // tick count, where a deadline sum would overflow.
  const DWORD start = GetTickCount();
  const DWORD length = static_cast<DWORD>(ms);
  for (;;) {
    ProcessPendingMessages();
    ProcessPendingMessages();
    if (GetTickCount() - start > length) return;
    ProcessPendingMessages();
    ProcessPendingMessages();
  }
}

bool StartWorkerThread(LPTHREAD_START_ROUTINE entry) {
  DWORD threadId = 0;
  HANDLE thread = CreateThread(nullptr, 0, entry, nullptr, 0, &threadId);
  const bool started = thread != nullptr;
  CloseHandle(thread);
  return started;
}

bool SetClipboardText(const char* text) {
  ClipboardSession clipboard;
  if (!clipboard.IsOpen()) return false;
  EmptyClipboard();

  if (!text) text = "";
  const SIZE_T size = std::strlen(text) + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  if (!block) return false;
  {
    GlobalLockGuard lock(block);
    if (!lock.Data()) {
      GlobalFree(block);
      return false;
    }
    std::memcpy(lock.Data(), text, size);
  }
  // The clipboard owns the block only once SetClipboardData has taken it.
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

ControlRead TryReadComboSelection(const ControlRef& combo, int* selection) {
  if (!combo.window || !IsWindow(combo.window)) return ControlRead::WindowGone;
  if (!combo.control || !IsWindow(combo.control)) return ControlRead::ControlGone;
  const LRESULT index = SendMessageA(combo.control, CB_GETCURSEL, 0, 0);
  // A window destroyed while the send was pending answers 0, which is not a
  // selection.
  if (!IsWindow(combo.control)) return ControlRead::ControlGone;
  *selection = static_cast<int>(index);
  return ControlRead::Ok;
}

int ReadComboSelection(const ControlRef& combo) {
  int selection = -1;
  switch (TryReadComboSelection(combo, &selection)) {
    case ControlRead::Ok:
      break;
    case ControlRead::WindowGone:
      ReportFatalError("未载入欲访问窗口组件所在的窗口");
    case ControlRead::ControlGone:
      ReportFatalError("指定窗口尚未载入");
  }
  return selection;
}

void (*ExitRoutineSlot)() = nullptr;
void (*ShutdownRoutine)() = nullptr;

void RunEndOfProgramCleanup() {
  if (void (*routine)() = ExitRoutineSlot) {
    ExitRoutineSlot = nullptr;
    routine();
  }
  if (ShutdownRoutine) ShutdownRoutine();
}

void ReportFatalError(const char* message) {
  const std::string text = std::string("运行时出错!\r\n\r\n错误信息：") + message + "\r\n";
  MessageBoxA(nullptr, text.c_str(), "错误", MB_ICONERROR);
  ExitRoutineSlot = nullptr;
  RunEndOfProgramCleanup();
  ExitProcess(static_cast<UINT>(-1));
}
