"""The start clip under Wine: heard whole, cut off at once by StopAllClips(true),
and with no wave device given up through the time-out without a word.

The test-only clipprobe.exe plays the clip.
"""

import subprocess
import time
import unittest

from harness import WIN64, WineSession
from sound import (RATE, clip_samples, correlation, envelope, heard, read_samples, residual,
                   session_with_sound)
from tool import Tool


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
        with session_with_sound() as (session, sink):
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
        self.assertGreater((last - first) / RATE, 1.0)
        self.assertLess((last - first) / RATE, 2.8)


class ToolSoundsTest(unittest.TestCase):
    def test_click_sounds_over_the_start_sound_and_closing_cuts_it_off(self):
        with session_with_sound() as (session, sink):
            recording = session.workdir / "heard.wav"
            sink.record(recording)
            tool = Tool(session)
            time.sleep(0.5)
            tool.click_control(150)  # the copy switch
            time.sleep(1.5)
            tool.click_banner()
            session.xdotool("key", "Escape")
            closing = time.monotonic()
            self.assertEqual(tool.wait_exit(), 0)
            self.assertLess(time.monotonic() - closing, 3.5, "closing waited for the sound")
            time.sleep(0.5)
            sink.stop_recording()
            samples = read_samples(recording)
        span = heard(samples)
        self.assertIsNotNone(span, "nothing was heard")
        first, last = span
        self.assertLess((last - first) / RATE, 5.5, "the start sound was not cut off")

        levels, mismatch = residual(samples, clip_samples(), first)
        self.assertLess(mismatch, 4, "what was heard first is not the start sound")
        loud = [i for i, level in enumerate(levels) if level > 300]
        self.assertTrue(loud, "no click was heard")
        click = loud[0]
        # The click is short, and the start sound plays on unchanged after it
        # until the window closes.
        self.assertLessEqual(max(i for i in loud if i < click + 20) - click, 10, levels)
        self.assertTrue(all(level < 50 for level in levels[click + 10:click + 20]), levels)


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
