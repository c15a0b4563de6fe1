#include "FakeWin32.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

FakeWin32* fake = new FakeWin32();

struct FakeBlock {
  std::vector<char> bytes;
  int locks = 0;
};

std::uintptr_t nextHandle = 0x1000;

}  // namespace

FakeWin32& Fake() { return *fake; }

void ResetFake() {
  for (HGLOBAL block : fake->liveBlocks) delete static_cast<FakeBlock*>(block);
  for (void* block : fake->heapBlocks) std::free(block);
  delete fake;
  fake = new FakeWin32();
}

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10000 + n)); }

std::vector<DWORD> FakeWin32::EmptiedAt() const {
  std::vector<DWORD> ticks;
  for (const ClipboardWrite& write : clipboardWrites) {
    if (write.text.empty()) ticks.push_back(write.tick);
  }
  return ticks;
}

void WINAPI keybd_event(BYTE bVk, BYTE bScan, DWORD dwFlags, ULONG_PTR dwExtraInfo) {
  if (bScan != 0 || dwExtraInfo != 0 || (dwFlags & ~KEYEVENTF_KEYUP) != 0) {
    throw std::logic_error("keybd_event called with scan code, flags or extra information");
  }
  fake->keys.push_back({bVk, (dwFlags & KEYEVENTF_KEYUP) != 0, fake->tick});
}

DWORD WINAPI GetTickCount() {
  if (++fake->tickReadings > fake->tickReadingLimit) throw std::runtime_error("wait never ended");
  const DWORD now = fake->tick;
  fake->tick += fake->tickStep;
  return now;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND, UINT, UINT, UINT wRemoveMsg) {
  ++fake->peekCalls;
  if (wRemoveMsg != PM_NOREMOVE) throw std::logic_error("PeekMessageA must not remove");
  if (fake->queue.empty()) return FALSE;
  *lpMsg = fake->queue.front();
  return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND, UINT, UINT) {
  if (fake->queue.empty()) throw std::logic_error("GetMessageA would block");
  *lpMsg = fake->queue.front();
  fake->queue.pop_front();
  return lpMsg->message != WM_QUIT;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG*) {
  ++fake->dispatched;
  return 0;
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD, LPDWORD lpThreadId) {
  fake->threadEntries.push_back(lpStartAddress);
  fake->threadParameters.push_back(lpParameter);
  if (fake->createThreadFails) return nullptr;
  HANDLE handle = reinterpret_cast<HANDLE>(nextHandle++);
  fake->threadHandles.push_back(handle);
  if (lpThreadId) *lpThreadId = static_cast<DWORD>(fake->threadHandles.size());
  return handle;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
  fake->closedHandles.push_back(hObject);
  return hObject != nullptr;
}

BOOL WINAPI OpenClipboard(HWND) {
  if (fake->clipboardBusy || fake->clipboardOpen) return FALSE;
  fake->clipboardOpen = true;
  return TRUE;
}

BOOL WINAPI EmptyClipboard() {
  if (!fake->clipboardOpen) throw std::logic_error("EmptyClipboard without OpenClipboard");
  fake->clipboardFormats.clear();
  return TRUE;
}

BOOL WINAPI CloseClipboard() {
  if (!fake->clipboardOpen) throw std::logic_error("CloseClipboard without OpenClipboard");
  fake->clipboardOpen = false;
  return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
  if (!fake->clipboardOpen) throw std::logic_error("SetClipboardData without OpenClipboard");
  if (fake->setDataFails) return nullptr;
  auto* block = static_cast<FakeBlock*>(hMem);
  if (uFormat != CF_TEXT || block->locks != 0) throw std::logic_error("bad SetClipboardData");
  const std::string text(block->bytes.data());
  fake->clipboardFormats.push_back(text);
  fake->clipboardWrites.push_back({text, fake->tick});
  fake->liveBlocks.erase(hMem);
  delete block;
  return hMem;
}

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T dwBytes) {
  if (fake->allocFails) return nullptr;
  auto* block = new FakeBlock{std::vector<char>(dwBytes, '\x55'), 0};
  fake->liveBlocks.insert(block);
  return block;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
  if (fake->lockFails) return nullptr;
  auto* block = static_cast<FakeBlock*>(hMem);
  ++block->locks;
  return block->bytes.data();
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
  auto* block = static_cast<FakeBlock*>(hMem);
  --block->locks;
  return block->locks > 0;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
  if (fake->liveBlocks.erase(hMem) == 0) throw std::logic_error("GlobalFree of a block not ours");
  delete static_cast<FakeBlock*>(hMem);
  return nullptr;
}

