"""The browser, Java and firewall lines of the report that Sondrel.exe writes under Wine, and the
two Java panels, with real registry values, real files and real version records."""
import contextlib
import itertools
import os
import re
import shutil
import struct
import unittest

from sondrel import (DRIVE_C, EXE, IDS, WINE_RUN, Sondrel, default_value, key_exists, reg_add,
                     reg_delete, run_captured, value_of, wait_for, wine)
from without_search_limit import copy_without_search_limit

SYSTEM32 = os.path.join(DRIVE_C, "windows", "system32")
MSJAVA = r"C:\windows\system32\msjava.dll"
VSMON = r"C:\windows\system32\ZoneLabs\VSMON.EXE"
PROBE_FILE = "kelvoran.htm"
NOT_FOUND = "Non trovato"
NOT_INSTALLED = "Non installata"
FIREWALL_LABELS = [
    "Zone Alarm firewall = ", "Sygate Personal Firewall = ", "Norton Personal Firewall = ",
    "McAfee Personal Firewall = ", "Panda Internet Security = ", "Agnitum Outpost Firewall = ",
    "Kerio Personal Firewall = ",
]
RUN = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_SERVICES = r"HKLM\Software\Microsoft\Windows\CurrentVersion\RunServices"
# label, key, value name of the start-up entries each firewall registers.
FIREWALL_VALUES = [
    ("Sygate Personal Firewall = ", RUN_SERVICES, "SmcService"),
    ("Norton Personal Firewall = ", RUN_SERVICES, "iamapp"),
    ("McAfee Personal Firewall = ", RUN, "MPFTray"),
    ("Panda Internet Security = ", RUN_SERVICES, "PAVFIRES"),
    ("Agnitum Outpost Firewall = ", RUN, "Outpost Firewall"),
    ("Kerio Personal Firewall = ", RUN_SERVICES, "KPF4"),
]
JAVA_WEB_START = r"HKLM\Software\JavaSoft\Java Web Start"
# The system DLLs that Wine's own code loads by bare name after the program starts.
LOADED_BY_NAME_AFTER_START = ("uxtheme",)

# Colours of the two pictures: the tick is navy-edged green with a lime highlight, the cross
# black-edged maroon with a red highlight; both cast a grey shadow on a transparent ground.
TICK_COLOURS = {"edge": (0, 0, 128), "fill": (0, 128, 0), "highlight": (0, 255, 0)}
CROSS_COLOURS = {"edge": (0, 0, 0), "fill": (128, 0, 0), "highlight": (255, 0, 0)}
PICTURE_PIXELS = 32


def versioned_module(letter):
    """A DLL the build made with a version record; its name carries the version it was given."""
    path = os.environ["SONDREL_VERSIONED_" + letter]
    return path, ".".join(os.path.basename(path)[:-4].split("_")[1:])


def file_version(path):
    """The file version of a PE file's version record, read from its bytes, or "" without one."""
    with open(path, "rb") as f:
        data = f.read()
    key = data.find("VS_VERSION_INFO".encode("utf-16-le") + b"\0\0")
    if key < 0:
        return ""
    # The fixed part follows the key, aligned to 32 bits from the start of the record.
    record = key - 6
    fixed = record + ((6 + 32 + 3) & ~3)
    signature, _, ms, ls = struct.unpack_from("<IIII", data, fixed)
    if signature != 0xFEEF04BD:
        return ""
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def unix_path(windows_path):
    """The Unix path of a C: path of the prefix, each component matched as the system does,
    without regard to case; also returns the path with every component as it is stored."""
    drive, *parts = windows_path.split("\\")
    if drive.upper() != "C:":
        raise ValueError("not on drive C: " + windows_path)
    path, stored = DRIVE_C, [drive]
    for part in parts:
        matches = [name for name in os.listdir(path) if name.lower() == part.lower()]
        if not matches:
            raise FileNotFoundError(windows_path)
        path = os.path.join(path, matches[0])
        stored.append(matches[0])
    return path, "\\".join(stored)


def short_name(windows_folder, name):
    """The 8.3 name the system gave `name` in a folder, as the command shell lists it."""
    listing = wine("cmd", "/c", "dir", "/x", windows_folder).stdout.decode("latin-1")
    for line in listing.splitlines():
        if line.endswith(" " + name):
            candidate = line[:-len(name)].split()[-1]
            if "~" in candidate:
                return candidate
    raise AssertionError("no short name for %s in:\n%s" % (name, listing))


