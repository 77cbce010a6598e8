// Hands folders, documents, addresses and programs to the Windows shell. Each launching member
// returns the launch status: -1 when the shell reports success, else its error code (0 to
// 32); a member that fails reports under its own name and returns 0.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "support/scoped_handle.h"

class CShellExecute {
 public:
  CShellExecute() = default;
  CShellExecute(const CShellExecute&) = delete;
  CShellExecute& operator=(const CShellExecute&) = delete;

  // Whether the process of the last LaunchDocument or LaunchProgram is still running.
  bool StillExecuting() const;

  int32_t Explore(platform::WindowHandle lnghWnd, const std::string& strFolder,
                  int32_t eShowStyle = platform::kSwShowDefault);
  int32_t LaunchDocument(platform::WindowHandle lnghWnd, const std::string& strDocument,
                         const std::string& strStartIn,
                         int32_t eShowStyle = platform::kSwShowDefault);
  int32_t LaunchEmail(platform::WindowHandle lnghWnd, const std::string& strAddress,
                      int32_t eShowStyle = platform::kSwShowDefault);
  int32_t LaunchFolder(platform::WindowHandle lnghWnd, const std::string& strFolder,
                       int32_t eShowStyle = platform::kSwShowDefault);
  int32_t LaunchProgram(platform::WindowHandle lnghWnd, const std::string& strProgram,
                        const std::string& strParameters = "", const std::string& strStartIn = "",
                        int32_t eShowStyle = platform::kSwShowDefault);
  int32_t LaunchURL(platform::WindowHandle lnghWnd, const std::string& strURL,
                    int32_t eShowStyle = platform::kSwShowDefault);
  int32_t PrintDocument(platform::WindowHandle lnghWnd, const std::string& strDocument);

 private:
  int32_t SimpleLaunch(const char* member, platform::WindowHandle owner, const char* verb,
                       const std::string& file, int32_t show);
  int32_t ExtendedLaunch(const char* member, platform::WindowHandle owner, const std::string& file,
                         const std::string& parameters, const std::string& directory, int32_t show);
  // Both describe the most recent launch; every launch clears them first.
  void Forget();

  int32_t lngLaunchResult = 0;  // the shell's raw answer to the last extended launch
  // The process of that launch; it is closed when a later launch or the object's end
  // forgets it.
  support::ScopedProcess lngProcessHandle;
};
