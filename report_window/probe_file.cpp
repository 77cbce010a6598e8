#include "report_window/probe_file.h"

#include <vector>

#include "platform/platform.h"
#include "support/plain_file.h"
#include "support/program_folder.h"
#include "support/scoped_handle.h"

namespace {

// Room for any folder the ANSI calls hand out, and its NUL.
constexpr uint32_t kFolderRoom = 261;
// The single-byte calls take paths shorter than MAX_PATH, whose count includes the NUL; the
// shell's look-up takes no longer one even where the system makes the file.
constexpr size_t kMaxPath = 260;

std::string TemporaryFolder() {
  std::vector<char> buffer(kFolderRoom, '\0');
  const uint32_t length = platform::GetTempPathA(kFolderRoom, buffer.data());
  return length < kFolderRoom ? std::string(buffer.data(), length) : std::string();
}

// Its access list lets every user make files there on the NT family; 9x keeps its temporary
// files there.
std::string WindowsTemporaryFolder() {
  std::vector<char> buffer(kFolderRoom, '\0');
  const uint32_t length = platform::GetWindowsDirectoryA(buffer.data(), kFolderRoom);
  if (length == 0 || length >= kFolderRoom) return std::string();
  return support::PathInFolder(std::string(buffer.data(), length), "Temp");
}

// A file, not a folder, that the user already has.
bool IsExistingFile(const std::string& path) {
  const uint32_t attributes = platform::GetFileAttributesA(path);
  return attributes != platform::kInvalidFileAttributes &&
         (attributes & platform::kFileAttributeDirectory) == 0;
}

}  // namespace

ProbeFile::ProbeFile() noexcept {
  using Folder = std::string (*)();
  for (const Folder folder :
       {Folder{support::ProgramFolder}, Folder{TemporaryFolder}, Folder{WindowsTemporaryFolder}}) {
    // A folder that cannot be named, or a call the system lacks, leaves the next folder to try.
    try {
      if (TakeFolder(folder())) return;
    } catch (...) {
    }
    folder_.clear();
  }
}

ProbeFile::~ProbeFile() {
  if (made_here_) support::ReleaseQuietly([this] { platform::DeleteFileA(path_); });
}

bool ProbeFile::TakeFolder(const std::string& folder) {
  if (folder.empty()) return false;
  // Named before the file is made, so nothing can fail between making it and knowing to delete it.
  folder_ = folder;
  path_ = support::PathInFolder(folder, kName);
  if (path_.size() >= kMaxPath) return false;
  const support::ScopedFile made(platform::CreateFileA(
      path_, platform::kGenericWrite, 0, platform::kCreateNew, platform::kFileAttributeNormal));
  made_here_ = made.valid();
  return made_here_ || IsExistingFile(path_);
}
