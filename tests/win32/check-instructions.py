#!/usr/bin/env python3
"""Fails when a program's code holds an instruction that the i486 lacks, naming each one with
the function it is in.

Usage: check-instructions.py PROGRAM [LINK_MAP]

Windows 95 to NT 4.0 ran on the i486, Pentium, K6 and 6x86, which have no CMOV, FCOMI, long
NOPs, MMX or SSE; the first such instruction ends the program there. With a link map (of a
stripped program) only the input sections that hold code are read, so data that the linker
placed among them (exception tables) is not taken for instructions; without one (an object
file, or a program with its symbols) every code section is read.
"""
import os
import re
import subprocess
import sys

OBJDUMP = "i686-w64-mingw32-objdump"
CXXFILT = "c++filt"

# Mnemonics of instructions beyond the i486, each line by the processor that added them. CPUID
# (the Pentium's, and late i486s') is allowed behind the guard below.
BEYOND_I486 = re.compile("^(" + "|".join((
    r"cmpxchg8b|rdtsc|rdmsr|wrmsr",  # Pentium
    r"emms",  # Pentium MMX
    r"cmov\w+|fcmov\w+|fu?comip?|rdpmc",  # Pentium Pro
    r"sysenter|sysexit\w*|fxsave\w*|fxrstor\w*",  # Pentium II
    r"syscall|sysret\w*|femms|prefetchw?",  # AMD K6-2
    r"ldmxcsr|stmxcsr|sfence|prefetch(nta|t[0-2])",  # Pentium III
    r"lfence|mfence|clflush|movnti",  # Pentium 4
    r"fisttp\w*|monitor|mwait",  # Pentium 4 (Prescott)
    r"rdtscp|cmpxchg16b",  # Athlon 64
    r"popcnt|lzcnt",  # Phenom
    r"crc32\w*",  # Core i7
    r"movbe",  # Atom
    r"xgetbv|xsetbv|xsave\w*|xrstor\w*",  # Core 2 (Penryn); xsaveopt, xsavec, xsaves later
    r"rdrand",  # Ivy Bridge
    r"andn|bextr|blsi|blsr|blsmsk|tzcnt|bzhi|pdep|pext|rorx|sarx|shlx|shrx",  # Haswell
    r"xbegin|xend|xabort|xtest",  # Haswell
    r"rdseed|adcx|adox",  # Broadwell
    r"clflushopt|clwb|enclu|rdpkru|wrpkru",  # Skylake
    r"llwpcb|slwpcb|lwpins|lwpval",  # AMD Bulldozer
    r"blcfill|blci|blcic|blcmsk|blcs|blsfill|blsic|t1mskc|tzmsk",  # AMD Piledriver
    r"clzero|monitorx|mwaitx|rdpru",  # AMD Excavator and Zen
    r"ptwrite|rdpid",  # Goldmont Plus
    r"umonitor|umwait|tpause|cldemote|movdiri|movdir64b",  # Tremont
    r"endbr32|endbr64|rdsspd|incsspd|saveprevssp|rstorssp",  # Tiger Lake
    r"wrssd|wrussd|setssbsy|clrssbsy",  # Tiger Lake
    r"serialize|hreset",  # Alder Lake
    r"enqcmds?|xsusldtrk|xresldtrk|senduipi|uiret|testui|clui|stui",  # Sapphire Rapids
)) + ")$")
# Allowed: PAUSE (F3 90), which processors before the Pentium 4 take for a NOP behind a REP
# prefix; UD2, named by the Pentium Pro for an opcode that faults as undefined on every x86 (the
# i486 too), which is all that __builtin_trap asks of it; the i486's own BSWAP, CMPXCHG, XADD,
# INVD, WBINVD and INVLPG, and the 286's VERR and VERW.
# Any instruction on a register of MMX (Pentium MMX), SSE (Pentium III), AVX (Sandy Bridge),
# AVX-512 and its masks (Knights Landing) or MPX (Skylake).
VECTOR_REGISTER = re.compile(r"%([xyz]?mm\d|k[0-7]|bnd[0-3])")
# What objdump writes before a mnemonic for the prefixes it does not fold into it: lock, the
# repeats, operand and address size, segments, the branch marks of CET and MPX and the lock
# hints of TSX, all of which an i486 obeys or ignores; and the assembler's {vex} and the like.
PREFIXES = {"lock", "rep", "repz", "repe", "repnz", "repne", "data16", "data32", "addr16",
            "addr32", "cs", "ds", "es", "fs", "gs", "ss", "notrack", "bnd", "xacquire",
            "xrelease"}
# The EFLAGS.ID bit, whose toggling tells whether the processor has CPUID, as an immediate.
EFLAGS_ID = "$0x200000"
# How far back from a CPUID its guard may be.
GUARD_REACH = 40

SYMBOL = re.compile(r"^([0-9a-f]+) <(.+)>:$")


