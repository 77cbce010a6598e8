#!/usr/bin/env python3
"""Writes the seed inputs of report_fuzzer into corpus/: machines like the ones people have,
and a few that are damaged on purpose. The encoding is the fuzzer's own (see Decode in
report_fuzzer.cpp): a sequence of operations, each an operation byte and its fields. Rows
(systems, displays, programs, browsers...) are indexes into the fuzzer's tables of known
machines."""
import pathlib
import struct
import sys

# Operation bytes.
(VALUE, ANY_KEY, VERSION, FAMILY, DISPLAY, FOLDER, RUNTIME, ASSOCIATION, PROGRAM, FILE, ALIAS,
 LANGUAGE, NAME, UNCALLABLE, ANSWER, FAULTS, FAILING_WRITE, CLIPBOARD, GUID, SETTING, WORK_AREA,
 STEP, CALL) = range(23)

# Where the program reads (kLocations).
IE, NETSCAPE, JAVA_WEB_START, SYGATE, NORTON, MCAFEE, PANDA, OUTPOST, KERIO = range(9)
DEF_COMPANY, DEF_NAME = 9, 10

# Known values (KnownValue's kinds).
(SZ, SZ_WITHOUT_NUL, SZ_WITH_REST, SZ_UNREADABLE, EXPAND_SZ, MULTI_SZ, DWORD, DWORD_TOO_LONG,
 DWORD_UNREADABLE, BINARY_4B0F, BINARY_00, BINARY_FF1001A0, BINARY_EMPTY, QWORD, NONE,
 NO_VALUE) = range(16)

# Rows of the tables of known machines.
XP_SP3, W95, W95_OSR2, W98, W98_SE, W98_LOWER_A, ME, NT4_SP6, NT351 = range(9)
W2000_SP4, XP, W2003, VISTA, W10, WIN32S, PLATFORM_3, FAILING_QUERY = range(9, 17)
NT, NT4, NINE_X = range(3)
(TRUE_COLOUR_24, COLOURS_256, COLOURS_16_LARGE, PLANAR_16, COLOURS_32768, COLOURS_65536_LARGE,
 COLOURS_30_BITS, TRUE_COLOUR_32, TRUE_COLOUR_PLANAR_LARGE, OVERFLOW_31, OVERFLOW_64) = range(11)
ITALIAN, ENGLISH, GERMAN, PORTUGUESE, NO_LANGUAGE_NAME = range(5)
(IN_PROGRAM_FILES, AT_DRIVE_ROOT, ON_A_SHARE, ON_A_BARE_SERVER, READ_ONLY_ATTRIBUTE, UNWRITABLE,
 UNWRITABLE_WITH_PROBE, FOLDER_TOO_LONG, RUN_OF_SEPARATORS) = range(9)
IEXPLORE, FIREFOX, OPERA = range(3)
LONG_FORM, SHORT_FORM, OTHER_CASE = range(3)
SYSTEM32, SYSTEM, WINNT_SYSTEM32, SISTEMA = range(4)
WINDOWS, WINNT, WINDOWS_MIXED_CASE, D_W = range(4)
WORK_AREA_1024, WORK_AREA_LEFT_BAR, WORK_AREA_40000, WORK_AREA_AT_40000 = range(4)
WORK_AREA_TALL, WORK_AREA_FAILING = 4, 5
SHELL_42, SHELL_33, SHELL_32, SHELL_31, SHELL_2, SHELL_0 = range(6)
GUID_COUNTING, GUID_TYPICAL = range(2)
TEMP_WINDOWS, TEMP_ROOT, TEMP_PROFILE = range(3)

# Files: the kinds of PlantFile, the version resources of KnownVersion.
PLAIN, READ_ONLY, HIDDEN, SYSTEM_FILE, FOLDER_ENTRY, NO_FILE = range(6)
(NO_RESOURCE, SOUND, SIXTEEN_BIT, NO_SIGNATURE, CUT_BEFORE_FIXED_INFO, NO_VALUE_LENGTH,
 EMPTY_RESOURCE) = range(7)
MSJAVA, VSMON = range(2)
NO_ASSOCIATION, BROWSER, DAMAGED_ASSOCIATION = range(3)
COMPUTER, USER, TEMP, PROFILE = range(4)

