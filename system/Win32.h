// The Win32 surface the portable code is written against. Windows builds take
// the real declarations; native builds get these look-alikes, implemented by the
// recording fake under tests/, so the same sources run in unit tests.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using UINT_PTR = std::uintptr_t;
using ULONG_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using SIZE_T = std::size_t;
using LPVOID = void*;
using HANDLE = void*;
using HGLOBAL = void*;
using LPCSTR = const char*;
using LPSTR = char*;
using LPDWORD = DWORD*;
using HRESULT = std::int32_t;

struct HWND__;
using HWND = HWND__*;
struct HHOOK__;
using HHOOK = HHOOK__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

struct POINT {
  LONG x;
  LONG y;
};
using LPPOINT = POINT*;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPTHREAD_START_ROUTINE = DWORD(WINAPI*)(LPVOID);
using HOOKPROC = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);
using WNDPROC = LRESULT(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CF_TEXT = 1;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr int WH_MOUSE_LL = 14;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_F2 = 0x71;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr int GWLP_WNDPROC = -4;
constexpr UINT MOD_ALT = 0x0001;
constexpr UINT MOD_CONTROL = 0x0002;
constexpr UINT MOD_SHIFT = 0x0004;
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;
constexpr DWORD MAX_PATH = 260;

void WINAPI keybd_event(BYTE bVk, BYTE bScan, DWORD dwFlags, ULONG_PTR dwExtraInfo);
DWORD WINAPI GetTickCount();
BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg);
BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
BOOL WINAPI TranslateMessage(const MSG* lpMsg);
LRESULT WINAPI DispatchMessageA(const MSG* lpMsg);
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId);
BOOL WINAPI CloseHandle(HANDLE hObject);
BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
BOOL WINAPI EmptyClipboard();
BOOL WINAPI CloseClipboard();
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
LPVOID WINAPI GlobalLock(HGLOBAL hMem);
BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
BOOL WINAPI IsWindow(HWND hWnd);
LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
[[noreturn]] void WINAPI ExitProcess(UINT uExitCode);
BOOL WINAPI GetCursorPos(LPPOINT lpPoint);
LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);
LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam);
BOOL WINAPI RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk);
HHOOK WINAPI SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE hmod, DWORD dwThreadId);
BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk);
HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName);
UINT WINAPI SetErrorMode(UINT uMode);
HANDLE WINAPI GetProcessHeap();
LPVOID WINAPI HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes);
BOOL WINAPI HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);
BOOL WINAPI IsDBCSLeadByte(BYTE TestChar);
BOOL WINAPI SetProcessWorkingSetSize(HANDLE hProcess, SIZE_T dwMinimumWorkingSetSize,
                                     SIZE_T dwMaximumWorkingSetSize);
HRESULT WINAPI OleInitialize(LPVOID pvReserved);
void WINAPI OleUninitialize();

// Wave output, threads and events for the sound clips.
using DWORD_PTR = std::uintptr_t;
using MMRESULT = UINT;
using LPHANDLE = HANDLE*;
struct HWAVEOUT__;
using HWAVEOUT = HWAVEOUT__*;
using LPHWAVEOUT = HWAVEOUT*;

#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

struct WAVEHDR {
  LPSTR lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD dwLoops;
  WAVEHDR* lpNext;
  DWORD_PTR reserved;
};
using LPWAVEHDR = WAVEHDR*;

struct CRITICAL_SECTION {
  void* DebugInfo;
  LONG LockCount;
  LONG RecursionCount;
  HANDLE OwningThread;
  HANDLE LockSemaphore;
  ULONG_PTR SpinCount;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

constexpr UINT WAVE_MAPPER = static_cast<UINT>(-1);
constexpr WORD WAVE_FORMAT_PCM = 1;
constexpr DWORD CALLBACK_FUNCTION = 0x00030000;
constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;
constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_INQUEUE = 0x10;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;
constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD SYNCHRONIZE = 0x00100000;

using WAVEOUTPROC = void(CALLBACK*)(HWAVEOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

UINT WINAPI waveOutGetNumDevs();
MMRESULT WINAPI waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx,
                            DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen);
MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
MMRESULT WINAPI waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
MMRESULT WINAPI waveOutPause(HWAVEOUT hwo);
MMRESULT WINAPI waveOutReset(HWAVEOUT hwo);
MMRESULT WINAPI waveOutClose(HWAVEOUT hwo);
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                           BOOL bInitialState, LPCSTR lpName);
BOOL WINAPI SetEvent(HANDLE hEvent);
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                    DWORD dwMilliseconds);
DWORD WINAPI ResumeThread(HANDLE hThread);
HANDLE WINAPI GetCurrentProcess();
BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle,
                            HANDLE hTargetProcessHandle, LPHANDLE lpTargetHandle,
                            DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwOptions);
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
// End of wave output, threads and events.
#endif
