"""Drives the real f2paste.exe and reads its window with the inspector."""

import json
import time

from harness import WIN64

WINDOW_CLASS = "F2PasteMainWindow"


def gbk(text):
    return text.encode("gbk").hex()


class Tool:
    def __init__(self, session, wait_shown=True):
        self.session = session
        self.proc = session.start(WIN64 / "f2paste.exe")
        if wait_shown:
            self.wait_shown()

    def inspect(self, *command):
        code, out = self.session.run(WIN64 / "inspector.exe", WINDOW_CLASS, *command)
        lines = [json.loads(line) for line in out.decode().splitlines() if line.strip()]
        return code, lines

    def wait_shown(self, timeout=30.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise AssertionError(f"f2paste ended with {self.proc.returncode}")
            code, lines = self.inspect("tree")
            if code == 0 and lines[1]["visible"]:
                return
            time.sleep(0.2)
        raise TimeoutError("the window never showed")

    def tree(self):
        code, lines = self.inspect("tree")
        assert code == 0, lines
        info, window, *children = lines
        return info, window, children

    def control(self, control_id):
        _, _, children = self.tree()
        return next(c for c in children if c["id"] == control_id)

    def click_control(self, control_id):
        left, top, right, bottom = self.control(control_id)["rect"]
        self.session.click((left + right) // 2, (top + bottom) // 2)
        time.sleep(0.5)

    def caption(self):
        return bytes.fromhex(self.control(150)["text"]).decode("gbk")

    def process(self):
        code, lines = self.inspect("process")
        assert code == 0, lines
        return lines[0]

    def settle_threads(self, at_most, timeout):
        """The process's figures once it runs at most at_most threads, or the
        last ones read when it never does within timeout seconds."""
        deadline = time.monotonic() + timeout
        now = self.process()
        while now["threads"] > at_most and time.monotonic() < deadline:
            time.sleep(0.5)
            now = self.process()
        return now

    def select(self, index):
        code, lines = self.inspect("select", index)
        assert code == 0 and lines[0]["selection"] == index, lines

    def popups(self):
        code, lines = self.inspect("popups")
        assert code == 0, lines
        return lines

    def focused(self):
        """The id of the control that holds the keyboard focus (the combo box
        for its edit field), or None."""
        ids = self.inspect("focus")[1][0]["ids"]
        return next((i for i in ids if i in (150, 180)), None)

    def click_banner(self):
        """A still click on the picture box: gives the window the X focus and
        starts no copy."""
        _, window, _ = self.tree()
        x, y = window["origin"]
        self.session.click(x + 30, y + 40)
        time.sleep(0.5)

    def wait_exit(self, timeout=15.0):
        return self.proc.wait(timeout=timeout)
