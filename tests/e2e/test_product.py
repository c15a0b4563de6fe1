"""The 32-bit executables are PE32 i386 GUI programs that need no DLL beyond
Windows' own."""

import re
import subprocess
import unittest

from harness import WIN32

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "winmm.dll", "comctl32.dll", "msvcrt.dll", "ntdll.dll",
}


def pe_facts(exe):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(exe)], capture_output=True,
                          text=True, check=True).stdout
    fmt = re.search(r"file format (\S+)", dump).group(1)
    subsystem = re.search(r"^Subsystem\s+(\S+)", dump, re.M).group(1)
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    return fmt, int(subsystem, 16), dlls


class ProductTest(unittest.TestCase):
    def test_every_32_bit_executable_is_self_contained(self):
        exes = sorted(WIN32.glob("*.exe"))
        names = [exe.name for exe in exes]
        for required in ("f2paste.exe", "dragprobe.exe"):
            self.assertIn(required, names)
        # The inspector is the one console program.
        gui = set(names) - {"inspector.exe"}
        for exe in exes:
            with self.subTest(exe=exe.name):
                fmt, subsystem, dlls = pe_facts(exe)
                self.assertEqual(fmt, "pei-i386")
                self.assertEqual(subsystem, 2 if exe.name in gui else 3)
                self.assertTrue(dlls)
                self.assertLessEqual(dlls, SYSTEM_DLLS, f"needs {dlls - SYSTEM_DLLS}")