def reg_listing(key):
    """reg.exe's listing of a key and everything under it, or None when it is absent."""
    result = wine("reg", "query", key, "/s", check=False)
    return result.stdout.decode("latin-1") if result.returncode == 0 else None


def picture_kind(app, name):
    """Which of the two pictures a picture box shows, "tick" or "cross", from the colours of the
    32x32 image at its client origin, once it shows either; anything else is reported by colour
    counts."""
    def kind():
        counts = {}
        for row in app.pixels(name, 0, 0, PICTURE_PIXELS, PICTURE_PIXELS):
            for colour in row:
                counts[colour] = counts.get(colour, 0) + 1
        tick = {part: counts.get(c, 0) for part, c in TICK_COLOURS.items()}
        cross = {part: counts.get(c, 0) for part, c in CROSS_COLOURS.items()}
        if tick["fill"] > 50 and tick["edge"] > 20 and not cross["fill"] and not cross["highlight"]:
            return "tick"
        if cross["fill"] > 50 and cross["edge"] > 20 and not any(tick.values()):
            return "cross"
        return "neither (tick %s, cross %s)" % (tick, cross)

    return wait_for(kind, lambda shown: shown in ("tick", "cross"), seconds=10, pause=0.5)


def report(app):
    return app.text("Text1").split("\r\n")


def line(lines, label):
    """The one report line that starts with `label`."""
    found = [text for text in lines if text.startswith(label)]
    if len(found) != 1:
        raise AssertionError("%d lines start with %r in %r" % (len(found), label, lines))
    return found[0]


def wine_browser():
    """What the prefix associates with .htm: the open command's program, independently of the
    program under test, as (Unix path, long Windows path)."""
    progid = default_value(r"HKCR\.htm")
    if not progid:
        raise AssertionError("the prefix associates nothing with .htm")
    command = default_value("HKCR\\%s\\shell\\open\\command" % progid)
    if not command:
        raise AssertionError("no open command for " + progid)
    match = re.match(r'"([^"]+)"|(\S+)', command)
    program = match.group(1) or match.group(2)
    path, long_path = unix_path(program)
    if not os.path.isfile(path):
        raise AssertionError("no file behind " + program)
    return path, long_path


