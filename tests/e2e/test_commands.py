"""The four command buttons of Sondrel.exe under Wine: "Copia rapporto" puts the report on the
clipboard, "Chiudi" ends the program, and each "Download" button hands its address to the shell,
which opens it with the prefix's http handler, here a recorder the build makes, and then closes
the window."""
import contextlib
import os
import shutil
import tempfile
import unittest

from sondrel import (DRIVE_C, IDS, Sondrel, default_value, machine, reg_add, reg_delete,
                     wait_for, wine)

RECORDER = os.environ["SONDREL_URL_RECORDER"]
HTTP = r"HKCR\http"
HTTP_COMMAND = HTTP + r"\shell\open\command"
MISSING_BROWSER = r"C:\sondrel-e2e\missing\browser.exe"

# Where each Download button sends the user.
ADDRESSES = {
    "btnDownload(1)": "http://www.java.com/it/",
    "btnDownload(0)": "http://www.sondrel.it/download/msjavx86.exe",
}

QUESTION = ("Sondrel", "Win 2000 SP4 non consente\r\nl'installazione della VM Microsoft\r\n"
            "Procedo con il download?", ["Yes", "No"])

# How long the window may take to go once the shell has been asked.
CLOSE_SECONDS = 20


def windows_path(unix_path):
    """The prefix's drive Z: is the Unix root."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


@contextlib.contextmanager
def http_handler(command):
    """While inside, the shell opens http addresses with `command`, or finds no program for them
    when it is None. The prefix's own http key is exported first and put back afterwards."""
    folder = tempfile.mkdtemp(prefix="sondrel-http-")
    saved = os.path.join(folder, "http.reg")
    had_key = wine("reg", "export", HTTP, windows_path(saved), "/y", check=False).returncode == 0
    before = default_value(HTTP_COMMAND)
    try:
        reg_delete(HTTP)
        if command is not None:
            reg_add(HTTP_COMMAND, "", "REG_SZ", command)
        if default_value(HTTP_COMMAND) != command:
            raise AssertionError("the http handler is not %r" % command)
        yield
    finally:
        reg_delete(HTTP)
        if had_key:
            wine("reg", "import", windows_path(saved))
        shutil.rmtree(folder)
    if default_value(HTTP_COMMAND) != before:
        raise AssertionError("the prefix's http handler was not restored")


