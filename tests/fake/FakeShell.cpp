#include "FakeShell.h"

#include "FakeWin32.h"
#include "shell/MainWindow.h"
#include "shell/SoundClips.h"

MainWindowHandles MainWindow{};

namespace {

FakeShell shell;

}  // namespace

FakeShell& Shell() { return shell; }

void ResetShell() {
  shell = FakeShell{};
  MainWindow = MainWindowHandles{};
}

bool LoadMainWindow() {
  Fake().calls.push_back("LoadMainWindow");
  if (shell.loadFails) return false;
  MainWindow.window = FakeWindow(1);
  MainWindow.标签1 = FakeWindow(2);
  MainWindow.按钮2 = FakeWindow(3);
  Fake().windows.insert({MainWindow.window, MainWindow.标签1, MainWindow.按钮2});
  MainWindowCreated();
  Fake().calls.push_back("ShowWindow");
  // The user closes the window: the loop then finds WM_QUIT.
  MainWindowCanClose();
  Fake().queue.push_back(MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}});
  return true;
}

bool MainWindowPreTranslate(const MSG&) { return false; }

const std::string& CopySwitchCaption() { return shell.caption; }

void SetCopySwitchCaption(const char* caption) {
  shell.caption = caption ? caption : "";
  Fake().calls.push_back("SetCopySwitchCaption");
}

void SetTrimTimerPeriod(int ms) {
  Fake().calls.push_back("SetTrimTimerPeriod(" + std::to_string(ms) + ")");
}

bool PlayClip(const void* data, DWORD, bool repeat) {
  const char* name = data == StartClip ? "StartClip" : data == ClickClip ? "ClickClip" : "?";
  Fake().calls.push_back(std::string("PlayClip(") + name + (repeat ? ", repeat)" : ")"));
  return true;
}

void StopAllClips(bool wait) {
  Fake().calls.push_back(wait ? "StopAllClips(wait)" : "StopAllClips");
}