# Entry points (kEntryPoints), in the fuzzer's order: its groups one after the other.
ENTRY_POINTS = """CloseClipboard DeleteFileA EmptyClipboard GetTempFileNameA GlobalAlloc GlobalFree
GlobalLock GlobalUnlock MessageBoxA OpenClipboard SetClipboardData SetComputerNameA lstrcpyA
GetVersionExA GetLocaleInfoA GetUserDefaultLCID GetSystemDirectoryA GetWindowsDirectoryA GetDC
GetDeviceCaps ReleaseDC CloseHandle CreateFileA FindExecutableA GetModuleFileNameA FindClose
FindFirstFileA GetFileAttributesA GetFileVersionInfoA GetFileVersionInfoSizeA VerQueryValueA
RegCloseKey RegOpenKeyExA RegQueryValueExA CoCreateGuid GetComputerNameA GetCurrentHwProfileA
GetTempPathA GetUserNameA SystemParametersInfoA GetExitCodeProcess ShellExecuteA
ShellExecuteExA""".split()

# Paths the decoder builds from the machine (PathOf).
PATH_TEXT, PATH_HTM, PATH_MSJAVA, PATH_VSMON, PATH_PROBE, PATH_MODULE = range(6)

# Steps and calls.
COPY, CLOSE, DOWNLOAD_MICROSOFT, DOWNLOAD_SUN, RESIZE, CLOSE_BOX, ANY_CONTROL = range(7)
LONG_NAME, FILE_VERSION, REGISTRY_READ, TEMP_FILE, SET_COMPUTER_NAME, SHELL = range(6)

ID_OK, ID_YES, ID_NO = 0, 1, 2
KNOWN, DAMAGED = 1, 0


def u16(n):
    return struct.pack("<H", n)


def u32(n):
    return struct.pack("<I", n & 0xFFFFFFFF)


def plain(value, longest):
    """Text whose value is known: a length and printable characters."""
    assert len(value) <= longest and all(" " <= c <= "~" for c in value)
    return bytes([len(value)]) + bytes(ord(c) - 32 for c in value)


def text(value):
    """Damaged text, as literal pieces of at most 255 bytes each."""
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


def value(location, kind, t="", n=0, rest=""):
    return bytes([VALUE, location, KNOWN]) + plain(t, 200) + plain(rest, 20) + u32(n) + bytes(
        [kind])


def sz(location, t):
    return value(location, SZ, t)


def dword(location, n):
    return value(location, DWORD, n=n)


def damaged_value(location, type_, blob, read_fails=False):
    return bytes([VALUE, location, DAMAGED, type_, int(read_fails)]) + blob


def version(kind=NO_RESOURCE, ms=0, ls=0):
    return bytes([kind]) + (u32(ms) + u32(ls) if kind != NO_RESOURCE else b"")


def planted(kind=PLAIN, resource=None):
    """A file of a known kind; a folder or no file has no version resource."""
    if kind in (FOLDER_ENTRY, NO_FILE):
        return bytes([kind])
    return bytes([kind]) + (resource or version())


def runtime(which, kind=PLAIN, resource=None):
    return bytes([RUNTIME, which]) + planted(kind, resource)


def browser(row, form=SHORT_FORM, kind=PLAIN, resource=None):
    return bytes([ASSOCIATION, BROWSER, row]) + planted(kind, resource) + bytes([form])


def system(row):
    return bytes([VERSION, KNOWN, row])


def damaged_version(major, minor, build, platform, csd, fails=False):
    return (bytes([VERSION, DAMAGED, int(fails)]) + number(major) + number(minor) +
            number(build) + number(platform) + text(csd))


def family(f):
    return bytes([FAMILY, f])


def display(row):
    return bytes([DISPLAY, KNOWN, row])


def program(row):
    return bytes([PROGRAM, KNOWN, row])


def module(path):
    return bytes([PROGRAM, DAMAGED]) + text(path)


def damaged_file(path, attributes=PLAIN, short="", resource=None):
    out = bytes([FILE]) + (bytes([PATH_TEXT]) + text(path) if isinstance(path, str) else
                           bytes([path]))
    out += bytes([attributes]) + text(short)
    return out + (bytes([0]) if resource is None else bytes([1]) + resource)


def alias(path, short, up=0):
    return bytes([ALIAS, PATH_TEXT]) + text(path) + bytes([up]) + text(short)


def uncallable(*names):
    return b"".join(bytes([UNCALLABLE, ENTRY_POINTS.index(n)]) for n in names)


