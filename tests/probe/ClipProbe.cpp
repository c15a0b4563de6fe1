// Test-only: plays a clip through PlayClip, as the program does, and prints
// what happened, one line each:
//   devices N   what waveOutGetNumDevs() says
//   played B    PlayClip's result, 0 or 1
//   stopped MS  with stop=DELAY: how long StopAllClips(true) took, called
//               DELAY ms after PlayClip
//   ended MS    when no playback was left, in ms after PlayClip
// Command-line words: click  play ClickClip instead of StartClip
//                     stop=DELAY
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Words.h"
#include "shell/SoundClips.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  bool click = false;
  long stopAfter = -1;
  for (const std::string& word : SplitWords(commandLine)) {
    if (word == "click") click = true;
    if (word.rfind("stop=", 0) == 0) stopAfter = std::atol(word.c_str() + 5);
  }

  std::printf("devices %u\n", waveOutGetNumDevs());
  const DWORD started = GetTickCount();
  const bool played = click ? PlayClip(ClickClip, ClickClipLength, false)
                            : PlayClip(StartClip, StartClipLength, false);
  std::printf("played %d\n", played ? 1 : 0);
  std::fflush(stdout);
  if (stopAfter >= 0) {
    Sleep(static_cast<DWORD>(stopAfter));
    const DWORD stopping = GetTickCount();
    StopAllClips(true);
    std::printf("stopped %lu\n", static_cast<unsigned long>(GetTickCount() - stopping));
  }
  while (CountActivePlaybacks() != 0) Sleep(10);
  std::printf("ended %lu\n", static_cast<unsigned long>(GetTickCount() - started));
  return 0;
}
