#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "shell/Lifecycle.h"
#include "shell/MainWindow.h"
#include "tests/fake/FakeShell.h"
#include "tests/fake/FakeWin32.h"

namespace {

const std::string kErrorPrefix =
    "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";
const std::string kCopyingOn = "\xB9\xD8\xB1\xD5\xB8\xB4\xD6\xC6";
const std::string kCopyingOff = "\xBF\xAA\xC6\xF4\xB8\xB4\xD6\xC6";

class LifecycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFake();
    ResetShell();
    PressPoint = nullptr;
    MouseHookHandle = nullptr;
    PasteHotkeyId = 0;
    HotkeyCounter = 0;
    LastHotkeyId = 0;
    PreviousWindowProc = nullptr;
    ExitRoutineSlot = nullptr;
    ShutdownRoutine = nullptr;
  }
};

TEST_F(LifecycleTest, StartsInOrderShowsTheWindowLastAndEndsWithExitCodeZero) {
  EXPECT_EQ(RunProgram(), 0);
  const std::vector<std::string> expected = {
      "SetErrorMode(0)",
      "SetErrorMode(32773)",  // the previous mode 4 with SEM_FAILCRITICALERRORS and
                              // SEM_NOOPENFILEERRORBOX
      "OleInitialize",
      "SetCurrentDirectoryA(C:\\Tools)",
      "HeapAlloc(8)",
      "LoadMainWindow",
      "PlayClip(StartClip)",
      "SetTrimTimerPeriod(500)",
      "RegisterHotKey",
      "SetWindowsHookExA",
      "ShowWindow",
      "UnhookWindowsHookEx",
      "HeapFree",
      "StopAllClips(wait)",
      "OleUninitialize",
  };
  EXPECT_EQ(Fake().calls, expected);
  EXPECT_EQ(PasteHotkeyId, 33001);
  ASSERT_EQ(Fake().hotkeys.size(), 1u);
  EXPECT_EQ(Fake().hotkeys[0].window, MainWindow.window);
  EXPECT_EQ(Fake().hotkeys[0].modifiers, 0u);
  EXPECT_EQ(Fake().hotkeys[0].key, 113u);
  EXPECT_EQ(FeedbackTarget, MainWindow.标签1);
  EXPECT_TRUE(Fake().installedHooks.empty()) << "the hook outlived the window";
  EXPECT_TRUE(Fake().heapBlocks.empty());
  EXPECT_EQ(ExitRoutineSlot, nullptr);
}

TEST_F(LifecycleTest, FatalStartUpErrorsSkipTheExitRoutineButStillShutDown) {
  struct Case {
    const char* name;
    bool heapFails, loadFails;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"no memory for the press point", true, false,
       "\xB7\xD6\xC5\xE4 8 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!"},
      {"no window", false, true,
       "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC"},
  };
  for (const Case& c : cases) {
    SetUp();
    Fake().heapAllocFails = c.heapFails;
    Shell().loadFails = c.loadFails;
    try {
      RunProgram();
      ADD_FAILURE() << c.name << ": returned";
    } catch (const ProcessExit& exit) {
      EXPECT_EQ(exit.code, static_cast<UINT>(-1)) << c.name;
    }
    ASSERT_EQ(Fake().messageBoxTexts.size(), 1u) << c.name;
    EXPECT_EQ(Fake().messageBoxTexts[0], kErrorPrefix + c.message + "\r\n") << c.name;
    const std::vector<std::string>& calls = Fake().calls;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "HeapFree"), 0) << c.name;
    const std::vector<std::string> shutdown = {"StopAllClips(wait)", "OleUninitialize"};
    EXPECT_TRUE(std::equal(shutdown.rbegin(), shutdown.rend(), calls.rbegin())) << c.name;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "LoadMainWindow"), c.heapFails ? 0 : 1);
    EXPECT_EQ(ExitRoutineSlot, nullptr) << c.name;
  }
}

TEST_F(LifecycleTest, TheExitRoutineRunsOnce) {
  RunProgram();
  Fake().calls.clear();
  RunEndOfProgramCleanup();
  EXPECT_EQ(Fake().calls, (std::vector<std::string>{"StopAllClips(wait)", "OleUninitialize"}));
}

TEST_F(LifecycleTest, TheFolderEndsAtTheLastRealBackslash) {
  struct Case {
    std::string path;
    std::size_t folder;
  };
  const std::vector<Case> cases = {
      {"C:\\Tools\\f2paste.exe", 8},
      {"C:\\f2paste.exe", 2},
      {"f2paste.exe", 0},
      // 0x5C is also the second byte of some double-byte characters.
      {"C:\\\x95\x5C\\f2paste.exe", 5},
      {"C:\\\x95\x5C"
       "f2paste.exe",
       2},
      {"C:\\\xD7\xC0\xC3\xE6\\f2paste.exe", 7},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderLength(c.path.c_str()), c.folder) << c.path;

  Fake().modulePath = "C:\\\x95\x5C\\f2paste.exe";
  RunProgram();
  EXPECT_EQ(Fake().calls.at(3), "SetCurrentDirectoryA(C:\\\x95\x5C)");
}

TEST_F(LifecycleTest, TrimmingEmptiesTheWholeWorkingSet) {
  TrimTimerTick();
  EXPECT_EQ(Fake().calls, std::vector<std::string>{"SetProcessWorkingSetSize"});
}

TEST_F(LifecycleTest, CopySwitchAlternatesByItsCaption) {
  InstallMouseHook();
  const HHOOK first = MouseHookHandle;
  struct Case {
    std::string before, after;
    const char* hookCall;  // nullptr: none
  };
  const std::vector<Case> cases = {
      {kCopyingOn, kCopyingOff, "UnhookWindowsHookEx"},
      {kCopyingOff, kCopyingOn, "SetWindowsHookExA"},
      {"", "", nullptr},
      {kCopyingOn + " ", kCopyingOn + " ", nullptr},
  };
  for (const Case& c : cases) {
    Fake().calls.clear();
    Shell().caption = c.before;
    const HHOOK before = MouseHookHandle;
    CopySwitchClicked();
    EXPECT_EQ(Shell().caption, c.after);
    std::vector<std::string> expected = {"PlayClip(ClickClip)"};
    if (c.hookCall) expected.insert(expected.end(), {"SetCopySwitchCaption", c.hookCall});
    EXPECT_EQ(Fake().calls, expected) << c.before;
    if (c.hookCall && std::string(c.hookCall) == "UnhookWindowsHookEx") {
      EXPECT_EQ(MouseHookHandle, before) << "the removed hook's handle is kept";
    }
  }
  EXPECT_NE(MouseHookHandle, first) << "switching on installs a new hook";

  // Two quick clicks: off, then on again with a new hook.
  Shell().caption = kCopyingOn;
  const HHOOK beforeClicks = MouseHookHandle;
  Fake().calls.clear();
  CopySwitchClicked();
  EXPECT_TRUE(Fake().installedHooks.empty());
  CopySwitchClicked();
  EXPECT_EQ(Shell().caption, kCopyingOn);
  EXPECT_EQ(std::count(Fake().calls.begin(), Fake().calls.end(), "PlayClip(ClickClip)"), 2);
  EXPECT_NE(MouseHookHandle, beforeClicks);
  EXPECT_EQ(Fake().installedHooks.count(MouseHookHandle), 1u);
}

}  // namespace
