"""The complete tool: the timing of a drag's copy and paste, the copy switch,
every way of closing it, and a burst of drags."""

import time
import unittest

from harness import WineSession
from probe import TEXT, DragProbe, first_event
from tool import Tool


def first(events, what, after, detail=None):
    tick = first_event(events, what, after, detail)
    if tick is None:
        raise AssertionError(f"no {what} {detail or ''} after {after}: {events}")
    return tick


class LifeCycleTest(unittest.TestCase):
    def test_a_drag_copies_pastes_and_empties_on_time(self):
        copied = TEXT[6:15].encode().hex()
        # Milliseconds after the release, with room for a busy machine.
        slack = 600
        with WineSession() as session:
            tool = Tool(session)
            target = DragProbe(session, "nohook", "log", name="target")
            for index, wait in ((None, 0), (0, 800), (6, 3000)):
                with self.subTest(wait=wait):
                    if index is not None:
                        tool.select(index)
                    target.focus()
                    seen = len(target.events())
                    target.drag(6, 15)
                    time.sleep(wait / 1000 + 1.5)
                    events = target.events()[seen:]
                    up = first(events, "up", 0)
                    self.assertLessEqual(first(events, "clip", up, copied) - up, 100 + slack)
                    self.assertGreaterEqual(first(events, "key", up, "C") - up, 95)
                    paste = first(events, "key", up, "V")
                    self.assertGreaterEqual(paste - up, 95 + wait)
                    self.assertLessEqual(paste - up, 100 + wait + slack)
                    emptied = first(events, "clip", paste, "-")
                    self.assertGreaterEqual(emptied - up, 145 + wait)
                    self.assertLessEqual(emptied - up, 150 + wait + slack)
                    self.assertEqual(target.text(), TEXT)

    def test_switch_stops_and_restarts_copying_while_f2_still_pastes(self):
        with WineSession() as session:
            tool = Tool(session)
            tool.select(0)
            target = DragProbe(session, "nohook", name="target")
            tool.click_control(150)
            self.assertEqual(tool.caption(), "开启复制")
            session.set_clipboard("kept")
            target.focus()
            target.drag(6, 15)
            time.sleep(1.5)
            self.assertEqual(session.clipboard(), "kept")
            target.focus()
            session.xdotool("key", "F2")
            time.sleep(1)
            self.assertEqual(target.text(), TEXT + "kept")

            tool.click_control(150)
            self.assertEqual(tool.caption(), "关闭复制")
            target.focus()
            released = target.drag(6, 15)
            samples = session.watch_clipboard(released, 2.0)
            self.assertIn(TEXT[6:15], [v for _, v in samples])
            self.assertEqual(samples[-1][1], "")

    def test_every_way_of_closing_ends_with_exit_code_zero(self):
        def esc(session, tool):
            tool.click_banner()
            session.xdotool("key", "Escape")

        def alt_f4(session, tool):
            tool.click_banner()
            session.xdotool("key", "alt+F4")

        def close_button(session, tool):
            _, window, _ = tool.tree()
            right, top = window["rect"][2], window["rect"][1]
            session.click(right - 10, top + (window["origin"][1] - top) // 2)

        def esc_with_copying_off(session, tool):
            tool.click_control(150)
            self.assertEqual(tool.caption(), "开启复制")
            esc(session, tool)

        for name, close in (("Esc", esc), ("Alt+F4", alt_f4), ("close button", close_button),
                            ("copying off", esc_with_copying_off)):
            with self.subTest(close=name), WineSession() as session:
                tool = Tool(session)
                started = time.monotonic()
                close(session, tool)
                self.assertEqual(tool.wait_exit(), 0)
                # The start sound was still playing: stopping it must not wait
                # for its end (7.95 s) or for a missing device (8.9 s).
                self.assertLess(time.monotonic() - started, 7.0)

    def test_a_burst_of_drags_leaves_the_tool_answering_with_no_worker_left(self):
        with WineSession() as session:
            tool = Tool(session)
            target = DragProbe(session, "nohook", name="target")
            time.sleep(1)
            before = tool.process()
            for i in range(20):
                session.drag(*target.chars[2 + i % 5], *target.chars[12 + i % 7])
            self.assertIsNone(tool.proc.poll())
            now = tool.settle_threads(before["threads"], timeout=8)
            self.assertTrue(now["answers"])
            self.assertLessEqual(now["threads"], before["threads"], (before, now))


if __name__ == "__main__":
    unittest.main()
