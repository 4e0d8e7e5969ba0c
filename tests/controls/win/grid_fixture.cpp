#include "grid_fixture.h"

#include <cstring>

#include "uitest.h"

bool GridTest::s_bPreTranslate = true;

namespace {
// The application's pre-translation for every message this thread takes out of its queue: a
// message it handles becomes WM_NULL.
LRESULT CALLBACK PreTranslateHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && GridTest::s_bPreTranslate && msg->message != WM_NULL &&
      AfxPreTranslateMessage(msg))
    msg->message = WM_NULL;
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

CGridDlg::CGridDlg() : CDialog(IDD_TESTGRID) {
  gridB = static_cast<CGridCtrl*>(RUNTIME_CLASS(CGridCtrl)->CreateObject());
}

CGridDlg::~CGridDlg() {
  if (m_hWnd) DestroyWindow();
  delete gridB;
}

std::vector<GridEvent> CGridDlg::Events(UINT id, int code) const {
  std::vector<GridEvent> found;
  for (const GridEvent& e : events)
    if (e.id == id && e.code == code) found.push_back(e);
  return found;
}

void CGridDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_GRID_A, gridA);
  DDX_Control(pDX, IDC_GRID_B, *gridB);
}

BOOL CGridDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  const auto* n = reinterpret_cast<const GridNotify*>(lParam);
  if (wParam == IDC_GRID_A || wParam == IDC_GRID_B)
    events.push_back(GridEvent{(UINT)wParam, (int)n->hdr.code, n->row, n->col});
  return CDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CGridDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) == 0 && (LOWORD(wParam) == IDC_GRID_A || LOWORD(wParam) == IDC_GRID_B))
    events.push_back(GridEvent{LOWORD(wParam), 0, -1, -1});
  return CDialog::OnCommand(wParam, lParam);
}

void FillGrid(CGridCtrl& grid, int rows, int cols) {
  grid.SetRows(rows);
  grid.SetColumns(cols);
  grid.SetFixedRows(1);
  grid.SetFixedColumns(1);
  for (int col = 1; col < cols; col++) grid.SetCellText(0, col, ("c" + std::to_string(col)).c_str());
  for (int row = 1; row < rows; row++) {
    grid.SetCellText(row, 0, ("r" + std::to_string(row)).c_str());
    for (int col = 1; col < cols; col++)
      grid.SetCellText(row, col, ("r" + std::to_string(row) + "c" + std::to_string(col)).c_str());
    if (row % 5 == 0 && cols > 2) grid.SetCellText(row, 2, ("한글" + std::to_string(row)).c_str());
  }
  if (rows > 3 && cols > 3) grid.SetCellText(3, 3, "");
}

void GridTest::SetUp() {
  m_hook = ::SetWindowsHookExA(WH_GETMESSAGE, PreTranslateHook, nullptr, ::GetCurrentThreadId());
  s_bPreTranslate = true;
  ASSERT_TRUE(dlg.Create(IDD_TESTGRID));
  FillGrid(dlg.gridA);
  FillGrid(*dlg.gridB);
  dlg.SetWindowPos(nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  dlg.SetForegroundWindow();
  dlg.gridA.SetFocus();
  uitest::PumpPending();
  uitest::MouseTo(1200, 1000);
  dlg.events.clear();
}

void GridTest::TearDown() {
  uitest::MouseButton(false);
  for (WORD vk : {VK_SHIFT, VK_CONTROL, VK_MENU})
    if (::GetAsyncKeyState(vk) < 0) uitest::Key(vk, false);
  dlg.DestroyWindow();
  uitest::PumpPending();
  ::UnhookWindowsHookEx(m_hook);
}

POINT GridTest::CellCorner(CGridCtrl& grid, int row, int col, int dx, int dy) const {
  CRect r;
  EXPECT_TRUE(grid.GetCellBounds(row, col, &r)) << row << "," << col;
  POINT p{r.left + dx, r.top + dy};
  grid.ClientToScreen(&p);
  return p;
}

POINT GridTest::CellPoint(CGridCtrl& grid, int row, int col) const {
  CRect r;
  EXPECT_TRUE(grid.GetCellBounds(row, col, &r)) << row << "," << col;
  return CellCorner(grid, row, col, r.Width() / 2, r.Height() / 2);
}

void GridTest::ClickHere(POINT p) {
  uitest::MouseButtonAt(p.x, p.y, true);
  uitest::MouseButtonAt(p.x, p.y, false);
}

void GridTest::NotADoubleClick() {
  ::Sleep(::GetDoubleClickTime() + 20);
  uitest::PumpPending();
}

void GridTest::Click(POINT p) {
  uitest::MouseTo(p.x, p.y);
  ClickHere(p);
}

// The cursor is moved first: Wine takes the keys' state from the X server when the pointer
// enters a window, which would let a key sent before go.
void GridTest::ClickWith(WORD vk, CGridCtrl& grid, int row, int col) {
  const POINT p = CellPoint(grid, row, col);
  uitest::MouseTo(p.x, p.y);
  uitest::Key(vk, true);
  ClickHere(p);
  uitest::Key(vk, false);
}

void GridTest::Press(WORD vk) {
  uitest::Key(vk, true);
  uitest::Key(vk, false);
}

void GridTest::PressWith(WORD modifier, WORD vk) {
  uitest::Key(modifier, true);
  Press(vk);
  uitest::Key(modifier, false);
}

// All the keys in one input, then what they made dispatched.
void GridTest::Type(const char* text) {
  std::vector<INPUT> keys;
  for (const char* c = text; *c; c++) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = (WORD)(::VkKeyScanA(*c) & 0xFF);
    in.ki.wScan = (WORD)::MapVirtualKeyA(in.ki.wVk, MAPVK_VK_TO_VSC);
    keys.push_back(in);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    keys.push_back(in);
  }
  ::SendInput((UINT)keys.size(), keys.data(), sizeof(INPUT));
  ::Sleep(50);
  uitest::PumpPending();
}

COLORREF GridTest::Pixel(CWnd& wnd, int x, int y) {
  wnd.UpdateWindow();
  uitest::PumpPending();
  HDC dc = ::GetDC(wnd.m_hWnd);
  const COLORREF c = ::GetPixel(dc, x, y);
  ::ReleaseDC(wnd.m_hWnd, dc);
  return c;
}

std::string ClipboardText() {
  std::string text;
  if (!::OpenClipboard(nullptr)) return "(clipboard busy)";
  if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
    const char* p = static_cast<const char*>(::GlobalLock(h));
    if (p) text.assign(p, ::GlobalSize(h));
    ::GlobalUnlock(h);
  }
  ::CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(::GlobalLock(h), text.c_str(), text.size() + 1);
  ::GlobalUnlock(h);
  if (!::OpenClipboard(nullptr)) return;
  ::EmptyClipboard();
  ::SetClipboardData(CF_TEXT, h);
  ::CloseClipboard();
}