def step(action, *fields):
    return bytes([STEP, action]) + b"".join(fields)


def call(kind, path):
    return bytes([CALL, kind, PATH_TEXT]) + text(path)


IE6 = version(SOUND, 0x60000, 0xB540884)
BROWSERS = [browser(IEXPLORE, SHORT_FORM, PLAIN, IE6), sz(IE, "6.0.2900.2180"),
            sz(NETSCAPE, "7.2 (it)")]
JAVA = [runtime(MSJAVA, PLAIN, version(SOUND, 0x50000, 0x13BA0000)), dword(JAVA_WEB_START, 5)]
FIREWALLS = [runtime(VSMON, PLAIN, version(SOUND, 0x50005, 0x00FA0000)),
             sz(SYGATE, "C:\\Sygate\\smc.exe -s"), sz(NORTON, "iamapp.exe"),
             sz(MCAFEE, "mpftray.exe"), sz(PANDA, "pavfires.exe"),
             sz(OUTPOST, "outpost.exe /waitservice"), value(KERIO, BINARY_4B0F)]

SEEDS = {
    "empty-machine": [],
    "office-xp": BROWSERS + JAVA + [sz(DEF_NAME, "Giulia"), sz(DEF_COMPANY, "Ufficio")],
    "everything-present": BROWSERS + JAVA + FIREWALLS,
    "nothing-present": [sz(IE, ""), value(MCAFEE, EXPAND_SZ, "%SystemRoot%\\mpf.exe"),
                        bytes([ASSOCIATION, NO_ASSOCIATION])],
    "windows-2000-sp4-declined": BROWSERS + [
        system(W2000_SP4), bytes([ANSWER, ID_NO]), step(DOWNLOAD_MICROSOFT),
        bytes([ANSWER, ID_YES]), step(DOWNLOAD_MICROSOFT)],
    # Windows 98 leaves FindExecutableA's answer without its NUL; the path is still whole.
    "windows-98-second-edition": [system(W98_SE), browser(IEXPLORE, SHORT_FORM, PLAIN, IE6),
                                  bytes([FOLDER, 1, KNOWN, SYSTEM]),
                                  runtime(MSJAVA, PLAIN, version(SOUND, 0x50000, 0x0C1E0000)),
                                  step(DOWNLOAD_SUN)],
    "windows-98-plain-and-lower-a": [system(W98), system(W98_LOWER_A), value(IE, SZ_WITHOUT_NUL,
                                                                              "5.00.2614.3500")],
    "windows-me": [system(ME), browser(FIREFOX, OTHER_CASE, READ_ONLY,
                                       version(SOUND, 0x10000, 0x70000))],
    "windows-95-no-profile": [system(W95), uncallable("GetCurrentHwProfileA"),
                              bytes([FOLDER, 1, KNOWN, SYSTEM])],
    # NT 4.0 puts a 0x08 after FindExecutableA's answer; msjava.dll here is a 16-bit module's.
    "windows-nt4-sp6": [system(NT4_SP6), bytes([FOLDER, 1, KNOWN, WINNT_SYSTEM32]),
                        bytes([FOLDER, 0, KNOWN, WINNT]), browser(OPERA, LONG_FORM, PLAIN,
                                                                  version(SOUND, 0x70000, 0x2)),
                        runtime(MSJAVA, PLAIN, version(SIXTEEN_BIT, 0x50000, 0x0C1E0000))],
    "every-family-for-one-machine": BROWSERS + JAVA + [family(NINE_X), family(NT4)],
    "other-systems": [system(NT351), system(W2003), system(VISTA), system(W10), system(WIN32S),
                      system(PLATFORM_3), system(W95_OSR2), system(XP)],
    "win32s-failing-version": [system(FAILING_QUERY)],
    "damaged-version-record": [damaged_version(4, 10, 0x040A08AE, 1, " A \0B"), family(NINE_X)],
    "missing-entry-points": BROWSERS + JAVA + [
        uncallable("GetFileAttributesA", "RegOpenKeyExA", "ReleaseDC", "RegCloseKey",
                   "FindClose", "GlobalFree")],
    "colours-overflow": [display(OVERFLOW_31), bytes([WORK_AREA, KNOWN, WORK_AREA_40000])],
    "true-colour-large-fonts": [display(TRUE_COLOUR_PLANAR_LARGE),
                                bytes([WORK_AREA, KNOWN, WORK_AREA_TALL])],
    "other-displays": [display(COLOURS_256), display(PLANAR_16), display(OVERFLOW_64),
                       display(COLOURS_65536_LARGE), bytes([WORK_AREA, KNOWN, WORK_AREA_FAILING])],
    "damaged-display": [bytes([DISPLAY, DAMAGED]) + number(0x10000) + number(0x10000) +
                        number(0xFFFFFFFF), bytes([WORK_AREA, DAMAGED]) + number(0x80000000) +
                        number(0) + number(0x7FFFFFFF) + number(5)],
    "registry-kinds": [
        value(SYGATE, SZ_WITH_REST, "smc.exe", rest="junk"),
        value(NORTON, SZ_UNREADABLE, "iamapp.exe"), value(MCAFEE, MULTI_SZ, "a"),
        value(PANDA, DWORD, n=0xFFFFFFFF), value(OUTPOST, DWORD_TOO_LONG),
        value(KERIO, BINARY_FF1001A0), value(IE, BINARY_00), value(NETSCAPE, QWORD),
        value(JAVA_WEB_START, DWORD_UNREADABLE), value(DEF_NAME, NONE, "x"),
        value(DEF_COMPANY, BINARY_EMPTY)],
    "values-removed": FIREWALLS + [value(SYGATE, NO_VALUE), value(KERIO, NO_VALUE)],
    "large-registry-values": [
        damaged_value(KERIO, 3, repeated_blob(65536, b"\x00\xff")),
        damaged_value(IE, 1, repeated_blob(65536, b"6.0 ")),
        damaged_value(NETSCAPE, 4, literal_blob(b"\x01\x02\x03\x04\x05")),
        damaged_value(JAVA_WEB_START, 4, literal_blob(b"")),
        damaged_value(PANDA, 1, string_blob("pavfires.exe"), read_fails=True),
        damaged_value(OUTPOST, 8, literal_blob(b"12345678"))],  # 8 picks REG_QWORD
    "damaged-version-resources": [
        browser(IEXPLORE, LONG_FORM, PLAIN, version(NO_VALUE_LENGTH, 6, 0)),
        runtime(MSJAVA, PLAIN, version(NO_SIGNATURE, 0x50000, 0)),
        runtime(VSMON, PLAIN, version(CUT_BEFORE_FIXED_INFO, 0x50005, 0)),
        bytes([FOLDER, 1, KNOWN, SISTEMA]), runtime(MSJAVA, PLAIN, version(EMPTY_RESOURCE, 1, 2)),
        runtime(VSMON, PLAIN, version(NO_RESOURCE))],
    "damaged-version-blobs": [
        damaged_file(PATH_MSJAVA, resource=version_blob(0x50000, 0, pokes=[(40, 0)])),
        damaged_file(PATH_VSMON, resource=version_blob(0x50005, 0, pokes=[(0, 0xFF), (1, 0xFF)])),
        damaged_file("C:\\WINDOWS\\System32\\short.dll", resource=version_blob(1, 2,
                                                                               resize=(60, 0))),
        damaged_file("C:\\WINDOWS\\System32\\text.dll", resource=version_blob(1, 2,
                                                                              pokes=[(4, 1)])),
        call(FILE_VERSION, "C:\\WINDOWS\\System32\\short.dll"),
        call(FILE_VERSION, "C:\\WINDOWS\\System32\\text.dll"), family(NINE_X)],
    "program-folder-too-long": BROWSERS + [program(FOLDER_TOO_LONG)],
    "program-path-past-every-buffer": BROWSERS + [
        bytes([PROGRAM, DAMAGED, 3, 1, 3]) + b"C:\\" + bytes([2, ord("x")]) + u16(40000) +
        bytes([1, 12]) + b"\\Sondrel.exe"],
    "program-at-drive-root": BROWSERS + [program(AT_DRIVE_ROOT)],
    "program-on-a-share": BROWSERS + [program(ON_A_SHARE)],
    # A server name alone is no share: no probe file can be made there.
    "program-on-a-bare-server-name": BROWSERS + [program(ON_A_BARE_SERVER)],
    # A run of separators names the folder one separator names.
    "program-path-with-a-run-of-separators": BROWSERS + [program(RUN_OF_SEPARATORS)],
    # A program path of three separators and then drive names, a server's name alone: a probe
    # file made there must be deleted again.
    "probe-left-behind-server-only-folder": [bytes([PROGRAM, DAMAGED, 0x53, 0x53, 0x12, 0x12])],
    "read-only-program-folder": BROWSERS + [program(READ_ONLY_ATTRIBUTE)],
    "unwritable-program-folder": BROWSERS + [program(UNWRITABLE)],
    "probe-file-already-there": BROWSERS + [program(UNWRITABLE_WITH_PROBE)],
    "browser-is-a-folder": [browser(FIREFOX, LONG_FORM, FOLDER_ENTRY)],
    "browser-missing": [browser(OPERA, SHORT_FORM, NO_FILE)],
    "hidden-and-system-files": [runtime(MSJAVA, HIDDEN, version(SOUND, 5, 0)),
                                runtime(VSMON, SYSTEM_FILE), browser(IEXPLORE, LONG_FORM, HIDDEN)],
    "damaged-association": [bytes([ASSOCIATION, DAMAGED_ASSOCIATION, 1]) +
                            text("C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE  \0x")],
    "clipboard-held-elsewhere": [bytes([CLIPBOARD]) + literal_blob(b"before\0"),
                                 bytes([FAULTS, 8]), step(COPY)],
    "clipboard-faults": [bytes([FAULTS, 1 | 4 | 16]), step(COPY), uncallable("CloseClipboard"),
                         step(COPY)],
    "failing-writes": BROWSERS + JAVA + [bytes([FAILING_WRITE, n]) for n in (0, 5, 14, 20, 33)],
    "resizes-and-clicks": [
        step(RESIZE) + number(100) + number(100), step(RESIZE) + number(0xFFFFFFFF) +
        number(0x7FFFFFFF), step(ANY_CONTROL, bytes([2])), step(COPY), step(CLOSE_BOX)],
    "long-names-and-aliases": BROWSERS + [
        alias("C:\\Program Files\\Internet Explorer", "IE~1"),
        call(LONG_NAME, "c:\\progra~1\\intern~1\\iexplore.exe"),
        call(LONG_NAME, "PROGRA~1\\INTERN~1"), call(LONG_NAME, "C:\\"),
        call(LONG_NAME, "\\\\server\\share\\x"), call(LONG_NAME, "C:\\Program Files\\")],
    "names-and-settings": [
        bytes([NAME, TEMP, KNOWN, TEMP_PROFILE]), bytes([NAME, COMPUTER, KNOWN]) +
        plain("PC-GIULIA", 15), bytes([NAME, USER, DAMAGED, 1]) + text("Giulia\0Rossi"),
        bytes([NAME, PROFILE, DAMAGED, 1]) + text("P" * 120),
        bytes([LANGUAGE, KNOWN, GERMAN]), bytes([GUID, KNOWN, GUID_TYPICAL]),
        bytes([SETTING, 0, 0]), bytes([SETTING, 2, 1]) + number(0x80000000),
        call(TEMP_FILE, "sondrel"), call(SET_COMPUTER_NAME, "NUOVO")],
    "languages": [bytes([LANGUAGE, KNOWN, NO_LANGUAGE_NAME]), bytes([LANGUAGE, KNOWN, ENGLISH]),
                  bytes([LANGUAGE, KNOWN, PORTUGUESE]),
                  bytes([LANGUAGE, DAMAGED]) + number(0x0410) + bytes([1]) + text("X" * 120) +
                  bytes([1])],
    "folders": [bytes([FOLDER, 1, KNOWN, SISTEMA]), bytes([FOLDER, 0, KNOWN, D_W]),
                runtime(VSMON, PLAIN, version(SOUND, 1, 1)),
                bytes([FOLDER, 1, DAMAGED, 0, 1]) + text("C:\\" + "s" * 300)],
    "shell-launches": [
        bytes([FAULTS, 64, SHELL_2]), call(SHELL, "wait.exe"),
        bytes([FAULTS, 32 | 64, SHELL_33]), call(SHELL, "a.txt"), uncallable("CloseHandle"),
        call(SHELL, "b.txt")],
    "registry-anywhere": [
        bytes([ANY_KEY, 0]) + text("Software\\Sondrel") + bytes([1]),
        bytes([ANY_KEY, 0]) + text("Software\\Microsoft\\Internet Explorer") + bytes([0]) +
        text("version") + bytes([1, 0]) + string_blob("5.5"),
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
