#include "Engine.h"

ControlRef WaitTimeChoice{nullptr, nullptr};

void CopyPasteSequence() {
  WaitProcessingEvents(100);
  PressKeys(VK_CONTROL, 'C');
  // Seven separate reads, so a choice changed during one wait still adds the
  // wait of a later item.
  for (int k = 0; k < 7; ++k) {
    int selection = -1;
    // The window is gone only while the program is ending: end quietly rather
    // than raise an error box over a closed tool.
    if (TryReadComboSelection(WaitTimeChoice, &selection) != ControlRead::Ok) return;
    if (selection == k) WaitProcessingEvents(WaitTable[k]);
  }
  PressKeys(VK_F2);
  WaitProcessingEvents(50);
  SetClipboardText("");
}
