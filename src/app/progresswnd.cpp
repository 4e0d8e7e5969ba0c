#include "app/progresswnd.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int kCaptionBuffer = 512;

void MessageFont(CFont& font) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font.CreateFontIndirect(&metrics.lfMessageFont);
}

void FillFace(CDC* pDC) {
  RECT clip;
  ::GetClipBox(pDC->m_hDC, &clip);
  HBRUSH brush = ::GetSysColorBrush(COLOR_BTNFACE);
  HGDIOBJ old = ::SelectObject(pDC->m_hDC, brush);
  ::PatBlt(pDC->m_hDC, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, PATCOPY);
  ::SelectObject(pDC->m_hDC, old);
}

// Resizes the window, keeping its top-left corner, to a client area of width x height.
void SizeClient(HWND hwnd, int width, int height) {
  RECT outer{0, 0, width, height};
  ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
  ::SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CString TextOf(const CWnd& wnd) { return wnd.m_hWnd ? wnd.GetWindowText() : CString(); }

}  // namespace

int ProgressPercent(int position, int lower, int upper) {
  if (upper <= lower) return 0;
  return static_cast<int>(static_cast<long long>(position) * 100 / (static_cast<long long>(upper) - lower));
}

CString CutAtCharacter(const CString& text, int maxBytes) {
  if (text.GetLength() <= maxBytes) return text;
  int cut = maxBytes;
  // Step back over continuation bytes to the start of the character that would be split.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) cut--;
  return text.Left(cut);
}

// ---- CProgressWnd

BEGIN_MESSAGE_MAP(CProgressWnd, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CProgressWnd::CProgressWnd(CWnd* parent, int unused) { Create(parent, unused); }

CProgressWnd::~CProgressWnd() { DestroyWindow(); }

BOOL CProgressWnd::Create(CWnd* parent, int) {
  MessageFont(m_font);
  m_pParent = parent ? parent : AfxGetMainWnd();
  if (!m_bitmap.m_hObject && !m_bitmap.LoadBitmap(IDB_PROGRESS)) return FALSE;
  BITMAP info{};
  m_bitmap.GetBitmap(&info);
  m_bitmapWidth = info.bmWidth;
  m_bitmapHeight = info.bmHeight;
  const int u = m_unit;
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - m_bitmapWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - 8 * u - m_bitmapHeight) / 2;
  if (!CreateEx(0, cls, "", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, x, y, m_bitmapWidth,
                m_bitmapHeight + 10 * u, m_pParent ? m_pParent->m_hWnd : nullptr, nullptr))
    return FALSE;
  const CRect tiny(0, 0, 1, 1);
  if (!m_picture.Create("", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOPREFIX, tiny, this, 10)) return FALSE;
  m_picture.SetBitmap(m_bitmap);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  if (!m_caption.Create("", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, tiny, this, 11)) return FALSE;
  if (!m_count.Create("", WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_NOPREFIX, tiny, this, 12)) return FALSE;
  m_caption.SetFont(&m_font, TRUE);
  m_count.SetFont(&m_font, TRUE);
  if (!m_bar.Create(WS_CHILD | WS_VISIBLE | PBS_SMOOTH, tiny, this, 13)) return FALSE;
  PlaceControls(m_bitmapWidth);
  CenterWindow();
  Show();
  return TRUE;
}

void CProgressWnd::PlaceControls(int width) {
  const int u = m_unit;
  const int h = m_bitmapHeight;
  m_picture.MoveWindow(0, 0, width, h);
  m_caption.MoveWindow(u, h, 70 * u, 3 * u);
  m_count.MoveWindow(width - 30 * u, h, 29 * u, 3 * u);
  m_bar.MoveWindow(u, h + 4 * u, width - 2 * u, 3 * u);
  SizeClient(m_hWnd, width, h + 8 * u);
}

int CProgressWnd::Open(int unused) {
  if (!m_hWnd && !Create(m_pParent, unused)) return 0;
  if (m_pParent && m_pParent->m_hWnd) m_pParent->EnableWindow(FALSE);
  EnableWindow(TRUE);
  return 1;
}

