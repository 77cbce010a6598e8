// The stage of Windows' answers over the real system: a registry key and a folder of the
// tests' own, removed again with everything in them, and the libraries built beside the test
// program.
#include <windows.h>

#include <memory>
#include <optional>

#include "conformance_stage.h"
#include "win32_test_support.h"

namespace {

using win32_test::HelperProgram;

constexpr DWORD kClipboardPatience = 2000;

class Win32Stage : public conformance::Stage {
 public:
  Win32Stage() : key_(HKEY_CURRENT_USER, Key()), folder_(win32_test::TempFolder() + kFolderName) {
    win32_test::RemoveTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    // The system may hold the clipboard a moment after a change, to hand the contents on.
    const win32::ScopedClipboard free_again(nullptr, kClipboardPatience);
  }
  ~Win32Stage() override {
    watch_.reset();
    holder_.reset();
    win32_test::RemoveTree(folder_);
  }

  bool UnderWine() const override {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  }

  std::string Key() const override { return "Software\\Sondrel prove conformita"; }
  // Stores exactly the bytes given: RegSetValueExA counts a text's NUL that the caller left out
  // when one follows in memory, so a byte that is not one follows them.
  void PutValue(const std::string& sub_key, const std::string& name, uint32_t type,
                const std::vector<uint8_t>& data) override {
    std::vector<uint8_t> followed = data;
    followed.push_back('Z');
    win32_test::WriteValue(HKEY_CURRENT_USER, sub_key.empty() ? Key() : Key() + "\\" + sub_key,
                           name, type, followed.data(), static_cast<DWORD>(data.size()));
  }

  std::string Folder() const override { return folder_; }
  void MakeFolder(const std::string& relative) override {
    CreateDirectoryW(Path(relative).c_str(), nullptr);
  }
  void MakeFile(const std::string& relative) override {
    const win32::AutoCloseHandle file(CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr,
                                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  void MakeReadOnly(const std::string& relative) override {
    const std::wstring path = Path(relative);
    SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_READONLY);
  }
  void MakeCurrent(const std::string& folder) override { SetCurrentDirectoryA(folder.c_str()); }

  std::string VersionedLibrary() override { return HelperProgram("version_5_0_38_0.dll"); }
  std::string SixteenBitLibrary() override { return HelperProgram("ne_version_5_0_3810_0.dll"); }
  std::string UnversionedLibrary() override { return HelperProgram("no_version.dll"); }

  bool IsLeadByteOf(uint32_t code_page, uint8_t byte) override {
    return IsDBCSLeadByteEx(code_page, byte) != 0;
  }

  void HoldClipboardElsewhere() override {
    holder_ = std::make_unique<win32_test::ClipboardHeldElsewhere>();
  }

  void AnswerNextBoxWithOk() override { watch_ = std::make_unique<win32_test::DialogWatch>(); }
  std::vector<conformance::ShownBox> BoxesShown() override {
    std::vector<conformance::ShownBox> shown;
    if (!watch_) return shown;
    for (const win32_test::SeenDialog& dialog : watch_->Stop()) {
      shown.push_back({dialog.title, dialog.text});
    }
    return shown;
  }

 private:
  static constexpr const char* kFolderName = "sondrel-conformita";

  std::wstring Path(const std::string& relative) const {
    return win32_test::ExtendedPath(folder_ + "\\" + relative);
  }

  win32_test::SavedKeyTree key_;
  win32_test::CurrentFolderGuard current_;
  std::string folder_;
  std::unique_ptr<win32_test::ClipboardHeldElsewhere> holder_;
  std::unique_ptr<win32_test::DialogWatch> watch_;
};

}  // namespace

std::unique_ptr<conformance::Stage> conformance::MakeStage() {
  return std::make_unique<Win32Stage>();
}
