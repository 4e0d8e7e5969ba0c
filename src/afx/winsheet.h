// Property sheets and pages over the common controls' property sheet. A sheet runs modally
// (DoModal, in the framework's loop) or modeless (Create), as a popup or, with WS_CHILD in the
// style given to Create, as a child window of another (a tool frame's client, for instance).
// Pages are dialogs: their data exchange and OnInitDialog work as in CDialog; OnSetActive and
// OnKillActive tell a page when it is shown and left.
#pragma once
#include <vector>

#include "afx/windlg.h"

class CTabCtrl : public CWnd {
  DECLARE_DYNAMIC(CTabCtrl)
 public:
  int SetMinTabWidth(int cx) { return (int)::SendMessageA(m_hWnd, TCM_SETMINTABWIDTH, 0, cx); }
  CSize SetItemSize(CSize size) {
    DWORD r = (DWORD)::SendMessageA(m_hWnd, TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy));
    return CSize(LOWORD(r), HIWORD(r));
  }
  DWORD SetExtendedStyle(DWORD dwNewStyle, DWORD dwExMask = 0) {
    return (DWORD)::SendMessageA(m_hWnd, TCM_SETEXTENDEDSTYLE, dwExMask, dwNewStyle);
  }
  int GetItemCount() const { return (int)::SendMessageA(m_hWnd, TCM_GETITEMCOUNT, 0, 0); }
  int GetCurSel() const { return (int)::SendMessageA(m_hWnd, TCM_GETCURSEL, 0, 0); }
};

class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)
 public:
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  void OnOK() override {}
  void OnCancel() override {}
  virtual BOOL OnApply() { return TRUE; }
  void SetModified(BOOL bChanged = TRUE);
  // The record the sheet is given; its template is the page's dialog template.
  PROPSHEETPAGEA m_psp{};

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  CString m_strCaption;
  friend class CPropertySheet;
};

class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)
 public:
  CPropertySheet() = default;
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
  void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int nPage) const { return m_pages[static_cast<size_t>(nPage)]; }
  int GetPageIndex(CPropertyPage* pPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
  CTabCtrl* GetTabControl() const;

  // IDOK or IDCANCEL; -1 when a page template is missing.
  virtual INT_PTR DoModal();
  // Modeless; dwStyle with WS_CHILD makes the sheet a child of pParentWnd.
  virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
  virtual BOOL OnInitDialog() { return TRUE; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL ContinueModal() override;

  PROPSHEETHEADERA m_psh{};

 protected:
  BOOL BuildHeader(DWORD dwStyle, BOOL bModeless);
  CString m_strCaption;
  CWnd* m_pParentWnd = nullptr;
  std::vector<CPropertyPage*> m_pages;
  std::vector<PROPSHEETPAGEA> m_records;
  DWORD m_dwCreateStyle = 0;
  friend int CALLBACK AfxSheetCallback(HWND, UINT, LPARAM);
};
