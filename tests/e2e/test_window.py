"""The main window of Sondrel.exe under Wine: controls, geometry, layout, focus and closing."""
import unittest

from sondrel import (IDS, Sondrel, png_size, reg_add, restart_wineserver, screenshot,
                     wait_for)

# name: (parent, class, caption, left, top, width, height, visible), positions in twips as the
# window first shows them, after its layout rule has run. The test prefix has neither Java
# runtime, so the report pass has captioned both version labels "Non installata" and given both
# panel pictures that text.
INITIAL = {
    "resPict(1)": ("form", "SondrelPicture", "", 2220, 1500, 540, 540, False),
    "resPict(0)": ("form", "SondrelPicture", "", 1680, 1500, 540, 540, False),
    "Frame1(1)": ("form", "Button", "Java Sun", 2700, 60, 2535, 1095, True),
    "btnDownload(1)": ("Frame1(1)", "Button", "Download", 1020, 660, 1215, 315, True),
    "Pict(1)": ("Frame1(1)", "SondrelPicture", "Non installata", 180, 360, 540, 540, True),
    "lblVersion(1)": ("Frame1(1)", "Static", "Non installata", 900, 300, 1515, 255, True),
    "Frame1(0)": ("form", "Button", "Java Microsoft", 60, 60, 2535, 1095, True),
    "btnDownload(0)": ("Frame1(0)", "Button", "Download", 1020, 660, 1215, 315, True),
    "Pict(0)": ("Frame1(0)", "SondrelPicture", "Non installata", 180, 360, 540, 540, True),
    "lblVersion(0)": ("Frame1(0)", "Static", "Non installata", 900, 300, 1515, 255, True),
    "Picture1": ("form", "SondrelPicture", "", 0, 5400, 5310, 615, True),
    "btnCopy": ("Picture1", "Button", "Copia rapporto", 740, 120, 1815, 435, True),
    "btnClose": ("Picture1", "Button", "Chiudi", 2755, 120, 1815, 435, True),
    "Text1": ("form", "Edit", None, 0, 1255, 5310, 4145, True),  # holds the report
}

# The controls that take the focus, in the order Tab gives it from the report box: the visible
# picture boxes and the enabled buttons, by tab index. Frames, labels and the hidden pictures
# never take it. Neither Java runtime is installed, so both Download buttons are enabled.
FOCUS_CYCLE = ["Picture1", "btnClose", "btnCopy", "Pict(0)", "Pict(1)", "btnDownload(0)",
               "btnDownload(1)", "Text1"]


# The visible picture boxes; the test prefix has neither Java runtime, so both show the cross.
PICTURES = ("Pict(0)", "Pict(1)")

# Where the cross and its shadow show in a picture box at 96 dpi, in pixels of the whole box,
# border included: left, top, right, bottom (one past the last pixel).
BOX_AT_96_DPI = 36
CROSS_AT_96_DPI = (5, 5, 30, 31)

# The sunken border of a picture box that shows an image, on every side.
PICTURE_BORDER = 2


def drawn_part(rows):
    """(left, top, right, bottom) of the pixels clearly unlike the face, which the corner shows."""
    face = rows[0][0]
    drawn = [(x, y) for y, row in enumerate(rows) for x, pixel in enumerate(row)
             if max(abs(a - b) for a, b in zip(pixel, face)) > 32]
    if not drawn:
        return None
    xs, ys = [x for x, _ in drawn], [y for _, y in drawn]
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def painted_picture(app, name):
    """The pixels inside a picture box's border once it shows a picture, or when the time is up:
    a window that has just answered may not have painted its pictures yet."""
    box = app.control(name)
    return wait_for(lambda: app.pixels(name, 0, 0, box.width - 2 * PICTURE_BORDER,
                                       box.height - 2 * PICTURE_BORDER),
                    lambda pixels: drawn_part(pixels) is not None)