void CProgressWnd::SetRange(int lower, int upper, int step) {
  if (!m_hWnd) return;
  m_bar.SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  m_upper = upper;
  m_lower = lower;
  m_step = step;
  m_bar.SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int CProgressWnd::SetPos(int position) {
  if (!m_hWnd) return m_position;
  Show();
  m_position = position;
  const int percent = ProgressPercent(position, m_lower, m_upper);
  if (m_upper != 0) {
    CString count;
    count.Format("%d  /  %d  [%d%%]", position, m_upper, percent);
    m_count.SetWindowText(count);
  }
  UpdateData(FALSE);
  return static_cast<int>(m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

int CProgressWnd::StepIt() {
  if (!m_hWnd) return m_position;
  Show();
  return SetPos(m_position + m_step);
}

void CProgressWnd::SetText(const char* format, ...) {
  if (!m_hWnd) return;
  CString text;
  va_list args;
  va_start(args, format);
  text.FormatV(format, args);
  va_end(args);
  m_caption.SetWindowText(CutAtCharacter(text, kCaptionBuffer - 1));
}

void CProgressWnd::Show() {
  if (!m_hWnd || IsWindowVisible()) return;
  ModifyStyle(0, WS_VISIBLE);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  CenterWindow();
  ShowWindow(SW_SHOWNA);
}

BOOL CProgressWnd::DestroyWindow() {
  if (m_pParent && m_pParent->m_hWnd) m_pParent->EnableWindow(TRUE);
  if (!m_hWnd) return FALSE;
  return CWnd::DestroyWindow();
}

CString CProgressWnd::GetCountText() const { return TextOf(m_count); }

CString CProgressWnd::GetCaptionText() const { return TextOf(m_caption); }

BOOL CProgressWnd::OnEraseBkgnd(CDC* pDC) {
  FillFace(pDC);
  return TRUE;
}

HBRUSH CProgressWnd::OnCtlColor(CDC* pDC, CWnd*, UINT) {
  static COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  static HBRUSH brush = ::CreateSolidBrush(face);
  ::SetBkColor(pDC->m_hDC, face);
  return brush;
}

// ---- CSceneProgressWnd

BEGIN_MESSAGE_MAP(CSceneProgressWnd, CWnd)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSceneProgressWnd::CSceneProgressWnd(CWnd* parent, const char* title, int left, int top, int right, int bottom,
                                     BOOL smooth) {
  if (title) m_title = title;
  LPCTSTR cls = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_APPSTARTING),
                                    ::GetSysColorBrush(COLOR_BTNFACE));
  MessageFont(m_font);
  CWnd* owner = parent ? parent : AfxGetMainWnd();
  if (!CreateEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, cls, "Scene", WS_POPUP | WS_VISIBLE | WS_CAPTION, left, top,
                right - left, bottom - top, owner ? owner->m_hWnd : nullptr, nullptr))
    return;
  if (!m_text.Create("", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, CRect(5, 5, 125, 25), this, 11))
    return;
  m_text.SetFont(&m_font, TRUE);
  const int width = right - left;
  if (!m_bar.Create(WS_CHILD | WS_VISIBLE | (smooth ? PBS_SMOOTH : 0), CRect(125, 5, width - 10, 25), this, 12))
    return;
  SizeClient(m_hWnd, width - 5, 30);
  Show();
}

CSceneProgressWnd::~CSceneProgressWnd() { DestroyWindow(); }

BOOL CSceneProgressWnd::DestroyWindow() { return m_hWnd ? CWnd::DestroyWindow() : FALSE; }

void CSceneProgressWnd::SetRange(int lower, int upper, int step) {
  if (!m_hWnd) return;
  m_bar.SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
  m_lower = lower;
  m_upper = upper;
  m_step = step;
  m_bar.SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int CSceneProgressWnd::StepIt() {
  if (!m_hWnd) return m_position;
  Show();
  return SetPos(m_position + m_step);
}

int CSceneProgressWnd::SetPos(int position) {
  if (!m_hWnd) return m_position;
  Show();
  m_position = position;
  const int percent = ProgressPercent(position, m_lower, m_upper);
  if (percent != m_lastPercent) {
    m_lastPercent = percent;
    CString text;
    text.Format("%s [%d%%]", (LPCSTR)m_title, percent);
    m_text.SetWindowText(text);
  }
  return static_cast<int>(m_bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(position), 0));
}

void CSceneProgressWnd::Show() {
  if (!m_hWnd || IsWindowVisible()) return;
  ModifyStyle(0, WS_VISIBLE);
  ShowWindow(SW_SHOWNORMAL);
  RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
  Invalidate(FALSE);
}

CString CSceneProgressWnd::GetText() const { return TextOf(m_text); }

BOOL CSceneProgressWnd::OnEraseBkgnd(CDC* pDC) {
  FillFace(pDC);
  return TRUE;
}