class ProbeTestCase(unittest.TestCase):
    @contextlib.contextmanager
    def case(self, **params):
        """One row of a table: a subtest whose files and values are removed when it ends."""
        try:
            with self.subTest(**params):
                yield
        finally:
            self.doCleanups()

    def put_file(self, path, content=None, copy_of=None):
        """Puts a file in place for one test; it is removed again afterwards."""
        self.assertFalse(os.path.lexists(path), "left over from elsewhere: " + path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        if copy_of:
            shutil.copyfile(copy_of, path)
        else:
            with open(path, "wb") as f:
                f.write(content)
        self.addCleanup(os.remove, path)

    def make_folder(self, path):
        """A folder for one test, removed with its contents afterwards."""
        self.assertFalse(os.path.lexists(path), "left over from elsewhere: " + path)
        os.makedirs(path)
        self.addCleanup(shutil.rmtree, path, ignore_errors=True)

    def set_value(self, key, name, kind, data, replacing=False):
        """Writes a registry value for one test. Afterwards a value that was there before is put
        back as it was (only when `replacing`), and otherwise the value is deleted, together with
        the keys the write created."""
        original = value_of(key, name)
        if original is not None:
            self.assertTrue(replacing, "left over from elsewhere: %s\\%s" % (key, name))
            self.addCleanup(reg_add, key, name, *original)
        else:
            created = key
            parent = key.rsplit("\\", 1)[0]
            while not key_exists(parent):
                created, parent = parent, parent.rsplit("\\", 1)[0]
            if not key_exists(created):
                self.addCleanup(reg_delete, created)
            else:
                self.addCleanup(reg_delete, key, name)
        reg_add(key, name, kind, data)

    def put_marked_file(self, path, windows_path, attribute, copy_of):
        """A file with a DOS attribute ("+h" hidden, "+s" system) set through the system."""
        self.put_file(path, copy_of=copy_of)
        wine("attrib", attribute, windows_path)
        self.assertIn(attribute[1].upper(), wine("attrib", windows_path).stdout.decode(
            "latin-1").split(windows_path)[0])

    def associate(self, command, env=None):
        """Points .htm at a class of this test's own, restoring the association afterwards. With
        the environment of a locale, reg.exe writes the command in Unicode, which takes names the
        UI driver's single-byte calls cannot."""
        original = default_value(r"HKCR\.htm")
        self.addCleanup(reg_add, r"HKCR\.htm", "", "REG_SZ", original)
        self.addCleanup(reg_delete, r"HKCR\SondrelTestPage")
        key = r"HKCR\SondrelTestPage\shell\open\command"
        if env:
            run_captured([WINE_RUN, "reg", "add", key, "/ve", "/d", command, "/f"],
                         env=dict(os.environ, **env), check=True)
        else:
            reg_add(key, "", "REG_SZ", command)
        reg_add(r"HKCR\.htm", "", "REG_SZ", "SondrelTestPage")

    def copy_program(self, folder, name="Sondrel.exe"):
        """A copy of Sondrel.exe as `name` in a folder of its own under C: (the root when None)."""
        if folder is not None:
            self.make_folder(os.path.join(DRIVE_C, folder))
        exe = os.path.join(DRIVE_C, folder or "", name)
        self.put_file(exe, copy_of=EXE)
        return exe


class DefaultBrowserTest(ProbeTestCase):
    def assertNoProbeFileIn(self, exe):
        self.assertFalse(os.path.exists(os.path.join(os.path.dirname(exe), PROBE_FILE)))

    def test_wine_default_association(self):
        path, long_path = wine_browser()
        with Sondrel() as app:
            lines = report(app)
        self.assertEqual(line(lines, "Browser predefinito = "),
                         "Browser predefinito = %s versione %s" % (long_path, file_version(path)))
        self.assertNoProbeFileIn(EXE)

    def test_browser_named_by_short_path_is_reported_long_with_its_version(self):
        folder, name = "Browser di prova", "Navigatore Sondrel.exe"
        self.make_folder(os.path.join(DRIVE_C, folder))
        browser = os.path.join(DRIVE_C, folder, name)
        shutil.copyfile(EXE, browser)
        short = "C:\\%s\\%s" % (short_name("C:\\", folder), short_name("C:\\" + folder, name))
        self.assertNotIn(" ", short)
        self.associate('%s "%%1"' % short)
        version = file_version(browser)
        self.assertRegex(version, r"^\d+\.\d+\.\d+\.\d+$")
        with Sondrel() as app:
            self.assertEqual(line(report(app), "Browser predefinito = "),
                             "Browser predefinito = C:\\%s\\%s versione %s" % (folder, name,
                                                                              version))

    def test_browser_without_version_record(self):
        folder = "Browser di prova"
        self.make_folder(os.path.join(DRIVE_C, folder))
        self.put_file(os.path.join(DRIVE_C, folder, "plain.exe"), b"MZ no version here")
        self.associate('"C:\\%s\\plain.exe" "%%1"' % folder)
        with Sondrel() as app:
            self.assertEqual(line(report(app), "Browser predefinito = "),
                             "Browser predefinito = C:\\%s\\plain.exe versione " % folder)

    def export_htm(self):
        """Saves the .htm association and restores it when the test ends."""
        saved = "C:\\sondrel-htm.reg"
        saved_unix = os.path.join(DRIVE_C, "sondrel-htm.reg")
        before = reg_listing(r"HKCR\.htm")
        wine("reg", "export", r"HKCR\.htm", saved, "/y")
        self.assertTrue(os.path.isfile(saved_unix))

        def restore():
            reg_delete(r"HKCR\.htm")
            wine("reg", "import", saved)
            os.remove(saved_unix)
            self.assertEqual(reg_listing(r"HKCR\.htm"), before)

        self.addCleanup(restore)

    def test_no_association(self):
        ways = {
            "key removed": lambda: reg_delete(r"HKCR\.htm"),
            "default value emptied": lambda: reg_add(r"HKCR\.htm", "", "REG_SZ", ""),
        }
        for way, remove in ways.items():
            with self.case(way=way):
                self.export_htm()
                remove()
                with Sondrel() as app:
                    lines = report(app)
                    self.assertEqual(app.driver("nomsgbox", "300", check=False).returncode, 0)
                self.assertEqual(line(lines, "Browser predefinito = "),
                                 "Browser predefinito = " + NOT_FOUND)
                self.assertNoProbeFileIn(EXE)

    def run_with_planted_library(self, folder, name, run):
        """Plants the marking library in `folder` as name.dll and calls `run` with an environment
        that tells Wine's loader to prefer a DLL of that name on its search path to its own, where
        the program's folder comes first unless the program takes it off. Gives whether the
        planted library was loaded, and what `run` gave."""
        planted = os.path.join(folder, name + ".dll")
        mark = os.path.join(folder, "planted-library-loaded")
        shutil.copyfile(os.environ["SONDREL_PLANTED_LIBRARY"], planted)
        try:
            result = run(dict(os.environ, WINEDLLOVERRIDES=name + "=n,b"))
        finally:
            os.remove(planted)
        loaded = os.path.exists(mark)
        if loaded:
            os.remove(mark)
        return loaded, result

    def assertPlantedLibraryNeverRuns(self, exe, names, versions=(None,)):
        """Plants each library in turn beside `exe`, which must load none and report the browser
        whole. A program beside it that loads the name by itself must load the planted one, or
        Wine no longer lets a test plant libraries and the check would prove nothing."""
        path, long_path = wine_browser()
        folder = os.path.dirname(exe)
        loader = os.path.join(folder, "bare_name_loader.exe")
        shutil.copyfile(os.environ["SONDREL_BARE_NAME_LOADER"], loader)
        self.addCleanup(os.remove, loader)
        for version, name in itertools.product(versions, names):
            with self.subTest(name=name, version=version):
                loaded, _ = self.run_with_planted_library(
                    folder, name, lambda env: run_captured([WINE_RUN, loader, name + ".dll"],
                                                           env=env))
                self.assertTrue(loaded, "the control did not load the planted " + name)

                def start(env):
                    with Sondrel(version=version, exe=exe, env=env) as app:
                        return report(app)

                loaded, lines = self.run_with_planted_library(folder, name, start)
                self.assertFalse(loaded, "the %s.dll beside the program was loaded" % name)
                self.assertEqual(line(lines, "Browser predefinito = "),
                                 "Browser predefinito = %s versione %s" % (long_path,
                                                                           file_version(path)))

    def test_library_planted_beside_the_program_is_never_loaded(self):
        # shell32 is loaded by the program's entry-point lookup, shlwapi as one of shell32's
        # imports, uxtheme by the window manager and msimg32 by the theme code, each after
        # start. (Wine's own DLLs import advapi32, version, imm32 and more at process start,
        # before any code of the program runs: out of its reach, and known DLLs on Windows.)
        self.assertPlantedLibraryNeverRuns(self.copy_program("Scaricati"),
                                           ("shell32", "shlwapi", "uxtheme", "msimg32"))

    def test_library_planted_beside_the_program_where_the_search_cannot_be_limited(self):
        # Where SetDefaultDllDirectories is missing (XP, and Vista and 7 without the update) or
        # left alone (Vista), the system DLLs that system code loads by bare name after start
        # are loaded first from the system folder. These are those of them that Wine loads.
        self.make_folder(os.path.join(DRIVE_C, "Scaricati XP"))
        exe = os.path.join(DRIVE_C, "Scaricati XP", "Sondrel.exe")
        copy_without_search_limit(EXE, exe)
        self.assertPlantedLibraryNeverRuns(exe, LOADED_BY_NAME_AFTER_START,
                                           ("winxp", "vista", "win7"))

    def test_existing_probe_file_is_left_as_it_was(self):
        path, long_path = wine_browser()
        exe = self.copy_program("Con file di prova")
        probe = os.path.join(os.path.dirname(exe), PROBE_FILE)
        content = b"<html><body>Pagina dell'utente</body></html>\r\n\x00\xff"
        with open(probe, "wb") as f:
            f.write(content)
        os.utime(probe, (1000000000, 1000000000))
        with Sondrel(exe=exe) as app:
            lines = report(app)
        self.assertEqual(line(lines, "Browser predefinito = "),
                         "Browser predefinito = %s versione %s" % (long_path, file_version(path)))
        with open(probe, "rb") as f:
            self.assertEqual(f.read(), content)
        self.assertEqual(os.stat(probe).st_mtime, 1000000000)


class RegistryBrowsersTest(ProbeTestCase):
    def test_registry_reported_browsers(self):
        ie = r"HKLM\Software\Microsoft\Internet Explorer"
        netscape = r"HKLM\Software\Netscape\Netscape Navigator"
        installed = value_of(ie, "Version")
        self.assertTrue(installed and installed[0] == "REG_SZ" and installed[1],
                        "the prefix has no Internet Explorer version")
        # How each type of value reads as report text, the host tests show.
        cases = [
            # IE Version, Netscape CurrentVersion (kind, data) or None, expected IE and Netscape
            (None, None, installed[1], NOT_FOUND),
            ("6.0.2900.2180", ("REG_SZ", "7.2 (it)"), "6.0.2900.2180", "7.2 (it)"),
        ]
        for ie_version, navigator, ie_line, navigator_line in cases:
            with self.case(ie=ie_version, navigator=navigator):
                if ie_version is not None:
                    self.set_value(ie, "Version", "REG_SZ", ie_version, replacing=True)
                if navigator:
                    self.set_value(netscape, "CurrentVersion", *navigator)
                with Sondrel() as app:
                    lines = report(app)
                self.assertEqual(line(lines, "Microsoft Internet Explorer = "),
                                 "Microsoft Internet Explorer = " + ie_line)
                self.assertEqual(line(lines, "Netscape Navigator = "),
                                 "Netscape Navigator = " + navigator_line)
        self.assertEqual(value_of(ie, "Version"), installed)
        self.assertFalse(key_exists(r"HKLM\Software\Netscape"))


class JavaPanelsTest(ProbeTestCase):
    def check_panel(self, app, index, caption, download_enabled, picture):
        controls = app.controls()
        self.assertEqual(app.text("lblVersion(%d)" % index), caption)
        self.assertEqual(controls[IDS["btnDownload(%d)" % index]].enabled, download_enabled)
        self.assertEqual(picture_kind(app, "Pict(%d)" % index), picture)
        # The state as accessibility tools read it: the picture box's window text.
        self.assertEqual(controls[IDS["Pict(%d)" % index]].text,
                         {"tick": "Installata", "cross": NOT_INSTALLED}[picture])

    def test_java_web_start(self):
        # How each type of value reads, and which count as installed, the host tests show.
        cases = [
            # CurrentVersion (kind, data) or None, reported value
            (("REG_SZ", "1.5.0_06 beta"), "1.5.0_06 beta"),
            (None, None),
        ]
        for value, reported in cases:
            with self.case(value=value):
                if value:
                    self.set_value(JAVA_WEB_START, "CurrentVersion", *value)
                with Sondrel() as app:
                    self.assertEqual(line(report(app), "Java Web Start (Sun) = "),
                                     "Java Web Start (Sun) = " + (reported or NOT_INSTALLED))
                    if reported:
                        self.check_panel(app, 1, "Versione " + reported, False, "tick")
                    else:
                        self.check_panel(app, 1, NOT_INSTALLED, True, "cross")

    def test_microsoft_vm(self):
        module, module_version = versioned_module("A")
        self.assertEqual(file_version(module), module_version)
        program_version = file_version(EXE)
        self.assertRegex(program_version, r"^\d+\.\d+\.\d+\.\d+$")
        msjava = os.path.join(SYSTEM32, "msjava.dll")
        cases = {
            # how the file is there, its reported version (None: reported missing)
            "library with a version record": (lambda: self.put_file(msjava, copy_of=module),
                                              module_version),
            "program with a version record": (lambda: self.put_file(msjava, copy_of=EXE),
                                              program_version),
            "16-bit module with a version record": (
                lambda: self.put_file(msjava, copy_of=os.environ["SONDREL_NE_MODULE"]),
                "5.0.3810.0"),
            "file without one": (lambda: self.put_file(msjava, b"no version record"), ""),
            "absent": (lambda: None, None),
            "a folder of that name": (lambda: self.make_folder(msjava), None),
            "hidden file": (lambda: self.put_marked_file(msjava, MSJAVA, "+h", module), None),
            "system file": (lambda: self.put_marked_file(msjava, MSJAVA, "+s", module), None),
        }
        for case, (install, reported) in cases.items():
            with self.case(case=case):
                install()
                with Sondrel() as app:
                    lines = report(app)
                    if reported is None:
                        self.assertEqual(line(lines, "JVM Microsoft = "),
                                         "JVM Microsoft = " + NOT_INSTALLED)
                        self.check_panel(app, 0, NOT_INSTALLED, True, "cross")
                    else:
                        self.assertEqual(line(lines, "JVM Microsoft = "),
                                         "JVM Microsoft = " + reported)
                        self.check_panel(app, 0, "Versione " + reported, False, "tick")
                    self.assertEqual(app.driver("nomsgbox", "300", check=False).returncode, 0)

    def test_panels_are_independent(self):
        module, module_version = versioned_module("A")
        self.put_file(os.path.join(SYSTEM32, "msjava.dll"), copy_of=module)
        with Sondrel() as app:
            self.check_panel(app, 0, "Versione " + module_version, False, "tick")
            self.check_panel(app, 1, NOT_INSTALLED, True, "cross")
        self.doCleanups()
        self.set_value(JAVA_WEB_START, "CurrentVersion", "REG_SZ", "1.4.2")
        with Sondrel() as app:
            self.check_panel(app, 0, NOT_INSTALLED, True, "cross")
            self.check_panel(app, 1, "Versione 1.4.2", False, "tick")


class FirewallTest(ProbeTestCase):
    def test_zone_alarm(self):
        module, module_version = versioned_module("B")
        self.assertEqual(file_version(module), module_version)
        vsmon = os.path.join(SYSTEM32, "ZoneLabs", "VSMON.EXE")
        cases = {
            "with a version record": (lambda: self.put_file(vsmon, copy_of=module),
                                      module_version),
            "without one": (lambda: self.put_file(vsmon, b"no version record"), ""),
            "hidden file": (lambda: self.put_marked_file(vsmon, VSMON, "+h", module), NOT_FOUND),
            "absent": (lambda: None, NOT_FOUND),
        }
        for case, (install, reported) in cases.items():
            with self.case(case=case):
                self.make_folder(os.path.dirname(vsmon))
                install()
                with Sondrel() as app:
                    lines = report(app)
                self.assertEqual(line(lines, "Zone Alarm firewall = "),
                                 "Zone Alarm firewall = " + reported)

    def test_start_up_entries(self):
        commands = [
            r'"C:\Program Files\Sygate\SPF\smc.exe" -startgui',
            r"C:\PROGRA~1\NORTON~1\IAMAPP.EXE",
            r"C:\Programmi\McAfee.com\Personal Firewall\MPFTray.exe /autorun",
            r"C:\Programmi\Panda Software\PAVFIRES.EXE",
            r"%ProgramFiles%\Agnitum\Outpost Firewall\outpost.exe /waitservice",
            r'"C:\Programmi\Kerio\Personal Firewall 4\kpf4gui.exe"',
        ]
        for (_, key, name), command in zip(FIREWALL_VALUES, commands):
            self.set_value(key, name, "REG_SZ", command)
        with Sondrel() as app:
            lines = report(app)
        for (label, _, _), command in zip(FIREWALL_VALUES, commands):
            self.assertEqual(line(lines, label), label + command)

    def test_one_entry_among_others(self):
        # Each line reads its own value: only the Panda line reports this one.
        label, key, name = FIREWALL_VALUES[3]
        self.set_value(key, name, "REG_SZ", "PAVFIRES.EXE")
        with Sondrel() as app:
            lines = report(app)
        for other, _, _ in FIREWALL_VALUES:
            self.assertEqual(line(lines, other), other + ("PAVFIRES.EXE" if other == label
                                                          else NOT_FOUND))


class SectionLayoutTest(ProbeTestCase):
    def test_lines_in_order_and_final_line_break(self):
        module, module_version = versioned_module("A")
        self.put_file(os.path.join(SYSTEM32, "msjava.dll"), copy_of=module)
        self.set_value(JAVA_WEB_START, "CurrentVersion", "REG_SZ", "1.4.2")
        self.set_value(RUN_SERVICES, "KPF4", "REG_SZ", "kpf4ss.exe")
        with Sondrel() as app:
            text = app.text("Text1")
        self.assertTrue(text.endswith("\r\nKerio Personal Firewall = kpf4ss.exe\r\n"), text[-80:])
        lines = text.split("\r\n")
        start = lines.index(line(lines, "DisplayColors = "))
        section = lines[start + 1:]
        self.assertEqual([entry.split(" = ")[0] + " = " if " = " in entry else entry
                          for entry in section], [
            "", "Browser predefinito = ", "Microsoft Internet Explorer = ",
            "Netscape Navigator = ", "Java Web Start (Sun) = ", "JVM Microsoft = ", "",
            *FIREWALL_LABELS, ""])
        self.assertEqual(section[4:6], ["Java Web Start (Sun) = 1.4.2",
                                        "JVM Microsoft = " + module_version])


if __name__ == "__main__":
    unittest.main()
