"""What each kind of user meets in Sondrel.exe's window under Wine: the window in a dark and a
light high-contrast scheme, what a screen reader is told of each control, and the report box
as people type in it."""
import unittest

from sondrel import IDS, Sondrel, reg_add, reg_delete, restart_wineserver, value_of, wait_for

COLOURS = r"HKCU\Control Panel\Colors"
THEME = r"HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager"
JAVA_WEB_START = r"HKLM\Software\JavaSoft\Java Web Start"
# High-contrast schemes, as Windows' Accessibility Options set them, with the visual theme off.
# The edges get greys of their own, so that a frame's edge is never taken for its caption.
EDGES = {"ButtonShadow": "128 128 128", "ButtonHilight": "192 192 192",
         "ButtonDkShadow": "96 96 96", "ButtonLight": "160 160 160"}
DARK = dict(EDGES, ButtonFace="0 0 0", ButtonText="255 255 0", WindowText="255 255 255",
            Window="0 0 0")
LIGHT = dict(EDGES, ButtonFace="255 255 255", ButtonText="0 0 0", WindowText="0 0 0",
             Window="255 255 255")
# None: the prefix's own scheme and theme, the control of the measure. A scheme chosen while
# the window shows cannot be tried here: under Wine, colours another program sets with
# SetSysColors do not change those the window's own GetSysColor gives (seen here).
SCHEMES = {"default": None, "dark": DARK, "light": LIGHT}
# The rows of a frame's client area its caption is drawn in, above its panel's controls.
CAPTION_ROWS = 18
# What a screen reader must say of each control: its name, and whether it is unavailable.
STATE_UNAVAILABLE = 0x1


def background(rows):
    """The colour most pixels have: the face the control is drawn on."""
    counts = {}
    for row in rows:
        for pixel in row:
            counts[pixel] = counts.get(pixel, 0) + 1
    return max(counts, key=counts.get)


def ink(rows, skip_rows=(), margin=0):
    """How many pixels differ from the face, leaving out the rows given and `margin` columns at
    each side."""
    face = background(rows)
    return sum(1 for y, row in enumerate(rows) if y not in skip_rows
               for pixel in row[margin:len(row) - margin] if pixel != face)


class SchemeTest(unittest.TestCase):
    def use_scheme(self, colours):
        """Sets the colours and turns the visual theme off, until the test ends; both are read
        when the wineserver starts."""
        saved = [(COLOURS, name, value_of(COLOURS, name)) for name in colours]
        saved.append((THEME, "ThemeActive", value_of(THEME, "ThemeActive")))

        def restore():
            for key, name, value in saved:
                if value is None:
                    reg_delete(key, name)
                else:
                    reg_add(key, name, *value)
            restart_wineserver()

        self.addCleanup(restore)
        for name, rgb in colours.items():
            reg_add(COLOURS, name, "REG_SZ", rgb)
        reg_add(THEME, "ThemeActive", "REG_SZ", "0")
        restart_wineserver()

    def caption_ink(self, app, frame):
        """The ink of a frame's caption: its top rows without the rows of its edge, which the
        right end of the strip, past any caption, shows."""
        width = app.control(frame).width
        rows = app.pixels(frame, 0, 0, width, CAPTION_ROWS)
        face = background(rows)
        edge = {y for y, row in enumerate(rows) if row[width - 12] != face}
        return ink(rows, edge, margin=4)

    def test_every_caption_label_and_picture_shows_in_every_scheme(self):
        for scheme, colours in SCHEMES.items():
            with self.subTest(scheme=scheme):
                if colours:
                    self.use_scheme(colours)
                # One runtime present, so the two panels show the two pictures.
                reg_add(JAVA_WEB_START, "CurrentVersion", "REG_SZ", "1.4.2")
                try:
                    with Sondrel() as app:
                        self.check_readable(app, colours)
                finally:
                    reg_delete(JAVA_WEB_START)
                    self.doCleanups()

    def check_readable(self, app, colours):
        """Captions, labels, pictures and the focus show, and labels lie on the scheme's face."""
        face = tuple(int(c) for c in colours["ButtonFace"].split()) if colours else None
        for frame in ("Frame1(0)", "Frame1(1)"):
            self.assertGreater(wait_for(lambda: self.caption_ink(app, frame), lambda n: n > 20),
                               20, frame + ": caption")
        for label in ("lblVersion(0)", "lblVersion(1)"):
            box = app.control(label)
            rows = app.pixels(label, 0, 0, box.width, box.height)
            self.assertGreater(ink(rows), 20, label)
            if face:
                self.assertEqual(background(rows), face, label + ": not on the button face")
        pictures = [wait_for(lambda: app.pixels(name, 2, 2, 32, 32), lambda p: ink(p) > 50)
                    for name in ("Pict(0)", "Pict(1)")]
        self.assertTrue(all(ink(p) > 50 for p in pictures), "a picture does not show")
        self.assertNotEqual(pictures[0], pictures[1], "the cross and the tick look alike")
        # The focused button shows its focus.
        copy = app.control("btnCopy")
        look = lambda: app.pixels("btnCopy", 0, 0, copy.width, copy.height)
        app.tab_to("btnClose")
        plain = look()
        app.tab_to("btnCopy")
        self.assertNotEqual(wait_for(look, lambda rows: rows != plain), plain,
                            "the focused button looks as it does without the focus")


