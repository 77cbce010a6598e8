"""The Windows section of the report that Sondrel.exe writes under each Windows version Wine
offers, on a 16-bit screen and in an Italian locale."""
import os
import subprocess
import time
import unittest

from sondrel import Sondrel

TITLE = "Informazioni sul sistema - a cura del team Sondrel"

# What Wine reports in each mode, as the report words it: (family line, version, build).
MODES = {
    "win95": ("WindowsType = Windows 95 ()", "4.0", 950),
    "win98": ("WindowsType = Windows 98 Second Edition ( A )", "4.10", 2222),
    "winme": ("WindowsType = Windows Me ( )", "4.90", 3000),
    "nt40": ("WindowsType = Windows NT (Service Pack 6a)", "4.0", 1381),
    "win2k": ("WindowsType = Windows 2000 (Service Pack 4)", "5.0", 2195),
    "winxp": ("WindowsType = Windows XP (Service Pack 3)", "5.1", 2600),
    "win2003": ("WindowsType = Windows NT o maggiore (?) (Service Pack 2)", "5.2", 3790),
    "win7": ("WindowsType = Windows NT o maggiore (Service Pack 1)", "6.1", 7601),
    # The manifest names Windows 10, so the version query answers its true version and build.
    "win10": ("WindowsType = Windows NT o maggiore ()", "10.0", 18362),
}


def section(app):
    return app.text("Text1").split("\r\n")


class WindowsSectionTest(unittest.TestCase):
    def test_each_windows_version(self):
        for mode, (family, version, build) in MODES.items():
            with self.subTest(mode=mode), Sondrel(version=mode) as app:
                lines = section(app)
                self.assertEqual(lines[:10], [
                    TITLE, "", family, "Version = " + version, "OSBuild = %d" % build,
                    "Language = English", r"SystemDirectory = C:\windows\system32",
                    r"WindowsDirectory = C:\windows", "DisplayColors = True Color", ""])

    def test_italian_locale(self):
        with Sondrel(env={"LANG": "it_IT.UTF-8", "LC_ALL": "it_IT.UTF-8"}) as app:
            self.assertIn("Language = Italian", section(app))

    def test_16_bit_screen(self):
        display = 140 + os.getpid() % 50
        while os.path.exists("/tmp/.X11-unix/X%d" % display):
            display += 1
        xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x16",
                                 "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        try:
            for _ in range(100):
                if os.path.exists("/tmp/.X11-unix/X%d" % display):
                    break
                time.sleep(0.1)
            with Sondrel(env={"SONDREL_DISPLAY": ":%d" % display}) as app:
                self.assertIn("DisplayColors = 65536", section(app))
        finally:
            xvfb.terminate()
            xvfb.wait()


if __name__ == "__main__":
    unittest.main()
