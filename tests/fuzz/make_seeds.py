#!/usr/bin/env python3
"""Writes the seed inputs of report_fuzzer into corpus/: machines like the ones people have,
and a few that are damaged on purpose. The encoding is the fuzzer's own (see Decode in
report_fuzzer.cpp): a sequence of operations, each an operation byte and its fields."""
import pathlib
import struct
import sys

# Operation bytes.
REGISTRY, ANY_KEY, FILE, ALIAS, HTM_PROGRAM, MODULE, SYSTEM_DIR, WINDOWS_DIR = range(8)
DISPLAY, VERSION, LCID, LANGUAGE_NAME, WORK_AREA, TEMP_PATH, COMPUTER, USER = range(8, 16)
PROFILE, UNCALLABLE, ANSWER, FAULTS, FAILING_WRITE, CLIPBOARD, GUID, SETTING = range(16, 24)
STEP, CALL = 24, 25

# Where the program reads (kLocations).
IE, NETSCAPE, JAVA_WEB_START, SYGATE, NORTON, MCAFEE, PANDA, OUTPOST, KERIO = range(9)
DEF_COMPANY, DEF_NAME = 9, 10

# Registry types as the decoder picks them.
REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7

# Entry points (kEntryPoints), by name.
ENTRY_POINTS = """CloseClipboard CloseHandle CoCreateGuid CreateFileA DeleteFileA EmptyClipboard
FindClose FindExecutableA FindFirstFileA GetComputerNameA GetCurrentHwProfileA GetDC
GetDeviceCaps GetExitCodeProcess GetFileAttributesA GetFileVersionInfoA GetFileVersionInfoSizeA
GetLocaleInfoA GetModuleFileNameA GetSystemDirectoryA GetTempFileNameA GetTempPathA
GetUserDefaultLCID GetUserNameA GetVersionExA GetWindowsDirectoryA GlobalAlloc GlobalFree
GlobalLock GlobalUnlock MessageBoxA OpenClipboard RegCloseKey RegOpenKeyExA RegQueryValueExA
ReleaseDC SetClipboardData SetComputerNameA ShellExecuteA ShellExecuteExA SystemParametersInfoA
VerQueryValueA lstrcpyA""".split()

# Paths the decoder builds from the machine (PathOf).
PATH_TEXT, PATH_HTM, PATH_MSJAVA, PATH_VSMON, PATH_PROBE, PATH_MODULE = range(6)

# Steps and calls.
COPY, CLOSE, DOWNLOAD_MICROSOFT, DOWNLOAD_SUN, RESIZE, CLOSE_BOX, ANY_CONTROL = range(7)
LONG_NAME, FILE_VERSION, REGISTRY_READ, TEMP_FILE, SET_COMPUTER_NAME, SHELL = range(6)

NORMAL, READ_ONLY, HIDDEN, SYSTEM, DIRECTORY = range(5)
ID_OK, ID_YES, ID_NO = 0, 1, 2


def u16(n):
    return struct.pack("<H", n)


def u32(n):
    return struct.pack("<I", n & 0xFFFFFFFF)


def text(value):
    """Literal pieces of at most 255 bytes each."""
    data = value.encode("latin-1") if isinstance(value, str) else bytes(value)
    chunks = [data[i:i + 255] for i in range(0, len(data), 255)] or [b""]
    assert len(chunks) <= 16
    out = bytes([len(chunks)])
    for chunk in chunks:
        out += bytes([1, len(chunk)]) + chunk
    return out


def number(n):
    return bytes([2]) + u32(n)


def literal_blob(data):
    return bytes([0]) + u16(len(data)) + bytes(data)


def repeated_blob(total, pattern):
    return bytes([1]) + u32(total) + bytes([len(pattern) - 1]) + bytes(pattern)


