// The control tree of frmMain, in creation order.
#include "report_window/frmMain.h"

namespace toolkit = platform::toolkit;
using toolkit::ControlKind;
using toolkit::Picture;

namespace {

constexpr double kInitialClientWidth = 5310;
constexpr double kInitialClientHeight = 6015;

const toolkit::Font kFrameFont{"MS Sans Serif", 82500, 700, 0};
const toolkit::Font kReportFont{"MS Sans Serif", 97500, 400, 0};

toolkit::ControlSpec Hidden(toolkit::ControlSpec spec) {
  spec.visible = false;
  return spec;
}

toolkit::ControlSpec WithFont(toolkit::ControlSpec spec, const toolkit::Font& font) {
  spec.font = font;
  return spec;
}

toolkit::ControlSpec WithPicture(toolkit::ControlSpec spec, Picture picture) {
  spec.picture = picture;
  return spec;
}

// One Java panel: its frame and the three controls inside it. Tab indices differ per panel.
struct PanelTabs {
  int16_t frame, download, picture, label;
};

void CreatePanel(frmMain& form, int index, const char* caption, double left, PanelTabs tabs) {
  form.Frame1[index] = Control(
      WithFont({ControlKind::Frame, toolkit::kForm, caption, {left, 60, 2535, 1095}, tabs.frame},
               kFrameFont));
  const toolkit::ControlId frame = form.Frame1[index].Id();
  form.btnDownload[index] = Control(
      {ControlKind::CommandButton, frame, "Download", {1020, 660, 1215, 315}, tabs.download});
  form.Pict[index] = Control(WithPicture(
      {ControlKind::PictureBox, frame, "", {180, 360, 540, 540}, tabs.picture}, Picture::Cross));
  form.lblVersion[index] =
      Control({ControlKind::Label, frame, "lblVersion", {900, 300, 1515, 255}, tabs.label});
}

}  // namespace

frmMain::frmMain() {
  toolkit::CreateForm({" Sondrel", kInitialClientWidth, kInitialClientHeight}, *this);
  resPict[1] = Control(
      WithPicture(Hidden({ControlKind::PictureBox, toolkit::kForm, "", {2220, 1500, 540, 540}, 11}),
                  Picture::Tick));
  resPict[0] = Control(
      WithPicture(Hidden({ControlKind::PictureBox, toolkit::kForm, "", {1680, 1500, 540, 540}, 10}),
                  Picture::Cross));
  CreatePanel(*this, 1, "Java Sun", 2700, {6, 9, 7, 13});
  CreatePanel(*this, 0, "Java Microsoft", 60, {4, 8, 5, 12});
  Picture1 = Control({ControlKind::PictureBox, toolkit::kForm, "", {0, 5400, 5310, 615}, 1});
  btnCopy = Control(
      {ControlKind::CommandButton, Picture1.Id(), "Copia rapporto", {1440, 120, 1815, 435}, 3});
  btnClose =
      Control({ControlKind::CommandButton, Picture1.Id(), "Chiudi", {3360, 120, 1815, 435}, 2});
  Text1 = Control(WithFont(
      {ControlKind::TextBox, toolkit::kForm, "Text1", {60, 1260, 5175, 2835}, 0}, kReportFont));
}
