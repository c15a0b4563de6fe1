#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "shell/SoundClips.h"
#include "shell/WaveChunks.h"
#include "tests/fake/FakeWaveOut.h"

namespace {

using Bytes = std::vector<BYTE>;
using std::chrono::milliseconds;

constexpr int kLongMs = 30000;  // only ever reached when something is wrong
constexpr DWORD kClickSamplesAt = 44;
constexpr DWORD kClickSamples = 34256;
constexpr DWORD kStartSamplesAt = 80;
constexpr DWORD kStartSamples = 701192;

void Append(Bytes& bytes, const char* text, std::size_t length) {
  bytes.insert(bytes.end(), text, text + length);
}

void AppendLe(Bytes& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back((value >> (8 * i)) & 0xFF);
}

Bytes PcmFormat() {
  Bytes format;
  AppendLe(format, 1, 2);      // PCM
  AppendLe(format, 2, 2);      // channels
  AppendLe(format, 22050, 4);  // samples per second
  AppendLe(format, 88200, 4);  // bytes per second
  AppendLe(format, 4, 2);      // block align
  AppendLe(format, 16, 2);     // bits per sample
  return format;
}

Bytes Samples(const BYTE* clip, DWORD at, DWORD size) { return Bytes(clip + at, clip + at + size); }

Bytes ClickSamples() { return Samples(ClickClip, kClickSamplesAt, kClickSamples); }
Bytes StartSamples() { return Samples(StartClip, kStartSamplesAt, kStartSamples); }

template <typename Predicate>
bool Eventually(Predicate predicate) {
  const auto deadline = std::chrono::steady_clock::now() + milliseconds(kLongMs);
  while (!predicate()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(milliseconds(5));
  }
  return true;
}

// Exactly `devices` devices are open and each has had `writes` buffers.
bool EveryDeviceHasWritten(std::size_t devices, std::size_t writes) {
  const std::vector<FakeDeviceRecord> records = FakeDevices();
  if (records.size() != devices) return false;
  for (const FakeDeviceRecord& record : records) {
    if (record.writes.size() != writes) return false;
  }
  return true;
}

int ClosedDevices() {
  int closed = 0;
  for (const FakeDeviceRecord& device : FakeDevices()) closed += device.closed;
  return closed;
}

TEST(ClipImagesTest, FollowTheirLayoutByteForByte) {
  Bytes startHeader;
  Append(startHeader, "RIFF", 4);
  AppendLe(startHeader, 701264, 4);
  Append(startHeader, "WAVEfmt ", 8);
  AppendLe(startHeader, 18, 4);
  const Bytes format = PcmFormat();
  startHeader.insert(startHeader.end(), format.begin(), format.end());
  AppendLe(startHeader, 0, 2);  // cbSize
  Append(startHeader, "LIST", 4);
  AppendLe(startHeader, 26, 4);
  Append(startHeader, "INFOISFT", 8);
  AppendLe(startHeader, 14, 4);
  Append(startHeader, "make_clips.py", 14);
  Append(startHeader, "data", 4);
  AppendLe(startHeader, kStartSamples, 4);

  Bytes clickHeader;
  Append(clickHeader, "RIFF", 4);
  AppendLe(clickHeader, 34292, 4);
  Append(clickHeader, "WAVEfmt ", 8);
  AppendLe(clickHeader, 16, 4);
  clickHeader.insert(clickHeader.end(), format.begin(), format.end());
  Append(clickHeader, "data", 4);
  AppendLe(clickHeader, kClickSamples, 4);

  struct Clip {
    const char* name;
    const BYTE* image;
    DWORD length;
    DWORD expectedLength;
    Bytes header;
  };
  const Clip clips[] = {{"StartClip", StartClip, StartClipLength, 701272, startHeader},
                        {"ClickClip", ClickClip, ClickClipLength, 34300, clickHeader}};
  for (const Clip& clip : clips) {
    ASSERT_EQ(clip.length, clip.expectedLength) << clip.name;
    EXPECT_EQ(Bytes(clip.image, clip.image + clip.header.size()), clip.header) << clip.name;

    WaveChunks chunks{};
    ASSERT_TRUE(FindWaveChunks(clip.image, clip.length, &chunks)) << clip.name;
    EXPECT_EQ(chunks.samples + chunks.samplesSize, clip.image + clip.length) << clip.name;

    // Sound on both channels, and none in the last 10 ms, so the end makes
    // no pop.
    const auto* samples = reinterpret_cast<const std::int16_t*>(chunks.samples);
    const std::size_t count = chunks.samplesSize / 2;
    int peaks[2] = {0, 0};
    for (std::size_t i = 0; i < count; ++i) {
      peaks[i % 2] = std::max(peaks[i % 2], std::abs(samples[i]));
    }
    EXPECT_GT(peaks[0], 8000) << clip.name;
    EXPECT_GT(peaks[1], 8000) << clip.name;
    for (std::size_t i = count - 2 * 220; i < count; ++i) {
      ASSERT_LT(std::abs(samples[i]), 64) << clip.name << " sample " << i;
    }
  }
}

class PlaybackTest : public ::testing::Test {
 protected:
  void Start(const FakeWaveSettings& settings) {
    ASSERT_TRUE(WaitForFakeThreads(kLongMs)) << "a previous playback never ended";
    ResetFakeWaveOut(settings);
  }

