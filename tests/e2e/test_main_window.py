"""The main window as a user meets it: its texts, sizes, styles, controls and
keyboard, read from outside while the real program runs under Wine."""

import time
import unittest

from harness import WIN64, WineSession
from probe import TEXT, DragProbe
from tool import Tool, gbk

WS_CHILD, WS_VISIBLE, WS_CLIPSIBLINGS, WS_CLIPCHILDREN = 0x40000000, 0x10000000, 0x04000000, 0x02000000
WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_TABSTOP = 0x00020000, 0x00010000, 0x00010000
WS_EX_TOPMOST = 0x8
BS_CENTER, BS_VCENTER, BS_MULTILINE, BS_DEFPUSHBUTTON = 0x300, 0xC00, 0x2000, 0x1
CBS_DROPDOWN, CBS_AUTOHSCROLL = 0x2, 0x40

# name: (class, id, parent, x, y, width, height, text, shown, extra styles)
CONTROLS = {
    # The combo box hands WS_VSCROLL on to its list, so it is not read back.
    "组合框1": ("combobox", 180, "图片框1", 234, 81, 71, None, "", True,
               CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP),
    "标签3": ("f2pastelabel", 170, "图片框1", 119, 83, 104, 16, "等待自动粘贴时间：", True, 0),
    "标签4": ("f2pastelabel", 160, "window", 20, 107, 74, 15, None, True, 0),
    "按钮2": ("button", 150, "window", 233, 96, 72, 25, "关闭复制", True,
             BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP),
    "标签2": ("f2pastelabel", 140, "图片框1", 71, 20, 240, 20, "鼠标左键划取文本（文件），完成复制粘贴。", True, 0),
    "超级链接框1": ("f2pastelink", 130, "window", 2, 89, 110, 16, "墨汀多媒体工作室", True, 0),
    "时钟1": ("f2pastetimer", 120, "window", 280, 120, 48, 32, "", False, 0),
    "图片框1": ("f2pastepicturebox", 110, "window", 0, -11, 320, 100, "", True, 0),
    "标签1": ("f2pastelabel", 100, "window", 33, 8, 64, 24, "标签", False, 0),
}
ITEMS = ["0.8秒", "1秒", "1.2秒", "1.5秒", "2秒", "2.5秒", "3秒"]


