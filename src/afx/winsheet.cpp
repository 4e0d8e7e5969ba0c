#include "afx/winsheet.h"

#include "afx/winapp.h"

IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {
// The sheet being created: the common controls' callback has no user data.
thread_local CPropertySheet* t_creatingSheet = nullptr;

const DLGTEMPLATE* FindTemplate(LPCTSTR name) {
  HINSTANCE inst = AfxGetResourceHandle();
  HRSRC res = ::FindResourceA(inst, name, RT_DIALOG);
  HGLOBAL mem = res ? ::LoadResource(inst, res) : nullptr;
  return mem ? static_cast<const DLGTEMPLATE*>(::LockResource(mem)) : nullptr;
}

INT_PTR CALLBACK AfxPageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
  auto* page = reinterpret_cast<CPropertyPage*>(psp->lParam);
  if (!page || !page->SubclassWindow(hWnd)) return TRUE;
  page->PreInitDialog();
  return page->OnInitDialog();
}
}  // namespace

// ---- CPropertyPage

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate) {
  if (nIDCaption) m_strCaption = AfxLoadString(nIDCaption);
}

BOOL CPropertyPage::OnSetActive() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

void CPropertyPage::SetModified(BOOL bChanged) {
  HWND sheet = ::GetParent(m_hWnd);
  ::SendMessageA(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* nm = reinterpret_cast<NMHDR*>(lParam);
  switch (nm->code) {
    case PSN_SETACTIVE:
      *pResult = OnSetActive() ? 0 : -1;
      return TRUE;
    case PSN_KILLACTIVE:
      *pResult = OnKillActive() ? FALSE : TRUE;
      return TRUE;
    case PSN_APPLY:
      *pResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      return TRUE;
    default:
      return CDialog::OnNotify(wParam, lParam, pResult);
  }
}

// ---- CPropertySheet

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
  Construct(AfxLoadString(nIDCaption), pParentWnd, iSelectPage);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  m_strCaption = pszCaption;
  m_pParentWnd = pParentWnd;
  m_psh.dwSize = sizeof m_psh;
  m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  m_pages.push_back(pPage);
  if (m_hWnd) {
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_DLGINDIRECT;
    psp.pResource = FindTemplate(pPage->m_lpszTemplateName);
    psp.pfnDlgProc = AfxPageDlgProc;
    psp.lParam = reinterpret_cast<LPARAM>(pPage);
    if (HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&psp)) ::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(h));
  }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return;
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(nPage), 0);
  CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
  if (page->m_hWnd) page->Detach();
  m_pages.erase(m_pages.begin() + nPage);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i] == pPage) return static_cast<int>(i);
  return -1;
}

int CPropertySheet::GetActiveIndex() const {
  if (!m_hWnd) return static_cast<int>(m_psh.nStartPage);
  HWND page = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i]->m_hWnd && m_pages[i]->m_hWnd == page) return static_cast<int>(i);
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  int i = GetActiveIndex();
  return i < 0 || i >= GetPageCount() ? nullptr : GetPage(i);
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle) {
  m_strCaption = lpszText;
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_SETTITLEA, nStyle, reinterpret_cast<LPARAM>(lpszText));
}

CTabCtrl* CPropertySheet::GetTabControl() const {
  HWND tab = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
  return static_cast<CTabCtrl*>(FromHandle(tab));
}

int CALLBACK AfxSheetCallback(HWND, UINT message, LPARAM lParam) {
  CPropertySheet* sheet = t_creatingSheet;
  if (message != PSCB_PRECREATE || !sheet || !(sheet->m_dwCreateStyle & WS_CHILD) || !lParam) return 0;
  // A child sheet: the template's popup style becomes the caller's child style.
  auto* words = reinterpret_cast<WORD*>(lParam);
  DWORD* style = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 6) : reinterpret_cast<DWORD*>(words);
  *style = sheet->m_dwCreateStyle | DS_3DLOOK | DS_CONTROL | DS_SETFONT;
  DWORD* exStyle = words[1] == 0xFFFF ? reinterpret_cast<DWORD*>(words + 4) : reinterpret_cast<DWORD*>(words + 2);
  *exStyle |= WS_EX_CONTROLPARENT;
  return 0;
}

BOOL CPropertySheet::BuildHeader(DWORD dwStyle, BOOL bModeless) {
  m_records.clear();
  for (CPropertyPage* page : m_pages) {
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_DLGINDIRECT | (page->m_strCaption.IsEmpty() ? 0 : PSP_USETITLE);
    psp.pResource = FindTemplate(page->m_lpszTemplateName);
    if (!psp.pResource) return FALSE;
    psp.pszTitle = page->m_strCaption;
    psp.pfnDlgProc = AfxPageDlgProc;
    psp.lParam = reinterpret_cast<LPARAM>(page);
    m_records.push_back(psp);
  }
  m_dwCreateStyle = dwStyle;
  m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOAPPLYNOW | (bModeless ? PSH_MODELESS : 0);
  m_psh.pfnCallback = AfxSheetCallback;
  m_psh.hInstance = AfxGetResourceHandle();
  m_psh.pszCaption = m_strCaption;
  m_psh.nPages = static_cast<UINT>(m_records.size());
  m_psh.ppsp = m_records.data();
  if (m_psh.nStartPage >= m_psh.nPages) m_psh.nStartPage = 0;
  return TRUE;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD) {
  if (dwStyle == static_cast<DWORD>(-1)) dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  if (pParentWnd) m_pParentWnd = pParentWnd;
  AfxInitCommonControls();
  if (m_hWnd || !BuildHeader(dwStyle, TRUE)) return FALSE;
  m_psh.hwndParent = AfxGetSafeHwnd(m_pParentWnd);
  t_creatingSheet = this;
  AfxHookWindowCreate(this);
  INT_PTR r = ::PropertySheetA(&m_psh);
  AfxUnhookWindowCreate();
  t_creatingSheet = nullptr;
  if (r <= 0 || !m_hWnd) {
    if (m_hWnd) Detach();
    return FALSE;
  }
  return TRUE;
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return CWnd::WindowProc(message, wParam, lParam);
  LRESULT r = DefWindowProc(message, wParam, lParam);  // the common controls' set-up first
  OnInitDialog();
  return r;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

BOOL CPropertySheet::ContinueModal() {
  return CWnd::ContinueModal() && ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

INT_PTR CPropertySheet::DoModal() {
  HWND owner = AfxGetModalOwner(m_pParentWnd);
  CWnd* saved = m_pParentWnd;
  m_pParentWnd = CWnd::FromHandle(owner);
  int state = AfxBeginModal(owner);
  m_nModalResult = -1;
  if (Create(m_pParentWnd, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE)) {
    m_bModalLoop = TRUE;
    HWND self = m_hWnd;
    while (::IsWindow(self) && ContinueModal()) {
      MSG msg;
      if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    m_bModalLoop = FALSE;
    m_nModalResult = ::SendMessageA(m_hWnd, PSM_GETRESULT, 0, 0) > 0 ? IDOK : IDCANCEL;
  }
  AfxEndModal(owner, state);
  if (m_hWnd) DestroyWindow();
  m_pParentWnd = saved;
  return m_nModalResult;
}
