// Calls the drag detector as Windows calls a low-level mouse hook, with the
// cursor position coming from the fake.
#pragma once

#include "engine/Engine.h"
#include "tests/fake/FakeWin32.h"

class HookDriver {
 public:
  // A fresh fake and a press point of the driver's own.
  void Start() {
    ResetFake();
    pressPoint_ = {0, 0};
    PressPoint = &pressPoint_;
  }
  // lParam is a pointer the detector must never follow.
  LRESULT Event(WPARAM message, LONG x, LONG y) {
    Fake().cursor = {x, y};
    return DragDetector(0, message, static_cast<LPARAM>(1));
  }
  const POINT& pressPoint() const { return pressPoint_; }

 private:
  POINT pressPoint_{0, 0};
};
