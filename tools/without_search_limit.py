"""Writes a copy of Sondrel.exe whose run-time look-up of SetDefaultDllDirectories fails, as it
does on Windows XP and on Vista and 7 without the update that adds it, so that under Wine the
copy takes the way the program starts where the call is missing.
    without_search_limit.py PROGRAM.exe COPY.exe"""
import sys

NAME = b"SetDefaultDllDirectories\0"
# Of the same length, and exported by no DLL.
MISSING = b"SetDefaultDllDirectorieZ\0"


def copy_without_search_limit(program, copy):
    with open(program, "rb") as f:
        data = f.read()
    if data.count(NAME) != 1:
        raise ValueError("%s names SetDefaultDllDirectories %d times, not once"
                         % (program, data.count(NAME)))
    with open(copy, "wb") as f:
        f.write(data.replace(NAME, MISSING))


if __name__ == "__main__":
    copy_without_search_limit(sys.argv[1], sys.argv[2])
