#include "report_window/report_pass.h"

#include <memory>

#include "osinfo/COSInfo.h"
#include "report_window/windows_family.h"
#include "support/runtime_error.h"

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kTitle[] = "Informazioni sul sistema - a cura del team Sondrel";

// The report lives only in the box: each step reads its text, adds a piece and writes it back.
void Append(Control& box, const std::string& piece) { box.Text(box.Text() + piece); }

const COSInfo& Require(const std::unique_ptr<COSInfo>& os) {
  if (!os) throw runtime::Error(91, "Object variable not set");
  return *os;
}

void AppendWindowsSection(Control& Text1, const std::unique_ptr<COSInfo>& os) {
  using runtime::GuardedStep;
  GuardedStep([&] { Append(Text1, WindowsFamilyText(Require(os))); });
  GuardedStep([&] { Append(Text1, " (" + Require(os).OSAdditional() + ")" + kCrLf); });
  GuardedStep([&] {
    const COSInfo& info = Require(os);
    Append(Text1, "Version = " + std::to_string(info.OSMajorVersion()) + "." +
                      std::to_string(info.OSMinorVersion()) + kCrLf);
  });
  GuardedStep([&] { Append(Text1, "OSBuild = " + std::to_string(Require(os).OSBuild()) + kCrLf); });
  GuardedStep([&] { Append(Text1, "Language = " + Require(os).Language() + kCrLf); });
  GuardedStep([&] { Append(Text1, "SystemDirectory = " + Require(os).SystemDirectory() + kCrLf); });
  GuardedStep(
      [&] { Append(Text1, "WindowsDirectory = " + Require(os).WindowsDirectory() + kCrLf); });
  GuardedStep([&] {
    const COSInfo& info = Require(os);
    const std::string colours =
        info.DisplayColors() == -1 ? "True Color" : std::to_string(info.DisplayColors());
    Append(Text1, "DisplayColors = " + colours + kCrLf);
  });
}

}  // namespace

void BuildReport(Control& Text1) {
  using runtime::GuardedStep;
  GuardedStep([&] { Text1.Text(kTitle); });
  GuardedStep([&] { Append(Text1, std::string(kCrLf) + kCrLf); });
  std::unique_ptr<COSInfo> os;
  GuardedStep([&] { os = std::make_unique<COSInfo>(); });
  AppendWindowsSection(Text1, os);
  GuardedStep([&] { os.reset(); });
}