  void TearDown() override { ExpectEverythingReleased(""); }

  static void ExpectEverythingReleased(const std::string& context) {
    ASSERT_TRUE(WaitForFakeThreads(kLongMs)) << context << "a playback thread never ended";
    EXPECT_EQ(CountActivePlaybacks(), 0u) << context;
    EXPECT_EQ(OpenFakeHandles(), 0) << context;
    // The list's own lock is the one that stays.
    EXPECT_EQ(LiveFakeCriticalSections(), 1) << context;
    EXPECT_EQ(ClosedDevices(), static_cast<int>(FakeDevices().size())) << context;
    EXPECT_EQ(FakeWaveFaults(), std::vector<std::string>{}) << context;
  }
};

TEST_F(PlaybackTest, ClickClipGoesOutInThreeBuffersAndItsEndReleasesEverything) {
  Start({});
  ASSERT_TRUE(PlayClip(ClickClip, ClickClipLength, false));
  ASSERT_TRUE(WaitForFakeThreads(kLongMs));

  const std::vector<FakeDeviceRecord> devices = FakeDevices();
  ASSERT_EQ(devices.size(), 1u);
  const FakeDeviceRecord& device = devices[0];
  EXPECT_EQ(device.deviceId, WAVE_MAPPER);
  EXPECT_EQ(device.openFlags, CALLBACK_FUNCTION);
  Bytes format = Samples(ClickClip, 20, 16);
  format.insert(format.end(), {0, 0});
  EXPECT_EQ(device.format, format);
  EXPECT_EQ(device.writes, (std::vector<DWORD>{15360, 15360, 3536}));
  EXPECT_EQ(device.written, ClickSamples());
  EXPECT_EQ(device.playedBytes, kClickSamples);
  EXPECT_EQ(device.resets, 0);
  for (DWORD timeout : FakeWaitTimeouts()) EXPECT_EQ(timeout, 8888u);
}

TEST_F(PlaybackTest, LongClipQueuesTwentyBuffersAtOnceThenRefillsThemToTheEnd) {
  FakeWaveSettings settings;
  settings.holding = true;
  Start(settings);
  ASSERT_TRUE(PlayClip(StartClip, StartClipLength, false));
  ASSERT_TRUE(
      Eventually([] { return !FakeDevices().empty() && FakeDevices()[0].writes.size() >= 20; }));
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(FakeDevices()[0].writes, std::vector<DWORD>(20, 15360));

  ReleaseHeldBuffers();
  ASSERT_TRUE(WaitForFakeThreads(kLongMs));
  const FakeDeviceRecord device = FakeDevices()[0];
  std::vector<DWORD> writes(45, 15360);
  writes.push_back(kStartSamples - 45 * 15360);
  EXPECT_EQ(device.writes, writes);
  EXPECT_EQ(device.written, StartSamples());
  EXPECT_EQ(device.playedBytes, kStartSamples);
}

TEST_F(PlaybackTest, StopCutsALongClipOffAtOnce) {
  FakeWaveSettings settings;
  settings.speed = 1;
  Start(settings);
  ASSERT_TRUE(PlayClip(StartClip, StartClipLength, false));
  std::this_thread::sleep_for(milliseconds(300));

  const auto stopped = std::chrono::steady_clock::now();
  StopAllClips(true);
  // More than seven seconds of the clip were left.
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(3));
  const FakeDeviceRecord device = FakeDevices().at(0);
  EXPECT_EQ(device.pauses, 1);
  EXPECT_EQ(device.resets, 1);
  EXPECT_TRUE(device.closed);
  EXPECT_LT(device.playedBytes, kStartSamples / 2);
}

