#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/System.h"
#include "tests/fake/FakeWin32.h"

namespace {

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetFake(); }
  void TearDown() override { EXPECT_FALSE(Fake().clipboardOpen) << "clipboard left open"; }
};

struct PressCase {
  const char* name;
  int key1, key2, key3;
  std::vector<KeyEvent> expected;
};

TEST_F(ActionsTest, PressKeysReleasesInPressOrder) {
  const std::vector<PressCase> cases = {
      {"F2 alone", 113, 0, 0, {{113, false, 0}, {113, true, 0}}},
      {"Ctrl+C", 17, 67, 0, {{17, false, 0}, {67, false, 0}, {17, true, 0}, {67, true, 0}}},
      {"Ctrl+V", 17, 86, 0, {{17, false, 0}, {86, false, 0}, {17, true, 0}, {86, true, 0}}},
      {"three keys",
       17,
       16,
       65,
       {{17, false, 0},
        {16, false, 0},
        {65, false, 0},
        {17, true, 0},
        {16, true, 0},
        {65, true, 0}}},
      {"256 counts as absent", 113, 256, 0, {{113, false, 0}, {113, true, 0}}},
      {"only the low 8 bits",
       0x171,
       0x243,
       0,
       {{0x71, false, 0}, {0x43, false, 0}, {0x71, true, 0}, {0x43, true, 0}}},
      {"absent second, present third",
       17,
       0,
       86,
       {{17, false, 0}, {86, false, 0}, {17, true, 0}, {86, true, 0}}},
  };
  for (const PressCase& c : cases) {
    ResetFake();
    PressKeys(c.key1, c.key2, c.key3);
    EXPECT_EQ(Fake().keys, c.expected) << c.name;
  }
}

TEST_F(ActionsTest, NonPositiveWaitReturnsWithoutPollingOrReadingTheClock) {
  for (int ms : {0, -5, -2147483647 - 1}) {
    WaitProcessingEvents(ms);
    EXPECT_EQ(Fake().peekCalls, 0) << ms;
    EXPECT_EQ(Fake().tickReadings, 0) << ms;
  }
}

TEST_F(ActionsTest, WaitLastsPastItsLengthAndProcessesMessagesAtLeastTwice) {
  Fake().tick = 5000;
  WaitProcessingEvents(50);
  const DWORD start = 5000;
  // The last reading is the one that ended the wait.
  const DWORD lastReading = Fake().tick - Fake().tickStep;
  EXPECT_GT(lastReading - start, 50u);
  EXPECT_LE(lastReading - start, 52u);
  EXPECT_GE(Fake().peekCalls, 2);
}

TEST_F(ActionsTest, WaitNeitherHangsNorEndsEarlyAcrossTheTickWrap) {
  // Starting points whose deadline sum wraps past 2^32, or lies just below it.
  for (DWORD start : {0xFFFFFFF0u, 0xFFFFFFFFu, 0xFFFFFFFFu - 50u, 0xFFFFFFFFu - 51u}) {
    for (DWORD step : {1u, 16u}) {
      ResetFake();
      Fake().tick = start;
      Fake().tickStep = step;
      Fake().tickReadingLimit = 100'000;
      ASSERT_NO_THROW(WaitProcessingEvents(50)) << std::hex << start;
      const DWORD elapsed = (Fake().tick - step) - start;
      EXPECT_GT(elapsed, 50u) << std::hex << start << " step " << step;
      EXPECT_LE(elapsed, 50u + step) << std::hex << start << " step " << step;
    }
  }
}