class ScreenReaderTest(unittest.TestCase):
    def test_each_control_is_named_as_the_user_sees_it(self):
        # Java Web Start present: one Download button enabled, one not. The role is not read:
        # Wine 8's oleacc answers "client" for buttons and labels (seen here), where Windows'
        # proxies for its BUTTON and STATIC windows answer push button and static text.
        reg_add(JAVA_WEB_START, "CurrentVersion", "REG_SZ", "1.4.2")
        self.addCleanup(reg_delete, JAVA_WEB_START)
        rows = [
            # control, name, unavailable
            ("btnDownload(0)", "Download", False),
            ("btnDownload(1)", "Download", True),
            ("btnCopy", "Copia rapporto", False),
            ("btnClose", "Chiudi", False),
            ("Pict(0)", "Non installata", False),
            ("Pict(1)", "Installata", False),
        ]
        with Sondrel() as app:
            for name, spoken, unavailable in rows:
                with self.subTest(control=name):
                    said, state = app.driver("accessible", str(IDS[name])).stdout.decode(
                        "latin-1").rstrip("\n").split("\t")
                    self.assertEqual(said, spoken)
                    self.assertEqual(bool(int(state, 16) & STATE_UNAVAILABLE), unavailable)
                    self.assertEqual(unavailable, not app.control(name).enabled)


class ReportBoxTest(unittest.TestCase):
    def test_long_lines_wrap_and_typing_works_as_in_any_edit_box(self):
        with Sondrel() as app:
            box = str(IDS["Text1"])
            app.driver("settext", box, "Riga " * 80)
            self.assertGreater(int(app.driver("lines", box).stdout), 1,
                               "a line longer than the box does not wrap")
            app.driver("settext", box, "")
            app.driver("type", box, "prima")
            app.driver("key", box, "enter")
            # The window makes the key's character itself, behind whatever is posted by then.
            app.driver("sync", box)
            app.driver("type", box, "seconda")
            self.assertEqual(int(app.driver("lines", box).stdout), 2, "Enter breaks no line")
            self.assertEqual(app.text("Text1"), "prima\r\nseconda")
            app.driver("click", str(IDS["btnCopy"]))
            app.driver("sync", box)
            self.assertEqual(wait_for(lambda: app.driver("clipboard", check=False).stdout,
                                      lambda text: text == b"prima\r\nseconda"),
                             b"prima\r\nseconda")
            # Tab still moves the focus on, as in the rest of the window.
            app.tab_to("Text1")
            app.press("tab")
            self.assertNotEqual(app.focused(), IDS["Text1"])
            self.assertEqual(app.text("Text1"), "prima\r\nseconda")