def version_blob(ms, ls, pokes=(), resize=None):
    out = bytes([2]) + u32(ms) + u32(ls) + bytes([len(pokes)])
    for offset, value in pokes:
        out += u16(offset) + bytes([value])
    if resize is None:
        return out + bytes([0])
    return out + bytes([1]) + u16(resize[0]) + bytes([resize[1]])


def string_blob(value, nul=True):
    return bytes([3]) + text(value) + bytes([1 if nul else 0])


def registry(location, type_, blob, read_fails=False):
    return bytes([REGISTRY, location, type_, int(read_fails)]) + blob


def sz(location, value):
    return registry(location, REG_SZ, string_blob(value))


def dword(location, value):
    return registry(location, REG_DWORD, literal_blob(u32(value)))


def file(path, attributes=NORMAL, short="", version=None):
    out = bytes([FILE]) + (bytes([PATH_TEXT]) + text(path) if isinstance(path, str) else
                           bytes([path]))
    out += bytes([attributes]) + text(short)
    return out + (bytes([0]) if version is None else bytes([1]) + version)


def alias(path, short, up=0):
    return bytes([ALIAS, PATH_TEXT]) + text(path) + bytes([up]) + text(short)


def module(path):
    return bytes([MODULE]) + text(path)


def version(major, minor, build, platform, csd, fails=False):
    return (bytes([VERSION, int(fails)]) + number(major) + number(minor) + number(build) +
            number(platform) + text(csd))


def uncallable(*names):
    return b"".join(bytes([UNCALLABLE, ENTRY_POINTS.index(n)]) for n in names)


def step(action, *fields):
    return bytes([STEP, action]) + b"".join(fields)


def call(kind, path):
    return bytes([CALL, kind, PATH_TEXT]) + text(path)


PROGRAM = [module("C:\\Program Files\\Sondrel\\Sondrel.exe"),
           file("C:\\Program Files\\Sondrel\\Sondrel.exe"),
           bytes([FILE, PATH_TEXT]) + text("C:\\WINDOWS\\System32") + bytes([DIRECTORY]) +
           text("") + bytes([0])]
BROWSER = [file("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
                version=version_blob(0x60000, 0xB540884)),
           alias("C:\\Program Files", "PROGRA~1"),
           alias("C:\\Program Files\\Internet Explorer", "INTERN~1"),
           bytes([HTM_PROGRAM, 1]) + text("C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE")]
JAVA = [file(PATH_MSJAVA, version=version_blob(0x50000, 0x13BA0000)),
        dword(JAVA_WEB_START, 5)]
FIREWALLS = [file(PATH_VSMON, version=version_blob(0x50005, 0x00FA0000)),
             sz(SYGATE, "C:\\Sygate\\smc.exe -s"), sz(NORTON, "iamapp.exe"),
             sz(MCAFEE, "mpftray.exe"), sz(PANDA, "pavfires.exe"),
             sz(OUTPOST, "outpost.exe /waitservice"),
             registry(KERIO, REG_BINARY, literal_blob(b"\x4b\x0f"))]

