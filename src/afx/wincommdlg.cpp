#include "afx/wincommdlg.h"

#include <cstring>
#include <string>

#include "afx/winapp.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

INT_PTR CCommonDialog::RunModal(BOOL (*call)(void*), void* record, HWND* pOwnerField) {
  HWND owner = AfxGetModalOwner(m_pParentWnd);
  *pOwnerField = owner;
  int state = AfxBeginModal(owner);
  // The system dialog disables its owner itself: give it an enabled one to own it.
  if (owner && state == 1) ::EnableWindow(owner, TRUE);
  BOOL ok = call(record);
  AfxEndModal(owner, state);
  return ok ? IDOK : IDCANCEL;
}

// ---- CFileDialog

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt) {
  if (lpszFileName) lstrcpynA(m_szFileName, lpszFileName, sizeof m_szFileName);
  // "name|pattern|...||" becomes "name\0pattern\0...\0\0".
  m_strFilter = lpszFilter;
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof m_szFileName;
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
  m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal() {
  std::string filter(static_cast<LPCTSTR>(m_strFilter));
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  m_ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : filter.c_str();
  m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : static_cast<LPCTSTR>(m_strDefExt);
  m_ofn.hInstance = AfxGetInstanceHandle();
  BOOL (*call)(void*) = m_bOpenFileDialog
                            ? +[](void* r) { return ::GetOpenFileNameA(static_cast<OPENFILENAMEA*>(r)); }
                            : +[](void* r) { return ::GetSaveFileNameA(static_cast<OPENFILENAMEA*>(r)); };
  INT_PTR r = RunModal(call, &m_ofn, &m_ofn.hwndOwner);
  m_ofn.lpstrFilter = nullptr;
  return r;
}

CString CFileDialog::GetFileName() const {
  const char* slash = std::strrchr(m_szFileName, '\\');
  return slash ? CString(slash + 1) : CString(m_szFileName);
}

CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFolderPath() const {
  const char* slash = std::strrchr(m_szFileName, '\\');
  return slash ? CString(m_szFileName, static_cast<int>(slash - m_szFileName)) : CString();
}

// ---- CColorDialog

COLORREF* CColorDialog::GetSavedCustomColors() {
  static COLORREF custom[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  return custom;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  m_cc.lStructSize = sizeof m_cc;
  m_cc.rgbResult = clrInit;
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags;
}

INT_PTR CColorDialog::DoModal() {
  m_cc.Flags |= CC_RGBINIT;
  return RunModal([](void* r) { return ::ChooseColorA(static_cast<CHOOSECOLORA*>(r)); }, &m_cc, &m_cc.hwndOwner);
}

// ---- CPrintDialog

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd) {
  m_pd.lStructSize = sizeof m_pd;
  m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
  m_pd.nCopies = 1;
  m_pd.nFromPage = m_pd.nMinPage = 1;
  m_pd.nToPage = m_pd.nMaxPage = 0xFFFF;
}

INT_PTR CPrintDialog::DoModal() {
  return RunModal([](void* r) { return ::PrintDlgA(static_cast<PRINTDLGA*>(r)); }, &m_pd, &m_pd.hwndOwner);
}

BOOL CPrintDialog::GetDefaults() {
  DWORD flags = m_pd.Flags;
  m_pd.Flags |= PD_RETURNDEFAULT | PD_NOWARNING;
  m_pd.hDevMode = m_pd.hDevNames = nullptr;
  BOOL ok = ::PrintDlgA(&m_pd);
  m_pd.Flags = flags;
  if (ok && (flags & PD_RETURNDC) && !m_pd.hDC) m_pd.hDC = CreatePrinterDC();
  return ok;
}

HDC CPrintDialog::CreatePrinterDC() {
  m_pd.hDC = AfxCreateDC(m_pd.hDevNames, m_pd.hDevMode);
  return m_pd.hDC;
}

namespace {
CString DevNamesField(HGLOBAL h, int which) {
  auto* dn = h ? static_cast<DEVNAMES*>(::GlobalLock(h)) : nullptr;
  if (!dn) return CString();
  WORD offsets[3] = {dn->wDriverOffset, dn->wDeviceOffset, dn->wOutputOffset};
  CString s(reinterpret_cast<const char*>(dn) + offsets[which]);
  ::GlobalUnlock(h);
  return s;
}
}  // namespace

CString CPrintDialog::GetDriverName() const { return DevNamesField(m_pd.hDevNames, 0); }
CString CPrintDialog::GetDeviceName() const { return DevNamesField(m_pd.hDevNames, 1); }
CString CPrintDialog::GetPortName() const { return DevNamesField(m_pd.hDevNames, 2); }

LPDEVMODEA CPrintDialog::GetDevMode() const {
  return m_pd.hDevMode ? static_cast<LPDEVMODEA>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

HDC AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode) {
  if (!hDevNames) return nullptr;
  CString driver = DevNamesField(hDevNames, 0), device = DevNamesField(hDevNames, 1), port = DevNamesField(hDevNames, 2);
  auto* dm = hDevMode ? static_cast<DEVMODEA*>(::GlobalLock(hDevMode)) : nullptr;
  HDC dc = ::CreateDCA(driver, device, port.IsEmpty() ? nullptr : static_cast<LPCTSTR>(port), dm);
  if (dm) ::GlobalUnlock(hDevMode);
  return dc;
}