TEST_F(PlaybackTest, SilentDeviceIsAbandonedThroughTheTimeOut) {
  struct SilenceCase {
    const char* name;
    UINT devices;
    bool openFails;
    bool holding;
  };
  const SilenceCase cases[] = {{"no device", 0, false, false},
                               {"device that cannot be opened", 1, true, false},
                               {"device that gives no buffer back", 1, false, true}};
  for (const SilenceCase& c : cases) {
    FakeWaveSettings settings;
    settings.devices = c.devices;
    settings.openFails = c.openFails;
    settings.holding = c.holding;
    settings.timeoutDivisor = 50;
    Start(settings);
    EXPECT_TRUE(PlayClip(ClickClip, ClickClipLength, false)) << c.name;
    ASSERT_TRUE(WaitForFakeThreads(kLongMs)) << c.name;

    EXPECT_EQ(FakeWaitTimeouts(), std::vector<DWORD>{8888}) << c.name;
    const std::vector<FakeDeviceRecord> devices = FakeDevices();
    EXPECT_EQ(devices.size(), c.holding ? 1u : 0u) << c.name;
    if (c.holding) {
      EXPECT_EQ(devices[0].writes.size(), 3u) << c.name;
      EXPECT_EQ(devices[0].resets, 1) << c.name;
    }
    ExpectEverythingReleased(std::string(c.name) + ": ");
  }
}

TEST_F(PlaybackTest, FiveClicksOverlap) {
  FakeWaveSettings settings;
  settings.holding = true;
  Start(settings);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(PlayClip(ClickClip, ClickClipLength, false));
  EXPECT_EQ(CountActivePlaybacks(), 5u);
  ASSERT_TRUE(Eventually([] { return EveryDeviceHasWritten(5, 3); }));
  EXPECT_EQ(ClosedDevices(), 0);

  ReleaseHeldBuffers();
  ASSERT_TRUE(WaitForFakeThreads(kLongMs));
  for (const FakeDeviceRecord& device : FakeDevices()) {
    EXPECT_EQ(device.written, ClickSamples());
    EXPECT_EQ(device.playedBytes, kClickSamples);
    EXPECT_EQ(device.resets, 0);
  }
}

TEST_F(PlaybackTest, StopAllClipsWaitsUntilEveryThreadHasEndedAndSparesLaterClips) {
  FakeWaveSettings settings;
  settings.holding = true;
  settings.closeDelayMs = 200;  // threads that end well after their stop event
  Start(settings);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(PlayClip(StartClip, StartClipLength, false));
  ASSERT_TRUE(Eventually([] { return EveryDeviceHasWritten(3, 20); }));

  StopAllClips(true);
  EXPECT_EQ(RunningFakeThreads(), 0);
  EXPECT_EQ(CountActivePlaybacks(), 0u);
  EXPECT_EQ(ClosedDevices(), 3);
  EXPECT_EQ(FakeWaveFaults(), std::vector<std::string>{});

  ReleaseHeldBuffers();
  ASSERT_TRUE(PlayClip(ClickClip, ClickClipLength, false));
  ASSERT_TRUE(WaitForFakeThreads(kLongMs));
  const FakeDeviceRecord later = FakeDevices().at(3);
  EXPECT_EQ(later.resets, 0);
  EXPECT_EQ(later.playedBytes, kClickSamples);
}