SEEDS = {
    "empty-machine": [],
    "office-xp": PROGRAM + BROWSER + JAVA + [
        sz(IE, "6.0.2900.2180"), sz(NETSCAPE, "7.2 (it)"),
        bytes([ANY_KEY, 1]) + text(
            "Software\\Microsoft\\MS Setup (ACME)\\User Info") + bytes([0]) + text(
            "DefName") + bytes([REG_SZ, 0]) + string_blob("Giulia")],
    "everything-present": PROGRAM + BROWSER + JAVA + FIREWALLS + [
        sz(IE, "6.0.2900.2180"), sz(NETSCAPE, "7.2 (it)"), sz(DEF_COMPANY, "Ufficio")],
    "nothing-present": PROGRAM + [sz(IE, ""), registry(MCAFEE, REG_EXPAND_SZ, string_blob("%"))],
    "windows-2000-sp4-declined": PROGRAM + BROWSER + [
        version(5, 0, 2195, 2, "Service Pack 4"), bytes([ANSWER, ID_NO]),
        step(DOWNLOAD_MICROSOFT), bytes([ANSWER, ID_YES]), step(DOWNLOAD_MICROSOFT)],
    "windows-98-second-edition": PROGRAM + [version(4, 10, 0x040A08AE, 1, " A "),
                                            step(DOWNLOAD_SUN)],
    "windows-me": PROGRAM + [version(4, 90, 3000, 1, " ")],
    "windows-95-no-profile": PROGRAM + [version(4, 0, 950, 1, ""),
                                        uncallable("GetCurrentHwProfileA")],
    "win32s-failing-version": PROGRAM + [version(3, 10, 0, 0, "", fails=True)],
    "missing-entry-points": PROGRAM + BROWSER + JAVA + [
        uncallable("GetFileAttributesA", "RegOpenKeyExA", "ReleaseDC", "RegCloseKey",
                   "FindClose", "GlobalFree")],
    "colours-overflow": PROGRAM + [bytes([DISPLAY]) + number(31) + number(1) + number(120),
                                   bytes([WORK_AREA, 0]) + number(0) + number(0) +
                                   number(40000) + number(738)],
    "true-colour-large-fonts": PROGRAM + [bytes([DISPLAY]) + number(8) + number(4) +
                                          number(120)],
    "large-registry-values": PROGRAM + [
        registry(KERIO, REG_BINARY, repeated_blob(65536, b"\x00\xff")),
        registry(IE, REG_SZ, repeated_blob(65536, b"6.0 ")),
        registry(NETSCAPE, REG_DWORD, literal_blob(b"\x01\x02\x03\x04\x05")),
        registry(JAVA_WEB_START, REG_DWORD, literal_blob(b"")),
        registry(PANDA, REG_SZ, string_blob("pavfires.exe"), read_fails=True),
        registry(OUTPOST, 8, literal_blob(b"12345678"))],  # 8 picks REG_QWORD
    "damaged-version-resources": PROGRAM + BROWSER + [
        file(PATH_MSJAVA, version=version_blob(0x50000, 0, pokes=[(40, 0)])),
        file(PATH_VSMON, version=version_blob(0x50005, 0, pokes=[(0, 0xFF), (1, 0xFF)])),
        file("C:\\WINDOWS\\System32\\short.dll", version=version_blob(1, 2, resize=(60, 0))),
        file("C:\\WINDOWS\\System32\\text.dll", version=version_blob(1, 2, pokes=[(4, 1)])),
        call(FILE_VERSION, "C:\\WINDOWS\\System32\\short.dll"),
        call(FILE_VERSION, "C:\\WINDOWS\\System32\\text.dll")],
    "program-folder-too-long": BROWSER + [module("C:\\" + "d" * 400 + "\\Sondrel.exe")],
    "program-path-past-every-buffer": BROWSER + [
        bytes([MODULE, 3, 1, 3]) + b"C:\\" + bytes([2, ord("x")]) + u16(40000) +
        bytes([1, 12]) + b"\\Sondrel.exe"],
    "program-at-drive-root": BROWSER + [module("C:\\Sondrel.exe"), file("C:\\Sondrel.exe")],
    "program-on-a-share": BROWSER + [
        module("\\\\server\\share\\Sondrel.exe"),
        bytes([FILE, PATH_TEXT]) + text("\\\\server\\share") + bytes([DIRECTORY]) + text("") +
        bytes([0])],
    # A server name alone is no share: no probe file can be made there.
    "program-on-a-bare-server-name": BROWSER + [
        module("\\\\server\\Sondrel.exe"),
        bytes([FILE, PATH_TEXT]) + text("\\\\server") + bytes([DIRECTORY]) + text("") +
        bytes([0])],
    # A run of separators names the folder one separator names.
    "program-path-with-a-run-of-separators": BROWSER + [module("C:\\\\\\Sondrel.exe")],
    "read-only-program-folder": BROWSER + [
        module("C:\\Program Files\\Sondrel\\Sondrel.exe"),
        bytes([FILE, PATH_TEXT]) + text("C:\\Program Files\\Sondrel") + bytes([5]) +
        u32(0x11) + text("") + bytes([0])],
    "probe-file-already-there": PROGRAM + BROWSER + [
        file(PATH_PROBE, READ_ONLY, "KELVOR~1.HTM", literal_blob(b"<p>"))],
    "browser-is-a-folder": PROGRAM + [
        bytes([FILE, PATH_TEXT]) + text("C:\\Browser") + bytes([DIRECTORY]) + text("") +
        bytes([0]), bytes([HTM_PROGRAM, 1]) + text("C:\\Browser")],
    "hidden-and-system-files": PROGRAM + [file(PATH_MSJAVA, HIDDEN),
                                          file(PATH_VSMON, SYSTEM)],
    "clipboard-held-elsewhere": PROGRAM + [bytes([CLIPBOARD]) + literal_blob(b"before\0"),
                                           bytes([FAULTS, 8]), step(COPY)],
    "clipboard-faults": PROGRAM + [bytes([FAULTS, 1 | 4 | 16]), step(COPY),
                                   uncallable("CloseClipboard"), step(COPY)],
    "failing-writes": PROGRAM + BROWSER + JAVA + [bytes([FAILING_WRITE, n]) for n in
                                                  (0, 5, 14, 20, 33)],
    "resizes-and-clicks": PROGRAM + [
        step(RESIZE) + number(100) + number(100), step(RESIZE) + number(0xFFFFFFFF) +
        number(0x7FFFFFFF), step(ANY_CONTROL, bytes([2])), step(COPY), step(CLOSE_BOX)],
    "long-names-and-aliases": PROGRAM + BROWSER + [
        call(LONG_NAME, "c:\\progra~1\\intern~1\\iexplore.exe"),
        call(LONG_NAME, "PROGRA~1\\INTERN~1"), call(LONG_NAME, "C:\\"),
        call(LONG_NAME, "\\\\server\\share\\x"), call(LONG_NAME, "C:\\Program Files\\")],
    "names-and-settings": PROGRAM + [
        bytes([TEMP_PATH, 1]) + text("C:\\" + "t" * 300 + "\\"),
        bytes([COMPUTER, 1]) + text("X" * 99), bytes([USER, 1]) + text("Giulia\0Rossi"),
        bytes([PROFILE, 1]) + text("P" * 120), bytes([LCID]) + number(0x0407),
        bytes([LANGUAGE_NAME]) + number(0x0407) + text("German"),
        bytes([GUID]) + bytes(range(16)), bytes([SETTING, 0, 0]),
        bytes([SETTING, 2, 1]) + number(0x80000000),
        bytes([CALL, TEMP_FILE, PATH_TEXT]) + text("sondrel"),
        bytes([CALL, SET_COMPUTER_NAME, PATH_TEXT]) + text("NUOVO")],
    "shell-launches": PROGRAM + [
        bytes([FAULTS, 64]) + number(2), bytes([CALL, SHELL, PATH_TEXT]) + text("wait.exe"),
        bytes([FAULTS, 32 | 64]) + number(42), bytes([CALL, SHELL, PATH_TEXT]) + text("a.txt"),
        uncallable("CloseHandle"), bytes([CALL, SHELL, PATH_TEXT]) + text("b.txt")],
    "registry-anywhere": PROGRAM + [
        bytes([ANY_KEY, 0]) + text("Software\\Sondrel") + bytes([1]),
        bytes([CALL, REGISTRY_READ, 0, 0]) + text("Software\\Sondrel") + text(""),
        bytes([CALL, REGISTRY_READ, 3]) + u32(0x1000) + bytes([1, IE])],
}


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                          pathlib.Path(__file__).with_name("corpus"))
    folder.mkdir(exist_ok=True)
    for name, operations in SEEDS.items():
        (folder / name).write_bytes(b"".join(operations))


if __name__ == "__main__":
    main()
