"""F2 pastes through the running tool into whatever window has the focus."""

import time
import unittest

from harness import WineSession
from probe import TEXT, DragProbe
from tool import Tool


def wait_for(check, timeout=4.0, interval=0.2):
    deadline = time.monotonic() + timeout
    value = check()
    while not value and time.monotonic() < deadline:
        time.sleep(interval)
        value = check()
    return value


class PasteHotkeyTest(unittest.TestCase):
    def test_f2_pastes_the_clipboard_and_modified_f2_is_an_ordinary_key(self):
        with WineSession() as session:
            Tool(session)
            target = DragProbe(session, "nohook", name="target")
            session.set_clipboard("from outside")
            session.xdotool("key", "F2")
            self.assertTrue(wait_for(lambda: target.text() == TEXT + "from outside"),
                            target.text())
            for chord in ("shift+F2", "ctrl+F2", "alt+F2"):
                session.xdotool("key", chord)
                time.sleep(0.3)
            time.sleep(0.7)
            self.assertEqual(target.text(), TEXT + "from outside")
            self.assertEqual(target.f2_keys(), ["F2 shift", "F2 ctrl", "F2 alt"])

    def test_drag_in_one_window_pastes_into_another_and_empties_the_clipboard(self):
        with WineSession() as session:
            tool = Tool(session)
            tool.select(3)
            source = DragProbe(session, "nohook", name="source")
            target = DragProbe(session, "nohook", name="target", at=(40, 300))
            source.focus()
            released = source.drag(6, 15)
            time.sleep(0.2)
            target.focus()
            self.assertLess(time.monotonic() - released, 1.5, "the wait ran out before the click")
            self.assertTrue(wait_for(lambda: target.text() == TEXT + TEXT[6:15]), target.text())
            self.assertTrue(wait_for(lambda: session.clipboard() == ""), session.clipboard())
            self.assertEqual(source.text(), TEXT)

    def test_a_second_copy_cannot_take_f2_and_the_first_pastes_once(self):
        with WineSession() as session:
            first = Tool(session)
            second = session.start(first.proc.args[1], name="second")
            time.sleep(3)
            self.assertIsNone(second.poll(), "the second copy ended")
            target = DragProbe(session, "nohook", name="target")
            session.set_clipboard("once")
            session.xdotool("key", "F2")
            self.assertTrue(wait_for(lambda: target.text() == TEXT + "once"), target.text())
            time.sleep(1)
            self.assertEqual(target.text(), TEXT + "once")
            self.assertEqual(target.f2_keys(), [])


if __name__ == "__main__":
    unittest.main()
