#include <gtest/gtest.h>

#include <vector>

#include "engine/Engine.h"
#include "tests/fake/FakeWin32.h"

namespace {

LRESULT CALLBACK OriginalProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

class HotkeyTest : public ::testing::Test {
 protected:
  const HWND window = FakeWindow(1);
  const HWND label = FakeWindow(2);
  const HWND otherWindow = FakeWindow(3);

  void SetUp() override {
    ResetFake();
    HotkeyCounter = 0;
    LastHotkeyId = 0;
    FeedbackTarget = nullptr;
    PreviousWindowProc = nullptr;
    Fake().windowProcs[window] = reinterpret_cast<LONG_PTR>(&OriginalProc);
  }

  std::vector<MSG> Feedback() const {
    std::vector<MSG> feedback;
    for (const MSG& m : Fake().sent) {
      if (m.message == FeedbackMessage) feedback.push_back(m);
    }
    return feedback;
  }
};

TEST_F(HotkeyTest, ModifiersTranslateToRegisterHotKeyFlags) {
  struct Case {
    int service;
    UINT flags;
  };
  const std::vector<Case> cases = {
      {0, 0},
      {1, MOD_CONTROL},
      {2, MOD_SHIFT},
      {3, MOD_CONTROL | MOD_SHIFT},
      {4, MOD_ALT},
      {5, MOD_CONTROL | MOD_ALT},
      {6, MOD_SHIFT | MOD_ALT},
      {7, 7},
      {8, 8},
      {0x4000, 0x4000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TranslateHotkeyModifiers(c.service), c.flags) << c.service;
  }
  RegisterFeedbackHotkey(window, label, 5, 'K');
  ASSERT_EQ(Fake().hotkeys.size(), 1u);
  EXPECT_EQ(Fake().hotkeys[0].modifiers, MOD_CONTROL | MOD_ALT);
  EXPECT_EQ(Fake().hotkeys[0].key, static_cast<UINT>('K'));
}

TEST_F(HotkeyTest, FailedRegistrationsUseTheirIdentifierUp) {
  EXPECT_EQ(RegisterFeedbackHotkey(window, label, 0, VK_F2), 33001);
  EXPECT_EQ(RegisterFeedbackHotkey(window, label, 0, VK_F2), 0) << "F2 is taken now";
  EXPECT_EQ(LastHotkeyId, 33002u);
  EXPECT_EQ(RegisterFeedbackHotkey(window, label, 1, VK_F2), 33003);
  EXPECT_EQ(HotkeyCounter, 3u);
  ASSERT_EQ(Fake().hotkeyAttempts.size(), 3u);
  EXPECT_EQ(Fake().hotkeyAttempts[1].id, 33002);
  EXPECT_EQ(FeedbackTarget, label);
}

TEST_F(HotkeyTest, TheFirstRegisteringWindowsProcedureIsReplacedOnce) {
  RegisterFeedbackHotkey(window, label, 0, VK_F2);
  RegisterFeedbackHotkey(window, label, 0, VK_F2 + 1);
  RegisterFeedbackHotkey(otherWindow, label, 0, VK_F2 + 2);
  EXPECT_EQ(Fake().setWindowProcCalls, 1);
  EXPECT_EQ(Fake().windowProcs[window], reinterpret_cast<LONG_PTR>(&HotkeyWindowProc));
  EXPECT_EQ(Fake().windowProcs.count(otherWindow), 0u);
  EXPECT_EQ(PreviousWindowProc, &OriginalProc);
}

TEST_F(HotkeyTest, AFailedReplacementIsTriedAgainByTheNextRegistration) {
  Fake().setWindowProcFails = true;
  RegisterFeedbackHotkey(window, label, 0, VK_F2);
  EXPECT_EQ(PreviousWindowProc, nullptr);
  Fake().setWindowProcFails = false;
  RegisterFeedbackHotkey(window, label, 0, VK_F2 + 1);
  EXPECT_EQ(Fake().setWindowProcCalls, 2);
  EXPECT_EQ(PreviousWindowProc, &OriginalProc);
}

TEST_F(HotkeyTest, OnlyOurHotkeyIdsAreForwardedAndEveryMessageIsPassedOn) {
  RegisterFeedbackHotkey(window, label, 0, VK_F2);
  RegisterFeedbackHotkey(window, label, 0, VK_F2 + 1);  // LastHotkeyId is 33002
  struct Case {
    UINT message;
    WPARAM wParam;
    bool forwarded;
  };
  std::vector<Case> cases = {
      {WM_HOTKEY, 33001, true},  {WM_HOTKEY, 33002, true},
      {WM_HOTKEY, 33000, false}, {WM_HOTKEY, 33003, false},
      {WM_HOTKEY, 0, false},     {WM_HOTKEY, static_cast<WPARAM>(-33001), false},
      {0x000F, 33001, false},  // not a hotkey message
  };
  if (sizeof(WPARAM) > 4) {
    // Only the low 32 bits carry the identifier.
    cases.push_back(
        {WM_HOTKEY, static_cast<WPARAM>((static_cast<unsigned long long>(1) << 32) | 33001), true});
  }
  for (const Case& c : cases) {
    Fake().sent.clear();
    Fake().passedOn.clear();
    Fake().passedOnTo.clear();
    const LRESULT result = HotkeyWindowProc(window, c.message, c.wParam, 0x00710000);
    const std::vector<MSG> feedback = Feedback();
    ASSERT_EQ(feedback.size(), c.forwarded ? 1u : 0u) << c.wParam;
    if (c.forwarded) {
      EXPECT_EQ(feedback[0].hwnd, label);
      EXPECT_EQ(feedback[0].wParam, c.wParam);
      EXPECT_EQ(feedback[0].lParam, 0);
    }
    ASSERT_EQ(Fake().passedOn.size(), 1u) << c.wParam;
    EXPECT_EQ(Fake().passedOnTo[0], &OriginalProc);
    EXPECT_EQ(Fake().passedOn[0].message, c.message);
    EXPECT_EQ(Fake().passedOn[0].wParam, c.wParam);
    EXPECT_EQ(Fake().passedOn[0].lParam, 0x00710000);
    EXPECT_EQ(result, Fake().passedOnResult);
  }
}

TEST_F(HotkeyTest, PasteHandlerPressesCtrlVOnlyForThePasteHotkey) {
  const std::vector<KeyEvent> ctrlV = {
      {17, false, 0}, {86, false, 0}, {17, true, 0}, {86, true, 0}};
  struct Case {
    int pasteId, first;
    bool pastes;
  };
  const std::vector<Case> cases = {
      {33001, 33001, true},
      {33001, 33002, false},
      {33001, -1, false},
      {0, 33001, false},
  };
  for (const Case& c : cases) {
    ResetFake();
    PasteHotkeyId = c.pasteId;
    PasteHotkeyHandler(c.first, 0);
    EXPECT_EQ(Fake().keys, c.pastes ? ctrlV : std::vector<KeyEvent>{}) << c.first;
  }
}

}  // namespace
