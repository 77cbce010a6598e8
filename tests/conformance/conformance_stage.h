// What the table of Windows' answers needs arranged before it asks: a registry key and a folder
// of its own, files with version resources, another program holding the clipboard, and the
// user's answer to a message box. Each backend's tests build the stage their way: over the
// simulated machine, and over the real system, where everything made is removed again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace conformance {

struct ShownBox {
  std::string caption;
  std::string text;
};

class Stage {
 public:
  virtual ~Stage() = default;

  // True where the answers come from Wine, which differs from Windows in a few documented ways.
  virtual bool UnderWine() const = 0;

  // A key below HKEY_CURRENT_USER that belongs to this stage, and values written below it.
  virtual std::string Key() const = 0;
  virtual void PutValue(const std::string& sub_key, const std::string& name, uint32_t type,
                        const std::vector<uint8_t>& data) = 0;

  // A folder that belongs to this stage, without a trailing backslash, and what is made in it.
  // Paths are below the folder and may pass MAX_PATH.
  virtual std::string Folder() const = 0;
  virtual void MakeFolder(const std::string& relative) = 0;
  virtual void MakeFile(const std::string& relative) = 0;
  virtual void MakeReadOnly(const std::string& relative) = 0;
  virtual void MakeCurrent(const std::string& folder) = 0;

  // Files whose version resource holds file version 5.0.38.0, in the 32-bit layout, and
  // 5.0.3810.0 in the 16-bit one, and a library without any.
  virtual std::string VersionedLibrary() = 0;
  virtual std::string SixteenBitLibrary() = 0;
  virtual std::string UnversionedLibrary() = 0;

  // Whether the byte opens a two-byte character in the ANSI code page given: the simulated
  // machine's answer in that code page, the real system's for that code page.
  virtual bool IsLeadByteOf(uint32_t code_page, uint8_t byte) = 0;

  // Another program opens the clipboard and keeps it open while the stage lasts.
  virtual void HoldClipboardElsewhere() = 0;

  // The next message box is answered with its OK button; the boxes shown so far.
  virtual void AnswerNextBoxWithOk() = 0;
  virtual std::vector<ShownBox> BoxesShown() = 0;
};

// The stage of the backend the tests are built with, fresh for each question.
std::unique_ptr<Stage> MakeStage();

}  // namespace conformance