TEST_F(PlaybackTest, RepeatingClipStartsOverUntilStopped) {
  Start({});
  ASSERT_TRUE(PlayClip(ClickClip, ClickClipLength, true));
  ASSERT_TRUE(Eventually([] { return FakeDevices().at(0).written.size() >= 3 * kClickSamples; }));
  StopAllClips(true);

  const FakeDeviceRecord device = FakeDevices()[0];
  const Bytes samples = ClickSamples();
  for (DWORD round = 0; round < 3; ++round) {
    const auto from = device.written.begin() + round * kClickSamples;
    EXPECT_EQ(Bytes(from, from + kClickSamples), samples) << "round " << round;
  }
  EXPECT_EQ(device.resets, 1);
}

TEST_F(PlaybackTest, ImageCutShortPlaysTheSamplesItHolds) {
  Start({});
  const DWORD length = kClickSamplesAt + 1000;
  const Bytes image(ClickClip, ClickClip + length);
  ASSERT_TRUE(PlayClip(image.data(), length, false));
  ASSERT_TRUE(WaitForFakeThreads(kLongMs));
  const FakeDeviceRecord device = FakeDevices().at(0);
  EXPECT_EQ(device.writes, std::vector<DWORD>{1000});
  EXPECT_EQ(device.written, Samples(ClickClip, kClickSamplesAt, 1000));
}

// The device reads a whole WAVEFORMATEX and, beyond PCM, cbSize bytes more:
// never past the format chunk, even at the very end of the image (the address
// sanitizer watches the images' ends here).
TEST_F(PlaybackTest, DeviceNeverReadsPastTheFormatChunk) {
  struct FormatCase {
    const char* name;
    Bytes format;
    Bytes opened;
  };
  Bytes pcm = PcmFormat();
  Bytes pcmPadded = pcm;
  pcmPadded.insert(pcmPadded.end(), {0, 0});
  Bytes adpcm = PcmFormat();
  adpcm[0] = 2;
  adpcm.insert(adpcm.end(), {100, 0});  // cbSize: 100 bytes that are not there
  Bytes adpcmOpened = adpcm;
  adpcmOpened[16] = 0;
  const FormatCase cases[] = {{"16-byte PCM format last", pcm, pcmPadded},
                              {"cbSize past the chunk", adpcm, adpcmOpened}};
  for (const FormatCase& c : cases) {
    Start({});
    Bytes image;
    Append(image, "RIFF", 4);
    AppendLe(image, static_cast<std::uint32_t>(4 + 12 + 8 + c.format.size()), 4);
    Append(image, "WAVEdata", 8);
    AppendLe(image, 4, 4);
    AppendLe(image, 0x01020304, 4);
    Append(image, "fmt ", 4);
    AppendLe(image, static_cast<std::uint32_t>(c.format.size()), 4);
    image.insert(image.end(), c.format.begin(), c.format.end());
    const Bytes exact(image);  // no spare capacity after the last byte

    ASSERT_TRUE(PlayClip(exact.data(), static_cast<DWORD>(exact.size()), false)) << c.name;
    ASSERT_TRUE(WaitForFakeThreads(kLongMs)) << c.name;
    EXPECT_EQ(FakeDevices().at(0).format, c.opened) << c.name;
    ExpectEverythingReleased(std::string(c.name) + ": ");
  }
}

TEST_F(PlaybackTest, RefusedImagesStartNothing) {
  Bytes otherForm(ClickClip, ClickClip + ClickClipLength);
  std::copy_n("AVI ", 4, otherForm.begin() + 8);
  struct RefusedCase {
    const char* name;
    const void* data;
    DWORD length;
  };
  const RefusedCase cases[] = {{"no data", nullptr, 0},
                               {"length 0", ClickClip, 0},
                               {"shorter than 36 bytes", ClickClip, 35},
                               {"RIFF of another form type", otherForm.data(), ClickClipLength}};
  Start({});
  for (const RefusedCase& c : cases) EXPECT_FALSE(PlayClip(c.data, c.length, false)) << c.name;
  EXPECT_EQ(CountActivePlaybacks(), 0u);
  EXPECT_TRUE(FakeDevices().empty());
}

}  // namespace
