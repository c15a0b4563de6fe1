// Stand-ins for the main window's side of the life cycle, recording into
// Fake().calls.
#pragma once

#include <string>

struct FakeShell {
  bool loadFails = false;
  std::string caption = "关闭复制";
};

FakeShell& Shell();
void ResetShell();