TEST_F(ActionsTest, WaitDispatchesQueuedMessagesButLeavesAQuitAtTheHead) {
  Fake().queue.push_back(MSG{nullptr, 0x0400, 0, 0, 0, {0, 0}});
  Fake().queue.push_back(MSG{nullptr, 0x0401, 0, 0, 0, {0, 0}});
  Fake().queue.push_back(MSG{nullptr, WM_QUIT, 3, 0, 0, {0, 0}});
  Fake().queue.push_back(MSG{nullptr, 0x0402, 0, 0, 0, {0, 0}});
  Fake().tick = 100;
  WaitProcessingEvents(30);
  EXPECT_EQ(Fake().dispatched, 2);
  ASSERT_EQ(Fake().queue.size(), 2u);
  EXPECT_EQ(Fake().queue.front().message, WM_QUIT);
  EXPECT_EQ(Fake().queue.front().wParam, 3u);
  EXPECT_GT(Fake().tick - Fake().tickStep - 100, 30u) << "a waiting WM_QUIT cut the wait short";
}

DWORD WINAPI NoOpEntry(LPVOID) { return 0; }

TEST_F(ActionsTest, StartWorkerClosesTheThreadHandleOnSuccessAndFailure) {
  EXPECT_TRUE(StartWorkerThread(NoOpEntry));
  ASSERT_EQ(Fake().threadHandles.size(), 1u);
  EXPECT_EQ(Fake().threadParameters.at(0), nullptr);
  EXPECT_EQ(Fake().closedHandles, std::vector<HANDLE>{Fake().threadHandles[0]});

  ResetFake();
  Fake().createThreadFails = true;
  EXPECT_FALSE(StartWorkerThread(NoOpEntry));
  EXPECT_EQ(Fake().closedHandles, std::vector<HANDLE>{nullptr});
}

int routineRuns = 0;
void CountingRoutine() { ++routineRuns; }

TEST_F(ActionsTest, StartWorkerRunsTheRoutineOnTheNewThread) {
  routineRuns = 0;
  ASSERT_TRUE(StartWorker<CountingRoutine>());
  ASSERT_EQ(Fake().threadEntries.size(), 1u);
  EXPECT_EQ(routineRuns, 0) << "the routine ran on the caller's thread";
  EXPECT_EQ(Fake().threadEntries[0](nullptr), 0u);
  EXPECT_EQ(routineRuns, 1);
}

TEST_F(ActionsTest, SetClipboardTextLeavesOnlyThatTextAsCfText) {
  Fake().clipboardFormats = {"old", "older"};
  EXPECT_TRUE(SetClipboardText("hello"));
  EXPECT_EQ(Fake().clipboardFormats, std::vector<std::string>{"hello"});

  EXPECT_TRUE(SetClipboardText(""));
  EXPECT_EQ(Fake().clipboardFormats, std::vector<std::string>{""});
  EXPECT_TRUE(Fake().liveBlocks.empty());
}

TEST_F(ActionsTest, SetClipboardTextFailures) {
  struct Case {
    const char* name;
    bool busy, allocFails, lockFails, setDataFails;
    std::vector<std::string> after;  // the clipboard's formats afterwards
  };
  const std::vector<Case> cases = {
      {"held open by another program: unchanged", true, false, false, false, {"old"}},
      {"no memory: left empty", false, true, false, false, {}},
      {"lock fails: left empty, block freed", false, false, true, false, {}},
      {"SetClipboardData fails: reported, block freed", false, false, false, true, {}},
  };
  for (const Case& c : cases) {
    ResetFake();
    Fake().clipboardFormats = {"old"};
    Fake().clipboardBusy = c.busy;
    Fake().allocFails = c.allocFails;
    Fake().lockFails = c.lockFails;
    Fake().setDataFails = c.setDataFails;
    EXPECT_FALSE(SetClipboardText("")) << c.name;
    EXPECT_EQ(Fake().clipboardFormats, c.after) << c.name;
    EXPECT_TRUE(Fake().liveBlocks.empty()) << c.name << ": leaked the block";
    EXPECT_FALSE(Fake().clipboardOpen) << c.name;
  }
}

class ComboReadTest : public ActionsTest {
 protected:
  const HWND window = FakeWindow(1);
  const HWND combo = FakeWindow(2);
  void SetUp() override {
    ActionsTest::SetUp();
    Fake().windows = {window, combo};
  }
};

