// The plan bar over a real plan view, driven by the messages a user's mouse and keys make: the
// tools and their fields, the colour dialog's Apply, the grid setting at its finest with a point
// grid, a door whose symbol file is missing, and a printed page.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "doc/reg.h"
#include "doc/shell.h"
#include "doc/vedradoc.h"
#include "models/frame.h"
#include "models/holekinds.h"
#include "models/instance.h"
#include "models/model.h"
#include "models/openingtables.h"
#include "models/wall.h"
#include "plan_fixtures.h"
#include "plan_host_double.h"
#include "res/plan_res.h"
#include "uitest.h"
#include "view2d/planbar.h"
#include "view2d/plandialogs.h"
#include "view2d/planview_draw.h"
#include "view2d/topview.h"

namespace {

class PlanBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetPlanHost(&host);
    BuildSymbolTables();  // no symbol files: every drawing is missing
    doc.m_bAutoDelete = FALSE;
    ASSERT_EQ(doc.CreateNewModel("", nullptr, 0), 1);
    CCreateContext context;
    context.m_pNewViewClass = RUNTIME_CLASS(CTopView);
    context.m_pCurrentDoc = &doc;
    frameWnd = new CFrameWnd;
    ASSERT_TRUE(frameWnd->Create(nullptr, "plan", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1280, 1024), nullptr,
                                 nullptr, 0, &context));
    bar = new CPlanBar;
    ASSERT_TRUE(bar->CreateBar(frameWnd, IDD_BAR, 0x8238, IDD_BAR));
    frameWnd->RecalcLayout();
    view = static_cast<CTopView*>(CWnd::FromHandle(::GetDlgItem(frameWnd->m_hWnd, AFX_IDW_PANE_FIRST)));
    ASSERT_NE(view, nullptr);
    view->OnInitialUpdate();
    uitest::PumpPending();
  }
  void TearDown() override {
    if (frameWnd) frameWnd->DestroyWindow();
    delete bar;
    uitest::PumpPending();
    ReleaseSymbolTables();
    SetPlanHost(nullptr);
  }
  Frame& plan() { return doc.GetModel()->m_frame; }
  HWND Item(UINT id) { return ::GetDlgItem(bar->m_hWnd, static_cast<int>(id)); }
  // A click of the left button on a bar button.
  void Press(UINT id) {
    const HWND b = Item(id);
    ::SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    uitest::PumpPending();
  }
  // The edit field inside a combo box.
  HWND EditOf(UINT id) { return ::GetWindow(Item(id), GW_CHILD); }
  void SelectAll(UINT id) { ::SendMessageA(EditOf(id), EM_SETSEL, 0, -1); }
  void Type(UINT id, const char* keys) {
    for (const char* k = keys; *k; ++k) ::SendMessageA(EditOf(id), WM_CHAR, static_cast<unsigned char>(*k), 1);
  }
  std::string Text(UINT id) {
    char text[64] = {};
    ::GetWindowTextA(Item(id), text, sizeof text);
    return text;
  }
  int Caret(UINT id) { return LOWORD(::SendMessageA(Item(id), CB_GETEDITSEL, 0, 0)); }
  int ButtonX(UINT id) {
    RECT r;
    ::GetWindowRect(Item(id), &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(bar->m_hWnd, &p);
    return p.x;
  }
  bool Visible(UINT id) { return ::IsWindowVisible(Item(id)) != FALSE; }
  bool Enabled(UINT id) { return ::IsWindowEnabled(Item(id)) != FALSE; }
  bool HeldDown(UINT id) { return static_cast<CHoverButton*>(CWnd::FromHandlePermanent(Item(id)))->IsDown() != FALSE; }
  // The view's own paint, timed; the colour at a client point.
  COLORREF Paint(CPoint at, double* seconds = nullptr) {
    CRect r;
    view->GetClientRect(&r);
    CClientDC dc(view);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, r.Width(), r.Height());
    CBitmap* old = mem.SelectObject(&bitmap);
    const auto start = std::chrono::steady_clock::now();
    view->OnDraw(&mem);
    if (seconds) *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const COLORREF c = mem.GetPixel(at.x, at.y);
    mem.SelectObject(old);
    return c;
  }
  CPoint Device(int x, int y) {
    CClientDC dc(view);
    CDC map;
    map.CreateCompatibleDC(&dc);
    CRect r;
    view->GetClientRect(&r);
    PreparePlanDC(map, view->m_state, CSize(r.Width(), r.Height()), CPoint(0, 0));
    CPoint p(x, y);
    map.LPtoDP(&p);
    return p;
  }
  void Rectangle(int w, int h) {
    DrawChain(plan(), {CPoint(-w / 2, -h / 2), CPoint(w / 2, -h / 2), CPoint(w / 2, h / 2), CPoint(-w / 2, h / 2),
                       CPoint(-w / 2, -h / 2)});
    ASSERT_EQ(plan().GetWallCount(), 4);
  }

  RecordingPlanHost host;
  CVedraDoc doc;
  CFrameWnd* frameWnd = nullptr;
  CPlanBar* bar = nullptr;
  CTopView* view = nullptr;
};

}  // namespace

