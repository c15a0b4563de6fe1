"""Hearing what Wine plays: a private PulseAudio daemon with a null sink is
Wine's wave device, and a recorder on the sink's monitor hears it. Without a
sound server Wine has no wave device at all."""

import array
import contextlib
import math
import os
import shutil
import subprocess
import tempfile
import time
import wave
from pathlib import Path

from harness import ROOT, WineSession, end_process

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


@contextlib.contextmanager
def session_with_sound():
    """A WineSession whose programs play on a null sink of their own; yields
    the session and the sink."""
    with NullSink() as sink, WineSession() as session:
        session.env["PULSE_SERVER"] = sink.server
        yield session, sink


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


def residual(samples, clip, first_frame, search=50):
    """What was heard beyond the clip, as loudness in 50 ms windows: the clip
    is lined up with the recording where the first 0.25 s of both match best
    (within search frames of first_frame) and taken away. Returns the levels
    and the mismatch of that first quarter second."""
    span = RATE // 2  # samples of both channels in 0.25 s
    def mismatch(offset):
        base = 2 * (first_frame + offset)
        return sum(abs(samples[base + i] - clip[i]) for i in range(0, span, 3)) / (span // 3)
    offset = min(range(-min(search, first_frame), search + 1), key=mismatch)
    base = 2 * (first_frame + offset)
    levels = []
    for start in range(0, len(samples) - base - 2 * WINDOW + 1, 2 * WINDOW):
        window = [samples[base + start + i] - (clip[start + i] if start + i < len(clip) else 0)
                  for i in range(2 * WINDOW)]
        levels.append(math.sqrt(sum(v * v for v in window) / len(window)))
    return levels, mismatch(offset)
