// RegistryGetKeyValue against the system's registry, reading values the test writes itself
// under a key of its own in each root.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/modRegistry.h"
#include "win32_test_support.h"

namespace {

using modRegistry::RegistryValue;
using win32::ScopedRegKey;
using Bytes = std::vector<uint8_t>;
using namespace std::string_literals;

constexpr char kKeyPath[] = "Software\\SondrelTest";

platform::RegistryKey Handle(HKEY key) {
  return static_cast<platform::RegistryKey>(reinterpret_cast<uintptr_t>(key));
}

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::string Describe(const RegistryValue& value) {
  switch (value.index()) {
    case 0:
      return "empty";
    case 1: {
      const std::string& text = std::get<std::string>(value);
      return "text of " + std::to_string(text.size()) + " characters \"" + text.substr(0, 40) +
             "\"";
    }
    case 2:
      return "number " + std::to_string(std::get<int32_t>(value));
    default: {
      const Bytes& bytes = std::get<Bytes>(value);
      return std::to_string(bytes.size()) + " bytes " +
             modRegistry::ValueText(
                 Bytes(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 16)));
    }
  }
}

// The test's key, made below a root and removed with its values when the object ends.
class TestKey {
 public:
  explicit TestKey(HKEY root) : root_(root) {
    made_ = RegCreateKeyExA(root, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, key_.out(), nullptr) == ERROR_SUCCESS;
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;
  ~TestKey() {
    key_.reset();
    if (made_) RegDeleteKeyA(root_, kKeyPath);
  }

  bool made() const { return made_; }

  // Stores exactly data.size() bytes. A non-NUL byte follows them in memory, so that the
  // system does not count a terminating NUL the caller left out.
  bool Set(const std::string& name, DWORD type, const Bytes& data) {
    Bytes buffer = data;
    buffer.push_back('Z');
    return RegSetValueExA(key_.get(), name.c_str(), 0, type, buffer.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
  }

 private:
  HKEY root_;
  ScopedRegKey key_;
  bool made_ = false;
};

struct Root {
  const char* name;
  HKEY key;
};

void PrintTo(const Root& root, std::ostream* out) { *out << root.name; }

class RegistryGetKeyValueTest : public win32_test::NoDialogTest,
                                public ::testing::WithParamInterface<Root> {
 protected:
  HKEY root() const { return GetParam().key; }

  RegistryValue Read(const std::string& key_path, const std::string& value_name) const {
    return modRegistry::RegistryGetKeyValue(Handle(root()), key_path, value_name);
  }

  void TearDown() override {
    NoDialogTest::TearDown();
    ScopedRegKey left;
    EXPECT_EQ(RegOpenKeyExA(root(), kKeyPath, 0, KEY_READ, left.out()), ERROR_FILE_NOT_FOUND)
        << "the test key was left behind";
  }
};

TEST_P(RegistryGetKeyValueTest, EachTypeReadsAsWritten) {
  struct Case {
    const char* name;
    DWORD type;
    Bytes data;
    RegistryValue expected;
  };
  const Case cases[] = {
      {"Versione", REG_SZ, BytesOf("1.4.2\0"s), "1.4.2"s},
      {"SoloNul", REG_SZ, BytesOf("\0"s), ""s},
      {"DueTesti", REG_SZ, BytesOf("prima\0seconda\0"s), "prima"s},
      {"SenzaNulFinale", REG_SZ, BytesOf("1.4.2"s), "1.4.2"s},
      {"TestoVuoto", REG_SZ, Bytes{}, ""s},
      {"Accentato", REG_SZ, BytesOf("Caff\xE8 e pi\xF9\0"s), "Caff\xE8 e pi\xF9"s},
      {"", REG_SZ, BytesOf("predefinito\0"s), "predefinito"s},
      {"TuttiUno", REG_DWORD, Bytes{0xFF, 0xFF, 0xFF, 0xFF}, int32_t{-1}},
      {"Ordine", REG_DWORD, Bytes{0x78, 0x56, 0x34, 0x12}, int32_t{0x12345678}},
      {"Minimo", REG_DWORD, Bytes{0x00, 0x00, 0x00, 0x80}, int32_t{INT32_MIN}},
      {"Zero", REG_DWORD, Bytes{0, 0, 0, 0}, int32_t{0}},
      {"UnByte", REG_DWORD, Bytes{0xFF}, int32_t{255}},
      {"OttoByte", REG_DWORD, Bytes{1, 2, 3, 4, 5, 6, 7, 8}, std::monostate{}},
      {"Espandibile", REG_EXPAND_SZ, BytesOf("%SystemRoot%\\system32\0"s), std::monostate{}},
      {"Multipla", REG_MULTI_SZ, BytesOf("uno\0due\0\0"s), std::monostate{}},
      {"Binario", REG_BINARY, Bytes{0x01, 0xA2, 0xFF}, Bytes{0x01, 0xA2, 0xFF}},
      {"BinarioConZeri", REG_BINARY, Bytes{0x00, 0x0A, 0x00}, Bytes{0x00, 0x0A, 0x00}},
      {"BinarioVuoto", REG_BINARY, Bytes{}, Bytes{}},
      {"Nessuno", REG_NONE, Bytes{1, 2}, std::monostate{}},
      {"BigEndian", REG_DWORD_BIG_ENDIAN, Bytes{0, 0, 0, 1}, std::monostate{}},
      {"Quadrupla", REG_QWORD, Bytes{1, 0, 0, 0, 0, 0, 0, 0}, std::monostate{}},
      {"TipoIgnoto", 0x4321, Bytes{1, 2, 3, 4}, std::monostate{}},
  };
  TestKey key(root());
  ASSERT_TRUE(key.made());
  for (const Case& c : cases) ASSERT_TRUE(key.Set(c.name, c.type, c.data)) << c.name;
  for (const Case& c : cases) {
    const RegistryValue value = Read(kKeyPath, c.name);
    EXPECT_TRUE(value == c.expected) << "value \"" << c.name << "\": read " << Describe(value)
                                     << ", expected " << Describe(c.expected);
  }
}

TEST_P(RegistryGetKeyValueTest, MissingKeyOrValueGivesEmptyWithoutMessage) {
  TestKey key(root());
  ASSERT_TRUE(key.made());
  ASSERT_TRUE(key.Set("Versione", REG_SZ, BytesOf("1.4.2\0"s)));
  // The key and the value are there for the reader that is given the right names.
  ASSERT_TRUE(Read(kKeyPath, "Versione") == RegistryValue("1.4.2"s));
  struct Case {
    const char* what;
    platform::RegistryKey root;
    std::string key_path;
    std::string value_name;
  } cases[] = {
      {"missing key", Handle(root()), "Software\\SondrelTest\\NonEsiste", "Versione"},
      {"missing key several levels deep", Handle(root()), "Software\\SondrelAssente\\A\\B", ""},
      {"missing value", Handle(root()), kKeyPath, "NonEsiste"},
      {"missing default value", Handle(root()), kKeyPath, ""},
      {"value of the same name in the root itself", Handle(root()), "", "Versione"},
      {"no root", 0, kKeyPath, "Versione"},
      {"root that is no handle", 0x7FFFFFF0, kKeyPath, "Versione"},
  };
  for (const auto& c : cases) {
    const RegistryValue value = modRegistry::RegistryGetKeyValue(c.root, c.key_path, c.value_name);
    EXPECT_EQ(value.index(), 0u) << c.what << ": read " << Describe(value);
  }
}

TEST_P(RegistryGetKeyValueTest, AnOpenKeyServesAsRoot) {
  TestKey key(root());
  ASSERT_TRUE(key.made());
  ASSERT_TRUE(key.Set("Versione", REG_SZ, BytesOf("1.4.2\0"s)));
  ScopedRegKey software;
  ASSERT_EQ(RegOpenKeyExA(root(), "Software", 0, KEY_READ, software.out()), ERROR_SUCCESS);
  const RegistryValue value =
      modRegistry::RegistryGetKeyValue(Handle(software.get()), "SondrelTest", "Versione");
  EXPECT_TRUE(value == RegistryValue("1.4.2"s)) << Describe(value);
}

// Every type at sizes that do and do not fit it gives one defined answer, up to values far
// larger than any real one: a text or bytes come back whole, a number from four bytes or fewer.
TEST_P(RegistryGetKeyValueTest, EveryTypeAtAnySizeGivesADefinedResult) {
  enum class Result { kWhole, kEmpty, kNumber };
  struct Size {
    size_t bytes;
    int32_t number;  // what a REG_DWORD of these bytes reads as
  };
  // Text without any NUL in it, 'a' to 'z' over and over; any other type gets bytes of every
  // kind, NULs included: FE 23 48 6D 92 ...
  const Size sizes[] = {{0, 0}, {1, 0xFE}, {3, 0x4823FE}, {4, 0x6D4823FE},
                        {5, 0}, {4096, 0}, {1 << 20, 0}};
  const struct {
    DWORD type;
    Result up_to_four_bytes, longer;
  } cases[] = {
      {REG_SZ, Result::kWhole, Result::kWhole},
      {REG_BINARY, Result::kWhole, Result::kWhole},
      {REG_DWORD, Result::kNumber, Result::kEmpty},
      {REG_EXPAND_SZ, Result::kEmpty, Result::kEmpty},
      {REG_MULTI_SZ, Result::kEmpty, Result::kEmpty},
      {REG_NONE, Result::kEmpty, Result::kEmpty},
  };

  TestKey key(root());
  ASSERT_TRUE(key.made());
  for (const auto& c : cases) {
    const bool text_type = c.type == REG_SZ || c.type == REG_EXPAND_SZ || c.type == REG_MULTI_SZ;
    for (size_t s = 0; s < std::size(sizes); ++s) {
      SCOPED_TRACE("type " + std::to_string(c.type) + ", " + std::to_string(sizes[s].bytes) +
                   " bytes");
      Bytes data(sizes[s].bytes);
      for (size_t i = 0; i < data.size(); ++i) {
        data[i] = text_type ? static_cast<uint8_t>('a' + i % 26)
                            : static_cast<uint8_t>((i * 37 + 0xFE) & 0xFF);
      }
      ASSERT_TRUE(key.Set("Dimensione", c.type, data));
      const Result result = sizes[s].bytes <= 4 ? c.up_to_four_bytes : c.longer;
      RegistryValue expected;
      if (result == Result::kNumber) expected = sizes[s].number;
      if (result == Result::kWhole) {
        expected = c.type == REG_SZ ? RegistryValue(std::string(data.begin(), data.end()))
                                    : RegistryValue(data);
      }
      const RegistryValue value = Read(kKeyPath, "Dimensione");
      EXPECT_TRUE(value == expected)
          << "read " << Describe(value) << ", expected " << Describe(expected);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Roots, RegistryGetKeyValueTest,
                         ::testing::Values(Root{"CurrentUser", HKEY_CURRENT_USER},
                                           Root{"LocalMachine", HKEY_LOCAL_MACHINE}),
                         [](const ::testing::TestParamInfo<Root>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
