// The probe file: an empty file with the extension the shell's browser association is
// registered for, so that the shell can be asked which program opens it.
#pragma once

#include <string>

// Made in the first folder that can hold it: the program's own, else the temporary folder,
// else the Windows folder's Temp. The program's folder cannot where it is read-only (a CD, a
// share, a protected stick), where its name does not survive the ANSI code page (the system
// hands out "?" for the characters it cannot hold), or where the path would be too long.
// A file of that name that the user already has is used as it is and never touched; only a
// file made here is deleted, when the probe file goes.
class ProbeFile {
 public:
  static constexpr char kName[] = "kelvoran.htm";

  ProbeFile() noexcept;
  ~ProbeFile();
  ProbeFile(const ProbeFile&) = delete;
  ProbeFile& operator=(const ProbeFile&) = delete;

  // The folder that holds it; empty where no folder could.
  const std::string& Folder() const { return folder_; }

 private:
  bool TakeFolder(const std::string& folder);

  std::string folder_;
  std::string path_;
  bool made_here_ = false;
};