def spread(left, top, right, bottom, box):
    """How far a drawn part reaches across a square box, and how far its middle lies from the
    box's: width, height, x offset, y offset."""
    return right - left, bottom - top, (left + right - box) / 2, (top + bottom - box) / 2


class WindowTest(unittest.TestCase):
    """The window on a screen of `dpi` logical pixels per inch; the test prefix's own is 96."""
    dpi = 96

    @classmethod
    def setUpClass(cls):
        if cls.dpi != 96:
            reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", cls.dpi)
            restart_wineserver()

    @classmethod
    def tearDownClass(cls):
        if cls.dpi != 96:
            reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", 96)
            restart_wineserver()

    @property
    def twips_per_pixel(self):
        return 1440 / self.dpi

    def assertPixels(self, actual, twips, what):
        expected = twips / self.twips_per_pixel
        self.assertLessEqual(abs(actual - expected), 1.0,
                             "%s: %d px, expected %.1f (%g twips)" % (what, actual, expected, twips))

    def assertBounds(self, control, left, top, width, height, name):
        self.assertPixels(control.left, left, name + " left")
        self.assertPixels(control.top, top, name + " top")
        self.assertPixels(control.width, width, name + " width")
        self.assertPixels(control.height, height, name + " height")

    def check_layout(self, app, width_twips, height_twips):
        """The layout rule for the client size the window actually has."""
        form = app.controls()[0]
        w, h = form.width * self.twips_per_pixel, form.height * self.twips_per_pixel
        self.assertPixels(form.width, width_twips, "client width")
        self.assertPixels(form.height, height_twips, "client height")
        controls = app.controls()
        get = lambda name: controls[IDS[name]]
        self.assertBounds(get("Picture1"), 0, h - 615, w, 615, "Picture1")
        self.assertBounds(get("Text1"), 0, 1255, w, max(0, h - 615 - 1255), "Text1")
        self.assertBounds(get("btnCopy"), w / 2 - 1915, 120, 1815, 435, "btnCopy")
        self.assertBounds(get("btnClose"), w / 2 + 100, 120, 1815, 435, "btnClose")
        for name in ("Frame1(0)", "Frame1(1)", "btnDownload(0)", "Pict(1)", "lblVersion(1)"):
            _, _, _, left, top, width, height, _ = INITIAL[name]
            self.assertBounds(get(name), left, top, width, height, name)

    def resize_twips(self, app, width, height):
        app.resize(round(width / self.twips_per_pixel), round(height / self.twips_per_pixel))

    def test_controls_at_the_initial_size(self):
        with Sondrel() as app:
            controls = app.controls()
            form = controls[0]
            self.assertEqual(form.text, " Sondrel")
            self.assertPixels(form.width, 5310, "client width")
            self.assertPixels(form.height, 6015, "client height")
            self.assertEqual(len(controls), len(INITIAL) + 1)
            for name, (parent, cls, caption, left, top, width, height, visible) in INITIAL.items():
                with self.subTest(control=name):
                    control = controls[IDS[name]]
                    self.assertEqual(control.parent, 0 if parent == "form" else IDS[parent])
                    self.assertEqual(control.cls.lower(), cls.lower())
                    if caption is not None:
                        self.assertEqual(control.text, caption)
                    self.assertEqual(control.visible, visible)
                    self.assertBounds(control, left, top, width, height, name)

    def test_layout_follows_every_size_change(self):
        with Sondrel() as app:
            self.resize_twips(app, 8000, 6015)
            self.check_layout(app, 8000, 6015)
            # The height alone; at 192 dpi still within the test display's 1024 pixels.
            self.resize_twips(app, 8000, 7200)
            self.check_layout(app, 8000, 7200)
            self.resize_twips(app, 3000, 6015)  # narrower than the two buttons: not clamped
            self.check_layout(app, 3000, 6015)
            self.assertLess(app.control("btnCopy").left, 0)
            self.resize_twips(app, 5310, 1500)  # too short for the report box
            self.check_layout(app, 5310, 1500)
            self.assertEqual(app.control("Text1").height, 0)

    def test_tab_cycle_forward_and_back(self):
        with Sondrel() as app:
            self.assertEqual(app.focused(), IDS["Text1"])
            forward = [int(x) for x in app.driver("tab-order", "8").stdout.split()]
            self.assertEqual(forward, [IDS[name] for name in FOCUS_CYCLE])
            self.assertEqual(app.focused(), IDS["Text1"])
            back = [int(x) for x in app.driver("tab-order", "8", "back").stdout.split()]
            self.assertEqual(back, [IDS[name] for name in FOCUS_CYCLE[-2::-1] + ["Text1"]])

    def test_a_picture_box_with_the_focus_shows_it(self):
        with Sondrel() as app:
            for name in ("Picture1", "Pict(0)", "Pict(1)"):
                with self.subTest(control=name):
                    # The picture boxes with an image have a 2-pixel border on every side.
                    width = app.control(name).width - (0 if name == "Picture1" else 4)
                    top_row = lambda: app.pixels(name, 0, 0, width, 1)[0]
                    # Tab to the control before it, to see it without the focus first.
                    app.tab_to(FOCUS_CYCLE[FOCUS_CYCLE.index(name) - 1])
                    plain = top_row()
                    app.press("tab")
                    self.assertEqual(app.focused(), IDS[name])
                    self.assertNotEqual(wait_for(top_row, lambda row: row != plain), plain,
                                        "no focus rectangle shows")
                    app.press("tab")
                    self.assertEqual(wait_for(top_row, lambda row: row == plain), plain,
                                     "the focus rectangle stays after the focus has gone")

    def test_screen_reports_the_dpi(self):
        with Sondrel() as app:
            self.assertEqual(int(app.driver("dpi").stdout), self.dpi)

    def test_pictures_scale_with_their_boxes(self):
        """Each picture covers its box as at 96 dpi: it spans the same share of the box and lies
        in the same place, to within a pixel; at 96 dpi exactly where it always has."""
        scale = self.dpi / 96
        tolerance = 0 if self.dpi == 96 else 1
        model = spread(*CROSS_AT_96_DPI, BOX_AT_96_DPI)
        with Sondrel() as app:
            for name in PICTURES:
                with self.subTest(control=name):
                    box = app.control(name)
                    self.assertEqual(box.width, box.height)
                    part = drawn_part(painted_picture(app, name))
                    self.assertIsNotNone(part, "the box shows no picture")
                    shown = spread(*(at + PICTURE_BORDER for at in part), box.width)
                    for what, actual, expected in zip(("width", "height", "middle's x offset",
                                                       "middle's y offset"), shown, model):
                        self.assertLessEqual(
                            abs(actual - expected * scale), tolerance,
                            "%s of the drawn part: %g px in a %d px box, expected %g" % (
                                what, actual, box.width, expected * scale))

    def test_a_screenshot_shows_the_whole_window(self):
        with Sondrel() as app:
            form = app.controls()[0]
            for name in PICTURES:  # the window is taken once its pictures show
                painted_picture(app, name)
            path = screenshot("window-%ddpi" % self.dpi)
            width, height = png_size(path)
            self.assertGreaterEqual(width, form.width, path)
            self.assertGreaterEqual(height, form.height, path)

    def test_close_box_ends_the_process(self):
        with Sondrel() as app:
            app.driver("close")
            self.assertTrue(app.ended())
            self.assertEqual(app.process.returncode, 0)


class WindowAt120DpiTest(WindowTest):
    dpi = 120


class WindowAt144DpiTest(WindowTest):
    dpi = 144


class WindowAt192DpiTest(WindowTest):
    dpi = 192


if __name__ == "__main__":
    unittest.main()
