// The program's one window and its nine controls.
#pragma once

#include <string>

#include "system/System.h"

struct MainWindowHandles {
  HWND window;
  HWND 组合框1, 标签3, 标签4, 按钮2, 标签2, 超级链接框1, 时钟1, 图片框1, 标签1;
};

extern MainWindowHandles MainWindow;

// Creates the window and its controls hidden, raises the created event, then
// shows the window. False when the window or any control could not be made.
bool LoadMainWindow();

// The window's own keyboard handling, offered every message before it is
// translated and dispatched. True when the message was used up.
bool MainWindowPreTranslate(const MSG& msg);

// The copy switch's caption as last written; reading sends no message.
const std::string& CopySwitchCaption();
void SetCopySwitchCaption(const char* caption);

// The trimming timer's period in milliseconds; negative counts as 0, and 0
// stops it.
void SetTrimTimerPeriod(int ms);

// A label raises its feedback event for every FeedbackMessage, from any
// sender, with the message's wParam and lParam, and answers 0.
using FeedbackHandler = void (*)(int first, int second);
void SetFeedbackHandler(HWND label, FeedbackHandler handler);

// Events of the window and its controls, handled by the program's life cycle.
void MainWindowCreated();
void MainWindowCanClose();
void TrimTimerTick();
