#include "view3d/simbar.h"

#include "doc/shell.h"
#include "res/plan_res.h"
#include "res/resource.h"
#include "view3d/frame3d.h"

IMPLEMENT_DYNAMIC(CSimBar, CDialogBar)

BEGIN_MESSAGE_MAP(CSimBar, CPictureDialogBar)
  ON_WM_CREATE()
  ON_BN_DOUBLECLICKED(IDC_SIM_PLAN, OnPlanButton)
  ON_UPDATE_COMMAND_UI(IDC_SIM_PLAN, OnUpdateAlways)
END_MESSAGE_MAP()

namespace {

constexpr char kStatusLabel[] = "상태";
constexpr char kSimulating[] = "시뮬레이션";

}  // namespace

CSimBar::CSimBar() { m_status.Format("%s : %s", kStatusLabel, kSimulating); }

int CSimBar::OnCreate(LPCREATESTRUCTA lpcs) {
  if (CControlBar::OnCreate(lpcs) == -1) return -1;
  if (!m_tooltip.Create(this, 0x50000001)) return -1;
  SetBackground(IDB_BAR_BACKGROUND, kTile);
  return 0;
}

void CSimBar::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_SIM_PLAN, m_plan);
  DDX_Text(pDX, IDC_SIM_STATUS, m_status);
}

BOOL CSimBar::OnInitBar() {
  CPictureDialogBar::OnInitBar();
  UpdateData(FALSE);
  const int screen = ::GetSystemMetrics(SM_CXSCREEN);
  PlacePlanButton(screen);
  PlaceStatus(screen);
  m_tooltip.Activate(TRUE);
  return 1;
}

void CSimBar::PlacePlanButton(int screen) {
  m_plan.MoveWindow(screen - 494, 35, 400, 17);
  m_plan.LoadStateBitmaps(IDB_SIM_PLAN, 0, 0, 0, 0, 0, 0, 0, 0, FALSE);
}

// Beside the select button on a wide screen, after the tool row on a narrower one, hidden below
// 750 pixels.
void CSimBar::PlaceStatus(int screen) {
  CWnd* status = GetDlgItem(IDC_SIM_STATUS);
  if (!status) return;
  int x = screen - 304;
  m_statusWidth = 210;
  if (screen < 960) {
    x = 656;
    m_statusWidth = screen >= 750 ? screen - 750 : 0;
  }
  status->MoveWindow(x, 12, m_statusWidth, 16);
  status->ShowWindow(m_statusWidth > 0 ? SW_SHOW : SW_HIDE);
}

void CSimBar::OnPlanButton() {
  if (auto* frame = DYNAMIC_DOWNCAST(C3DFrame, GetParent())) frame->ClosePathTools();
  if (CWnd* main = GetShell().GetMainWindow()) main->SendMessage(WM_COMMAND, SWITCH_PLAN);
}
