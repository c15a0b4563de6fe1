"""Runs the real Windows programs under 64-bit Wine on a private Xvfb display.

The suite makes one throwaway Wine prefix, lazily, and removes it at exit. Each
WineSession starts its own Xvfb on a free display and, on close, ends every
process it started by process id, then the prefix's Wine processes.
"""

import atexit
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WIN64 = ROOT / "build" / "win64"
WIN32 = ROOT / "build" / "win32"
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver64"
ARTIFACTS = ROOT / "build" / "e2e-artifacts"

_prefix = None


def _wine_env(prefix, display):
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(prefix),
        WINEARCH="win64",
        WINEDEBUG="-all",
        WINEDLLOVERRIDES="mscoree,mshtml=",
        DISPLAY=display,
        LANG="zh_CN.UTF-8",
        LC_ALL="zh_CN.UTF-8",
    )
    return env


def end_process(proc, grace=3.0):
    """Ends one process we started, by its id, and reaps it."""
    if proc.poll() is not None:
        return
    try:
        os.kill(proc.pid, signal.SIGTERM)
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        os.kill(proc.pid, signal.SIGKILL)
        proc.wait()
    except ProcessLookupError:
        pass


def _stop_wineserver(prefix):
    env = dict(os.environ, WINEPREFIX=str(prefix))
    subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=30)
    subprocess.run([WINESERVER, "-w"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=30)


class Xvfb:
    """A virtual X display on the first free display number."""

    def __init__(self, size="1280x1024x24"):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("Xvfb did not start")
                number += chunk
        self.display = ":" + number.decode().strip()

    def close(self):
        end_process(self.proc)


def wine_prefix():
    """The suite's Wine prefix, made on first use."""
    global _prefix
    if _prefix is None:
        prefix = Path(tempfile.mkdtemp(prefix="f2paste-wine-"))
        atexit.register(shutil.rmtree, prefix, True)
        display = Xvfb()
        try:
            env = _wine_env(prefix, display.display)
            subprocess.run([WINE, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=180, check=True)
            # Without a window manager Wine draws its own caption and frame, so
            # screenshots show what a user sees.
            for value in ("Managed", "Decorated"):
                subprocess.run([WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", value,
                                "/d", "N" if value == "Managed" else "Y", "/f"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                               check=True)
            _stop_wineserver(prefix)
        finally:
            display.close()
        atexit.register(_stop_wineserver, prefix)
        _prefix = prefix
    return _prefix


class WineSession:
    """One test's display, Wine programs and X helpers, all ended by close()."""

    def __init__(self, screen="1280x1024x24"):
        self.prefix = wine_prefix()
        self.xvfb = Xvfb(screen)
        self.display = self.xvfb.display
        self.env = _wine_env(self.prefix, self.display)
        self.workdir = Path(tempfile.mkdtemp(prefix="f2paste-run-"))
        self._procs = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for proc in reversed(self._procs):
            end_process(proc)
        _stop_wineserver(self.prefix)
        self.xvfb.close()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def start(self, exe, *args, name=None):
        """Starts a Windows program in the work directory; output goes to files."""
        name = name or Path(exe).stem
        out = open(self.workdir / f"{name}.out", "wb")
        err = open(self.workdir / f"{name}.err", "wb")
        proc = subprocess.Popen([WINE, str(exe), *map(str, args)], cwd=self.workdir, env=self.env,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        out.close()
        err.close()
        self._procs.append(proc)
        return proc

    def run(self, exe, *args, timeout=60):
        """Runs a Windows helper to its end and returns (exit code, stdout bytes)."""
        name = f"{Path(exe).stem}-{len(self._procs)}"
        proc = self.start(exe, *args, name=name)
        try:
            code = proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            end_process(proc)
            raise
        return code, (self.workdir / f"{name}.out").read_bytes()

    def wait_for_file(self, name, timeout=30.0):
        path = self.workdir / name
        deadline = time.monotonic() + timeout
        while not path.exists():
            if time.monotonic() > deadline:
                raise TimeoutError(f"{name} never appeared")
            time.sleep(0.05)
        return path

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env, check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def click(self, x, y):
        self.xdotool("mousemove", x, y, "click", "1")

    def drag(self, x1, y1, x2, y2, button=1):
        """A real press, a few moves and a release; returns the release time."""
        self.xdotool("mousemove", x1, y1, "mousedown", button)
        time.sleep(0.15)
        steps = 4
        for i in range(1, steps + 1):
            self.xdotool("mousemove", x1 + (x2 - x1) * i // steps, y1 + (y2 - y1) * i // steps)
            time.sleep(0.03)
        time.sleep(0.1)
        self.xdotool("mouseup", button)
        return time.monotonic()

    def clipboard(self, timeout=5.0):
        """The X clipboard as text; '' when it is empty or has no owner, None when
        its owner did not answer in time (Wine can miss a request that arrives
        while it hands the selection over)."""
        try:
            done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                                  capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        return done.stdout.decode("utf-8", "replace") if done.returncode == 0 else ""

    def set_clipboard(self, text):
        """Owns the X clipboard with text until another program takes it."""
        proc = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.env,
                                stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        proc.stdin.write(text.encode())
        proc.stdin.close()
        self._procs.append(proc)
        deadline = time.monotonic() + 5
        while self.clipboard() != text:
            if time.monotonic() > deadline:
                raise TimeoutError("xclip never owned the clipboard")
            time.sleep(0.05)

    def watch_clipboard(self, since, duration, interval=0.03):
        """Samples the clipboard as (seconds after since, text) until duration is over."""
        samples = []
        while time.monotonic() - since < duration:
            text = self.clipboard(timeout=1.0)
            samples.append((time.monotonic() - since, text))
            time.sleep(interval)
        return samples

    def colours(self, left, top, width, height):
        """How many pixels of each colour (r, g, b) a screen rectangle holds."""
        out = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{left}+{top}",
                              "-depth", "8", "-format", "%c", "histogram:info:-"], env=self.env,
                             capture_output=True, text=True, check=True, timeout=30).stdout
        counts = {}
        for line in out.splitlines():
            match = re.match(r"\s*(\d+):\s*\(\s*(\d+),\s*(\d+),\s*(\d+)", line)
            if match:
                count, *rgb = map(int, match.groups())
                counts[tuple(rgb)] = counts.get(tuple(rgb), 0) + count
        return counts

    def screenshot(self, name):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        path = ARTIFACTS / name
        subprocess.run(["import", "-window", "root", str(path)], env=self.env, check=True,
                       timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path
