#include "controls_fixture.h"

#include <algorithm>

#include "uitest.h"

int NotifyLog::Count(UINT message) const {
  return (int)std::count_if(seen.begin(), seen.end(), [&](const auto& m) { return m.first == message; });
}

BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
  ON_MESSAGE(WM_HOVERBUTTON_DOWN, OnNotifyMessage)
  ON_MESSAGE(WM_HOVERBUTTON_UP, OnNotifyMessage)
  ON_MESSAGE(WM_HOVERBUTTON_REPEAT, OnNotifyMessage)
  ON_MESSAGE(WM_COLORPICKER_CHANGED, OnNotifyMessage)
  ON_COMMAND(IDM_TESTMENU_OPEN, OnMenuOpen)
END_MESSAGE_MAP()

void CControlsDlg::OnMenuOpen() { log.seen.emplace_back(WM_COMMAND, IDM_TESTMENU_OPEN); }

LRESULT CControlsDlg::OnNotifyMessage(WPARAM wParam, LPARAM) {
  log.seen.emplace_back(GetCurrentMessage()->message, wParam);
  return 0;
}

void CControlsDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_HOVER_TOGGLE, toggle);
  DDX_Control(pDX, IDC_HOVER_PUSH, push);
  DDX_Control(pDX, IDC_PICKER, picker);
  DDX_Control(pDX, IDC_PICKER_OFF, pickerOff);
  const int bevels[4] = {IDC_BEVEL0, IDC_BEVEL1, IDC_BEVELM1, IDC_BEVEL2};
  for (int i = 0; i < 4; i++) DDX_Control(pDX, bevels[i], bevel[i]);
  DDX_Control(pDX, IDC_NUMEDIT, num);
  DDX_Control(pDX, IDC_NUMSPIN, spin);
  DDX_Control(pDX, IDC_PLAINEDIT, plain);
  DDX_Control(pDX, IDC_PLAINSPIN, plainSpin);
  DDX_Control(pDX, IDC_COMBO, combo);
  DDX_Control(pDX, IDC_COMBO_OWN, comboOwn);
  DDX_Control(pDX, IDC_SCROLLER, scroller);
}

std::string TempPath(const char* name) {
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + "vedra-controls-" + std::to_string(::GetCurrentProcessId()) + "-" + name;
}

Capture::Capture(HWND hWnd, int width, int height) : path(TempPath("capture.bmp")) {
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  uitest::PumpPending();
  ok = CaptureWindowToDib(path.c_str(), CWnd::FromHandle(hWnd), SRCCOPY, 0, width, height, 0, 0) &&
       image.Load(path.c_str());
  ::DeleteFileA(path.c_str());
}

COLORREF Capture::At(int x, int y) const {
  if (image.IsEmpty() || x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight()) return CLR_INVALID;
  const int bits = image.GetBitCount();
  const BYTE* row = image.GetBits() + (size_t)DibPaddedBytesPerLine(bits, image.GetWidth()) * (image.GetHeight() - 1 - y);
  if (bits == 24) return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
  if (bits == 32) return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
  return CLR_INVALID;
}
