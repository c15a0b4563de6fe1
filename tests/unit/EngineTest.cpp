#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "tests/fake/FakeWin32.h"
#include "tests/fake/HookDriver.h"

namespace {

constexpr WPARAM kMouseMove = 0x0200;
constexpr WPARAM kRightDown = 0x0204;
constexpr WPARAM kRightUp = 0x0205;
constexpr WPARAM kWheel = 0x020A;

class DragDetectorTest : public ::testing::Test {
 protected:
  HookDriver hook;
  void SetUp() override { hook.Start(); }
  LRESULT Event(WPARAM message, LONG x, LONG y) { return hook.Event(message, x, y); }
  size_t Workers() const { return Fake().threadEntries.size(); }
};

TEST_F(DragDetectorTest, StartsOneWorkerExactlyWhenTheReleaseMovedByAnyAmount) {
  struct Case {
    const char* name;
    POINT press, release;
    size_t workers;
  };
  const std::vector<Case> cases = {
      {"click", {100, 200}, {100, 200}, 0},
      {"one pixel right", {100, 200}, {101, 200}, 1},
      {"one pixel up", {100, 200}, {100, 199}, 1},
      {"long drag", {-300, 40}, {900, 700}, 1},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(Event(WM_LBUTTONDOWN, c.press.x, c.press.y), Fake().nextHookResult) << c.name;
    EXPECT_EQ(Event(WM_LBUTTONUP, c.release.x, c.release.y), 0) << c.name;
    EXPECT_EQ(Workers(), c.workers) << c.name;
  }
  ASSERT_EQ(Workers(), 1u);
  EXPECT_EQ(Fake().threadEntries[0], &WorkerEntry<CopyPasteSequence>);
  EXPECT_EQ(Fake().closedHandles.size(), 1u);
}

TEST_F(DragDetectorTest, OtherEventsAreHandedOnAndChangeNothing) {
  Event(WM_LBUTTONDOWN, 100, 200);
  for (WPARAM message : {kMouseMove, kRightDown, kRightUp, kWheel}) {
    Fake().nextHookCalls = 0;
    EXPECT_EQ(Event(message, 500, 600), Fake().nextHookResult) << message;
    EXPECT_EQ(Fake().nextHookCalls, 1) << message;
  }
  EXPECT_EQ(hook.pressPoint().x, 100);
  EXPECT_EQ(hook.pressPoint().y, 200);
  EXPECT_EQ(Workers(), 0u);
  Event(WM_LBUTTONUP, 100, 200);
  EXPECT_EQ(Workers(), 0u) << "moves in between made a click a drag";
}

TEST_F(DragDetectorTest, ReleaseWithoutASeenPressComparesWithTheOrigin) {
  EXPECT_EQ(Event(WM_LBUTTONUP, 0, 0), 0);
  EXPECT_EQ(Workers(), 0u);
  EXPECT_EQ(Event(WM_LBUTTONUP, 0, 1), 0);
  EXPECT_EQ(Workers(), 1u);
}

TEST_F(DragDetectorTest, FailedCursorReadsKeepThePressAndCompareTheReleaseAsOrigin) {
  Event(WM_LBUTTONDOWN, 100, 200);
  Fake().cursorFails = true;
  Event(WM_LBUTTONDOWN, 300, 300);
  EXPECT_EQ(hook.pressPoint().x, 100);
  EXPECT_EQ(hook.pressPoint().y, 200);
  Event(WM_LBUTTONUP, 100, 200);  // read fails: the release point stays (0, 0)
  EXPECT_EQ(Workers(), 1u);
}

TEST_F(DragDetectorTest, QuickDragsEachStartAWorkerAndAFailedStartIsHarmless) {
  Event(WM_LBUTTONDOWN, 10, 10);
  Event(WM_LBUTTONUP, 20, 10);
  Event(WM_LBUTTONDOWN, 30, 10);
  Event(WM_LBUTTONUP, 40, 10);
  EXPECT_EQ(Workers(), 2u);
  Fake().createThreadFails = true;
  Event(WM_LBUTTONDOWN, 50, 10);
  EXPECT_EQ(Event(WM_LBUTTONUP, 60, 10), 0);
  EXPECT_EQ(Fake().closedHandles.size(), 3u);
}

class SequenceTest : public ::testing::Test {
 protected:
  const HWND window = FakeWindow(1);
  const HWND combo = FakeWindow(2);