TEST_F(PlanBarTest, ToolsHoldTheirButtonAndShowTheirFields) {
  // The first update takes the wall tool.
  EXPECT_EQ(bar->GetActiveTool(), PLAN_TOOL_WALL);
  EXPECT_EQ(view->m_mode, 6);
  EXPECT_TRUE(HeldDown(IDC_BAR_WALL));
  EXPECT_FALSE(Enabled(IDC_BAR_WALL));
  EXPECT_TRUE(Visible(IDC_BAR_WALL_THICKNESS));
  EXPECT_FALSE(Visible(IDC_BAR_DOOR_WIDTH));

  // The door tool moves the buttons right of its fields, and back when it is left.
  Press(IDC_BAR_DOOR);
  EXPECT_EQ(view->m_mode, 10);
  EXPECT_TRUE(Visible(IDC_BAR_DOOR_WIDTH));
  EXPECT_FALSE(Visible(IDC_BAR_WALL_THICKNESS));
  EXPECT_TRUE(Enabled(IDC_BAR_WALL));
  EXPECT_EQ(ButtonX(IDC_BAR_WINDOW), 5 + 570);
  EXPECT_EQ(ButtonX(IDC_BAR_WALL), 5 + 630);
  ASSERT_EQ(view->m_pOpening, OpeningTemplateByKind(HOLE_DOOR, 1000));
  EXPECT_EQ(view->m_pOpening->m_posture.size[0], 900.0f);
  EXPECT_EQ(view->m_pOpening->m_posture.size[2], 2100.0f);

  // Select, then select again: back to the door.
  Press(IDC_BAR_SELECT);
  EXPECT_EQ(view->m_mode, 5);
  EXPECT_EQ(ButtonX(IDC_BAR_WINDOW), 5 + 30);
  EXPECT_TRUE(Visible(IDC_BAR_WALL_THICKNESS));  // select shows the wall fields
  Press(IDC_BAR_SELECT);
  EXPECT_EQ(view->m_mode, 10);
  EXPECT_EQ(bar->GetActiveTool(), PLAN_TOOL_DOOR);

  // With a chain of walls open the door tool is refused with its message.
  Press(IDC_BAR_WALL);
  CRect changed;
  plan().AddDrawnWall(CPoint(0, 0), 0, 2400, 150, changed);
  uitest::BoxAnswerer answer(" TAVO  Vedra  ", IDOK);
  Press(IDC_BAR_ROOM);
  EXPECT_EQ(answer.Wait().text, "먼저, 벽그리기 작업을 마쳐야 전환할 수 있습니다");
  EXPECT_EQ(bar->GetActiveTool(), PLAN_TOOL_WALL);
  EXPECT_FALSE(HeldDown(IDC_BAR_ROOM));
  EXPECT_EQ(view->m_mode, 6);
}

