"""The start clip under Wine: heard whole, cut off at once by StopAllClips(true),
and with no wave device given up through the time-out without a word.

A private PulseAudio daemon with a null sink is Wine's wave device, and a
recorder on the sink's monitor hears what Wine plays. Without a sound server
Wine has no wave device at all. The test-only clipprobe.exe plays the clip.
"""

import array
import math
import os
import shutil
import subprocess
import tempfile
import time
import unittest
import wave
from pathlib import Path

from harness import ROOT, WIN64, WineSession, end_process

CLIP = ROOT / "resources" / "StartClip.wav"
RATE = 22050
SILENCE = 8  # a sample this small or smaller is not heard
WINDOW = RATE // 20  # 50 ms of frames


class NullSink:
    """A PulseAudio daemon of our own whose default sink is a null sink, and a
    recorder on that sink's monitor; both are ended by process id."""

    def __init__(self):
        self.dir = Path(tempfile.mkdtemp(prefix="f2paste-pulse-"))
        self.server = f"unix:{self.dir}/native"
        config = self.dir / "null-sink.pa"
        config.write_text(
            f"load-module module-native-protocol-unix socket={self.dir}/native auth-anonymous=1\n"
            # Without rewinds the monitor hears every sample, also those of a
            # stream that has just started.
            "load-module module-null-sink sink_name=nullsink rate=22050 channels=2 norewinds=1\n"
            "set-default-sink nullsink\n")
        self.env = dict(os.environ, XDG_RUNTIME_DIR=str(self.dir), HOME=str(self.dir),
                        PULSE_SERVER=self.server)
        self.recorder = None
        self.daemon = subprocess.Popen(
            ["pulseaudio", "-n", "-F", str(config), "--exit-idle-time=-1", "--daemonize=no"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self._wait_until(lambda: self._pactl("info") is not None, "the daemon never answered")
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _pactl(self, *args):
        done = subprocess.run(["pactl", *args], env=self.env, capture_output=True, text=True,
                              timeout=10)
        return done.stdout if done.returncode == 0 else None

    def _wait_until(self, condition, failure, timeout=15.0):
        deadline = time.monotonic() + timeout
        while not condition():
            if self.daemon.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(failure)
            time.sleep(0.1)

    def record(self, path):
        self.recorder = subprocess.Popen(
            ["parecord", "-d", "nullsink.monitor", f"--rate={RATE}", "--channels=2",
             "--format=s16le", "--file-format=wav", str(path)],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_until(lambda: (self._pactl("list", "short", "source-outputs") or "").strip(),
                         "the recorder never connected")

    def stop_recording(self):
        """Ends the recorder, which completes the file's header as it goes."""
        end_process(self.recorder)

    def close(self):
        if self.recorder:
            end_process(self.recorder)
        end_process(self.daemon)
        shutil.rmtree(self.dir, ignore_errors=True)


def read_samples(path):
    with wave.open(str(path), "rb") as source:
        assert (source.getnchannels(), source.getsampwidth(), source.getframerate()) == (2, 2, RATE)
        samples = array.array("h")
        samples.frombytes(source.readframes(source.getnframes()))
    return samples


def clip_samples():
    samples = array.array("h")
    samples.frombytes(CLIP.read_bytes()[80:])
    return samples


def heard(samples):
    """The first and the last frame that is not silent, or None."""
    loud = [i for i, value in enumerate(samples) if abs(value) > SILENCE]
    return (loud[0] // 2, loud[-1] // 2) if loud else None


def envelope(samples, first_frame, frames):
    """Loudness in 50 ms windows from first_frame on."""
    levels = []
    for start in range(first_frame, first_frame + frames - WINDOW + 1, WINDOW):
        window = samples[2 * start:2 * (start + WINDOW)]
        levels.append(math.sqrt(sum(v * v for v in window) / max(1, len(window))))
    return levels


def correlation(a, b):
    n = min(len(a), len(b))
    a, b = a[:n], b[:n]
    mean_a, mean_b = sum(a) / n, sum(b) / n
    cov = sum((x - mean_a) * (y - mean_b) for x, y in zip(a, b))
    spread = math.sqrt(sum((x - mean_a) ** 2 for x in a) * sum((y - mean_b) ** 2 for y in b))
    return cov / spread if spread else 0.0


def report(out):
    """The probe's lines "name number" as a dict."""
    values = {}
    for line in out.decode().splitlines():
        name, value = line.split()
        values[name] = int(value)
    return values


class StartClipHeardTest(unittest.TestCase):
    def play(self, *words):
        """Runs the probe with a wave device; returns its report and what the
        null sink heard."""
        with NullSink() as sink, WineSession() as session:
            session.env["PULSE_SERVER"] = sink.server
            recording = session.workdir / "heard.wav"
            sink.record(recording)
            code, out = session.run(WIN64 / "clipprobe.exe", *words, timeout=60)
            time.sleep(0.5)  # the last buffers reach the monitor
            sink.stop_recording()
            self.assertEqual(code, 0, out)
            values = report(out)
            self.assertGreaterEqual(values["devices"], 1, "Wine found no wave device")
            self.assertEqual(values["played"], 1)
            return values, read_samples(recording)

    def test_start_clip_is_heard_whole(self):
        values, samples = self.play()
        clip = clip_samples()
        clip_first, clip_last = heard(clip)
        span = heard(samples)
        self.assertIsNotNone(span, "nothing was heard")
        first, last = span
        self.assertAlmostEqual((last - first) / RATE, (clip_last - clip_first) / RATE, delta=0.3)
        self.assertAlmostEqual(max(map(abs, samples)), max(map(abs, clip)),
                               delta=0.1 * max(map(abs, clip)))
        frames = len(clip) // 2
        self.assertGreater(correlation(envelope(samples, first, frames), envelope(clip, 0, frames)),
                           0.95, "what was heard is not the start clip")
        # The thread ended once the clip had been played, not before.
        self.assertGreaterEqual(values["ended"], 7500)

    def test_stop_all_clips_cuts_the_sound_off_at_once(self):
        values, samples = self.play("stop=2000")
        self.assertLess(values["stopped"], 2000, "StopAllClips(true) waited long")
        span = heard(samples)
        self.assertIsNotNone(span, "nothing was heard")
        first, last = span
        # About the two seconds before the stop; the whole clip is heard for 7.6 s.
        self.assertGreater((last - first) / RATE, 1.5)
        self.assertLess((last - first) / RATE, 2.8)


class NoWaveDeviceTest(unittest.TestCase):
    def test_thread_ends_through_the_time_out_and_nothing_is_shown(self):
        with WineSession() as session:
            # A server that is not there: Wine has no wave device.
            session.env["PULSE_SERVER"] = f"unix:{session.workdir}/no-server"
            before = self.visible_windows(session)
            proc = session.start(WIN64 / "clipprobe.exe", name="probe")
            shown = set()
            deadline = time.monotonic() + 60
            while proc.poll() is None and time.monotonic() < deadline:
                shown |= self.visible_windows(session) - before
                time.sleep(0.2)
            self.assertEqual(proc.wait(timeout=5), 0)
            values = report((session.workdir / "probe.out").read_bytes())
        self.assertEqual(values["devices"], 0)
        self.assertEqual(values["played"], 1)
        self.assertGreaterEqual(values["ended"], 8850)
        self.assertLessEqual(values["ended"], 8888 + 2500)
        self.assertEqual(shown, set(), "a window appeared")

    @staticmethod
    def visible_windows(session):
        done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", ""],
                              env=session.env, capture_output=True, text=True, timeout=30)
        return set(done.stdout.split())


if __name__ == "__main__":
    unittest.main()
