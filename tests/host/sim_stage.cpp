// The stage of Windows' answers over a fresh simulated machine of the NT family.
#include <memory>

#include "conformance_stage.h"
#include "platform/sim/sim_machine.h"

namespace {

class SimStage : public conformance::Stage {
 public:
  SimStage() {
    sim::Reset();
    sim::AddFolder(Folder());
  }

  bool UnderWine() const override { return false; }

  std::string Key() const override { return "Software\\Sondrel prove\\Conformita"; }
  void PutValue(const std::string& sub_key, const std::string& name, uint32_t type,
                const std::vector<uint8_t>& data) override {
    sim::SetValue(platform::kHkeyCurrentUser, sub_key.empty() ? Key() : Key() + "\\" + sub_key,
                  name, {type, data});
  }

  std::string Folder() const override { return "C:\\Prove"; }
  void MakeFolder(const std::string& relative) override { sim::AddFolder(Path(relative)); }
  void MakeFile(const std::string& relative) override {
    sim::AddFile(Path(relative), {platform::kFileAttributeArchive, "", std::nullopt});
  }
  void MakeReadOnly(const std::string& relative) override {
    sim::machine().files.at(Path(relative)).attributes |= platform::kFileAttributeReadOnly;
  }
  void MakeCurrent(const std::string& folder) override {
    sim::machine().current_directory = folder;
  }

  std::string VersionedLibrary() override {
    return Library("version_5_0_38_0.dll", sim::VersionResource(0x50000, 0x260000));
  }
  std::string SixteenBitLibrary() override {
    return Library("ne_version_5_0_3810_0.dll",
                   sim::SixteenBitLayout(sim::VersionResource(0x50000, 0xEE20000)));
  }
  std::string UnversionedLibrary() override { return Library("no_version.dll", std::nullopt); }

  bool IsLeadByteOf(uint32_t code_page, uint8_t byte) override {
    sim::machine().code_page = code_page;
    return platform::IsDBCSLeadByte(byte) != 0;
  }

  void HoldClipboardElsewhere() override { sim::machine().clipboard_held_elsewhere = true; }

  void AnswerNextBoxWithOk() override {
    sim::ExpectMessageBoxes();
    sim::machine().message_box_answers.push_back(platform::kIdOk);
  }
  std::vector<conformance::ShownBox> BoxesShown() override {
    std::vector<conformance::ShownBox> shown;
    for (const sim::MessageBoxCall& box : sim::machine().message_boxes) {
      shown.push_back({box.caption, box.text});
    }
    return shown;
  }

 private:
  std::string Path(const std::string& relative) const { return Folder() + "\\" + relative; }
  std::string Library(const std::string& name, std::optional<std::vector<uint8_t>> resource) {
    sim::AddFile(Path(name), {platform::kFileAttributeArchive, "", std::move(resource)});
    return Path(name);
  }
};

}  // namespace

std::unique_ptr<conformance::Stage> conformance::MakeStage() {
  return std::make_unique<SimStage>();
}
