#include "platform/sim/sim_family.h"

namespace sim {

namespace {

// Where each answer was learnt is said beside it. "Wine's tests" are its conformance tests,
// whose broken() clauses and comments record what real Windows returned.

// GetFileVersionInfoSizeA (Wine's tests, dlls/version/tests/info.c, test_32bit_win: a table of
// the sizes Windows 98, NT 4.0 and 2000/XP/2003 reported for a 16-bit and a 32-bit resource).
// Windows 98: the raw resource size, for both.
uint32_t RawSize(uint32_t n) { return n; }
// NT 4.0, 32-bit: one and a half times it.
uint32_t SizeAndAHalf(uint32_t n) { return n * 3 / 2; }
// 2000 and XP, 32-bit: twice it and 4 more, room for the conversions of the W calls.
uint32_t TwiceAndFour(uint32_t n) { return n * 2 + 4; }
// 2000 and XP, 16-bit: four times what follows the fixed information. The table has "2048 ???"
// for NT 4.0 and a 436-byte block, so NT 4.0 is given this rule too. A block too short to hold
// the fixed information is given its raw size, which no source names.
uint32_t FourTimesBeyondFixedInfo(uint32_t n) { return n >= 52 ? (n - 52) * 4 : n; }

const FamilyAnswers kNt = {
    /*version_blocks_in_16bit_layout=*/false,
    /*version_info_size=*/TwiceAndFour,
    /*version_info_size_16bit=*/FourTimesBeyondFixedInfo,
    /*find_executable_ending=*/std::string(1, '\0'),
    /*text_values_cut_after_first_nul=*/false,
    /*missing_value_clears_type=*/false,
    // Wine's tests, dlls/advapi32/tests/registry.c, test_query_value_ex: "The size parameter is
    // left untouched on Win9x but cleared on NT+", where no buffer is given; with one, "size
    // shouldn't have been changed".
    /*missing_value_clears_size=*/true,
    /*reopened_key_is_the_same_handle=*/false,
    // Microsoft Windows Registry Guide, "Mapping Default Permissions": the Users group cannot
    // change per-computer settings; SetComputerName's documentation: "Applications using this
    // function must have administrator rights".
    /*user_rights_checked=*/true,
    // Microsoft's "Default Access Control Settings in Windows 2000" and Windows 2000's help,
    // "Default security settings": on a clean install on NTFS, "Users cannot modify
    // system-wide registry settings".
    /*start_up_keys_open_to_everyone=*/false,
    // SetComputerName's documentation of 1997: "Windows NT: ... returns
    // ERROR_INVALID_PARAMETER. It does not coerce the characters outside the standard set."
    /*computer_name_characters_coerced=*/false,
};

const FamilyAnswers kNt4 = {
    false,
    SizeAndAHalf,
    FourTimesBeyondFixedInfo,
    // One character more after the path (Wine's tests, dlls/shell32/tests/shlexec.c,
    // test_find_executable: "NT4 returns an extra 0x8 character!"). Those tests clear the buffer
    // first, so whether a NUL follows is not known; the machine writes one.
    std::string("\x08\0", 2),
    false,
    false,
    true,
    false,
    true,
    // Microsoft's KB Q126713, "Resetting Default Access Controls on Selected Registry Keys"
    // (NT 3.5 to 4.0): "The default permission on the keys cited below allow members of the
    // "Everyone" group special access, which includes the right to Set Values or Create
    // Subkeys", for CurrentVersion's Run, RunOnce and Uninstall.
    true,
    false,
};

const FamilyAnswers k9x = {
    // Every block, a 32-bit module's too, in the layout of 16-bit Windows: Windows 98 handed
    // back a 32-bit resource of 848 bytes as a block of 480 (Wine's tests, info.c, the table
    // above), and Wine's version library of the years it imitated Windows 9x converted every
    // PE resource with ConvertVersionInfo32To16.
    true,
    RawSize,
    RawSize,
    // The path without its NUL (Wine's tests, shlexec.c, test_find_executable: "Win98 does not
    // '\0'-terminate command!").
    std::string(),
    // Wine's tests, registry.c: test_string_termination (a value stored without a NUL comes
    // back one byte longer, "Win9x"), _test_hkey_main_Value_A (a value with a NUL inside comes
    // back cut after it; an empty one as "cbData == 1 && *value == '\0' /* Win9x */").
    true,
    // registry.c, test_query_value_ex: "the type parameter is cleared on Win9x".
    true,
    false,
    // registry.c, test_reg_close_key: "win98 doesn't give a new handle when the same key is
    // opened".
    true,
    // A single-user system without rights (Windows 9x, Wikipedia, "Security": "designed as a
    // single-user system"; eWEEK, "Windows 95: Doomed by Its Own Success", 2005: "everyone has
    // ultimate privilege").
    false,
    false,
    // SetComputerName's documentation of 1997: "Windows 95: If this string contains one or more
    // characters that are outside the standard character set, those characters are coerced
    // into standard characters."
    true,
};

}  // namespace

const FamilyAnswers& AnswersOf(WindowsFamily family) {
  switch (family) {
    case WindowsFamily::kNt4:
      return kNt4;
    case WindowsFamily::k9x:
      return k9x;
    case WindowsFamily::kNt:
      break;
  }
  return kNt;
}

}  // namespace sim