  void SetUp() override {
    ResetFake();
    Fake().windows = {window, combo};
    WaitTimeChoice = {window, combo};
  }
  // The selection as the user leaves it over (simulated) time.
  void Selection(std::function<int(DWORD)> at) {
    Fake().onSendMessage = [at](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
      return message == CB_GETCURSEL ? at(Fake().tick) : 0;
    };
  }
  DWORD TickOf(int key, bool up) const {
    for (const KeyEvent& e : Fake().keys) {
      if (e.key == key && e.up == up) return e.tick;
    }
    ADD_FAILURE() << "key " << key << " never pressed";
    return 0;
  }
};

TEST_F(SequenceTest, CopiesWaitsAsChosenPastesAndEmptiesTheClipboard) {
  struct Case {
    const char* name;
    std::function<int(DWORD)> selection;
    DWORD f2At;
  };
  const std::vector<Case> cases = {
      {"nothing picked", [](DWORD) { return -1; }, 100},
      {"0.8 s", [](DWORD) { return 0; }, 900},
      {"1.5 s", [](DWORD) { return 3; }, 1600},
      {"3 s", [](DWORD) { return 6; }, 3100},
      {"index past the table", [](DWORD) { return 7; }, 100},
      {"0 to 3 during the first wait", [](DWORD t) { return t < 500 ? 0 : 3; }, 2400},
      {"3 to 1 during the 1.5 s wait", [](DWORD t) { return t < 1000 ? 3 : 1; }, 1600},
      {"0 to 6 then back to 2", [](DWORD t) { return t < 500    ? 0
                                                     : t < 2000 ? 6
                                                                : 2; }, 3900},
  };
  const std::vector<KeyEvent> expectedKeys = {{17, false, 0}, {67, false, 0},  {17, true, 0},
                                              {67, true, 0},  {113, false, 0}, {113, true, 0}};
  // Each wait may end up to a couple of simulated ticks late.
  constexpr DWORD kSlack = 8;
  for (const Case& c : cases) {
    SetUp();
    Selection(c.selection);
    CopyPasteSequence();
    EXPECT_EQ(Fake().keys, expectedKeys) << c.name;
    EXPECT_EQ(Fake().sentMessages, 7) << c.name;
    const DWORD copyAt = TickOf(67, false);
    EXPECT_GE(copyAt, 100u) << c.name;
    EXPECT_LE(copyAt, 100u + kSlack) << c.name;
    const DWORD f2At = TickOf(113, false);
    EXPECT_GE(f2At, c.f2At) << c.name;
    EXPECT_LE(f2At, c.f2At + kSlack) << c.name;
    ASSERT_EQ(Fake().EmptiedAt().size(), 1u) << c.name;
    EXPECT_GE(Fake().EmptiedAt()[0], f2At + 50) << c.name;
    EXPECT_LE(Fake().EmptiedAt()[0], f2At + 50 + kSlack) << c.name;
    EXPECT_EQ(Fake().clipboardFormats, std::vector<std::string>{""}) << c.name;
  }
}

TEST_F(SequenceTest, MainWindowGoneEndsTheSequenceQuietly) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
  };
  const std::vector<Case> cases = {
      {"gone before the first read", [this] { Fake().windows.clear(); }},
      {"closed during the wait",
       [this] {
         Selection([this](DWORD t) {
           if (t >= 500) Fake().windows.clear();
           return 0;
         });
       }},
  };
  for (const Case& c : cases) {
    SetUp();
    c.arrange();
    ASSERT_NO_THROW(CopyPasteSequence()) << c.name;
    EXPECT_TRUE(Fake().messageBoxTexts.empty()) << c.name;
    EXPECT_EQ(Fake().keys.size(), 4u) << c.name << ": only the copy";
    EXPECT_TRUE(Fake().clipboardWrites.empty()) << c.name;
  }
}

TEST_F(SequenceTest, ClipboardHeldByAnotherProgramKeepsTheCopy) {
  Selection([](DWORD) { return -1; });
  Fake().clipboardFormats = {"copied"};
  Fake().clipboardBusy = true;
  CopyPasteSequence();
  EXPECT_EQ(Fake().clipboardFormats, std::vector<std::string>{"copied"});
  EXPECT_EQ(Fake().keys.size(), 6u);
}

}  // namespace
