#include "afx/windlg.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <string>

#include "afx/winapp.h"
#include "afx/winframe.h"
#include "afx/winmsg.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

// ---- creation from templates

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* dlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
  return dlg ? dlg->OnInitDialog() : TRUE;
}

BOOL AfxCreateDlg(CWnd* pWnd, LPCTSTR lpszTemplateName, HWND hWndParent) {
  AfxInitCommonControls();
  HINSTANCE inst = AfxGetResourceHandle();
  HRSRC res = lpszTemplateName ? ::FindResourceA(inst, lpszTemplateName, RT_DIALOG) : nullptr;
  HGLOBAL mem = res ? ::LoadResource(inst, res) : nullptr;
  auto* tmpl = mem ? static_cast<LPCDLGTEMPLATEA>(::LockResource(mem)) : nullptr;
  if (!tmpl) return FALSE;
  AfxHookWindowCreate(pWnd);
  HWND h = ::CreateDialogIndirectParamA(inst, tmpl, hWndParent, AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (!h && pWnd->m_hWnd) pWnd->Detach();
  return h != nullptr;
}

BOOL AfxExecuteDlgInit(CWnd* pWnd, LPCTSTR lpszResource) {
  HINSTANCE inst = AfxGetResourceHandle();
  HRSRC res = lpszResource ? ::FindResourceA(inst, lpszResource, RT_DLGINIT) : nullptr;
  if (!res) return TRUE;
  HGLOBAL mem = ::LoadResource(inst, res);
  auto* p = mem ? static_cast<const BYTE*>(::LockResource(mem)) : nullptr;
  if (!p) return FALSE;
  const BYTE* end = p + ::SizeofResource(inst, res);
  while (end - p >= 2) {
    WORD id = static_cast<WORD>(p[0] | (p[1] << 8));
    if (id == 0) return TRUE;
    if (end - p < 8) return FALSE;
    WORD msg = static_cast<WORD>(p[2] | (p[3] << 8));
    DWORD len = p[4] | (p[5] << 8) | (p[6] << 16) | (static_cast<DWORD>(p[7]) << 24);
    p += 8;
    if (static_cast<DWORD>(end - p) < len) return FALSE;  // damaged: never read past the resource
    std::string text(reinterpret_cast<const char*>(p), len);
    text.resize(std::strlen(text.c_str()));
    if (msg == CB_ADDSTRING || msg == LB_ADDSTRING)
      ::SendDlgItemMessageA(pWnd->m_hWnd, id, msg, 0, reinterpret_cast<LPARAM>(text.c_str()));
    p += len;
  }
  return TRUE;
}

// ---- modal boxes

HWND AfxGetModalOwner(CWnd* pWnd) {
  HWND h = pWnd ? pWnd->m_hWnd : nullptr;
  if (!h && AfxGetMainWnd()) h = AfxGetMainWnd()->m_hWnd;
  while (h && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) h = ::GetParent(h);
  return h;
}

int AfxBeginModal(HWND hWndOwner) {
  if (!hWndOwner) return 0;
  if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(hWndOwner))) {
    frame->BeginModalState();
    return 1;
  }
  if (!::IsWindowEnabled(hWndOwner)) return 0;
  ::EnableWindow(hWndOwner, FALSE);
  return 2;
}

void AfxEndModal(HWND hWndOwner, int nState) {
  if (!::IsWindow(hWndOwner)) return;
  if (nState == 1) {
    if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(hWndOwner))) frame->EndModalState();
  } else if (nState == 2) {
    ::EnableWindow(hWndOwner, TRUE);
  }
}

// ---- CDialog

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
  if (!m_lpszTemplateName || !::FindResourceA(AfxGetResourceHandle(), m_lpszTemplateName, RT_DIALOG)) return -1;
  HWND owner = AfxGetModalOwner(m_pParentWnd);
  int state = AfxBeginModal(owner);
  m_bModal = TRUE;
  m_bEnded = FALSE;
  m_nModalResult = -1;
  if (AfxCreateDlg(this, m_lpszTemplateName, owner)) {
    if (!m_bEnded) {
      ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
      RunModalLoop();
    }
    if (m_hWnd) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The owner comes back before the dialog goes, so that it takes the activation.
  AfxEndModal(owner, state);
  if (owner && ::IsWindow(owner) && state) ::SetActiveWindow(owner);
  if (m_hWnd) DestroyWindow();
  m_bModal = FALSE;
  return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd); }

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = LOWORD(reinterpret_cast<UINT_PTR>(lpszTemplateName));
  if (pParentWnd) m_pParentWnd = pParentWnd;
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
  return AfxCreateDlg(this, lpszTemplateName, owner);
}

