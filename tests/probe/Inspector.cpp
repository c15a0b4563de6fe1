// Test-only helper that reads another program's windows from inside the same
// Wine prefix and prints them as JSON lines. Texts are read as UTF-16 and
// given as hex of their code page 936 bytes.
// The window is named by its class, or by "class|title".
//   inspector <window class> tree       the window and all its descendants
//   inspector <window class> select N   CB_SETCURSEL N on its first combo box
//   inspector <window class> popups     every top-level window of its thread
//   inspector <window class> focus      the focused window and the ids up to the top
//   inspector <window class> send MSG [WPARAM]  sends a message to the window
//   inspector <window class> process    its thread and handle counts, its working set,
//                                       peak working set and private bytes, and whether
//                                       it answers
//   inspector <window class> shown MS   waits up to MS ms for the window to be visible
//                                       (no window yet is fine), then prints when its
//                                       process was created and when the window was seen,
//                                       as Unix times in seconds
#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Hex936(const wchar_t* text) {
  char bytes[2048];
  const int length = WideCharToMultiByte(936, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
  std::string hex;
  for (int i = 0; i + 1 < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(bytes[i]));
    hex += pair;
  }
  return hex;
}

// WM_GETTEXT reaches the control itself; GetWindowText of another process's
// window only reads the caption the system keeps.
std::string TextOf(HWND hwnd) {
  wchar_t text[1024] = L"";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, &ignored);
  return Hex936(text);
}

unsigned long long Handle(HWND hwnd) { return reinterpret_cast<UINT_PTR>(hwnd); }

void PrintWindow(HWND hwnd) {
  char className[256] = "";
  GetClassNameA(hwnd, className, sizeof className);
  RECT rect;
  GetWindowRect(hwnd, &rect);
  RECT client;
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  std::printf(
      "{\"hwnd\": %llu, \"parent\": %llu, \"class\": \"%s\", \"id\": %ld, \"text\": \"%s\", "
      "\"rect\": [%ld, %ld, %ld, %ld], \"client\": [%ld, %ld], \"style\": %lu, \"exstyle\": %lu, "
      "\"origin\": [%ld, %ld], \"visible\": %d, \"enabled\": %d",
      Handle(hwnd),
      Handle((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr), className,
      static_cast<long>(GetWindowLongPtrA(hwnd, GWLP_ID)), TextOf(hwnd).c_str(),
      static_cast<long>(rect.left), static_cast<long>(rect.top), static_cast<long>(rect.right),
      static_cast<long>(rect.bottom), static_cast<long>(client.right),
      static_cast<long>(client.bottom), static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_STYLE)),
      static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_EXSTYLE)), static_cast<long>(origin.x),
      static_cast<long>(origin.y), IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0);
  if (_stricmp(className, "ComboBox") == 0) {
    const LRESULT count = SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
    std::printf(", \"selection\": %ld, \"items\": [",
                static_cast<long>(SendMessageW(hwnd, CB_GETCURSEL, 0, 0)));
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t item[256] = L"";
      SendMessageW(hwnd, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      std::printf("%s\"%s\"", i ? ", " : "", Hex936(item).c_str());
    }
    std::printf("]");
  }
  std::printf("}\n");
}

// Children in z-order, top first, each followed by its own children.
void PrintTree(HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    PrintWindow(child);
    PrintTree(child);
  }
}

BOOL CALLBACK PrintEach(HWND hwnd, LPARAM) {
  PrintWindow(hwnd);
  return TRUE;
}

BOOL CALLBACK FindCombo(HWND hwnd, LPARAM found) {
  char className[64] = "";
  GetClassNameA(hwnd, className, sizeof className);
  if (_stricmp(className, "ComboBox") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// Wine answers GetProcessHandleCount with 0, but lists every handle of the
// system with their owners.
long CountHandles(DWORD processId) {
  constexpr NTSTATUS kLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
  std::vector<BYTE> buffer(1 << 16);
  NTSTATUS status;
  ULONG needed = 0;
  while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), &needed)) ==
         kLengthMismatch) {
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
  }
  if (status != 0) return -1;
  const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  long count = 0;
  for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == processId;
  return count;
}