TEST_F(ComboReadTest, ReadsTheSelectionAfreshEachTime) {
  int selection = -1;
  Fake().onSendMessage = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> LRESULT {
    EXPECT_EQ(hwnd, combo);
    EXPECT_EQ(msg, CB_GETCURSEL);
    return selection;
  };
  EXPECT_EQ(ReadComboSelection({window, combo}), -1);
  selection = 2;
  EXPECT_EQ(ReadComboSelection({window, combo}), 2);
  EXPECT_EQ(Fake().sentMessages, 2);
}

TEST_F(ComboReadTest, GoneWindowOrControlIsReportedNotRead) {
  struct Case {
    const char* name;
    ControlRef ref;
    bool windowLives, comboLives;
    ControlRead expected;
  };
  const std::vector<Case> cases = {
      {"window destroyed", {window, combo}, false, false, ControlRead::WindowGone},
      {"no window", {nullptr, combo}, true, true, ControlRead::WindowGone},
      {"control destroyed", {window, combo}, true, false, ControlRead::ControlGone},
      {"no control", {window, nullptr}, true, true, ControlRead::ControlGone},
  };
  for (const Case& c : cases) {
    Fake().windows.clear();
    if (c.windowLives) Fake().windows.insert(window);
    if (c.comboLives) Fake().windows.insert(combo);
    Fake().sentMessages = 0;
    int selection = 42;
    EXPECT_EQ(TryReadComboSelection(c.ref, &selection), c.expected) << c.name;
    EXPECT_EQ(selection, 42) << c.name;
    EXPECT_EQ(Fake().sentMessages, 0) << c.name;
  }
}

TEST_F(ComboReadTest, ControlDestroyedDuringThePendingReadIsNotASelection) {
  Fake().onSendMessage = [&](HWND, UINT, WPARAM, LPARAM) -> LRESULT {
    Fake().windows.clear();
    return 0;
  };
  int selection = 42;
  EXPECT_EQ(TryReadComboSelection({window, combo}, &selection), ControlRead::ControlGone);
  EXPECT_EQ(selection, 42);
}

TEST_F(ComboReadTest, FatalReadShowsTheErrorBoxAndExitsWithMinusOne) {
  struct Case {
    bool windowLives;
    std::string message;
  };
  const std::vector<Case> cases = {
      {false,
       "\xCE\xB4\xD4\xD8\xC8\xEB\xD3\xFB\xB7\xC3\xCE\xCA\xB4\xB0\xBF\xDA\xD7\xE9\xBC\xFE\xCB\xF9"
       "\xD4\xDA\xB5\xC4\xB4\xB0\xBF\xDA"},
      {true, "\xD6\xB8\xB6\xA8\xB4\xB0\xBF\xDA\xC9\xD0\xCE\xB4\xD4\xD8\xC8\xEB"},
  };
  for (const Case& c : cases) {
    ResetFake();
    if (c.windowLives) Fake().windows = {window};
    try {
      ReadComboSelection({window, combo});
      ADD_FAILURE() << "returned";
    } catch (const ProcessExit& exit) {
      EXPECT_EQ(exit.code, static_cast<UINT>(-1));
    }
    ASSERT_EQ(Fake().messageBoxTexts.size(), 1u);
    const std::string prefix =
        "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!\r\n\r\n\xB4\xED\xCE\xF3\xD0\xC5\xCF\xA2\xA3\xBA";
    EXPECT_EQ(Fake().messageBoxTexts[0], prefix + c.message + "\r\n");
    EXPECT_EQ(Fake().messageBoxCaptions[0], "\xB4\xED\xCE\xF3");
    EXPECT_EQ(Fake().messageBoxStyles[0], MB_ICONERROR);
    EXPECT_EQ(Fake().sentMessages, 0);
  }
}

}  // namespace
