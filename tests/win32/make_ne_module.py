"""Writes a 16-bit Windows (NE) library whose only content is a version resource, in the 16-bit
layout that the version library hands back for such modules. No compiler here makes NE files.

    make_ne_module.py OUTPUT MAJOR.MINOR.BUILD.REVISION

The product version is 9.8.7.6, so a reader of the wrong field cannot pass."""
import struct
import sys

SHIFT = 4  # resource offsets and lengths count 16-byte units
NE_AT = 0x40  # the NE header right after the MZ header: the module has no DOS stub
RT_VERSION, VS_VERSION_INFO = 0x8010, 0x8001  # ids with the high bit set are numbers
PRODUCT_VERSION = (9, 8, 7, 6)


def align(data, boundary):
    return data + b"\0" * (-len(data) % boundary)


def version_block(file_version):
    """wLength, wValueLength, the single-byte key, padding to 4 bytes from the block's start,
    VS_FIXEDFILEINFO; no wType, and no children."""
    def halves(a, b, c, d):
        return [a << 16 | b, c << 16 | d]

    fixed = struct.pack("<13I", 0xFEEF04BD, 0x10000, *halves(*file_version),
                        *halves(*PRODUCT_VERSION), 0x3F, 0,
                        0x10001,  # VOS_DOS_WINDOWS16
                        2, 0, 0, 0)  # VFT_DLL, no subtype, no date
    key = b"VS_VERSION_INFO\0"
    padding = b"\0" * (-(4 + len(key)) % 4)
    return struct.pack("<HH", 4 + len(key) + len(padding) + len(fixed), len(fixed)) + key + \
        padding + fixed


def names(name):
    """A names table holding the module's own name (ordinal 0), ended by an empty name."""
    return bytes([len(name)]) + name + struct.pack("<H", 0) + b"\0"


def module(file_version):
    unit = 1 << SHIFT
    block = version_block(file_version)
    # The tables after the NE header, in the format's order: segments (none), resources,
    # resident names, module references (none), imported names, entries, non-resident names.
    # The version library finds the resource table through ne_rsrctab and takes its size from
    # ne_restab - ne_rsrctab.
    resident, imports, entries = names(b"NEVERSION"), b"\0", b"\0"  # an empty bundle ends entries
    nonresident = names(b"Sondrel NE test")
    resources_at = 0x40  # offsets from the NE header, but for ne_nrestab
    resident_at = resources_at + 2 + 8 + 12 + 2
    imports_at = resident_at + len(resident)
    entries_at = imports_at + len(imports)
    nonresident_at = NE_AT + entries_at + len(entries)
    data_at = nonresident_at + len(nonresident)
    data_at += -data_at % unit

    resource_table = (struct.pack("<H", SHIFT) +
                      struct.pack("<HHI", RT_VERSION, 1, 0) +  # type, count, loader
                      struct.pack("<HHHHHH", data_at // unit, -(-len(block) // unit),
                                  0x0030,  # moveable, pure
                                  VS_VERSION_INFO, 0, 0) +
                      struct.pack("<H", 0))  # no more types
    assert resources_at + len(resource_table) == resident_at

    mz = bytearray(0x40)
    struct.pack_into("<2sHHHH", mz, 0, b"MZ", 0x40, 1, 0, 4)  # one 64-byte page, all header
    struct.pack_into("<H", mz, 0x18, 0x40)  # relocations at 0x40 or later: a new-style file
    struct.pack_into("<I", mz, 0x3C, NE_AT)  # e_lfanew

    ne = struct.pack(
        "<2sBBHHIHHHHIIHHHHHHHHIHHHBBHHHH",
        b"NE", 5, 10,                     # signature, linker version
        entries_at, len(entries),         # ne_enttab, ne_cbenttab
        0, 0x8000,                        # ne_crc, ne_flags: a library
        0, 0, 0, 0, 0,                    # ne_autodata, ne_heap, ne_stack, ne_csip, ne_sssp
        0, 0, len(nonresident),           # ne_cseg, ne_cmod, ne_cbnrestab
        resources_at, resources_at,       # ne_segtab (empty), ne_rsrctab
        resident_at, imports_at,          # ne_restab, ne_modtab (empty)
        imports_at, nonresident_at,       # ne_imptab, ne_nrestab (from the start of the file)
        0, SHIFT, 0,                      # ne_cmovent, ne_align, ne_cres
        2, 0,                             # ne_exetyp: Windows; ne_flagsothers
        0, 0, 0, 0x030A)                  # thunks, segment references, swap area, Windows 3.10
    assert len(ne) == resources_at

    head = bytes(mz) + ne + resource_table + resident + imports + entries + nonresident
    assert len(head) == nonresident_at + len(nonresident)
    return align(head, unit) + align(block, unit)


def main():
    output, version = sys.argv[1:]
    file_version = [int(part) for part in version.split(".")]
    with open(output, "wb") as f:
        f.write(module(file_version))


if __name__ == "__main__":
    main()