def is_beyond_i486(mnemonic, operands):
    if BEYOND_I486.match(mnemonic) or VECTOR_REGISTER.search(operands):
        return True
    # The VEX and EVEX encodings of AVX (Sandy Bridge on) and VMX's instructions (Pentium 4) are
    # the mnemonics that start with a v, but for the 286's VERR and VERW.
    if mnemonic.startswith("v") and mnemonic not in ("verr", "verw"):
        return True
    # The multi-byte and hint NOPs (0F 18 to 0F 1F, Pentium Pro) take an operand; the one-byte NOP
    # and its prefixed forms do not.
    return mnemonic.startswith("nop") and operands != ""


def mnemonic_and_operands(instruction):
    """The mnemonic of an instruction as objdump writes it, past its prefixes, and its operands."""
    while True:
        mnemonic, operands = (instruction.split(None, 1) + ["", ""])[:2]
        if mnemonic not in PREFIXES and not mnemonic.startswith("{"):
            return mnemonic, operands
        instruction = operands


def code_ranges_from_map(path):
    """(start, end, name) of each input section of .text that holds code, merged where they
    touch; the name of each input section and symbol, by address."""
    sections, names = [], []
    in_text = False
    pending = None
    with open(path, encoding="latin-1") as f:
        for line in f:
            if re.match(r"^\.text\s", line) or line.rstrip() == ".text":
                in_text = True
                continue
            if in_text and re.match(r"^\.\S", line):
                in_text = False
            if not in_text:
                continue
            fields = line.split()
            if len(fields) == 1 and line.startswith(" ."):
                pending = fields[0]
                continue
            if line.startswith(" .") and len(fields) >= 3:
                pending, fields = fields[0], fields[1:]
            if pending and len(fields) >= 3 and fields[0].startswith("0x"):
                start, size = int(fields[0], 16), int(fields[1], 16)
                origin = fields[2]
                if size:
                    sections.append((start, start + size, pending, origin))
                    # A section of its own per function names the function, static ones too.
                    function = re.sub(r"^\.text[.$]", "", pending)
                    names.append((start, 0, f"{function} ({os.path.basename(origin)})"))
                pending = None
            elif len(fields) == 2 and fields[0].startswith("0x") and not line.startswith(" ."):
                # 32-bit Windows symbols carry one more leading underscore than C++ names.
                symbol = fields[1][1:] if fields[1].startswith("__Z") else fields[1]
                names.append((int(fields[0], 16), 1, symbol))
    code = [s for s in sections if not s[2].startswith(".gcc_except_table")]
    merged = []
    for start, end, _, _ in sorted(code):
        if merged and start <= merged[-1][1]:
            merged[-1][1] = max(merged[-1][1], end)
        else:
            merged.append([start, end])
    return merged, sorted(names)


def disassemble(program, start=None, stop=None):
    command = [OBJDUMP, "-d", "--no-show-raw-insn", "-w", program]
    if start is not None:
        command += [f"--start-address={start:#x}", f"--stop-address={stop:#x}"]
    output = subprocess.run(command, check=True, capture_output=True, text=True).stdout
    return output.splitlines()


LINE = re.compile(r"^\s*([0-9a-f]+):\s+(.*?)\s*$")


def findings(lines, name_at):
    """Each instruction beyond the i486 in the listing, with the function it is in."""
    found = []
    recent = []
    current = None
    for line in lines:
        symbol = SYMBOL.match(line)
        if symbol:
            # A stripped program has only the disassembler's own labels, such as ".text+0x10".
            current = None if symbol.group(2).startswith(".") else symbol.group(2)
            recent = []
            continue
        match = LINE.match(line)
        if not match:
            continue
        address, instruction = int(match.group(1), 16), match.group(2).split("#")[0].strip()
        mnemonic, operands = mnemonic_and_operands(instruction)
        if not mnemonic or mnemonic.startswith("(bad)"):
            continue
        if mnemonic == "cpuid":
            if not any(EFLAGS_ID in previous.split(",") for previous in recent[-GUARD_REACH:]):
                instruction = "cpuid without the EFLAGS.ID test"
                found.append((address, instruction, current or name_at(address)))
        elif is_beyond_i486(mnemonic, operands):
            found.append((address, " ".join(instruction.split()), current or name_at(address)))
        recent.append(operands)
    return found


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    program = sys.argv[1]
    if len(sys.argv) == 3:
        ranges, names = code_ranges_from_map(sys.argv[2])
        if not ranges:
            sys.exit(f"check-instructions: no code sections in {sys.argv[2]}")

        def name_at(address):
            best = "?"
            for start, _, name in names:
                if start > address:
                    break
                best = name
            return best

        found = []
        for start, stop in ranges:
            found += findings(disassemble(program, start, stop), name_at)
    else:
        found = findings(disassemble(program), lambda address: "?")
    demangled = subprocess.run([CXXFILT], input="\n".join(f[2] for f in found), check=True,
                               capture_output=True, text=True).stdout.splitlines()
    for (address, instruction, _), function in zip(found, demangled):
        print(f"{address:#010x}  {instruction:<40}  in {function}")
    if found:
        sys.exit(f"check-instructions: {len(found)} instructions beyond the i486 in {program}")
    print(f"check-instructions: every instruction of {program} runs on the i486")


if __name__ == "__main__":
    main()