TEST_F(PlanBarTest, FieldsKeepTheCaretInTheNumberAndTheirBounds) {
  Press(IDC_BAR_DOOR);
  SelectAll(IDC_BAR_DOOR_WIDTH);
  Type(IDC_BAR_DOOR_WIDTH, "1");
  Type(IDC_BAR_DOOR_WIDTH, "2");
  EXPECT_EQ(Text(IDC_BAR_DOOR_WIDTH), "12mm");
  EXPECT_EQ(Caret(IDC_BAR_DOOR_WIDTH), 2);
  EXPECT_EQ(view->m_pOpening->m_posture.size[0], 12.0f);
  SelectAll(IDC_BAR_DOOR_WIDTH);
  Type(IDC_BAR_DOOR_WIDTH, "\b");
  EXPECT_EQ(Text(IDC_BAR_DOOR_WIDTH), "0mm");
  EXPECT_EQ(Caret(IDC_BAR_DOOR_WIDTH), 0);
  Type(IDC_BAR_DOOR_WIDTH, "12");
  EXPECT_EQ(Text(IDC_BAR_DOOR_WIDTH), "120mm");
  // A minus in front of 0mm in the floor height: -10mm; no minimum there.
  Press(IDC_BAR_ROOM);
  ::SetWindowTextA(Item(IDC_BAR_FLOOR), "0mm");
  ::SendMessageA(Item(IDC_BAR_FLOOR), CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
  Type(IDC_BAR_FLOOR, "-");
  EXPECT_EQ(Text(IDC_BAR_FLOOR), "-10mm");
  EXPECT_EQ(view->m_tools.floorLevel, -10);
  // A door location below 0 is raised to it; a huge wall thickness stays within the bound, and
  // the wall drawn with it is that thick.
  Press(IDC_BAR_DOOR);
  SelectAll(IDC_BAR_DOOR_LOCATION);
  Type(IDC_BAR_DOOR_LOCATION, "-");
  EXPECT_EQ(Text(IDC_BAR_DOOR_LOCATION), "0mm");
  Press(IDC_BAR_WALL);
  SelectAll(IDC_BAR_WALL_THICKNESS);
  Type(IDC_BAR_WALL_THICKNESS, "99999999999");
  EXPECT_EQ(Text(IDC_BAR_WALL_THICKNESS), "5000000mm");
  SelectAll(IDC_BAR_WALL_THICKNESS);
  Type(IDC_BAR_WALL_THICKNESS, "240");
  EXPECT_EQ(view->m_tools.wallThickness, 240);
  ::SendMessageA(view->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 400));
  ASSERT_TRUE(plan().IsDrawing());
  EXPECT_EQ(plan().GetChainWall(0)->m_thickness, 240u);
}

