"""A drag in a real Wine window copies the selection, waits as picked and
empties the clipboard; a click leaves the clipboard alone."""

import time
import unittest

from harness import WineSession
from probe import TEXT, DragProbe

# The whole word "bravo " and the start of "charlie".
FIRST, LAST = 6, 15


def seen(samples, text):
    return [t for t, value in samples if value == text]


class DragCopyTest(unittest.TestCase):
    def test_drag_copies_the_selection_then_empties_the_clipboard(self):
        expected = TEXT[FIRST:LAST]
        cases = [
            # picked item, text still held at, emptied by (s after the release)
            ("0", 0.5, 1.6),
            ("3", 1.0, 2.3),
        ]
        for picked, held_at, empty_by in cases:
            with self.subTest(picked=picked), WineSession() as session:
                probe = DragProbe(session, picked)
                session.set_clipboard("sentinel")
                released = probe.drag(FIRST, LAST)
                samples = session.watch_clipboard(released, empty_by + 0.7)
                times = seen(samples, expected)
                self.assertTrue(times, f"never copied: {samples[:5]} ... {samples[-3:]}")
                self.assertLess(times[0], 0.6, "copied late")
                self.assertGreaterEqual(times[-1], held_at, "emptied too early")
                emptied = [t for t, value in samples if value == "" and t > times[-1]]
                self.assertTrue(emptied, f"never emptied: {samples[-5:]}")
                self.assertLessEqual(emptied[0], empty_by)
                self.assertEqual(samples[-1][1], "")
                self.assertNotIn("sentinel", [v for t, v in samples if t > times[0]])

    def test_click_without_movement_leaves_the_clipboard_alone(self):
        with WineSession() as session:
            probe = DragProbe(session, "0")
            session.set_clipboard("sentinel")
            x, y = probe.chars[FIRST]
            session.click(x + 1, probe.line_y())
            clicked = time.monotonic()
            samples = session.watch_clipboard(clicked, 1.5)
            self.assertEqual({v for _, v in samples}, {"sentinel"})


if __name__ == "__main__":
    unittest.main()
