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
    const char* text;
  };
  const Case cases[] = {
      {"Versione", REG_SZ, BytesOf("1.4.2\0"s), "1.4.2"s, "1.4.2"},
      {"SoloNul", REG_SZ, BytesOf("\0"s), ""s, ""},
      {"DueTesti", REG_SZ, BytesOf("prima\0seconda\0"s), "prima"s, "prima"},
      {"SenzaNulFinale", REG_SZ, BytesOf("1.4.2"s), "1.4.2"s, "1.4.2"},
      {"TestoVuoto", REG_SZ, Bytes{}, ""s, ""},
      {"Accentato", REG_SZ, BytesOf("Caff\xE8 e pi\xF9\0"s), "Caff\xE8 e pi\xF9"s,
       "Caff\xE8 e pi\xF9"},
      {"", REG_SZ, BytesOf("predefinito\0"s), "predefinito"s, "predefinito"},
      {"TuttiUno", REG_DWORD, Bytes{0xFF, 0xFF, 0xFF, 0xFF}, int32_t{-1}, "-1"},
      {"Ordine", REG_DWORD, Bytes{0x78, 0x56, 0x34, 0x12}, int32_t{0x12345678}, "305419896"},
      {"Minimo", REG_DWORD, Bytes{0x00, 0x00, 0x00, 0x80}, int32_t{INT32_MIN}, "-2147483648"},
      {"Zero", REG_DWORD, Bytes{0, 0, 0, 0}, int32_t{0}, "0"},
      {"UnByte", REG_DWORD, Bytes{0xFF}, int32_t{255}, "255"},
      {"OttoByte", REG_DWORD, Bytes{1, 2, 3, 4, 5, 6, 7, 8}, std::monostate{}, ""},
      {"Espandibile", REG_EXPAND_SZ, BytesOf("%SystemRoot%\\system32\0"s), std::monostate{}, ""},
      {"Multipla", REG_MULTI_SZ, BytesOf("uno\0due\0\0"s), std::monostate{}, ""},
      {"Binario", REG_BINARY, Bytes{0x01, 0xA2, 0xFF}, Bytes{0x01, 0xA2, 0xFF}, "01 A2 FF"},
      {"BinarioConZeri", REG_BINARY, Bytes{0x00, 0x0A, 0x00}, Bytes{0x00, 0x0A, 0x00}, "00 0A 00"},
      {"BinarioVuoto", REG_BINARY, Bytes{}, Bytes{}, ""},
      {"Nessuno", REG_NONE, Bytes{1, 2}, std::monostate{}, ""},
      {"BigEndian", REG_DWORD_BIG_ENDIAN, Bytes{0, 0, 0, 1}, std::monostate{}, ""},
      {"Quadrupla", REG_QWORD, Bytes{1, 0, 0, 0, 0, 0, 0, 0}, std::monostate{}, ""},
      {"TipoIgnoto", 0x4321, Bytes{1, 2, 3, 4}, std::monostate{}, ""},
  };
  TestKey key(root());
  ASSERT_TRUE(key.made());
  for (const Case& c : cases) ASSERT_TRUE(key.Set(c.name, c.type, c.data)) << c.name;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("value \"") + c.name + "\"");
    const RegistryValue value = Read(kKeyPath, c.name);
    EXPECT_TRUE(value == c.expected)
        << "read " << Describe(value) << ", expected " << Describe(c.expected);
    EXPECT_EQ(modRegistry::ValueText(value), c.text);
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
// larger than any real one.
TEST_P(RegistryGetKeyValueTest, EveryTypeAtAnySizeGivesADefinedResult) {
  const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD, REG_NONE};
  const size_t sizes[] = {0, 1, 3, 4, 5, 4096, 1 << 20};
  TestKey key(root());
  ASSERT_TRUE(key.made());
  for (const DWORD type : types) {
    for (const size_t size : sizes) {
      SCOPED_TRACE("type " + std::to_string(type) + ", " + std::to_string(size) + " bytes");
      const bool text_type = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
      // Text without any NUL in it; any other type gets bytes of every kind, NULs included.
      Bytes data(size);
      for (size_t i = 0; i < size; ++i) {
        data[i] = text_type ? static_cast<uint8_t>('a' + i % 26)
                            : static_cast<uint8_t>((i * 37 + 0xFE) & 0xFF);
      }
      ASSERT_TRUE(key.Set("Dimensione", type, data));
      RegistryValue expected;
      if (type == REG_SZ) {
        expected = std::string(data.begin(), data.end());
      } else if (type == REG_BINARY) {
        expected = data;
      } else if (type == REG_DWORD && size <= 4) {
        uint32_t number = 0;
        for (size_t i = 0; i < size; ++i) number |= uint32_t{data[i]} << (8 * i);
        expected = static_cast<int32_t>(number);
      }
      const RegistryValue value = Read(kKeyPath, "Dimensione");
      EXPECT_TRUE(value == expected)
          << "read " << Describe(value) << ", expected " << Describe(expected);
    }
  }
}

TEST_P(RegistryGetKeyValueTest, LeavesNoKeyOpen) {
  TestKey key(root());
  ASSERT_TRUE(key.made());
  ASSERT_TRUE(key.Set("Versione", REG_SZ, BytesOf("1.4.2\0"s)));
  ASSERT_TRUE(key.Set("Numero", REG_DWORD, Bytes{1, 0, 0, 0}));
  ASSERT_TRUE(key.Set("Binario", REG_BINARY, Bytes{1, 2, 3}));
  ASSERT_TRUE(key.Set("Multipla", REG_MULTI_SZ, BytesOf("a\0\0"s)));
  const char* const names[] = {"Versione", "Numero", "Binario", "Multipla", "NonEsiste"};
  const auto read_all = [&] {
    for (const char* name : names) Read(kKeyPath, name);
    Read("Software\\SondrelTest\\NonEsiste", "Versione");
  };
  read_all();  // anything the system opens once for good is open from here on
  const uintptr_t slot = win32_test::NextHandleSlot();
  for (int round = 0; round < 20; ++round) read_all();
  EXPECT_EQ(win32_test::NextHandleSlot(), slot) << "handles were left open";
}

INSTANTIATE_TEST_SUITE_P(Roots, RegistryGetKeyValueTest,
                         ::testing::Values(Root{"CurrentUser", HKEY_CURRENT_USER},
                                           Root{"LocalMachine", HKEY_LOCAL_MACHINE}),
                         [](const ::testing::TestParamInfo<Root>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
