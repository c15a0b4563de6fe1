#include "Engine.h"

int PasteHotkeyId = 0;

void PasteHotkeyHandler(int first, int) {
  if (first == PasteHotkeyId) PressKeys(VK_CONTROL, 'V');
}
