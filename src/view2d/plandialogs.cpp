#include "view2d/plandialogs.h"

#include "doc/reg.h"
#include "doc/shell.h"
#include "res/plan_res.h"

namespace {

constexpr COLORREF kDialogGrey = RGB(193, 193, 193);

// The grey of the dialogs' controls, made once for the program's run.
HBRUSH GreyBrush() {
  static HBRUSH brush = ::CreateSolidBrush(kDialogGrey);
  return brush;
}

struct ColourEntry {
  int picker;
  int label;
  const char* words[3];
  COLORREF PlanWindowSettings::*setting;
  const char* value;
};

// In the order Apply writes them.
const ColourEntry kColourEntries[CPlanWindowPropertyDlg::kColours] = {
    {1244, 1243, {"배경색"}, &PlanWindowSettings::background, "Background"},
    {1246, 1245, {"선택", "박스"}, &PlanWindowSettings::traceBox, "TraceBox"},
    {1228, 1231, {"방", "기본", "선"}, &PlanWindowSettings::unselectedRoom, "UnSelectedRoom"},
    {1229, 1232, {"벽", "기본", "선"}, &PlanWindowSettings::unselectedWall, "UnSelectedWall"},
    {1230, 1233, {"벽", "중심", "선"}, &PlanWindowSettings::unselectedWallCenter, "UnSelectedWallCenter"},
    {1235, 1234, {"방", "기본", "선"}, &PlanWindowSettings::selectedRoom, "SelectedRoom"},
    {1237, 1236, {"벽", "기본", "선"}, &PlanWindowSettings::selectedWall, "SelectedWall"},
    {1239, 1238, {"벽", "중심", "선"}, &PlanWindowSettings::selectedWallCenter, "SelectedWallCenter"},
    {1225, 1224, {"축"}, &PlanWindowSettings::axis, "Axis"},
    {4242, 4241, {"기본", "선"}, &PlanWindowSettings::grid0, "Grid0"},
    {4240, 4238, {"보조", "선"}, &PlanWindowSettings::grid1, "Grid1"},
    {4244, 4243, {"리드", "선"}, &PlanWindowSettings::leadLine, "LeadLine"},
    {4246, 4245, {"보조", "선"}, &PlanWindowSettings::leadLineAuxPoint, "LeadLineAuxPoint"},
    {4248, 4247, {"폰트"}, &PlanWindowSettings::dimensionFont, "DemensionFont"},
};

// One word alone, two joined by a space, three with the last two run together.
CString LabelText(const char* const (&words)[3]) {
  CString text;
  if (!words[1]) text = words[0];
  else if (!words[2]) text.Format("%s %s", words[0], words[1]);
  else text.Format("%s %s%s", words[0], words[1], words[2]);
  return text;
}

HBRUSH GreyControl(CDC* pDC) {
  pDC->SetBkColor(kDialogGrey);
  return GreyBrush();
}

}  // namespace

// ---- colours

BEGIN_MESSAGE_MAP(CPlanWindowPropertyDlg, CDialog)
  ON_BN_CLICKED(IDC_COLOURS_APPLY, OnApply)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPlanWindowPropertyDlg::CPlanWindowPropertyDlg(CWnd* pParent) : CDialog(IDD_PLAN_COLOURS, pParent) {}

void CPlanWindowPropertyDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_COLOURS_APPLY, m_apply);
  DDX_Control(pDX, IDCANCEL, m_cancel);
  DDX_Control(pDX, IDOK, m_ok);
  for (int i = 0; i < kColours; ++i) DDX_Control(pDX, kColourEntries[i].picker, m_pickers[i]);
}

