#!/usr/bin/env python3
"""Fails unless the instruction checker names each planted instruction that the i486 lacks, bare
and behind prefixes, with the function it is in, and passes code of the i486's own instructions,
those that look like later ones among them.

Usage: check-instructions-test.py [CHECKER]

CHECKER is check-instructions.py beside this script unless given.
"""
import os
import re
import subprocess
import sys
import tempfile

ASSEMBLER = "i686-w64-mingw32-as"

# Function, its code and the mnemonic the checker must name, one per kind of instruction beyond
# the i486. What the assembler will not write behind a prefix is written as bytes.
BEYOND_I486 = (
    ("pentium_cmpxchg8b", "cmpxchg8b (%eax)", "cmpxchg8b"),
    ("pentium_lock_cmpxchg8b", "lock cmpxchg8b (%eax)", "cmpxchg8b"),
    ("pentium_xacquire", "xacquire lock cmpxchg8b (%eax)", "cmpxchg8b"),
    ("pentium_xrelease", "xrelease lock cmpxchg8b (%eax)", "cmpxchg8b"),
    ("pentium_rdtsc", "rdtsc", "rdtsc"),
    ("pentium_rdmsr", "rdmsr", "rdmsr"),
    ("pentium_wrmsr", "wrmsr", "wrmsr"),
    ("pentium_cpuid", "push $0x2000000; popf; mov 0x200000(%eax), %ecx; cpuid", "cpuid"),
    ("pentium_fs_gs_cpuid", ".byte 0x64, 0x65, 0x0f, 0xa2", "cpuid"),
    ("mmx_emms", "emms", "emms"),
    ("mmx_movd", "movd %mm0, %eax", "movd"),
    ("mmx_movq", "movq %mm0, %mm1", "movq"),
    ("pentium_pro_cmov", "cmovne %eax, %ebx", "cmovne"),
    ("pentium_pro_cs_cmov", ".byte 0x2e, 0x0f, 0x45, 0xd8", "cmovne"),
    ("pentium_pro_fcmov", "fcmovb %st(1), %st", "fcmovb"),
    ("pentium_pro_fucomip", "fucomip %st(1), %st", "fucomip"),
    ("pentium_pro_rdpmc", "rdpmc", "rdpmc"),
    ("pentium_pro_long_nop", "nopl (%eax)", "nopl"),
    ("pentium_pro_padding", ".byte 0x66, 0x66, 0x2e, 0x0f, 0x1f, 0x84, 0, 0, 0, 0, 0", "nopw"),
    ("pentium_pro_hint_nop", ".byte 0x0f, 0x19, 0xc0", "nop"),
    ("pentium_ii_sysenter", "sysenter", "sysenter"),
    ("pentium_ii_fxsave", "fxsave (%eax)", "fxsave"),
    ("k6_syscall", "syscall", "syscall"),
    ("k6_femms", "femms", "femms"),
    ("k6_prefetchw", "prefetchw (%eax)", "prefetchw"),
    ("pentium_iii_stmxcsr", "stmxcsr (%eax)", "stmxcsr"),
    ("pentium_iii_ldmxcsr", "ldmxcsr (%eax)", "ldmxcsr"),
    ("pentium_iii_sfence", "sfence", "sfence"),
    ("pentium_iii_ds_sfence", ".byte 0x3e, 0x0f, 0xae, 0xf8", "sfence"),
    ("pentium_iii_prefetchnta", "prefetchnta (%eax)", "prefetchnta"),
    ("pentium_iii_movd", "movd %xmm0, %eax", "movd"),
    ("pentium_4_lfence", "lfence", "lfence"),
    ("pentium_4_mfence", "mfence", "mfence"),
    ("pentium_4_clflush", "clflush (%eax)", "clflush"),
    ("pentium_4_movnti", "movnti %eax, (%ebx)", "movnti"),
    ("prescott_fisttp", "fisttpl (%eax)", "fisttpl"),
    ("prescott_monitor", "monitor", "monitor"),
    ("prescott_mwait", "mwait", "mwait"),
    ("athlon_64_rdtscp", "rdtscp", "rdtscp"),
    ("phenom_popcnt", "popcnt %eax, %ebx", "popcnt"),
    ("core_i7_crc32", "crc32l %eax, %ebx", "crc32"),
    ("atom_movbe", "movbe (%eax), %ebx", "movbe"),
    ("penryn_xsave", "xsave (%eax)", "xsave"),
    ("sandy_bridge_xsaveopt", "xsaveopt (%eax)", "xsaveopt"),
    ("skylake_xsavec", "xsavec (%eax)", "xsavec"),
    ("skylake_xsaves", "xsaves (%eax)", "xsaves"),
    ("skylake_xrstors", "xrstors (%eax)", "xrstors"),
    ("ivy_bridge_rdrand", "rdrand %eax", "rdrand"),
    ("haswell_tzcnt", "tzcnt %eax, %ebx", "tzcnt"),
    ("haswell_shlx", "shlx %eax, %ebx, %ecx", "shlx"),
    ("haswell_xtest", "xtest", "xtest"),
    ("broadwell_adcx", "adcx %eax, %ebx", "adcx"),
    ("skylake_clflushopt", "clflushopt (%eax)", "clflushopt"),
    ("skylake_clwb", "clwb (%eax)", "clwb"),
    ("skylake_rdpkru", "rdpkru", "rdpkru"),
    ("piledriver_blcfill", "blcfill %eax, %ebx", "blcfill"),
    ("zen_clzero", "clzero", "clzero"),
    ("tremont_umonitor", "umonitor %eax", "umonitor"),
    ("tiger_lake_endbr32", "endbr32", "endbr32"),
    ("alder_lake_serialize", "serialize", "serialize"),
    ("avx_vzeroupper", "vzeroupper", "vzeroupper"),
    ("avx_vex", "{vex} vpdpbusd %xmm1, %xmm2, %xmm3", "vpdpbusd"),
    ("avx512_kmovw", "kmovw %k1, %eax", "kmovw"),
    ("mpx_bndmk", "bndmk (%eax), %bnd0", "bndmk"),
) + tuple(
    # The Pentium's RDTSC behind each prefix that objdump writes out.
    (f"pentium_{prefix}_rdtsc", f".byte {byte:#x}, 0x0f, 0x31", "rdtsc")
    for prefix, byte in (("repz", 0xf3), ("repnz", 0xf2), ("data16", 0x66), ("addr16", 0x67),
                         ("cs", 0x2e), ("ds", 0x3e), ("es", 0x26), ("fs", 0x64), ("gs", 0x65),
                         ("ss", 0x36)))