// FILETIME counts 100 ns from 1601; the caller's clock counts seconds from 1970.
double UnixSeconds(const FILETIME& time) {
  const unsigned long long ticks =
      (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (static_cast<double>(ticks) - 116444736000000000.0) / 1e7;
}

// Polls every millisecond: starting another inspector per look would cost more
// than the start-up being timed.
int WaitShown(const std::string& className, const std::string& title, DWORD timeoutMs) {
  std::printf("{\"waiting\": 1}\n");
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(className.c_str(), title.empty() ? nullptr : title.c_str());
    if (window && IsWindowVisible(window)) {
      FILETIME seen;
      GetSystemTimePreciseAsFileTime(&seen);
      DWORD processId = 0;
      GetWindowThreadProcessId(window, &processId);
      FILETIME created{}, exited, kernel, user;
      HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
      GetProcessTimes(process, &created, &exited, &kernel, &user);
      CloseHandle(process);
      std::printf("{\"created\": %.4f, \"seen\": %.4f}\n", UnixSeconds(created), UnixSeconds(seen));
      return 0;
    }
    if (GetTickCount() - start > timeoutMs) {
      std::printf("{\"error\": \"never shown\"}\n");
      return 3;
    }
    Sleep(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3) return 2;
  // "Class" or "Class|Title".
  std::string className = argv[1];
  std::string title;
  if (const std::size_t bar = className.find('|'); bar != std::string::npos) {
    title = className.substr(bar + 1);
    className.resize(bar);
  }
  if (std::strcmp(argv[2], "shown") == 0 && argc > 3) {
    return WaitShown(className, title, static_cast<DWORD>(std::atoi(argv[3])));
  }
  HWND window = FindWindowA(className.c_str(), title.empty() ? nullptr : title.c_str());
  if (!window) {
    std::printf("{\"error\": \"no window\"}\n");
    return 3;
  }
  const std::string command = argv[2];
  if (command == "tree") {
    std::printf("{\"acp\": %u, \"screen\": [%d, %d]}\n", GetACP(), GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    PrintWindow(window);
    PrintTree(window);
    return 0;
  }
  if (command == "select" && argc > 3) {
    HWND combo = nullptr;
    EnumChildWindows(window, FindCombo, reinterpret_cast<LPARAM>(&combo));
    if (!combo) return 4;
    SendMessageW(combo, CB_SETCURSEL, std::atoi(argv[3]), 0);
    std::printf("{\"selection\": %ld}\n",
                static_cast<long>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
    return 0;
  }
  if (command == "popups") {
    EnumThreadWindows(GetWindowThreadProcessId(window, nullptr), PrintEach, 0);
    return 0;
  }
  if (command == "focus") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    std::printf("{\"active\": %llu, \"focus\": %llu, \"ids\": [", Handle(info.hwndActive),
                Handle(info.hwndFocus));
    for (HWND hwnd = info.hwndFocus; hwnd && hwnd != window; hwnd = GetParent(hwnd)) {
      std::printf("%s%ld", hwnd == info.hwndFocus ? "" : ", ",
                  static_cast<long>(GetWindowLongPtrA(hwnd, GWLP_ID)));
    }
    std::printf("]}\n");
    return 0;
  }
  if (command == "send" && argc > 3) {
    const WPARAM wParam = argc > 4 ? static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)) : 0;
    SendMessageW(window, static_cast<UINT>(std::atoi(argv[3])), wParam, 0);
    return 0;
  }
  if (command == "process") {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int threads = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
      threads += entry.th32OwnerProcessID == processId;
    }
    CloseHandle(snapshot);
    const long handles = CountHandles(processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    DWORD_PTR answer = 0;
    const bool answers =
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) != 0;
    std::printf(
        "{\"pid\": %lu, \"threads\": %d, \"handles\": %ld, \"working_set\": %llu, "
        "\"peak_working_set\": %llu, \"private\": %llu, \"answers\": %d}\n",
        static_cast<unsigned long>(processId), threads, handles,
        static_cast<unsigned long long>(memory.WorkingSetSize),
        static_cast<unsigned long long>(memory.PeakWorkingSetSize),
        static_cast<unsigned long long>(memory.PagefileUsage), answers ? 1 : 0);
    return 0;
  }
  return 2;
}