class MainWindowTest(unittest.TestCase):
    def test_window_and_controls_are_laid_out_as_designed(self):
        with WineSession() as session:
            tool = Tool(session)
            info, window, children = tool.tree()
            self.assertEqual(info["acp"], 936)
            self.assertEqual(window["text"], gbk("澄翎复制粘贴工具V2.0"))
            left, top, right, bottom = window["rect"]
            self.assertEqual((right - left, bottom - top), (318, 155))
            width, height = info["screen"]
            self.assertEqual((left, top), (int((width - 318) / 2), int((height - 155) / 2)))
            style = window["style"]
            for bit in (WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN, WS_VISIBLE):
                self.assertEqual(style & bit, bit, hex(bit))
            self.assertFalse(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD))
            self.assertTrue(window["exstyle"] & WS_EX_TOPMOST)

            by_id = {child["id"]: child for child in children if child["parent"]}
            own = {name: by_id[entry[1]] for name, entry in CONTROLS.items()}
            handles = {"window": window, **own}
            for name, (cls, _, parent, x, y, w, h, text, shown, styles) in CONTROLS.items():
                with self.subTest(control=name):
                    child = own[name]
                    self.assertEqual(child["class"].lower(), cls)
                    self.assertEqual(child["parent"], handles[parent]["hwnd"])
                    origin = handles[parent]["origin"]
                    self.assertEqual(child["rect"][0] - origin[0], x)
                    self.assertEqual(child["rect"][1] - origin[1], y)
                    self.assertEqual(child["rect"][2] - child["rect"][0], w)
                    if h is not None:
                        self.assertEqual(child["rect"][3] - child["rect"][1], h)
                    if text is not None:
                        self.assertEqual(child["text"], gbk(text))
                    self.assertEqual(bool(child["visible"]), shown)
                    self.assertTrue(child["enabled"])
                    self.assertEqual(child["style"] & (WS_CHILD | WS_CLIPSIBLINGS), WS_CHILD | WS_CLIPSIBLINGS)
                    self.assertEqual(child["style"] & styles, styles)
                    self.assertEqual(child["exstyle"] & WS_EX_TOPMOST, 0)
            self.assertTrue(bytes.fromhex(own["标签4"]["text"]).startswith(b"QQ:"))
            self.assertFalse(own["按钮2"]["style"] & BS_DEFPUSHBUTTON)
            self.assertEqual(own["组合框1"]["items"], [gbk(item) for item in ITEMS])
            self.assertEqual(own["组合框1"]["selection"], -1)

            # Z-order among siblings, top first.
            order = {}
            for child in children:
                order.setdefault(child["parent"], []).append(child["id"])
            self.assertEqual(order[window["hwnd"]], [160, 150, 130, 120, 110, 100])
            self.assertEqual(order[own["图片框1"]["hwnd"]], [180, 170, 140])

            session.screenshot("main-window.png")

    def test_link_shows_its_colours_as_the_pointer_passes(self):
        normal, hover = (144, 0, 255), (255, 0, 255)
        with WineSession() as session:
            tool = Tool(session)
            _, window, children = tool.tree()
            link = next(c for c in children if c["id"] == 130)
            left, top, right, bottom = link["rect"]

            def shows(colour):
                time.sleep(0.4)
                return session.colours(left, top, right - left, bottom - top).get(colour, 0) > 10

            session.xdotool("mousemove", left - 30, bottom + 30)
            self.assertTrue(shows(normal))
            session.xdotool("mousemove", (left + right) // 2, (top + bottom) // 2)
            self.assertTrue(shows(hover))
            self.assertFalse(shows(normal))
            # Leaving onto the banner: without a pointer grab, Wine reports no
            # moves outside its own windows even to the capture.
            session.xdotool("mousemove", left + 150, top - 30)
            self.assertTrue(shows(normal))
            # The banner is decoded and drawn: the picture box is not one flat colour.
            x, y = window["origin"]
            self.assertGreater(len(session.colours(x, y, 60, 60)), 20)

    def test_keyboard_moves_focus_and_esc_closes(self):
        cases = ["button", "combo", "dropped down"]
        for case in cases:
            with self.subTest(focus=case), WineSession() as session:
                tool = Tool(session)
                tool.click_banner()
                self.assertEqual(tool.focused(), 150, "the button has the focus first")
                if case != "button":
                    session.xdotool("key", "Tab")
                    time.sleep(0.3)
                    self.assertEqual(tool.focused(), 180)
                    session.xdotool("key", "Tab")
                    time.sleep(0.3)
                    self.assertEqual(tool.focused(), 150)
                    session.xdotool("key", "shift+Tab")
                    time.sleep(0.3)
                    self.assertEqual(tool.focused(), 180)
                session.xdotool("key", "Return")
                time.sleep(0.3)
                self.assertIsNone(tool.proc.poll(), "Enter closed the window")
                if case == "dropped down":
                    _, _, children = tool.tree()
                    combo = next(c for c in children if c["id"] == 180)
                    session.click(combo["rect"][2] - 6, combo["rect"][1] + 8)
                    time.sleep(0.6)
                    self.assertTrue(any(c["class"] == "ComboLBox" and c["visible"]
                                        for c in tool.popups()), "the list did not drop down")
                session.xdotool("key", "Escape")
                self.assertEqual(tool.wait_exit(), 0)

    def test_the_picked_item_sets_the_wait_of_a_drag(self):
        with WineSession() as session:
            tool = Tool(session)
            tool.select(3)
            target = DragProbe(session, "nohook")
            released = target.drag(6, 15)
            samples = session.watch_clipboard(released, 2.8)
            held = [t for t, v in samples if v == TEXT[6:15]]
            self.assertTrue(held, samples[:5])
            self.assertGreaterEqual(held[-1], 1.0)
            emptied = [t for t, v in samples if v == "" and t > held[-1]]
            self.assertTrue(emptied and emptied[0] <= 2.3, samples[-5:])


if __name__ == "__main__":
    unittest.main()