# Functions of the i486's own instructions.
I486 = (
    ("cmpxchg", "lock cmpxchg %ecx, (%eax)"),
    ("xadd", "xacquire lock xadd %eax, (%ebx); xrelease lock xadd %eax, (%ebx)"),
    ("bswap", "bswap %eax"),
    ("system", "invd; wbinvd; invlpg (%eax)"),
    ("compare", "fcom %st(1); fcomp %st(1); fucom %st(1); fucompp"),
    ("nops", "nop; xchg %ax, %ax; .byte 0x2e, 0x90; .byte 0x8d, 0x74, 0x26, 0"),
    ("pause", "pause; rep nop"),
    ("trap", "ud2"),
    ("strings", "rep movsb; repz cmpsb; repnz scasb; rep stosl; movsb %fs:(%esi), %es:(%edi)"),
    ("branches", "notrack call *%eax; bnd jmp *%eax; repz ret"),
    ("segment", "verr %ax; verw %ax; mov %fs:(%eax), %eax"),
    ("flag_2000000", "push $0x2000000; popf"),
    # CPUID behind the EFLAGS.ID test, as GCC's <cpuid.h> makes it.
    ("guarded_cpuid", "pushf; pushf; pop %eax; mov %eax, %ecx; xor $0x200000, %eax; push %eax;"
     " popf; pushf; pop %eax; popf; xor %ecx, %eax; test $0x200000, %eax; jz 1f; cpuid; 1: ret"),
)


def check(checker, folder, name, functions):
    """The checker's exit code and, by function, the words of what it reported there."""
    source, program = os.path.join(folder, f"{name}.s"), os.path.join(folder, f"{name}.o")
    with open(source, "w") as f:
        f.write(".text\n" + "".join(f"{function}:\n\t{code}\n" for function, code in functions))
    subprocess.run([ASSEMBLER, "-o", program, source], check=True)
    result = subprocess.run([sys.executable, checker, program], capture_output=True, text=True)
    reported = {}
    for line in result.stdout.splitlines():
        match = re.match(r"^0x[0-9a-f]+\s+(.*?)\s+in (\S+)$", line)
        if match:
            reported.setdefault(match.group(2), set()).update(match.group(1).split())
    return result.returncode, reported


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    checker = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "check-instructions.py")
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        code, reported = check(checker, folder, "beyond", [row[:2] for row in BEYOND_I486])
        if code == 0:
            failures.append("passed code beyond the i486")
        for function, source, mnemonic in BEYOND_I486:
            if mnemonic not in reported.get(function, ()):
                failures.append(f"did not name {mnemonic} in {function} ({source})")
        code, reported = check(checker, folder, "i486", I486)
        if code != 0 or reported:
            failures.append(f"failed the i486's own code, naming {sorted(reported)}")
    for failure in failures:
        print(f"check-instructions-test: the checker {failure}")
    print(f"{len(BEYOND_I486) + 2 - len(failures)} passed, {len(failures)} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
