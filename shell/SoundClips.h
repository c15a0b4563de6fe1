// The program's two sounds and the actions that play and stop them. Each
// playing clip has a thread and a wave output device of its own, so clips
// overlap; nothing reports their end, and every failure is silent.
#pragma once

#include <cstddef>

#include "system/Win32.h"

// Complete RIFF/WAVE images, PCM, 2 channels, 22,050 Hz, 16 bits: the sound of
// the window opening and of a click on the copy switch.
extern const BYTE StartClip[];
extern const DWORD StartClipLength;
extern const BYTE ClickClip[];
extern const DWORD ClickClipLength;

// Starts playing a RIFF/WAVE image and returns before anything is heard; with
// repeat, the clip starts over at its end until it is stopped. True when a
// playback was started, also when there is no device to hear it on. The image
// need not outlive the call. A "data" chunk longer than the image plays the
// samples that are there.
bool PlayClip(const void* data, DWORD length, bool repeat);

// Cuts off every clip playing now; with wait, returns only once each of their
// threads has ended. A clip started meanwhile plays on.
void StopAllClips(bool wait);

// How many playbacks are in ActivePlaybacks: started, and their thread not
// finished.
std::size_t CountActivePlaybacks();
