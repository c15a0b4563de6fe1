"""Timing figures for the real f2paste.exe under 64-bit Wine, printed as
tables; nothing here passes or fails. Build the win64 preset first.

    python3 tests/e2e/bench_timings.py [--drags N] [--starts N]

- Lateness of a drag's steps: over N drags in a hookless target that logs its
  own events, how much later than due Ctrl+C, the paste (Ctrl+V) and the
  emptied clipboard reach it. Due: the copy 100 ms after the release, the paste
  the picked wait after that, the emptying 50 ms after the paste. All times are
  the target's GetTickCount, so the release and the steps share one clock.
- Start-up: from launching wine64 to the window being visible, split at the
  moment Wine created the Windows process.
- Working set: what the tool holds with its trim timer running, beside the
  target, which never trims, for comparison.
"""

import argparse
import json
import statistics
import subprocess
import sys
import time

from harness import WIN64, WineSession, end_process
from probe import TEXT, DragProbe, first_event
from tool import WINDOW_CLASS, Tool

FIRST, LAST = 6, 15
# (combo box item, label, wait in ms); item 0 is "0.8秒".
WAITS = ((None, "none picked", 0), (0, "item 0, 0.8 s", 800))


def summary(values):
    if not values:
        return "-", "-"
    return f"{statistics.median(values):g}", f"{max(values):g}"


def drag_lateness(tool, target, index, wait, drags):
    """Lateness in ms of the copy, the paste and the emptying, and how many
    drags lacked one of the three."""
    copied = TEXT[FIRST:LAST].encode().hex()
    tool.select(-1 if index is None else index)
    late = {"copy": [], "paste": [], "empty": []}
    missed = 0
    for _ in range(drags):
        target.focus()
        seen = len(target.events())
        target.drag(FIRST, LAST)
        time.sleep(wait / 1000 + 1.0)
        events = target.events()[seen:]
        up = first_event(events, "up", 0)
        copy = first_event(events, "key", up, "C") if up is not None else None
        paste = first_event(events, "key", up, "V") if up is not None else None
        emptied = first_event(events, "clip", paste, "-") if paste is not None else None
        if None in (copy, paste, emptied) or first_event(events, "clip", up, copied) is None:
            missed += 1
            continue
        late["copy"].append(copy - (up + 100))
        late["paste"].append(paste - (up + 100 + wait))
        late["empty"].append(emptied - (paste + 50))
    return late, missed


def memory_of(session, window):
    code, out = session.run(WIN64 / "inspector.exe", window, "process")
    record = json.loads(out.decode().splitlines()[0])
    if code != 0:
        raise RuntimeError(f"inspector process {window}: {record}")
    return record


def measure_drags(drags):
    rows, memory = [], []
    with WineSession() as session:
        tool = Tool(session)
        target = DragProbe(session, "nohook", "log", name="target")
        time.sleep(1.0)
        memory.append(("tool, idle after start-up", tool.process()))
        for index, label, wait in WAITS:
            late, missed = drag_lateness(tool, target, index, wait, drags)
            for step, values in late.items():
                rows.append((label, step, *summary(values), f"{missed}/{drags}",
                             " ".join(map(str, values))))
        time.sleep(1.0)
        memory.append((f"tool, after {drags * len(WAITS)} drags", tool.process()))
        memory.append(("target (no trim timer)", memory_of(session, "DragProbe|target")))
    return rows, memory


def measure_start_up(starts):
    """(launch to process created, created to shown, launch to shown) in ms,
    one row per start, all in one session so Wine's server is already up."""
    samples = []
    with WineSession() as session:
        for i in range(starts):
            name = f"shown-{i}"
            watcher = session.start(WIN64 / "inspector.exe", WINDOW_CLASS, "shown", 60000,
                                    name=name)
            out = session.workdir / f"{name}.out"
            deadline = time.monotonic() + 60
            while b"waiting" not in (out.read_bytes() if out.exists() else b""):
                if time.monotonic() > deadline or watcher.poll() is not None:
                    raise RuntimeError("the inspector never started watching")
                time.sleep(0.01)
            launched = time.time()
            tool = Tool(session, wait_shown=False)
            watcher.wait(timeout=70)
            record = json.loads(out.read_text().splitlines()[-1])
            if "seen" not in record:
                raise RuntimeError(f"start {i}: {record}")
            samples.append(tuple(round(1000 * span) for span in (
                record["created"] - launched, record["seen"] - record["created"],
                record["seen"] - launched)))
            # Closed only once its start-up is over, so the next start finds Wine idle.
            time.sleep(1.0)
            tool.inspect("send", 16)  # WM_CLOSE
            try:
                tool.wait_exit()
            except subprocess.TimeoutExpired:
                end_process(tool.proc)
    return samples


def table(title, header, rows):
    widths = [max(len(str(cell)) for cell in column) for column in zip(header, *rows)]
    print(title)
    for row in (header, *rows):
        print("  " + "  ".join(str(cell).rjust(w) if i else str(cell).ljust(w)
                               for i, (cell, w) in enumerate(zip(row, widths))))
    print()


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--drags", type=int, default=20)
    parser.add_argument("--starts", type=int, default=5)
    args = parser.parse_args(argv)

    rows, memory = measure_drags(args.drags)
    table(f"Lateness of a drag's steps, ms (observed - due), {args.drags} drags per wait",
          ("wait", "step", "median", "worst", "missed", "each"), rows)

    starts = measure_start_up(args.starts)
    spans = list(zip(*starts))
    table(f"Start-up to the window shown, ms, {args.starts} starts",
          ("span", "median", "worst", "each"),
          [(name, *summary(values), " ".join(map(str, values))) for name, values in zip(
              ("launch to process created", "process created to shown", "launch to shown"),
              spans)])

    mib = 1024 * 1024
    table("Memory, MiB", ("process", "working set", "peak", "private"),
          [(name, f"{r['working_set'] / mib:.1f}", f"{r['peak_working_set'] / mib:.1f}",
            f"{r['private'] / mib:.1f}") for name, r in memory])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
