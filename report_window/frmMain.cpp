#include "report_window/frmMain.h"

#include <algorithm>

#include "report_window/report_pass.h"

namespace toolkit = platform::toolkit;

void frmMain::Show() { toolkit::RunForm(); }

void frmMain::Load() { BuildReport(*this); }

void frmMain::Resize() {
  const double width = toolkit::ClientWidth();
  // The bottom bar is docked to the bottom edge before the layout below looks at it.
  Picture1.Move(0, toolkit::ClientHeight() - Picture1.Height(), width, Picture1.Height());

  const double text_top = Frame1[0].Top() + Frame1[0].Height() + 100;
  // A client area shorter than the frames and the bar would give a negative height.
  const double text_height = std::max(0.0, Picture1.Top() - text_top);
  Text1.Move(0, text_top, width, text_height);
  btnCopy.Move(width / 2 - btnCopy.Width() - 100, btnCopy.Top(), btnCopy.Width(), btnCopy.Height());
  btnClose.Move(width / 2 + 100, btnClose.Top(), btnClose.Width(), btnClose.Height());
}