void CDialog::EndDialog(int nResult) {
  m_bEnded = TRUE;
  m_nModalResult = nResult;
  if (m_bModal) EndModalLoop(nResult);
  else ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::PreInitDialog() { AfxExecuteDlgInit(this, m_lpszTemplateName); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (nCode != CN_COMMAND && nCode != static_cast<int>(CN_UPDATE_COMMAND_UI)) return FALSE;
  CWnd* owner = FromHandlePermanent(::GetParent(m_hWnd));
  if (owner && owner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* app = AfxGetApp();
  return !owner && app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- dialog data exchange

BOOL AfxUpdateData(CWnd* pWnd, BOOL bSaveAndValidate) {
  CDataExchange dx(pWnd, bSaveAndValidate);
  try {
    pWnd->DoDataExchange(&dx);
    return TRUE;
  } catch (CUserException* e) {
    e->Delete();
    return FALSE;
  }
}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  m_idLastControl = nIDC;
  m_bEditLastControl = FALSE;
  return h;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND h = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return h;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate) {
    HWND h = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    if (h) {
      ::SetFocus(h);
      if (m_bEditLastControl) ::SendMessageA(h, EM_SETSEL, 0, -1);
    }
  }
  AfxThrowUserException();
}

void CDataExchange::FailWith(LPCTSTR lpszMessage) {
  AfxDoMessageBox(m_pDlgWnd->m_hWnd, lpszMessage, nullptr, MB_OK | MB_ICONEXCLAMATION);
  Fail();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  // Attached once: a second exchange (the dialog's data moved to the controls again) keeps it.
  if (rControl.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h || !rControl.SubclassWindow(h)) pDX->Fail();
}

namespace {
CString TextOf(HWND h) {
  CString s;
  int n = ::GetWindowTextLengthA(h);
  if (n > 0) {
    char* p = s.GetBuffer(n + 1);
    ::GetWindowTextA(h, p, n + 1);
    s.ReleaseBuffer();
  }
  return s;
}

// The text without surrounding blanks.
std::string Trimmed(HWND h) {
  std::string s(static_cast<LPCTSTR>(TextOf(h)));
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

long long ParseInteger(CDataExchange* pDX, HWND h, long long lo, long long hi) {
  std::string s = Trimmed(h);
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s.c_str(), &end, 10);
  if (s.empty() || *end || errno == ERANGE || v < lo || v > hi) pDX->FailWith("Enter an integer.");
  return v;
}

double ParseNumber(CDataExchange* pDX, HWND h) {
  std::string s = Trimmed(h);
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || *end) pDX->FailWith("Enter a number.");
  return v;
}

template <class T>
void TextInteger(CDataExchange* pDX, int nIDC, T& value, long long lo, long long hi) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<T>(ParseInteger(pDX, h, lo, hi));
  } else {
    ::SetWindowTextA(h, std::to_string(static_cast<long long>(value)).c_str());
  }
}

CString FormatNumber(double v, int digits) {
  CString s;
  s.Format("%.*g", digits, v);
  return s;
}
}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = TextOf(h);
  else ::SetWindowTextA(h, value);
}
void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { TextInteger(pDX, nIDC, value, INT_MIN, INT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { TextInteger(pDX, nIDC, value, 0, UINT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { TextInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) { TextInteger(pDX, nIDC, value, 0, 0xFFFFFFFFLL); }
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) { TextInteger(pDX, nIDC, value, SHRT_MIN, SHRT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) { TextInteger(pDX, nIDC, value, 0, 255); }

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    double v = ParseNumber(pDX, h);
    if (v > FLT_MAX || v < -FLT_MAX) pDX->FailWith("Enter a number.");
    value = static_cast<float>(v);
  } else {
    ::SetWindowTextA(h, FormatNumber(value, FLT_DIG));
  }
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = ParseNumber(pDX, h);
  else ::SetWindowTextA(h, FormatNumber(value, DBL_DIG));
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
  else ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

// nIDC is the first button of a group; value the index of the checked one (-1 for none).
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (; h; h = ::GetWindow(h, GW_HWNDNEXT), ++index) {
    if (index > 0 && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP)) break;
    if (::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
      } else {
        ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
    }
  }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) index = static_cast<int>(::SendMessageA(h, CB_GETCURSEL, 0, 0));
  else ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = TextOf(h);
  } else if (::SendMessageA(h, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value))) == CB_ERR) {
    ::SetWindowTextA(h, value);
  }
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) index = static_cast<int>(::SendMessageA(h, LB_GETCURSEL, 0, 0));
  else ::SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = static_cast<int>(::SendMessageA(h, TBM_GETPOS, 0, 0));
  else ::SendMessageA(h, TBM_SETPOS, TRUE, value);
}

namespace {
template <class T>
void MinMaxInteger(CDataExchange* pDX, T value, T minVal, T maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString msg;
  msg.Format("Enter an integer between %lld and %lld.", static_cast<long long>(minVal), static_cast<long long>(maxVal));
  pDX->FailWith(msg);
}

void MinMaxNumber(CDataExchange* pDX, double value, double minVal, double maxVal, int digits) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString msg;
  msg.Format("Enter a number between %s and %s.", static_cast<LPCTSTR>(FormatNumber(minVal, digits)),
             static_cast<LPCTSTR>(FormatNumber(maxVal, digits)));
  pDX->FailWith(msg);
}
}  // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) { MinMaxInteger(pDX, value, minVal, maxVal); }
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) { MinMaxInteger(pDX, value, minVal, maxVal); }
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) { MinMaxInteger(pDX, value, minVal, maxVal); }
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal) { MinMaxInteger(pDX, value, minVal, maxVal); }
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal) { MinMaxInteger(pDX, value, minVal, maxVal); }
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal) { MinMaxInteger(pDX, value, minVal, maxVal); }
void DDV_MinMaxFloat(CDataExchange* pDX, float const& value, float minVal, float maxVal) {
  MinMaxNumber(pDX, value, minVal, maxVal, FLT_DIG);
}
void DDV_MinMaxDouble(CDataExchange* pDX, double const& value, double minVal, double maxVal) {
  MinMaxNumber(pDX, value, minVal, maxVal, DBL_DIG);
}

void DDV_MaxChars(CDataExchange* pDX, CString const& value, int nChars) {
  if (!pDX->m_bSaveAndValidate || value.GetLength() <= nChars) return;
  CString msg;
  msg.Format("Enter no more than %d characters.", nChars);
  pDX->FailWith(msg);
}
