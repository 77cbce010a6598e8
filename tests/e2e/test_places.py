"""Sondrel.exe run from the places people put it, and on a Japanese Windows: wherever it runs
from, the browser's line is whole and the program leaves nothing behind."""
import os
import shutil
import subprocess

from sondrel import DRIVE_C, EXE, Sondrel
from test_report_probes import (PROBE_FILE, ProbeTestCase, file_version, line, report,
                                versioned_module, wine_browser)

ITALIAN = {"LANG": "it_IT.UTF-8", "LC_ALL": "it_IT.UTF-8"}
# Wine takes the ANSI code page from the locale: 932 here.
JAPANESE = {"LANG": "ja_JP.UTF-8", "LC_ALL": "ja_JP.UTF-8"}
# In code page 932 the second byte of ソ (0x83 0x5C) and of 表 (0x95 0x5C) is a backslash's.
JAPANESE_BROWSER = ("ソフト", "Browser", "browser.exe")
# A folder below C: whose program's path, "C:\...\Sondrel.exe", has 259 characters: the longest
# the single-byte calls take.
NEAR_MAX_PATH = os.path.join("Percorso lungo", "c" * 229)


def probe_files():
    """Every probe file anywhere on drive C:."""
    return [os.path.join(folder, PROBE_FILE)
            for folder, _, names in os.walk(DRIVE_C) if PROBE_FILE in names]


class PlacesTest(ProbeTestCase):
    def make_read_only(self, exe):
        """Puts the program's folder on a read-only file system, as a CD or a write-protected
        share is; where mounting is not allowed, takes the right to write away instead."""
        folder = os.path.dirname(exe)
        mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "tmpfs", folder],
                                 stderr=subprocess.DEVNULL, check=False).returncode == 0
        if mounted:
            self.addCleanup(subprocess.run, ["umount", folder], check=True)
            shutil.copyfile(EXE, exe)
            subprocess.run(["mount", "-o", "remount,ro", folder], check=True)
        else:
            os.chmod(folder, 0o555)
            self.addCleanup(os.chmod, folder, 0o755)
            if os.geteuid() == 0:
                # Permissions do not stop root; the immutable flag does.
                subprocess.run(["chattr", "+i", folder], check=True)
                self.addCleanup(subprocess.run, ["chattr", "-i", folder], check=True)
        with self.assertRaises(OSError):
            open(os.path.join(folder, "scrivibile"), "wb").close()

    def install_japanese_browser(self):
        """A browser below C:\\ソフト\\Browser that .htm is associated with, until the test ends;
        gives the browser line it must have."""
        folder = os.path.join(DRIVE_C, *JAPANESE_BROWSER[:-1])
        self.make_folder(os.path.join(DRIVE_C, JAPANESE_BROWSER[0]))
        os.makedirs(folder)
        module, version = versioned_module("A")
        shutil.copyfile(module, os.path.join(folder, JAPANESE_BROWSER[-1]))
        browser = "C:\\" + "\\".join(JAPANESE_BROWSER)
        self.associate('"%s" "%%1"' % browser, env=JAPANESE)
        return "Browser predefinito = %s versione %s" % (browser, version)

    def test_browser_line_wherever_the_program_runs(self):
        path, long_path = wine_browser()
        usual = "Browser predefinito = %s versione %s" % (long_path, file_version(path))
        rows = [
            # place, the program's folder below C: (None: the root) and name, locale
            ("read-only folder", "Sola lettura", "Sondrel.exe", ITALIAN),
            ("folder named outside the code page", "Загрузки", "Sondrel.exe", ITALIAN),
            ("Japanese Windows", "Scaricati", "Sondrel.exe", JAPANESE),
            ("Japanese Windows, a folder ending in 表", "Sondrel表", "Sondrel.exe", JAPANESE),
            ("spaces and brackets", "Scaricati (2)", "Sondrel (1).exe", ITALIAN),
            ("near MAX_PATH", NEAR_MAX_PATH, "Sondrel.exe", ITALIAN),
            ("drive root", None, "Sondrel.exe", ITALIAN),
        ]
        for place, folder, name, locale in rows:
            with self.case(place=place):
                self.assertEqual(probe_files(), [])
                exe = self.copy_program(folder, name)
                expected = usual
                if place.startswith("read-only"):
                    self.make_read_only(exe)
                if locale is JAPANESE:
                    expected = self.install_japanese_browser()
                beside = sorted(os.listdir(os.path.dirname(exe)))
                with Sondrel(exe=exe, env=locale) as app:
                    # The driver reads the text in the code page of its locale, the program's.
                    lines = [text.encode("latin-1").decode("cp932" if locale is JAPANESE
                                                           else "cp1252") for text in report(app)]
                    self.assertEqual(app.driver("nomsgbox", "300", check=False).returncode, 0)
                self.assertEqual(line(lines, "Browser predefinito = "), expected)
                self.assertEqual(sorted(os.listdir(os.path.dirname(exe))), beside)
                self.assertEqual(probe_files(), [])
