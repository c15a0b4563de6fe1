#include "Engine.h"
#include "shell/MainWindow.h"
#include "shell/SoundClips.h"

namespace {

constexpr char kCopyingOn[] = "关闭复制";
constexpr char kCopyingOff[] = "开启复制";

}  // namespace

// The caption names what the next click does, and is the switch's only state.
void CopySwitchClicked() {
  PlayClip(ClickClip, ClickClipLength, false);
  if (CopySwitchCaption() == kCopyingOn) {
    SetCopySwitchCaption(kCopyingOff);
    UnhookWindowsHookEx(MouseHookHandle);
    return;
  }
  if (CopySwitchCaption() == kCopyingOff) {
    SetCopySwitchCaption(kCopyingOn);
    InstallMouseHook();
  }
}
