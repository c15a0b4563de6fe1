#include "Controls.h"

#include <cstring>
#include <string>

#include "BannerDecoder.h"
#include "LinkCommand.h"
#include "MainWindow.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLinkNormal = RGB(144, 0, 255);
constexpr COLORREF kLinkHover = RGB(255, 0, 255);
constexpr int kRegistryValueSize = 260;
constexpr int kCommandSize = 512;

class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
  ~PaintDc() { EndPaint(hwnd_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  HDC Get() const { return dc_; }
  const RECT& Dirty() const { return paint_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_;
  HDC dc_;
};

class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, previous_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

class MemoryDc {
 public:
  explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
  ~MemoryDc() { DeleteDC(dc_); }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

class RegistryKey {
 public:
  RegistryKey(HKEY parent, const char* name) {
    if (RegOpenKeyExA(parent, name, 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

template <typename T>
T* StateOf(HWND hwnd) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(hwnd, &text[0], static_cast<int>(text.size()))));
  return text;
}

// Draws the window text in the stock GUI font on a transparent background.
void DrawWindowText(HWND hwnd, HDC dc, COLORREF colour, UINT format) {
  const std::string text = WindowText(hwnd);
  if (text.empty()) return;
  RECT client;
  GetClientRect(hwnd, &client);
  Selected font(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), -1, &client, format);
}

// ---- Labels -------------------------------------------------------------

void OnLabelPaint(HWND hwnd) {
  PaintDc paint(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
  DrawWindowText(hwnd, paint.Get(), kBlack, DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
}

LRESULT OnFeedback(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  auto handler = reinterpret_cast<FeedbackHandler>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (handler) handler(static_cast<int>(wParam), static_cast<int>(lParam));
  return 0;
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnLabelPaint(hwnd);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return result;
    }
    case FeedbackMessage:
      return OnFeedback(hwnd, wParam, lParam);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// ---- Picture box --------------------------------------------------------

struct PictureBox {
  HBRUSH background = nullptr;
  HBITMAP banner = nullptr;
  int width = 0;
  int height = 0;
};

HBITMAP LoadBanner(HINSTANCE instance, int* width, int* height) {
  HRSRC found = FindResourceA(instance, "BannerImage", MAKEINTRESOURCEA(10));
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(instance, found);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(loaded));
  DecodedPicture picture;
  if (!bytes || !DecodeJpeg(bytes, SizeofResource(instance, found), &picture)) return nullptr;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down, as decoded
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) return nullptr;
  std::memcpy(bits, picture.pixels.data(), picture.pixels.size());
  *width = picture.width;
  *height = picture.height;
  return bitmap;
}

void OnPictureCreate(HWND hwnd, const CREATESTRUCTA& create) {
  auto* box = new PictureBox;
  box->background = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
  box->banner = LoadBanner(create.hInstance, &box->width, &box->height);
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
}

void OnPicturePaint(HWND hwnd) {
  PaintDc paint(hwnd);
  const PictureBox* box = StateOf<PictureBox>(hwnd);
  RECT client;
  GetClientRect(hwnd, &client);
  {
    Selected brush(paint.Get(), box->background);
    PatBlt(paint.Get(), 0, 0, client.right, client.bottom, PATCOPY);
  }
  if (!box->banner) return;
  MemoryDc memory(paint.Get());
  Selected bitmap(memory.Get(), box->banner);
  BitBlt(paint.Get(), 0, 0, box->width, box->height, memory.Get(), 0, 0, SRCCOPY);
}

void OnPictureDestroy(HWND hwnd) {
  PictureBox* box = StateOf<PictureBox>(hwnd);
  if (!box) return;
  if (box->banner) DeleteObject(box->banner);
  if (box->background) DeleteObject(box->background);
  delete box;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
}

LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT colour = 0;
  if (AnswerComboColour(message, wParam, &colour)) return colour;
  switch (message) {
    case WM_CREATE:
      OnPictureCreate(hwnd, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPicturePaint(hwnd);
      return 0;
    case WM_NCDESTROY:
      OnPictureDestroy(hwnd);
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// ---- Hyperlink box ------------------------------------------------------

struct LinkBox {
  bool hovering = false;
  bool visited = false;
};

void Repaint(HWND hwnd) { InvalidateRect(hwnd, nullptr, FALSE); }

void OnLinkPaint(HWND hwnd) {
  PaintDc paint(hwnd);
  const LinkBox* link = StateOf<LinkBox>(hwnd);
  FillRect(paint.Get(), &paint.Dirty(), GetSysColorBrush(COLOR_BTNFACE));
  const COLORREF colour = link->hovering ? kLinkHover : link->visited ? kBlack : kLinkNormal;
  DrawWindowText(hwnd, paint.Get(), colour,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
}

// The capture tells the box when the pointer has left it.
void OnLinkMouseMove(HWND hwnd, LPARAM lParam) {
  LinkBox* link = StateOf<LinkBox>(hwnd);
  if (!link->hovering) {
    link->hovering = true;
    Repaint(hwnd);
    SetCapture(hwnd);
    return;
  }
  RECT client;
  GetClientRect(hwnd, &client);
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (!PtInRect(&client, point)) {
    link->hovering = false;
    ReleaseCapture();
    Repaint(hwnd);
  } else if (GetCapture() != hwnd) {
    SetCapture(hwnd);
  }
}

void OnLinkPress(HWND hwnd) {
  LinkBox* link = StateOf<LinkBox>(hwnd);
  link->visited = OpenLinkTarget(kLinkTarget);
  if (link->visited) Repaint(hwnd);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LinkBox));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnLinkPaint(hwnd);
      return 0;
    case WM_MOUSEMOVE:
      OnLinkMouseMove(hwnd, lParam);
      return 0;
    case WM_LBUTTONDOWN:
      OnLinkPress(hwnd);
      return 0;
    case WM_NCDESTROY:
      delete StateOf<LinkBox>(hwnd);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Reads a key's default value; false unless it fits with its NUL.
bool ReadDefaultValue(const char* keyName, char (&value)[kRegistryValueSize]) {
  RegistryKey key(HKEY_CLASSES_ROOT, keyName);
  if (!key.Get()) return false;
  LONG size = kRegistryValueSize;
  if (RegQueryValueA(key.Get(), nullptr, value, &size) != ERROR_SUCCESS || size <= 0) return false;
  if (value[size - 1] != '\0') {
    if (size >= kRegistryValueSize) return false;
    value[size] = '\0';
  }
  return true;
}

// ---- Timer --------------------------------------------------------------

LRESULT CALLBACK TimerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
      TrimTimerTick();
      return result;
    }
    case WM_DESTROY:
      if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) > 0) KillTimer(hwnd, kTrimTimerId);
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure, UINT style,
                         HCURSOR cursor) {
  WNDCLASSA windowClass{};
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = cursor;
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0;
}

bool AnswerComboColour(UINT message, WPARAM wParam, LRESULT* result) {
  if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORLISTBOX) return false;
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, kBlack);
  SetBkColor(dc, kWhite);
  *result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  return true;
}

