#include "shell/CShellExecute.h"

#include "support/procedure_error.h"

namespace {

int32_t LaunchStatus(intptr_t shell_result) {
  const auto result = static_cast<int32_t>(shell_result);
  return result > 32 ? -1 : result;
}

}  // namespace

void CShellExecute::Forget() {
  lngLaunchResult = 0;
  lngProcessHandle.reset();
}

int32_t CShellExecute::SimpleLaunch(const char* member, platform::WindowHandle owner,
                                    const char* verb, const std::string& file, int32_t show) {
  return runtime::Trapped<int32_t>(member, [&](int32_t& status) {
    Forget();
    status = LaunchStatus(platform::ShellExecuteA(owner, verb, file, nullptr, nullptr, show));
  });
}

int32_t CShellExecute::ExtendedLaunch(const char* member, platform::WindowHandle owner,
                                      const std::string& file, const std::string& parameters,
                                      const std::string& directory, int32_t show) {
  return runtime::Trapped<int32_t>(member, [&](int32_t& status) {
    Forget();
    platform::SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = platform::kSeeMaskNoCloseProcess | platform::kSeeMaskDoEnvSubst;
    info.hwnd = owner;
    info.lpVerb = "Open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = directory.c_str();
    info.nShow = show;
    platform::ShellExecuteExA(&info);
    lngProcessHandle.reset(info.hProcess);
    lngLaunchResult = static_cast<int32_t>(info.hInstApp);
    status = LaunchStatus(info.hInstApp);
  });
}

bool CShellExecute::StillExecuting() const {
  return runtime::Trapped<bool>("StillExecuting", [&](bool& running) {
    // The guard looks at the shell's answer, not at the handle.
    if (lngLaunchResult == 0) return;
    uint32_t exit_code = 0;
    if (platform::GetExitCodeProcess(lngProcessHandle.get(), &exit_code) <= 0) return;
    running = exit_code == platform::kStillActive;
  });
}

int32_t CShellExecute::Explore(platform::WindowHandle lnghWnd, const std::string& strFolder,
                               int32_t eShowStyle) {
  return SimpleLaunch("Explore", lnghWnd, "explore", strFolder, eShowStyle);
}

int32_t CShellExecute::LaunchDocument(platform::WindowHandle lnghWnd,
                                      const std::string& strDocument, const std::string& strStartIn,
                                      int32_t eShowStyle) {
  return ExtendedLaunch("LaunchDocument", lnghWnd, strDocument, "", strStartIn, eShowStyle);
}

int32_t CShellExecute::LaunchEmail(platform::WindowHandle lnghWnd, const std::string& strAddress,
                                   int32_t eShowStyle) {
  return SimpleLaunch("LaunchEmail", lnghWnd, nullptr, "mailto:" + strAddress, eShowStyle);
}

int32_t CShellExecute::LaunchFolder(platform::WindowHandle lnghWnd, const std::string& strFolder,
                                    int32_t eShowStyle) {
  return SimpleLaunch("LaunchFolder", lnghWnd, "open", strFolder, eShowStyle);
}

int32_t CShellExecute::LaunchProgram(platform::WindowHandle lnghWnd, const std::string& strProgram,
                                     const std::string& strParameters,
                                     const std::string& strStartIn, int32_t eShowStyle) {
  return ExtendedLaunch("LaunchProgram", lnghWnd, strProgram, strParameters, strStartIn,
                        eShowStyle);
}

int32_t CShellExecute::LaunchURL(platform::WindowHandle lnghWnd, const std::string& strURL,
                                 int32_t eShowStyle) {
  return SimpleLaunch("LaunchURL", lnghWnd, nullptr, strURL, eShowStyle);
}

int32_t CShellExecute::PrintDocument(platform::WindowHandle lnghWnd,
                                     const std::string& strDocument) {
  return SimpleLaunch("PrintDocument", lnghWnd, "print", strDocument, platform::kSwHide);
}
