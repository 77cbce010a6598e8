// Operating-system facts. Every member is a fresh, stateless platform query that traps its own
// errors: a failing member shows the procedure error report and returns its default.
#pragma once

#include <cstdint>
#include <string>

class COSInfo {
 public:
  int32_t DisplayColors() const;  // -1 for 32 bits per pixel, else 2 ^ depth
  std::string Language() const;
  std::string OSAdditional() const;
  int32_t OSBuild() const;
  int32_t OSMajorVersion() const;
  int32_t OSMinorVersion() const;
  std::string SystemDirectory() const;
  std::string WindowsDirectory() const;
  int32_t WindowsType() const;

 private:
  // The text before the first NUL.
  std::string TrimNulls(const std::string& text) const;
};