BOOL WINAPI IsWindow(HWND hWnd) { return fake->windows.count(hWnd) != 0; }

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  ++fake->sentMessages;
  fake->sent.push_back(MSG{hWnd, Msg, wParam, lParam, fake->tick, {0, 0}});
  if (fake->onSendMessage) return fake->onSendMessage(hWnd, Msg, wParam, lParam);
  return Msg == CB_GETCURSEL ? -1 : 0;
}

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  fake->messageBoxTexts.push_back(lpText);
  fake->messageBoxCaptions.push_back(lpCaption);
  fake->messageBoxStyles.push_back(uType);
  return 1;
}

void WINAPI ExitProcess(UINT uExitCode) { throw ProcessExit{uExitCode}; }

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (fake->cursorFails) return FALSE;
  *lpPoint = fake->cursor;
  return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK, int, WPARAM, LPARAM) {
  ++fake->nextHookCalls;
  return fake->nextHookResult;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  if (nIndex != GWLP_WNDPROC) throw std::logic_error("only window procedures are faked");
  ++fake->setWindowProcCalls;
  if (fake->setWindowProcFails) return 0;
  const LONG_PTR previous = fake->windowProcs[hWnd];
  fake->windowProcs[hWnd] = dwNewLong;
  return previous;
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
  fake->passedOn.push_back(MSG{hWnd, Msg, wParam, lParam, fake->tick, {0, 0}});
  fake->passedOnTo.push_back(lpPrevWndFunc);
  return fake->passedOnResult;
}

BOOL WINAPI RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
  fake->calls.push_back("RegisterHotKey");
  const FakeWin32::Hotkey hotkey{hWnd, id, fsModifiers, vk};
  fake->hotkeyAttempts.push_back(hotkey);
  if (!fake->takenHotkeys.insert({fsModifiers, vk}).second) return FALSE;
  fake->hotkeys.push_back(hotkey);
  return TRUE;
}

HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC, HINSTANCE hmod, DWORD dwThreadId) {
  if (idHook != WH_MOUSE_LL || dwThreadId != 0 || hmod != GetModuleHandleA(nullptr)) {
    throw std::logic_error("not a global low-level mouse hook of this module");
  }
  HHOOK hook = reinterpret_cast<HHOOK>(fake->nextHook++);
  fake->installedHooks.insert(hook);
  fake->calls.push_back("SetWindowsHookExA");
  return hook;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
  fake->calls.push_back("UnhookWindowsHookEx");
  return fake->installedHooks.erase(hhk) != 0;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (lpModuleName) throw std::logic_error("only the program's own module");
  return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x400000));
}

DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize) {
  const std::string& path = fake->modulePath;
  const DWORD copied = static_cast<DWORD>(std::min<std::size_t>(path.size(), nSize - 1));
  std::memcpy(lpFilename, path.data(), copied);
  lpFilename[copied] = '\0';
  return copied;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
  fake->calls.push_back(std::string("SetCurrentDirectoryA(") + lpPathName + ")");
  return TRUE;
}

UINT WINAPI SetErrorMode(UINT uMode) {
  fake->calls.push_back("SetErrorMode(" + std::to_string(uMode) + ")");
  const UINT previous = fake->errorMode;
  fake->errorMode = uMode;
  return previous;
}

HANDLE WINAPI GetProcessHeap() {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x77));
}

LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes) {
  if (hHeap != GetProcessHeap() || dwFlags != 0) throw std::logic_error("unexpected heap or flags");
  fake->calls.push_back("HeapAlloc(" + std::to_string(dwBytes) + ")");
  if (fake->heapAllocFails) return nullptr;
  void* block = std::malloc(dwBytes);
  std::memset(block, 0xCD, dwBytes);
  fake->heapBlocks.insert(block);
  return block;
}

BOOL WINAPI HeapFree(HANDLE, DWORD, LPVOID lpMem) {
  fake->calls.push_back("HeapFree");
  if (fake->heapBlocks.erase(lpMem) == 0) throw std::logic_error("HeapFree of a block not ours");
  std::free(lpMem);
  return TRUE;
}

// Code page 936: lead bytes are 0x81 to 0xFE.
BOOL WINAPI IsDBCSLeadByte(BYTE TestChar) { return TestChar >= 0x81 && TestChar <= 0xFE; }

BOOL WINAPI SetProcessWorkingSetSize(HANDLE hProcess, SIZE_T dwMinimumWorkingSetSize,
                                     SIZE_T dwMaximumWorkingSetSize) {
  if (hProcess != reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)) ||
      dwMinimumWorkingSetSize != static_cast<SIZE_T>(-1) ||
      dwMaximumWorkingSetSize != static_cast<SIZE_T>(-1)) {
    throw std::logic_error("not a trim of this process");
  }
  fake->calls.push_back("SetProcessWorkingSetSize");
  return TRUE;
}

HRESULT WINAPI OleInitialize(LPVOID) {
  fake->calls.push_back("OleInitialize");
  return 0;
}

void WINAPI OleUninitialize() { fake->calls.push_back("OleUninitialize"); }
