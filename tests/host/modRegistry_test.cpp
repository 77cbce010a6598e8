#include "support/modRegistry.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/sim/sim_machine.h"

namespace {

using modRegistry::RegistryGetKeyValue;
using modRegistry::RegistryValue;
using Bytes = std::vector<uint8_t>;

constexpr platform::RegistryKey kRoot = platform::kHkeyLocalMachine;
constexpr char kKey[] = "Software\\Sondrel Test";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override { EXPECT_TRUE(m.open_keys.empty()) << "every key opened is closed"; }
  RegistryValue Read(const std::string& name) { return RegistryGetKeyValue(kRoot, kKey, name); }
  sim::Machine& m = sim::machine();
};

struct StoredCase {
  const char* name;
  uint32_t type;
  Bytes data;
  RegistryValue expected;
  const char* text;  // as the report shows it
};

// Windows 9x hands text values back cut after their first NUL, with a NUL added where none was
// stored: the reader gives the same result in every family.
class StoredValueTest
    : public RegistryTest,
      public ::testing::WithParamInterface<std::tuple<StoredCase, sim::WindowsFamily>> {};

TEST_P(StoredValueTest, ReadsAsItsTypeSaysInEveryFamily) {
  const StoredCase& c = std::get<0>(GetParam());
  m.family = std::get<1>(GetParam());
  sim::SetValue(kRoot, kKey, "Value", {c.type, c.data});
  const RegistryValue value = Read("Value");
  EXPECT_EQ(value, c.expected);
  EXPECT_EQ(modRegistry::ValueText(value), c.text);
  EXPECT_TRUE(m.message_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Types, StoredValueTest,
    ::testing::Combine(
        ::testing::Values(
            StoredCase{"Version",
                       platform::kRegSz,
                       {'1', '.', '4', '.', '2', 0},
                       std::string("1.4.2"),
                       "1.4.2"},
            StoredCase{"LoneNul", platform::kRegSz, {0}, std::string(), ""},
            StoredCase{"ZeroBytes", platform::kRegSz, {}, std::string(), ""},
            StoredCase{
                "CutAtNul", platform::kRegSz, {'a', 'b', 0, 'c', 0}, std::string("ab"), "ab"},
            StoredCase{"NoTerminator", platform::kRegSz, {'a', 'b'}, std::string("ab"), "ab"},
            StoredCase{"AllOnes", platform::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, int32_t{-1}, "-1"},
            StoredCase{"Largest",
                       platform::kRegDword,
                       {0xFF, 0xFF, 0xFF, 0x7F},
                       int32_t{2147483647},
                       "2147483647"},
            StoredCase{
                "LittleEndian", platform::kRegDword, {0x2A, 0x01, 0, 0}, int32_t{298}, "298"},
            StoredCase{"ShortDword", platform::kRegDword, {0x05}, int32_t{5}, "5"},
            StoredCase{"EmptyDword", platform::kRegDword, {}, int32_t{0}, "0"},
            StoredCase{
                "WideDword", platform::kRegDword, {1, 0, 0, 0, 0, 0, 0, 0}, RegistryValue{}, ""},
            StoredCase{"Binary",
                       platform::kRegBinary,
                       {0x00, 0xA2, 0x0F, 0xFF},
                       Bytes{0x00, 0xA2, 0x0F, 0xFF},
                       "00 A2 0F FF"},
            StoredCase{"EmptyBinary", platform::kRegBinary, {}, Bytes{}, ""},
            StoredCase{
                "Expandable", platform::kRegExpandSz, {'%', 'x', '%', 0}, RegistryValue{}, ""},
            StoredCase{
                "MultiString", platform::kRegMultiSz, {'a', 0, 'b', 0, 0}, RegistryValue{}, ""},
            StoredCase{"NoType", 0, {1}, RegistryValue{}, ""},
            StoredCase{"UnknownType", 0x12345678, {1, 2, 3, 4}, RegistryValue{}, ""}),
        ::testing::Values(sim::WindowsFamily::kNt, sim::WindowsFamily::kNt4,
                          sim::WindowsFamily::k9x)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_family" +
             std::to_string(static_cast<int>(std::get<1>(info.param)));
    });

// What makes the table above worth running in each family: Windows 9x answers these queries
// otherwise than NT does.
TEST_F(RegistryTest, Windows9xAnswersTheQueriesItsOwnWay) {
  m.family = sim::WindowsFamily::k9x;
  sim::SetValue(kRoot, kKey, "Empty", {platform::kRegSz, {}});
  sim::SetValue(kRoot, kKey, "Unended", {platform::kRegSz, {'a', 'b'}});
  sim::SetValue(kRoot, kKey, "Inner", {platform::kRegSz, {'a', 0, 'b', 0}});
  platform::RegistryKey key = 0, again = 0;
  ASSERT_EQ(platform::RegOpenKeyExA(kRoot, kKey, 0, platform::kKeyQueryValue, &key), 0);
  ASSERT_EQ(platform::RegOpenKeyExA(kRoot, kKey, 0, platform::kKeyQueryValue, &again), 0);
  EXPECT_EQ(again, key) << "Windows 98 gives the open key's handle again";
  const std::pair<const char*, uint32_t> sizes[] = {{"Empty", 1}, {"Unended", 3}, {"Inner", 2}};
  for (const auto& [name, size] : sizes) {
    uint32_t type = 0, got = 0;
    EXPECT_EQ(platform::RegQueryValueExA(key, name, &type, nullptr, &got), 0) << name;
    EXPECT_EQ(got, size) << name;
  }
  uint32_t type = platform::kRegSz, size = 77;
  EXPECT_NE(platform::RegQueryValueExA(key, "Missing", &type, nullptr, &size), 0);
  EXPECT_EQ(type, 0u);
  EXPECT_EQ(size, 77u);
  EXPECT_EQ(platform::RegCloseKey(key), 0);
  EXPECT_NE(platform::RegCloseKey(again), 0) << "closing one handle closed both";
}

TEST_F(RegistryTest, SameKeyReadTwiceOnWindows98) {
  m.family = sim::WindowsFamily::k9x;
  sim::SetString(kRoot, kKey, "Version", "4.72");
  sim::SetDword(kRoot, kKey, "Build", 3110);
  EXPECT_EQ(Read("Version"), RegistryValue(std::string("4.72")));
  EXPECT_EQ(Read("Build"), RegistryValue(int32_t{3110}));
  EXPECT_TRUE(m.message_boxes.empty());
}

// Whatever a procedure's body throws, it shows the report and returns its empty result: a value
// size that no buffer can hold throws what a failed allocation does.
TEST_F(RegistryTest, EveryExceptionIsReportedAsARunTimeError) {
  sim::ExpectMessageBoxes();
  sim::SetValue(kRoot, kKey, "Value", {platform::kRegBinary, {1, 2}});
  const std::pair<std::exception_ptr, const char*> cases[] = {
      {std::make_exception_ptr(std::length_error("vector")), "Error: 7. Out of memory"},
      {std::make_exception_ptr(std::bad_alloc()), "Error: 7. Out of memory"},
      {std::make_exception_ptr(std::logic_error("stray")), "Error: 51. Internal error"},
      {std::make_exception_ptr(42), "Error: 51. Internal error"}};
  for (const auto& [exception, text] : cases) {
    m.raises["RegQueryValueExA"] = exception;
    EXPECT_EQ(Read("Value"), RegistryValue{}) << text;
    ASSERT_EQ(m.message_boxes.size(), 1u) << text;
    EXPECT_EQ(m.message_boxes[0].text, text);
    EXPECT_EQ(m.message_boxes[0].caption, "RegistryGetKeyValue");
    m.message_boxes.clear();
  }
}

TEST_F(RegistryTest, MissingKeyOrValueGivesEmptySilently) {
  EXPECT_EQ(Read("Version"), RegistryValue{});
  sim::SetString(kRoot, kKey, "Other", "x");
  EXPECT_EQ(Read("Version"), RegistryValue{});
  EXPECT_TRUE(m.message_boxes.empty());
}

TEST_F(RegistryTest, NamesAreNotCaseSensitiveAndRootsAreSeparate) {
  sim::SetString(kRoot, kKey, "Version", "6.0");
  EXPECT_EQ(RegistryGetKeyValue(kRoot, "SOFTWARE\\sondrel test", "VERSION"),
            RegistryValue(std::string("6.0")));
  EXPECT_EQ(RegistryGetKeyValue(platform::kHkeyCurrentUser, kKey, "Version"), RegistryValue{});
}

TEST_F(RegistryTest, FailedReadGivesEmptyAndClosesTheKey) {
  for (const uint32_t type : {platform::kRegSz, platform::kRegBinary, platform::kRegDword}) {
    sim::SetValue(kRoot, kKey, "Value", {type, {1, 0, 0, 0}, true});
    EXPECT_EQ(Read("Value"), RegistryValue{}) << "type " << type;
  }
}

TEST_F(RegistryTest, OpensForQueryingOnlyAndNeverWrites) {
  sim::SetString(kRoot, kKey, "Version", "1");
  Read("Version");
  const std::vector<std::string> expected{"RegOpenKeyExA", "RegQueryValueExA", "RegQueryValueExA",
                                          "RegCloseKey"};
  EXPECT_EQ(m.calls, expected);
}

// Values of every type at sizes up to far beyond any real one, 'x' in every byte; a text and
// bytes come back whole, a number only from four bytes or fewer.
TEST_F(RegistryTest, LargeValuesOfEveryTypeGiveADefinedResult) {
  const size_t sizes[] = {0, 5, 4096, size_t{1} << 20};
  const auto text = [](size_t size) { return RegistryValue(std::string(size, 'x')); };
  const auto bytes = [](size_t size) { return RegistryValue(Bytes(size, 'x')); };
  const auto none = [](size_t) { return RegistryValue{}; };
  const auto zero_when_empty = [](size_t size) {
    return size == 0 ? RegistryValue(int32_t{0}) : RegistryValue{};
  };
  const struct {
    uint32_t type;
    std::function<RegistryValue(size_t)> expected;
  } cases[] = {{0, none},
               {platform::kRegSz, text},
               {platform::kRegExpandSz, none},
               {platform::kRegBinary, bytes},
               {platform::kRegDword, zero_when_empty},
               {platform::kRegMultiSz, none},
               {11, none}};
  for (const auto& c : cases) {
    for (const size_t size : sizes) {
      sim::SetValue(kRoot, kKey, "Big", {c.type, Bytes(size, 'x')});
      EXPECT_EQ(Read("Big"), c.expected(size)) << "type " << c.type << " size " << size;
    }
  }
}

// The machine's user is no administrator: on NT a key under HKEY_LOCAL_MACHINE opens only to be
// read, as the reader asks, but for NT 4.0's start-up keys, while Windows 9x checks no rights.
TEST_F(RegistryTest, ALimitedUserOpensLocalMachineKeysOnlyToRead) {
  constexpr uint32_t kKeySetValue = 0x2, kKeyCreateSubKey = 0x4, kKeyRead = 0x20019,
                     kMaximumAllowed = 0x02000000, kKeyAllAccess = 0xF003F;
  constexpr int32_t kAccessDenied = 5;
  // NT 4.0 lets everyone set values and make subkeys under the start-up keys.
  const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  for (const std::string& path : std::initializer_list<std::string>{kKey, run, uninstall}) {
    sim::SetString(kRoot, path, "Version", "1");
  }
  sim::SetString(platform::kHkeyCurrentUser, kKey, "Version", "1");
  const struct {
    sim::WindowsFamily family;
    bool administrator;
    platform::RegistryKey root;
    std::string path;
    uint32_t access;
    int32_t result;
  } cases[] = {
      {sim::WindowsFamily::kNt, false, kRoot, kKey, platform::kKeyQueryValue, 0},
      {sim::WindowsFamily::kNt, false, kRoot, kKey, kKeyRead, 0},
      {sim::WindowsFamily::kNt, false, kRoot, kKey, kMaximumAllowed, 0},
      {sim::WindowsFamily::kNt, false, kRoot, kKey, kKeySetValue, kAccessDenied},
      {sim::WindowsFamily::kNt, false, kRoot, kKey, kKeyAllAccess, kAccessDenied},
      {sim::WindowsFamily::kNt, false, kRoot, run, kKeySetValue, kAccessDenied},
      {sim::WindowsFamily::kNt4, false, kRoot, kKey, kKeyAllAccess, kAccessDenied},
      {sim::WindowsFamily::kNt4, false, kRoot, kKey, kKeySetValue, kAccessDenied},
      {sim::WindowsFamily::kNt4, false, kRoot, run, kKeyRead | kKeySetValue | kKeyCreateSubKey, 0},
      {sim::WindowsFamily::kNt4, false, kRoot, uninstall, kKeySetValue, 0},
      {sim::WindowsFamily::kNt4, false, kRoot, run, kKeyAllAccess, kAccessDenied},
      {sim::WindowsFamily::kNt, false, platform::kHkeyCurrentUser, kKey, kKeyAllAccess, 0},
      {sim::WindowsFamily::kNt, true, kRoot, kKey, kKeyAllAccess, 0},
      {sim::WindowsFamily::k9x, false, kRoot, kKey, kKeyAllAccess, 0},
  };
  for (const auto& c : cases) {
    m.family = c.family;
    m.administrator = c.administrator;
    platform::RegistryKey key = 0;
    EXPECT_EQ(platform::RegOpenKeyExA(c.root, c.path, 0, c.access, &key), c.result)
        << "family " << static_cast<int>(c.family) << ", " << c.path << ", access " << std::hex
        << c.access;
    if (key != 0) platform::RegCloseKey(key);
  }
}

}  // namespace
