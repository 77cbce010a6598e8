#include "platform/platform.h"
#include "report_window/download_addresses.h"
#include "report_window/frmMain.h"
#include "shell/CShellExecute.h"
#include "support/modClipboard.h"
#include "support/trim_spaces.h"

namespace toolkit = platform::toolkit;

namespace {

// The Microsoft VM cannot be installed on that service pack; the user decides.
bool DownloadDespiteServicePack4() {
  const std::string question =
      "Win 2000 SP4 non consente\r\nl'installazione della VM Microsoft\r\nProcedo con il download?";
  return platform::MessageBoxA(toolkit::FormHandle(), question, "Sondrel",
                               platform::kMbYesNo | platform::kMbIconInformation) !=
         platform::kIdNo;
}

}  // namespace

void frmMain::Click(toolkit::ControlId control) {
  if (control == btnCopy.Id()) btnCopy_Click();
  if (control == btnClose.Id()) btnClose_Click();
  for (int16_t index = 0; index < static_cast<int16_t>(btnDownload.size()); ++index) {
    if (control == btnDownload[index].Id()) btnDownload_Click(index);
  }
}

void frmMain::btnCopy_Click() { modClipboard::SetClipboardData(support::TrimSpaces(Text1.Text())); }

void frmMain::btnClose_Click() { toolkit::UnloadForm(); }

void frmMain::btnDownload_Click(int16_t Index) {
  const char* address = nullptr;
  if (Index == 1) {
    address = kSunJavaAddress;
  } else if (Index == 0) {
    if (Text1.Text().find("Service Pack 4") != std::string::npos && !DownloadDespiteServicePack4())
      return;
    address = kMicrosoftVmAddress;
  } else {
    return;
  }
  CShellExecute shell;
  // Whatever the shell answers, the window's work is done.
  shell.LaunchURL(toolkit::FormHandle(), address, platform::kSwShowNormal);
  toolkit::UnloadForm();
}
