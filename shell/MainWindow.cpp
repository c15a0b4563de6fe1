#include "MainWindow.h"

#include "Controls.h"
#include "Layout.h"
#include "engine/Engine.h"

MainWindowHandles MainWindow{};

namespace {

constexpr char kWindowClass[] = "F2PasteMainWindow";
constexpr char kTitle[] = "澄翎复制粘贴工具V2.0";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
constexpr const char* kWaitItems[] = {"0.8秒", "1秒", "1.2秒", "1.5秒", "2秒", "2.5秒", "3秒"};

std::string copySwitchCaption = "关闭复制";
HWND focusToRestore = nullptr;

HWND& HandleOf(layout::Control control) {
  switch (control) {
    case layout::Control::组合框1:
      return MainWindow.组合框1;
    case layout::Control::标签3:
      return MainWindow.标签3;
    case layout::Control::标签4:
      return MainWindow.标签4;
    case layout::Control::按钮2:
      return MainWindow.按钮2;
    case layout::Control::标签2:
      return MainWindow.标签2;
    case layout::Control::超级链接框1:
      return MainWindow.超级链接框1;
    case layout::Control::时钟1:
      return MainWindow.时钟1;
    case layout::Control::图片框1:
      return MainWindow.图片框1;
    case layout::Control::标签1:
      return MainWindow.标签1;
  }
  return MainWindow.标签1;
}

struct ControlClass {
  const char* className;
  const char* text;
  DWORD style;
};

ControlClass ClassOf(layout::Control control) {
  switch (control) {
    case layout::Control::组合框1:
      return {"COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | kChild | WS_TABSTOP};
    case layout::Control::标签3:
      return {kLabelClass, "等待自动粘贴时间：", kChild};
    case layout::Control::标签4:
      return {kLabelClass, "QQ:0000000", kChild};
    case layout::Control::按钮2:
      return {"BUTTON", "关闭复制",
              BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE | kChild | WS_TABSTOP};
    case layout::Control::标签2:
      return {kLabelClass, "鼠标左键划取文本（文件），完成复制粘贴。", kChild};
    case layout::Control::超级链接框1:
      return {kLinkClass, "墨汀多媒体工作室", kChild};
    case layout::Control::时钟1:
      return {kTimerClass, "", kChild};
    case layout::Control::图片框1:
      return {kPictureBoxClass, "", kChild};
    case layout::Control::标签1:
      return {kLabelClass, "标签", kChild};
  }
  return {kLabelClass, "", kChild};
}

void SetGuiFont(HWND hwnd) {
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void FillWaitChoice(HWND combo) {
  SetGuiFont(combo);
  for (const char* item : kWaitItems) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  const LRESULT itemHeight = SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
  SendMessageA(combo, CB_SETITEMHEIGHT, 0, itemHeight + 1);
  SendMessageA(combo, CB_LIMITTEXT, 0, 0);
}

HWND CreateControl(std::size_t listIndex, HINSTANCE instance) {
  const layout::ControlPlace& place = layout::kControls[listIndex];
  const ControlClass kind = ClassOf(place.control);
  HWND hwnd =
      CreateWindowExA(0, kind.className, kind.text, kind.style, place.x, place.y, place.width,
                      layout::CreateHeight(place), MainWindow.window,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout::ControlId(listIndex))),
                      instance, nullptr);
  if (!hwnd) return nullptr;
  if (place.control == layout::Control::组合框1) FillWaitChoice(hwnd);
  if (place.control == layout::Control::按钮2) SetGuiFont(hwnd);
  return hwnd;
}

HWND CreateMainFrame(HINSTANCE instance) {
  const layout::Point origin =
      layout::CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  HWND window = CreateWindowExA(0, kWindowClass, kTitle, kWindowStyle, origin.x, origin.y,
                                layout::kWindowWidth, layout::kWindowHeight, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return nullptr;
  RECT rect;
  GetWindowRect(window, &rect);
  if (rect.right - rect.left != layout::kWindowWidth ||
      rect.bottom - rect.top != layout::kWindowHeight) {
    MoveWindow(window, origin.x, origin.y, layout::kWindowWidth, layout::kWindowHeight, FALSE);
  }
  SendMessageA(window, WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(
                   LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
  SendMessageA(window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(
                   LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
  SetGuiFont(window);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  return window;
}

// The control of the window that holds hwnd, or nullptr.
HWND OwningControl(HWND hwnd) {
  for (HWND candidate : {MainWindow.按钮2, MainWindow.组合框1}) {
    if (candidate && (hwnd == candidate || IsChild(candidate, hwnd))) return candidate;
  }
  return nullptr;
}

bool CanTakeFocus(HWND control) {
  return control && IsWindowVisible(control) && IsWindowEnabled(control) &&
         (GetWindowLongPtrA(control, GWL_STYLE) & WS_TABSTOP);
}

// Tab order is the list order: the combo box, then the button.
void MoveFocus(bool backwards) {
  HWND order[] = {MainWindow.组合框1, MainWindow.按钮2};
  constexpr int count = 2;
  const HWND current = OwningControl(GetFocus());
  int at = current == order[1] ? 1 : current == order[0] ? 0 : (backwards ? 0 : count - 1);
  for (int step = 0; step < count; ++step) {
    at = (at + (backwards ? count - 1 : 1)) % count;
    if (CanTakeFocus(order[at])) {
      SetFocus(order[at]);
      return;
    }
  }
}

void OnPaint(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
  EndPaint(hwnd, &paint);
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(lParam) == MainWindow.按钮2 && HIWORD(wParam) == BN_CLICKED) {
    CopySwitchClicked();
  }
}

void OnActivate(WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    if (HWND control = OwningControl(GetFocus())) focusToRestore = control;
  }
}

void OnSetFocus() {
  HWND target = focusToRestore && IsWindow(focusToRestore) ? focusToRestore : MainWindow.按钮2;
  if (target) SetFocus(target);
}

LRESULT OnQueryEndSession(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  DefWindowProcA(hwnd, WM_QUERYENDSESSION, wParam, lParam);
  MainWindowCanClose();
  return TRUE;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT colour = 0;
  if (AnswerComboColour(message, wParam, &colour)) return colour;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint(hwnd);
      return 0;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam);
      break;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_CLOSE:
      MainWindowCanClose();
      break;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession(hwnd, wParam, lParam);
    case WM_NCDESTROY:
      MainWindow = MainWindowHandles{};
      PostQuitMessage(0);
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

bool LoadMainWindow() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const bool registered =
      RegisterWindowClass(instance, kWindowClass, MainWndProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                          LoadCursorA(nullptr, IDC_ARROW)) &&
      RegisterControlClasses(instance);
  if (!registered) return false;
  MainWindow.window = CreateMainFrame(instance);
  if (!MainWindow.window) return false;

  for (std::size_t i = layout::kControls.size(); i-- > 0;) {
    HandleOf(layout::kControls[i].control) = CreateControl(i, instance);
    if (!HandleOf(layout::kControls[i].control)) {
      DestroyWindow(MainWindow.window);
      // The destroyed window posted WM_QUIT, which would close the error box
      // that reports this failure the moment it opened.
      MSG quit;
      PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      return false;
    }
  }
  for (const layout::ControlPlace& place : layout::kControls) {
    if (place.parent == layout::Parent::图片框1)
      SetParent(HandleOf(place.control), MainWindow.图片框1);
  }
  for (std::size_t i = 0; i < layout::kControls.size(); ++i) {
    const int above = layout::ZOrderAbove(i);
    const HWND after =
        above == layout::kNoneAbove ? HWND_TOP : HandleOf(layout::kControls[above].control);
    SetWindowPos(HandleOf(layout::kControls[i].control), after, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (const layout::ControlPlace& place : layout::kControls) {
    ShowWindow(HandleOf(place.control), place.shown ? SW_SHOWNA : SW_HIDE);
  }
  WaitTimeChoice = {MainWindow.window, MainWindow.组合框1};
  SetFeedbackHandler(MainWindow.标签1, PasteHotkeyHandler);

  MainWindowCreated();
  if (MainWindow.window && IsWindow(MainWindow.window)) ShowWindow(MainWindow.window, SW_SHOW);
  return true;
}

bool MainWindowPreTranslate(const MSG& msg) {
  if (!MainWindow.window || msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != MainWindow.window && !IsChild(MainWindow.window, msg.hwnd)) return false;
  const bool modified = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
  switch (msg.wParam) {
    case VK_ESCAPE:
      if (modified || GetKeyState(VK_SHIFT) < 0) return false;
      SendMessageA(MainWindow.window, WM_CLOSE, 0, 0);
      return true;
    case VK_TAB:
      if (modified) return false;
      MoveFocus(GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_F1:
      return true;
  }
  return false;
}

const std::string& CopySwitchCaption() { return copySwitchCaption; }

void SetCopySwitchCaption(const char* caption) {
  copySwitchCaption = caption ? caption : "";
  SetWindowTextA(MainWindow.按钮2, copySwitchCaption.c_str());
}

void SetTrimTimerPeriod(int ms) { SetTimerPeriod(MainWindow.时钟1, ms); }

void SetFeedbackHandler(HWND label, FeedbackHandler handler) {
  SetWindowLongPtrA(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
}