class LaunchRecord:
    """The file the recorder appends one command line to per start."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="sondrel-launches-")
        self.path = os.path.join(self.folder, "launches.txt")
        self.env = {"SONDREL_LAUNCH_RECORD": windows_path(self.path)}

    def remove(self):
        shutil.rmtree(self.folder)

    def lines(self):
        if not os.path.exists(self.path):
            return []
        with open(self.path, "rb") as f:
            return f.read().decode("latin-1").split("\n")[:-1]

    def wait_for_lines(self, count, timeout=CLOSE_SECONDS):
        """The launches recorded once `count` have come (or the time is up) and no recorder
        runs any more. Called once the program has ended: every recorder the shell was to
        start has been started by then, so a second launch is in the record too."""
        wait_for(self.lines, lambda lines: len(lines) >= count, seconds=timeout, pause=0.1)
        ended = machine().run("--timeout", str(timeout), "noprocess", os.path.basename(RECORDER))
        if ended.returncode != 0:
            raise AssertionError("a recorder still runs: " + ended.stderr.decode(errors="replace"))
        return self.lines()

    @staticmethod
    def expected(address):
        """What the recorder receives when the shell hands it `address` unchanged."""
        return '"%s" "%s"' % (windows_path(RECORDER), address)


def click(app, name):
    app.driver("click", str(IDS[name]))


class CommandTestCase(unittest.TestCase):
    """Each test runs with the recorder as the prefix's http handler, so no click reaches the
    network, and with an empty record of launches."""

    def http_command(self):
        """The command the shell opens an http address with, or None for no handler at all."""
        return '"%s" "%%1"' % windows_path(RECORDER)

    def setUp(self):
        self.record = LaunchRecord()
        self.addCleanup(self.record.remove)
        handler = http_handler(self.http_command())
        handler.__enter__()
        self.addCleanup(handler.__exit__, None, None, None)

    def start(self, version=None):
        return Sondrel(version=version, env=self.record.env)

    def assertEnds(self, app, what):
        """The window goes and the program ends with exit code 0, without showing any box."""
        if not app.ended(timeout=CLOSE_SECONDS):
            box = app.driver("--timeout", "1", "msgbox", check=False)
            shown = repr(box.stdout.decode("latin-1")) if box.returncode == 0 else "none"
            self.fail("%s: the window stays open; message box: %s" % (what, shown))
        self.assertEqual(app.process.returncode, 0, what)

    def assertStaysOpen(self, app, what):
        """Once the window has handled everything sent to it before, it is still there and takes
        input: no modal box has disabled it, and none shows."""
        synced = app.driver("sync", str(IDS["Text1"]), check=False)
        self.assertEqual(synced.returncode, 0, what + ": the window has gone or does not answer")
        self.assertIsNone(app.process.poll(), what + ": the program ended")
        main = app.controls()[0]
        self.assertEqual(main.text, " Sondrel", what)
        self.assertTrue(main.enabled, what + ": a modal box has the window")
        self.assertEqual(app.driver("nomsgbox", "0", check=False).returncode, 0,
                         what + ": a message box is showing")

    def assertQuestion(self, app, what):
        """The Service Pack 4 question shows, over the main window."""
        result = app.driver("msgbox", check=False)
        if result.returncode != 0:
            ended = app.ended(timeout=CLOSE_SECONDS)
            self.fail("%s: no question shows%s" % (what, ", the program ended" if ended else ""))
        lines = result.stdout.decode("latin-1").split("\n")
        unescape = lambda s: s.replace("\\r", "\r").replace("\\n", "\n")
        self.assertEqual((lines[0], unescape(lines[1]), lines[2].split("\t")), QUESTION, what)
        self.assertEqual(app.driver("msgicon").stdout.decode("ascii"), "information\n", what)
        self.assertFalse(app.controls()[0].enabled, what + ": the main window is not its owner")


class CopyTest(CommandTestCase):
    def copied(self, app, expected):
        """The clipboard's text once the window has handled the click or key sent before, and
        the text is `expected` or the time is up; None when it holds no text. The clipboard is
        read only after the copy: a read while the program copies would hold the clipboard
        open, and the program then leaves it as it was."""
        def clipboard():
            result = app.driver("--timeout", "1", "clipboard", check=False)
            if result.returncode not in (0, 3):  # 3: no text on the clipboard
                self.fail("cannot read the clipboard beside the window: %s" %
                          result.stderr.decode("latin-1").strip())
            return result.stdout if result.returncode == 0 else None

        app.driver("sync", str(IDS["Text1"]))
        return wait_for(clipboard, lambda text: text == expected, seconds=10, pause=0.1)

    def test_copy_puts_the_text_without_outer_spaces_on_the_clipboard(self):
        marker = "Copia %d" % os.getpid()  # no earlier run left this on the clipboard
        # (what the box holds, or None for the report as written; what the clipboard receives)
        cases = [
            ("  %s  " % marker, marker.encode()),
            (None, None),
            ("   \r\n%s\r\n   " % marker, ("\r\n%s\r\n" % marker).encode()),
            ("  Riga uno\r\nRiga due  \r\n  ", b"Riga uno\r\nRiga due  \r\n"),
            ("\t Riga\r\n \t", b"\t Riga\r\n \t"),
            ("  perch\xe9 \xe8 cos\xec  ", b"perch\xe9 \xe8 cos\xec"),
            ("    ", b""),
        ]
        with self.start() as app:
            report = app.text("Text1")
            self.assertTrue(report.endswith("\r\n"), report[-40:])
            self.assertNotEqual(report[0], " ")
            for typed, expected in cases:
                with self.subTest(text=typed):
                    if typed is None:
                        typed, expected = report, report.encode("latin-1")
                    app.driver("settext", str(IDS["Text1"]), typed)
                    self.assertEqual(app.text("Text1"), typed)
                    click(app, "btnCopy")
                    self.assertEqual(self.copied(app, expected), expected)
                    self.assertEqual(app.text("Text1"), typed, "the copy changed the box")
                    self.assertStaysOpen(app, "after copying")
        self.assertEqual(self.record.lines(), [])

    def test_keys_on_the_focused_copy_button(self):
        """Enter and Space click the button with the focus; Escape means nothing."""
        marker = "Tasto %d " % os.getpid()
        with self.start() as app:
            app.tab_to("btnCopy")
            for key in ("enter", "space", "escape"):
                with self.subTest(key=key):
                    app.driver("settext", str(IDS["Text1"]), marker + key)
                    app.press(key)
                    # Escape copies nothing: the clipboard keeps the last copy.
                    expected = (marker + ("space" if key == "escape" else key)).encode()
                    self.assertEqual(self.copied(app, expected), expected)
                    self.assertStaysOpen(app, "after " + key)
                    self.assertEqual(app.focused(), IDS["btnCopy"])


class CloseTest(CommandTestCase):
    def test_chiudi_ends_the_program(self):
        # A click, or Enter or Space once Tab has brought the focus to the button.
        for key in ("click", "enter", "space"):
            with self.subTest(key=key), self.start() as app:
                if key == "click":
                    click(app, "btnClose")
                else:
                    app.tab_to("btnClose")
                    app.press(key)
                self.assertEnds(app, "Chiudi, " + key)
        self.assertEqual(self.record.wait_for_lines(0), [])


class DownloadTest(CommandTestCase):
    def test_each_button_hands_its_address_to_the_shell_and_closes(self):
        # (Windows version, text put in the box or None for the report, button, asked first)
        cases = [
            (None, None, "btnDownload(1)", False),
            (None, None, "btnDownload(0)", False),
            ("winxp", None, "btnDownload(0)", False),  # Service Pack 3
            ("win2k", None, "btnDownload(1)", False),  # Service Pack 4, but the Sun button
            ("win2k", None, "btnDownload(0)", True),
            (None, "Windows 2000 (Service Pack 4)", "btnDownload(0)", True),
            (None, "Service Pack 4", "btnDownload(0)", True),  # at the very start
            (None, "Windows (Service Pack 41)\r\n", "btnDownload(0)", True),
            (None, "Windows (service pack 4)", "btnDownload(0)", False),
            (None, "Windows (SERVICE PACK 4)", "btnDownload(0)", False),
            (None, "Windows (Service Pack 3)", "btnDownload(0)", False),
            (None, "Windows (Service Pack 4)", "btnDownload(1)", False),
        ]
        for version, typed, button, asks in cases:
            with self.subTest(version=version, text=typed, button=button):
                before = len(self.record.lines())
                with self.start(version) as app:
                    if typed is None:
                        self.assertEqual("Service Pack 4" in app.text("Text1"), version == "win2k")
                    else:
                        app.driver("settext", str(IDS["Text1"]), typed)
                    self.assertTrue(app.control(button).enabled, "no runtime, yet disabled")
                    click(app, button)
                    if asks:
                        self.assertQuestion(app, "first click")
                        app.driver("answer", "Yes")
                    self.assertEnds(app, button)
                launches = self.record.wait_for_lines(before + 1)[before:]
                self.assertEqual(launches, [LaunchRecord.expected(ADDRESSES[button])])

    def test_no_leaves_the_window_as_it_was_and_the_next_click_asks_again(self):
        with self.start("win2k") as app:
            report = app.text("Text1")
            click(app, "btnDownload(0)")
            self.assertQuestion(app, "first click")
            app.driver("answer", "No")
            self.assertStaysOpen(app, "after No")
            self.assertEqual(self.record.lines(), [])
            self.assertEqual(app.text("Text1"), report)
            self.assertTrue(app.controls()[0].enabled)
            self.assertTrue(app.control("btnDownload(0)").enabled)
            click(app, "btnDownload(0)")
            self.assertQuestion(app, "second click")
            app.driver("answer", "Yes")
            self.assertEnds(app, "Yes on the second click")
        self.assertEqual(self.record.wait_for_lines(1),
                         [LaunchRecord.expected(ADDRESSES["btnDownload(0)"])])


class ShellFailureTest(CommandTestCase):
    """Wine's ShellExecuteA asks the shell not to show its own error box, so a failure is
    silent; the window closes all the same."""

    def check_both_buttons_close(self):
        for button in ("btnDownload(1)", "btnDownload(0)"):
            with self.subTest(button=button), self.start() as app:
                click(app, button)
                self.assertEnds(app, button)
        self.assertEqual(self.record.lines(), [])


class MissingBrowserTest(ShellFailureTest):
    def http_command(self):
        return '"%s" "%%1"' % MISSING_BROWSER

    def test_handler_program_missing(self):
        self.assertFalse(os.path.exists(os.path.join(DRIVE_C, "sondrel-e2e")))
        self.check_both_buttons_close()


class NoHttpHandlerTest(ShellFailureTest):
    def http_command(self):
        return None

    def test_no_program_for_http(self):
        self.check_both_buttons_close()


if __name__ == "__main__":
    unittest.main()
