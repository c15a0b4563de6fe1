"""The test-only target window: an edit control with known text."""

import json
import time

from harness import WIN64

TEXT = "alpha bravo charlie delta echo"


def first_event(events, what, after, detail=None):
    """The tick of the first event of that kind (and detail) at or after the
    tick after, or None."""
    for tick, kind, value in events:
        if kind == what and tick >= after and (detail is None or value == detail):
            return tick
    return None


class DragProbe:
    def __init__(self, session, *words, name="probe", at=None):
        self.session = session
        self.name = name
        args = [*words, f"name={name}"] + ([f"at={at[0]},{at[1]}"] if at else [])
        self.proc = session.start(WIN64 / "dragprobe.exe", *args, name=name)
        self.chars = {}
        for line in session.wait_for_file(f"{name}.txt").read_text().splitlines():
            parts = line.split()
            if parts[0] == "edit":
                self.edit = tuple(map(int, parts[1:]))
            else:
                self.chars[int(parts[1])] = (int(parts[2]), int(parts[3]))
        time.sleep(0.5)
        self.focus()

    def line_y(self):
        return self.chars[0][1] + 7

    def focus(self):
        """A real click at the end of the text: gives the Wine window the X
        focus and the edit control the caret at the end; it does not move, so
        no hook starts a copy."""
        self.session.click(self.edit[2] - 6, self.line_y())
        time.sleep(0.7)

    def drag(self, first, last):
        (x1, _), (x2, _) = self.chars[first], self.chars[last]
        return self.session.drag(x1 + 1, self.line_y(), x2 + 1, self.line_y())

    def text(self):
        code, out = self.session.run(WIN64 / "inspector.exe", f"DragProbe|{self.name}", "tree")
        assert code == 0, out
        for line in out.decode().splitlines():
            record = json.loads(line)
            if record.get("class", "").lower() == "edit":
                return bytes.fromhex(record["text"]).decode("gbk")
        raise AssertionError("no edit control")

    def f2_keys(self):
        path = self.session.workdir / f"{self.name}-keys.txt"
        return path.read_text().splitlines() if path.exists() else []

    def events(self):
        """The probe's log as (tick in ms, what, detail) tuples."""
        path = self.session.workdir / f"{self.name}-events.txt"
        events = []
        for line in path.read_text().splitlines() if path.exists() else []:
            tick, what, *detail = line.split()
            events.append((int(tick), what, detail[0] if detail else ""))
        return events
