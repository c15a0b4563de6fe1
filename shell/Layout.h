// The main window's fixed layout, and the arithmetic that places it.
#pragma once

#include <array>

namespace layout {

inline constexpr int kWindowWidth = 318;
inline constexpr int kWindowHeight = 155;
// A drop-down combo box needs room below its edit field for the list.
inline constexpr int kComboCreateHeight = 160;
inline constexpr int kFirstControlId = 100;
inline constexpr int kControlIdStep = 10;

enum class Control { 组合框1, 标签3, 标签4, 按钮2, 标签2, 超级链接框1, 时钟1, 图片框1, 标签1 };
enum class Parent { Window, 图片框1 };

struct ControlPlace {
  Control control;
  Parent parent;
  int x, y, width, height;
  bool shown;
};

// List order: top of the z-order first; creation runs the other way.
inline constexpr std::array<ControlPlace, 9> kControls = {{
    {Control::组合框1, Parent::图片框1, 234, 81, 71, 20, true},
    {Control::标签3, Parent::图片框1, 119, 83, 104, 16, true},
    {Control::标签4, Parent::Window, 20, 107, 74, 15, true},
    {Control::按钮2, Parent::Window, 233, 96, 72, 25, true},
    {Control::标签2, Parent::图片框1, 71, 20, 240, 20, true},
    {Control::超级链接框1, Parent::Window, 2, 89, 110, 16, true},
    {Control::时钟1, Parent::Window, 280, 120, 48, 32, false},
    {Control::图片框1, Parent::Window, 0, -11, 320, 100, true},
    {Control::标签1, Parent::Window, 33, 8, 64, 24, false},
}};

struct Point {
  int x, y;
};

// Centred on a screen of the given size, with C's truncating signed division:
// a screen narrower than the window gives a negative origin.
constexpr Point CentredOrigin(int screenWidth, int screenHeight) {
  return {(screenWidth - kWindowWidth) / 2, (screenHeight - kWindowHeight) / 2};
}

// Child identifiers follow the creation order, which is the list reversed.
constexpr int ControlId(std::size_t listIndex) {
  return kFirstControlId + static_cast<int>(kControls.size() - 1 - listIndex) * kControlIdStep;
}

constexpr int CreateHeight(const ControlPlace& place) {
  return place.control == Control::组合框1 ? kComboCreateHeight : place.height;
}

inline constexpr int kNoneAbove = -1;

// The list index of the control that the control at listIndex goes directly
// below: the nearest earlier control of the same parent, or kNoneAbove for the
// first of its parent, which goes to the top.
constexpr int ZOrderAbove(std::size_t listIndex) {
  for (int i = static_cast<int>(listIndex) - 1; i >= 0; --i) {
    if (kControls[i].parent == kControls[listIndex].parent) return i;
  }
  return kNoneAbove;
}

}  // namespace layout
