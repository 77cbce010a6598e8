// The program's only window: two Java panels, the report box and the bottom bar.
#pragma once

#include <array>
#include <cstdint>

#include "report_window/control.h"

class frmMain : public platform::toolkit::FormEvents {
 public:
  frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Loads the form, shows it and returns when it is unloaded.
  void Show();

  void Load() override;
  void Resize() override;
  void Click(platform::toolkit::ControlId control) override;

  // The commands of the four buttons.
  void btnCopy_Click();
  void btnClose_Click();
  void btnDownload_Click(int16_t Index);

  // Index 0 is the Microsoft Java panel, index 1 the Sun one; resPict(0) holds the cross,
  // resPict(1) the tick.
  std::array<Control, 2> resPict;
  std::array<Control, 2> Frame1;
  std::array<Control, 2> btnDownload;
  std::array<Control, 2> Pict;
  std::array<Control, 2> lblVersion;
  Control Picture1;
  Control btnCopy;
  Control btnClose;
  Control Text1;
};