BOOL CPlanWindowPropertyDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CString caption;
  caption.Format("%s %s", "화면", "속성");
  SetWindowText(caption);
  CString lead;
  lead.Format("%s %s", "리드", "선");
  const struct {
    int id;
    const char* text;
  } groups[] = {{IDC_GROUP_BASIC, "기본"},
                {IDC_GROUP_GRID, "그리드"},
                {IDC_GROUP_LEAD, lead},
                {IDC_GROUP_UNSELECTED, "선택하지 않았을 경우"},
                {IDC_GROUP_SELECTED, "선택했을 경우"}};
  for (const auto& g : groups) SetDlgItemText(g.id, g.text);
  for (int i = 0; i < kColours; ++i) {
    SetDlgItemText(kColourEntries[i].label, LabelText(kColourEntries[i].words));
    m_pickers[i].m_crColor = GetShell().GetPlanWindowSettings().*kColourEntries[i].setting;
    m_pickers[i].Invalidate();
  }
  const struct {
    CHoverButton* button;
    const char* text;
  } buttons[] = {{&m_ok, "변경"}, {&m_cancel, "나가기"}, {&m_apply, "적용"}};
  for (const auto& b : buttons) {
    b.button->LoadStateBitmaps(IDB_DIALOG_BUTTON, IDB_DIALOG_BUTTON_DOWN, 0, 0, 0, 0, 0, 0, 0, FALSE);
    b.button->SetWindowText(b.text);
    b.button->ShowText(TRUE);
    b.button->SetAttributeC(nullptr);
  }
  return TRUE;
}

void CPlanWindowPropertyDlg::OnApply() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  const CString subKey = CString(kSettingsKey) + "Cad\\WINDOW\\";
  if (!CreateRegisterKey(HKEY_LOCAL_MACHINE, subKey, &key, &disposition)) return;
  PlanWindowSettings& settings = GetShell().GetPlanWindowSettings();
  for (int i = 0; i < kColours; ++i) {
    COLORREF& setting = settings.*kColourEntries[i].setting;
    const COLORREF chosen = m_pickers[i].m_crColor;
    if (chosen == setting) continue;
    setting = chosen;
    QueryRegisterKeyDWORD(key, kColourEntries[i].value, &setting, chosen, TRUE);
  }
  if (m_pView) m_pView->Invalidate(TRUE);
  CloseRegisterKey(key);
}

void CPlanWindowPropertyDlg::OnOK() {
  OnApply();
  CDialog::OnOK();
}

HBRUSH CPlanWindowPropertyDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (nCtlColor == CTLCOLOR_BTN) return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  return GreyControl(pDC);
}

// ---- grid

BEGIN_MESSAGE_MAP(CGridSettingDlg, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CGridSettingDlg::CGridSettingDlg(int spacing, CWnd* pParent) : CDialog(IDD_GRID_SETTING, pParent), m_spacing(spacing) {}

void CGridSettingDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDCANCEL, m_cancel);
  DDX_Control(pDX, IDOK, m_ok);
  DDX_Text(pDX, IDC_GRID_SPACING, m_spacing);
  DDV_MinMaxInt(pDX, m_spacing, 1, 1000000);
}

BOOL CGridSettingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CString text;
  text.Format("%s %s", "그리드", "속성");
  SetWindowText(text);
  text.Format("%s %s", "그리드", "단위");
  SetDlgItemText(IDC_GRID_TITLE, text);
  const struct {
    CHoverButton* button;
    const char* tip;
  } buttons[] = {{&m_ok, "변경"}, {&m_cancel, "나가기"}};
  for (const auto& b : buttons) {
    b.button->LoadStateBitmaps(IDB_DIALOG_BUTTON, IDB_DIALOG_BUTTON_DOWN, 0, 0, 0, 0, 0, 0, RGB(255, 255, 255), FALSE);
    b.button->ShowText(TRUE);
    b.button->EnableHover(FALSE);
    b.button->SetTooltipText(b.tip);
  }
  CenterWindow();
  ShowWindow(SW_SHOW);
  return TRUE;
}

HBRUSH CGridSettingDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (nCtlColor == CTLCOLOR_EDIT) return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
  return GreyControl(pDC);
}
