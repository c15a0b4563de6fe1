"""The release zip that scripts/release.sh makes: the stripped 32-bit product
with its manifest, icon and version block, and the user's ReadMe."""

import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile
from pathlib import Path

from harness import ROOT
from test_main_window import ITEMS
from test_product import SYSTEM_DLLS, pe_facts

VERSION = "2.0.0.0"
ZIP = ROOT / "dist" / f"f2paste-{VERSION}-win32.zip"
STRINGS = {
    "FileVersion": VERSION,
    "FileDescription": "一个快捷的复制粘贴工具。",
    "ProductName": "澄翎F2一键复制粘贴工具",
    "ProductVersion": VERSION,
}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
ASM = "{urn:schemas-microsoft-com:asm.v1}"


def pe_resources(exe):
    """Every resource of a PE image as {(type, name): {language: bytes}}; string
    names come back as str, numeric ones as int."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", exe, pe + 6)
    optional = pe + 24
    # A PE32 optional header's data directories start 96 bytes in; the
    # resource table's is the third.
    resource_rva = struct.unpack_from("<I", exe, optional + 96 + 2 * 8)[0]
    table = optional + optional_size
    spans = [struct.unpack_from("<8xII4xI", exe, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for size, address, raw in spans:
            if address <= rva < address + size:
                return raw + rva - address
        raise AssertionError(f"RVA {rva:#x} is in no section")

    base = offset(resource_rva)

    def entries(at):
        named, numbered = struct.unpack_from("<12xHH", exe, base + at)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", exe, base + at + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from("<H", exe, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = exe[start:start + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            for language, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", exe, base + leaf)
                found.setdefault((kind, name), {})[language] = exe[offset(rva):offset(rva) + size]
    return found


def version_node(block, at=0):
    """One node of a VS_VERSIONINFO tree as (key, value, children, length)."""
    def aligned(position):
        return (position + 3) & ~3

    length, value_length, is_text = struct.unpack_from("<3H", block, at)
    key_end = at + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[at + 6:key_end].decode("utf-16-le")
    start = aligned(key_end + 2)
    # A text value's length counts UTF-16 units, a binary one's bytes.
    value_end = start + value_length * (2 if is_text else 1)
    value = block[start:value_end]
    if is_text:
        value = value.decode("utf-16-le").rstrip("\0")
    children = []
    position = aligned(value_end)
    while position < at + length:
        child = version_node(block, position)
        children.append(child)
        position = aligned(position + child[3])
    return key, value, children, length


def only(resource):
    """The data of a resource that is there in exactly one language."""
    (data,) = resource.values()
    return data


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A zip from an earlier run must not pass for this one.
        ZIP.unlink(missing_ok=True)
        run = subprocess.run(["bash", "scripts/release.sh"], cwd=ROOT, capture_output=True,
                             text=True)
        if run.returncode != 0:
            raise AssertionError(f"release.sh failed:\n{run.stderr[-4000:]}")
        cls.printed = run.stdout.strip()
        with zipfile.ZipFile(ZIP) as archive:
            cls.names = sorted(archive.namelist())
            cls.exe = archive.read("f2paste.exe")
            cls.readme = archive.read("ReadMe.txt")
        cls.resources = pe_resources(cls.exe)

    def test_zip_holds_the_program_and_the_readme_only(self):
        self.assertEqual(Path(self.printed).resolve(), ZIP.resolve())
        self.assertEqual(self.names, ["ReadMe.txt", "f2paste.exe"])

    def test_program_is_a_stripped_self_contained_32_bit_gui_program(self):
        with tempfile.TemporaryDirectory() as folder:
            exe = Path(folder) / "f2paste.exe"
            exe.write_bytes(self.exe)
            fmt, subsystem, dlls = pe_facts(exe)
            sections = subprocess.run(["i686-w64-mingw32-objdump", "-h", str(exe)],
                                      capture_output=True, text=True, check=True).stdout
        self.assertEqual(fmt, "pei-i386")
        self.assertEqual(subsystem, 2)
        self.assertTrue(dlls)
        self.assertLessEqual(dlls, SYSTEM_DLLS, f"needs {dlls - SYSTEM_DLLS}")
        pe = struct.unpack_from("<I", self.exe, 0x3C)[0]
        # strip leaves a pointer to an empty string table, but no symbols.
        self.assertEqual(struct.unpack_from("<I", self.exe, pe + 16)[0], 0)
        self.assertNotIn(".debug", sections)

    def test_manifest_asks_for_common_controls_6_on_x86(self):
        manifest = ElementTree.fromstring(only(self.resources[(RT_MANIFEST, 1)]))
        own = manifest.find(f"{ASM}assemblyIdentity")
        self.assertEqual(own.get("processorArchitecture"), "x86")
        controls = manifest.find(f"{ASM}dependency/{ASM}dependentAssembly/{ASM}assemblyIdentity")
        self.assertEqual(
            {key: controls.get(key) for key in ("name", "version", "processorArchitecture")},
            {"name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
             "processorArchitecture": "x86"})

    def test_icon_group_names_icons_that_are_there(self):
        group = only(self.resources[(RT_GROUP_ICON, "DEFAULT_ICON")])
        reserved, kind, count = struct.unpack_from("<3H", group, 0)
        self.assertEqual((reserved, kind), (0, 1))
        self.assertGreater(count, 0)
        for i in range(count):
            size, icon = struct.unpack_from("<IH", group, 6 + 14 * i + 8)
            with self.subTest(icon=icon):
                self.assertEqual(len(only(self.resources[(RT_ICON, icon)])), size)

    def test_version_block(self):
        key, fixed, children, _ = version_node(only(self.resources[(RT_VERSION, 1)]))
        self.assertEqual(key, "VS_VERSION_INFO")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        self.assertEqual((file_ms, file_ls, product_ms, product_ls), (0x20000, 0, 0x20000, 0))
        blocks = {child[0]: child[2] for child in children}
        self.assertEqual(sorted(blocks), ["StringFileInfo", "VarFileInfo"])
        tables = {table[0]: table[2] for table in blocks["StringFileInfo"]}
        self.assertEqual(list(tables), ["080404B0"])
        self.assertEqual({name: value for name, value, _, _ in tables["080404B0"]}, STRINGS)
        (translation,) = blocks["VarFileInfo"]
        self.assertEqual(translation[0], "Translation")
        self.assertEqual(struct.unpack("<2H", translation[1]), (0x0804, 1200))

    def test_readme_is_the_committed_text_with_windows_line_endings(self):
        # The BOM makes Notepad read UTF-8 whatever the ANSI code page.
        self.assertTrue(self.readme.startswith(b"\xef\xbb\xbf"))
        text = self.readme.decode("utf-8-sig")
        self.assertEqual(text.count("\n"), text.count("\r\n"))
        committed = (ROOT / "resources" / "ReadMe.txt").read_text(encoding="utf-8")
        self.assertEqual(text.replace("\r\n", "\n"), committed.replace("\r\n", "\n"))
        for ui_text in [*ITEMS, "关闭复制", "开启复制"]:
            with self.subTest(ui_text=ui_text):
                self.assertIn(f'"{ui_text}"', text)
