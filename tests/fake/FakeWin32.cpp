#include "FakeWin32.h"

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
