#include "report_window/frmMain.h"

int main() {
  frmMain form;
  form.Show();
  return 0;
}
