// Operating-system facts. Every member is a fresh, stateless platform query that traps its own
// errors: a failing member shows the procedure error report and returns its default.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "support/modRegistry.h"

class COSInfo {
 public:
  bool Beep() const;
  void Beep(bool fValue) const;
  std::string ComputerName() const;
  // Changes the configured name; the running system keeps reporting the old one.
  void ComputerName(const std::string& strValue) const;
  std::string CurrentHardwareProfile() const;
  std::string DefaultCompanyName() const;
  std::string DefaultUserName() const;
  int32_t DisplayColors() const;  // -1 for 32 bits per pixel, else 2 ^ depth
  // A new GUID in registry form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
  std::string GUID() const;
  std::string Language() const;
  bool LargeFonts() const;  // exactly 120 logical pixels per inch
  std::string OSAdditional() const;
  int32_t OSBuild() const;
  int32_t OSMajorVersion() const;
  int32_t OSMinorVersion() const;
  bool ScreenSaverActive() const;
  void ScreenSaverActive(bool fValue) const;
  int32_t ScreenSaverTimeout() const;  // seconds
  void ScreenSaverTimeout(int32_t lngValue) const;
  std::string SystemDirectory() const;
  // The name a temporary file with this prefix would get; no file is made.
  std::string TempFile(const std::string& strPrefix) const;
  std::string TempPath() const;
  std::string UserName() const;
  std::string WindowsDirectory() const;
  int32_t WindowsType() const;
  // The desktop minus docked bars, in pixels. On overflow the parameters set before it keep
  // their new values and the rest keep the caller's.
  void GetWorkArea(int16_t& intLeft, int16_t& intTop, int16_t& intWidth, int16_t& intHeight) const;

 private:
  modRegistry::RegistryValue RegistryGetKeyValue(platform::RegistryKey root,
                                                 const std::string& key_path,
                                                 const std::string& value_name) const;
  // The text before the first NUL.
  std::string TrimNulls(const std::string& text) const;
};