bool OpenLinkTarget(const char* target) {
  if (!target || !*target) return false;
  const auto opened =
      reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", target, nullptr, nullptr, SW_SHOW));
  if (opened > 32) return true;

  char htmClass[kRegistryValueSize];
  if (!ReadDefaultValue(".htm", htmClass)) return false;
  const std::string commandKey = std::string(htmClass) + "\\shell\\open\\command";
  char registered[kRegistryValueSize];
  if (!ReadDefaultValue(commandKey.c_str(), registered)) return false;
  char command[kCommandSize];
  if (!BuildOpenCommand(registered, target, command, sizeof command)) return false;
  return WinExec(command, SW_SHOW) > 32;
}

void SetTimerPeriod(HWND timer, int ms) {
  if (ms < 0) ms = 0;
  const LONG_PTR current = GetWindowLongPtrA(timer, GWLP_USERDATA);
  if (ms == current) return;
  SetWindowLongPtrA(timer, GWLP_USERDATA, ms);
  if (current > 0) KillTimer(timer, kTrimTimerId);
  if (ms > 0) SetTimer(timer, kTrimTimerId, static_cast<UINT>(ms), nullptr);
}

bool RegisterControlClasses(HINSTANCE instance) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  const UINT redraw = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  return RegisterWindowClass(instance, kLabelClass, LabelProc, redraw, arrow) &&
         RegisterWindowClass(instance, kPictureBoxClass, PictureBoxProc, redraw, arrow) &&
         RegisterWindowClass(instance, kLinkClass, LinkProc, redraw,
                             LoadCursorA(instance, "LinkCursor")) &&
         RegisterWindowClass(instance, kTimerClass, TimerProc, CS_DBLCLKS, arrow);
}