TEST_F(PlanBarTest, ColourApplyWritesOnlyTheChangedColoursAndRedraws) {
  const CString subKey = CString(kSettingsKey) + "Cad\\WINDOW\\";
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, subKey);
  const PlanWindowSettings saved = GetShell().GetPlanWindowSettings();
  CPlanWindowPropertyDlg dialog(frameWnd);
  dialog.m_pView = view;
  ASSERT_TRUE(dialog.Create(IDD_PLAN_COLOURS, frameWnd));
  EXPECT_EQ(dialog.Picker(0).m_crColor, saved.background);
  dialog.Picker(0).m_crColor = RGB(10, 200, 30);  // the background, as the picker sets it
  const HWND apply = ::GetDlgItem(dialog.m_hWnd, IDC_COLOURS_APPLY);
  ::SendMessageA(apply, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageA(apply, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(::GetUpdateRect(view->m_hWnd, nullptr, FALSE));  // redraw asked for
  uitest::PumpPending();

  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD value = 0, size = sizeof value;
  EXPECT_EQ(::RegQueryValueExA(key, "Background", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, RGB(10, 200, 30));
  DWORD count = 99;
  ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
  EXPECT_EQ(count, 1u);  // nothing else written
  ::RegCloseKey(key);
  EXPECT_EQ(GetShell().GetPlanWindowSettings().background, RGB(10, 200, 30));
  EXPECT_EQ(Paint(CPoint(3, 3)), RGB(10, 200, 30));
  dialog.DestroyWindow();
  GetShell().GetPlanWindowSettings() = saved;
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, subKey);
}

TEST_F(PlanBarTest, FinestGridWithPointsPaintsQuickly) {
  Rectangle(6000, 4000);
  // Grid Setting: 1 mm.
  uitest::BoxAnswerer answer("그리드 속성", IDOK, 10000,
                             [](HWND box) { ::SetDlgItemTextA(box, IDC_GRID_SPACING, "1"); });
  bar->OnGridSetting();
  answer.Wait();
  EXPECT_EQ(view->m_state.grid, 1);
  EXPECT_EQ(static_cast<CHoverButton*>(CWnd::FromHandlePermanent(Item(IDC_BAR_GRID_REDUCE)))->GetTooltipText(),
            CString("그리드축소 :1mm"));
  Press(IDC_BAR_GRID_TYPE);
  EXPECT_EQ(GetShell().GetPlanWindowSettings().gridStyle, 1);
  Press(IDC_BAR_FIT);
  EXPECT_EQ(view->m_history.UndoCount(), 1u);
  for (double zoom : {view->m_state.zoom, 0.1}) {
    view->m_state.zoom = zoom;
    double seconds = 0;
    Paint(CPoint(0, 0), &seconds);
    EXPECT_LT(seconds, 1.0) << zoom;
  }
  GetShell().GetPlanWindowSettings().gridStyle = 3;
}

TEST_F(PlanBarTest, DoorWithAMissingSymbolFileIsDrawnWithoutFault) {
  EXPECT_FALSE(host.messages.empty());  // the reader said which files it could not open
  Rectangle(6000, 4000);
  ASSERT_EQ(plan().GetWallCount(), 4);
  Wall* wall = plan().GetWall(0);
  HoleInstance* door = OpeningTemplateByKind(HOLE_DOOR, 1000);
  door->m_posture.size[0] = 900;
  door->m_posture.size[2] = 2100;
  door->m_posture.position[0] = 1000;
  ASSERT_NE(wall->m_openings.Add(door, true, 0.0), nullptr);
  const COLORREF wallColour = Paint(Device(0, -2075));
  EXPECT_EQ(wallColour, 0xDCDCDCu);
}

TEST_F(PlanBarTest, PrintedPageMakesAPdf) {
  Rectangle(6000, 4000);
  PRINTDLGA pd{};
  if (!AfxGetApp()->GetPrinterDeviceDefaults(&pd)) GTEST_SKIP() << "no printer installed here";
  const char* out = std::getenv("VEDRA_PRINT_OUT");
  ASSERT_NE(out, nullptr) << "a printer but no VEDRA_PRINT_OUT: where does the PDF queue write?";
  // The queue names its files by job number, which starts again with every queue, so an older
  // file may be written over: wait for a file written after the print began.
  const std::string dir = std::string("Z:") + out + "\\";
  auto written = [&](const FILETIME& since) {
    std::string found;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "*.pdf").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return found;
    do {
      if (::CompareFileTime(&fd.ftLastWriteTime, &since) >= 0) found = dir + fd.cFileName;
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return found;
  };
  FILETIME start{};
  ::GetSystemTimeAsFileTime(&start);
  view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
  std::string made;
  EXPECT_TRUE(uitest::PumpUntil([&] { return !(made = written(start)).empty(); }, 90000)) << "no PDF came";
  if (!made.empty()) {
    ::Sleep(2000);  // the backend finishes writing
    ::DeleteFileA(made.c_str());
  }
}

// The text the bar's own tooltip control holds for a bar button, read back as UTF-16.  (The bar's
// base adds a second tooltip whose tools ask the buttons for their text when shown.)
static std::wstring TipText(HWND bar, HWND button) {
  struct Search {
    HWND bar, button;
    std::wstring text;
    bool found;
  } search{bar, button, L"", false};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM l) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(l);
        char name[32] = {};
        ::GetClassNameA(h, name, sizeof name);
        if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || !DYNAMIC_DOWNCAST(CToolTipCtrl, CWnd::FromHandlePermanent(h)))
          return TRUE;
        wchar_t text[80] = {};
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = s.bar;
        ti.uId = reinterpret_cast<UINT_PTR>(s.button);
        if (!::SendMessageW(h, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) return TRUE;
        ti.lpszText = text;
        ::SendMessageW(h, TTM_GETTEXTW, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(&ti));
        s.text = text;
        s.found = true;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found ? search.text : L"(no tool)";
}

TEST_F(PlanBarTest, TooltipsShowTheKoreanTextOfTheirButtons) {
  const struct {
    UINT id;
    const wchar_t* text;
  } cases[] = {{IDC_BAR_DOOR, L"문달기"}, {IDC_BAR_ZOOM, L"확대축소"}, {IDC_BAR_GRID_REDUCE, L"그리드축소 :100mm"},
               {IDC_BAR_UNDO, L"Zoom Undo"}};
  for (const auto& c : cases) EXPECT_EQ(TipText(bar->m_hWnd, Item(c.id)), c.text) << c.id;
  bar->GridChanged(50);
  EXPECT_EQ(TipText(bar->m_hWnd, Item(IDC_BAR_GRID_ENLARGE)), L"그리드확대 :50mm");
}
