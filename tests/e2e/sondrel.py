"""Starts Sondrel.exe in the test run's Wine prefix and drives it through the UI driver."""
import atexit
import os
import select
import struct
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "wine", "wine-run.sh")
EXE = os.environ["SONDREL_EXE"]
# The Unix folder behind drive C: of the run's prefix.
DRIVE_C = os.path.join(os.environ["SONDREL_WINE_STATE"], "prefix", "drive_c")
DRIVER = os.environ["SONDREL_UIDRIVER"]

# A control's id in its window: the form numbers its controls from 100 in the order it creates
# them.
IDS = {
    "resPict(1)": 100, "resPict(0)": 101,
    "Frame1(1)": 102, "btnDownload(1)": 103, "Pict(1)": 104, "lblVersion(1)": 105,
    "Frame1(0)": 106, "btnDownload(0)": 107, "Pict(0)": 108, "lblVersion(0)": 109,
    "Picture1": 110, "btnCopy": 111, "btnClose": 112, "Text1": 113,
}


def run_captured(command, env=None, check=False, timeout=120):
    """Runs a program with its output in files, not pipes: a Wine process it happens to start
    (the desktop, a service) inherits the output handles and outlives it, and would keep a pipe
    open, so reading to the end of a pipe could wait for that process instead."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(command, code, out.read(), err.read())
    if check:
        result.check_returncode()
    return result


def wine(*args, check=True):
    return run_captured([WINE_RUN, *args], check=check)


_machine = None


def machine():
    """The driver that writes and reads the registry for the tests and keeps Wine's desktop up;
    started at first use, ended at exit or when the server restarts."""
    global _machine
    if _machine is None or _machine.process.poll() is not None:
        _machine = Driver(dict(os.environ))
    return _machine


@atexit.register
def stop_machine():
    global _machine
    if _machine is not None:
        _machine.close()
        _machine = None


def reg_add(key, name, kind, data):
    """Writes a value ("" for the key's default value), creating the key as needed."""
    result = machine().run("regset", key, name, kind, data)
    if result.returncode != 0:
        raise AssertionError(result.stderr.decode("latin-1"))


def reg_delete(key, name=None):
    """Deletes a value, or the key with everything under it when no name is given."""
    machine().run("regdelete", key, *([] if name is None else [name]))


def key_exists(key):
    return machine().run("regkey", key).returncode == 0


def value_of(key, name):
    """(kind, data) of a value as reg.exe lists it ("REG_DWORD", "0x5"), or None when absent."""
    result = machine().run("regget", key, name)
    return tuple(result.stdout.decode("latin-1").split("\t", 1)) if result.returncode == 0 else None


def default_value(key):
    """The data of a key's default value when it is a string, or None."""
    value = value_of(key, "")
    return value[1] if value and value[0] in ("REG_SZ", "REG_EXPAND_SZ") else None


# Screenshots for people to look at, kept in the build beside the program.
SCREENSHOTS = os.path.join(os.path.dirname(os.path.abspath(EXE)), "screenshots")


def screenshot(name):
    """Saves what the test display shows, trimmed to the windows on it, as SCREENSHOTS/name.png,
    and gives the file's path."""
    with open(os.path.join(os.environ["SONDREL_WINE_STATE"], "display")) as f:
        display = f.read().strip()
    os.makedirs(SCREENSHOTS, exist_ok=True)
    path = os.path.join(SCREENSHOTS, name + ".png")
    run_captured(["import", "-display", display, "-window", "root", "-trim", "+repage", path],
                 check=True)
    return path


def png_size(path):
    """(width, height) of a PNG file, from its header."""
    with open(path, "rb") as f:
        header = f.read(24)
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        raise AssertionError(path + " is not a PNG file")
    return struct.unpack(">II", header[16:24])


def wait_for(read, done, seconds=5, pause=0.2):
    """What `read` gives once `done` accepts it, or when the time is up: the window paints, lays
    out and copies a moment after it is asked to."""
    deadline = time.monotonic() + seconds
    while True:
        value = read()
        if done(value) or time.monotonic() > deadline:
            return value
        time.sleep(pause)


def laid_out(controls):
    """Whether the bottom bar spans the client area and ends at its bottom edge, to the pixel the
    twips round to."""
    client, bar = controls[0], controls[IDS["Picture1"]]
    return bar.width == client.width and abs(bar.top + bar.height - client.height) <= 1


def restart_wineserver():
    """Settings such as the screen's pixels per inch are read when the server starts."""
    env = dict(os.environ)
    env["WINEPREFIX"] = os.path.join(env["SONDREL_WINE_STATE"], "prefix")
    stop_machine()
    subprocess.run(["wineserver", "-k"], env=env, check=False)
    subprocess.run(["wineserver", "-w"], env=env, check=False)
    quiet = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run(["setsid", "wineserver", "-p"], env=env, **quiet)
    # Booting starts the desktop process here, so no later program inherits a test's pipes.
    subprocess.run([WINE_RUN, "wineboot"], **quiet)


class Driver:
    """One UI driver process that runs every command of a test in turn, so that each command
    costs a message rather than a program start under Wine. close() ends it."""

    # A command waits at most its own timeout; this covers a driver that stops answering.
    REPLY_SECONDS = 180

    def __init__(self, env):
        self.process = subprocess.Popen([WINE_RUN, DRIVER, "serve"], env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL)

    def close(self):
        self.process.stdin.close()
        try:
            self.process.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()

    def run(self, *args):
        request = b"".join(str(arg).encode("latin-1") + b"\0" for arg in args)
        self.process.stdin.write(b"%d\n" % len(request) + request)
        self.process.stdin.flush()
        deadline = time.monotonic() + self.REPLY_SECONDS
        header = b""
        while not header.endswith(b"\n"):
            header += self.read(1, deadline)
        code, out_size, err_size = map(int, header.split())
        out = self.read(out_size, deadline)
        return subprocess.CompletedProcess(args, code, out, self.read(err_size, deadline))

    def read(self, size, deadline):
        data = b""
        fd = self.process.stdout.fileno()
        while len(data) < size:
            ready, _, _ = select.select([fd], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(fd, size - len(data)) if ready else b""
            if not chunk:
                raise AssertionError("the UI driver stopped answering")
            data += chunk
        return data


class Control:
    def __init__(self, fields):
        self.id, self.parent = int(fields[0]), int(fields[1])
        self.cls = fields[2]
        self.left, self.top, self.width, self.height = map(int, fields[3:7])
        self.enabled, self.visible = fields[7] == "1", fields[8] == "1"
        self.text = fields[9] if len(fields) > 9 else ""


class Sondrel:
    """One running Sondrel.exe; use as a context manager so the process always ends."""

    def __init__(self, version=None, env=None, exe=None):
        """exe: another copy of Sondrel.exe to run, for a program folder of its own."""
        self.version = version
        self.exe = exe or EXE
        self.env = dict(os.environ, **(env or {}))
        self.process = None
        self.commands = None

    def __enter__(self):
        machine()  # its driver keeps Wine's desktop up from one program to the next
        if self.version:
            reg_add(r"HKCU\Software\Wine\AppDefaults\Sondrel.exe", "Version", "REG_SZ",
                    self.version)
        self.process = subprocess.Popen([WINE_RUN, self.exe], env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.commands = Driver(self.env)
        # After a pause the prefix's desktop process has ended, and starting it again keeps the
        # new window from answering messages for several seconds, longer than the driver's own
        # wait for an answer: ask again until the window answers.
        deadline = time.monotonic() + 60
        while self.driver("--timeout", "60", "list", check=False).returncode != 0:
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.__exit__(None, None, None)
                raise AssertionError("Sondrel.exe shows no window that answers")
            time.sleep(0.5)
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.driver("close", check=False)
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.commands.close()
        if self.version:
            reg_delete(r"HKCU\Software\Wine\AppDefaults\Sondrel.exe")

    def driver(self, *args, check=True):
        result = self.commands.run(*args)
        if check and result.returncode != 0:
            raise AssertionError("uidriver %s failed (%d): %s" % (
                " ".join(args), result.returncode, result.stderr.decode(errors="replace")))
        return result

    def controls(self):
        out = self.driver("list").stdout.decode("latin-1")
        return {c.id: c for c in (Control(line.split("\t")) for line in out.splitlines() if line)}

    def control(self, name):
        return self.controls()[IDS[name]]

    def text(self, name):
        return self.driver("text", str(IDS[name])).stdout.decode("latin-1")

    def pixels(self, name, x, y, width, height):
        """The colours of a rectangle of a control's client area as rows of (r, g, b)."""
        out = self.driver("pixels", str(IDS[name]), str(x), str(y), str(width),
                          str(height)).stdout.decode("ascii")
        return [[(int(p[0:2], 16), int(p[2:4], 16), int(p[4:6], 16)) for p in line.split()]
                for line in out.splitlines()]

    def focused(self):
        """The id of the control with the keyboard focus; -1 when none of the window's has it."""
        return int(self.driver("focus").stdout)

    def press(self, key):
        """Sends a key (tab, shifttab, enter, space or escape) to the control with the focus."""
        self.driver("key", str(self.focused()), key)

    def tab_to(self, name):
        """Presses Tab until the named control has the focus."""
        for _ in range(len(IDS)):
            if self.focused() == IDS[name]:
                return
            self.press("tab")
        raise AssertionError("Tab never brings the focus to " + name)

    def resize(self, width, height):
        """Resizes the client area, then waits until the layout has followed it. A layout that
        does not follow is left for the test to find."""
        self.driver("resize", str(width), str(height))
        wait_for(self.controls, laid_out, pause=0.05)

    def ended(self, timeout=15):
        try:
            self.process.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False
