// The test dialog holding one of each control, and pictures of windows read back through the
// capture functions.
#pragma once
#include <string>
#include <vector>

#include "controls/colorbutton.h"
#include "controls/colorpicker.h"
#include "controls/dibimage.h"
#include "controls/editcombo.h"
#include "controls/hoverbutton.h"
#include "controls/numedit.h"
#include "controls/scrolltext.h"
#include "controlstest.h"

// Records the messages that push buttons and pickers send their notify window.
struct NotifyLog {
  std::vector<std::pair<UINT, WPARAM>> seen;
  int Count(UINT message) const;
};

class CControlsDlg : public CDialog {
 public:
  CControlsDlg() : CDialog(IDD_TESTCONTROLS) {}
  CHoverButton toggle, push;
  CColorPickerButton picker, pickerOff;
  CColorButton bevel[4];
  CNumEdit num;
  CNumSpinCtrl spin;
  CEdit plain;
  CNumSpinCtrl plainSpin;
  CEditComboBox combo, comboOwn;
  CScrollTextStatic scroller;
  NotifyLog log;

  void DoDataExchange(CDataExchange* pDX) override;

 protected:
  afx_msg LRESULT OnNotifyMessage(WPARAM wParam, LPARAM lParam);
  afx_msg void OnMenuOpen();
  DECLARE_MESSAGE_MAP()
};

// A window's client area captured by CaptureWindowToDib into a .bmp file and read back.
class Capture {
 public:
  // The whole client area, or width x height of it from (0, 0).
  explicit Capture(HWND hWnd, int width = 0, int height = 0);
  bool ok = false;
  std::string path;
  DibImage image;
  COLORREF At(int x, int y) const;  // y from the top
};

// A file name in the temporary folder, unique to this run.
std::string TempPath(const char* name);
