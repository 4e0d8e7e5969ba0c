// Control wrappers: one thin member per message the program sends. Classes that draw their own
// items (buttons, combo boxes, static controls with the owner-draw style) get DrawItem and
// MeasureItem through reflection of their parent's WM_DRAWITEM and WM_MEASUREITEM.
#pragma once
#include "afx/wingdi.h"

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, "BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
  }
  UINT GetState() const { return (UINT)::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0); }
  void SetState(BOOL bHighlight) { ::SendMessageA(m_hWnd, BM_SETSTATE, bHighlight, 0); }
  int GetCheck() const { return (int)::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0); }
  void SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, nCheck, 0); }
  UINT GetButtonStyle() const { return (UINT)GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { ::SendMessageA(m_hWnd, BM_SETSTYLE, nStyle, bRedraw); }
  HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessageA(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
  HICON SetIcon(HICON hIcon) { return (HICON)::SendMessageA(m_hWnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
 public:
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF) {
    return CWnd::CreateEx(0, "STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
  }
  HBITMAP SetBitmap(HBITMAP hBitmap) { return (HBITMAP)::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap); }
  HBITMAP GetBitmap() const { return (HBITMAP)::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0); }
  HICON SetIcon(HICON hIcon) { return (HICON)::SendMessageA(m_hWnd, STM_SETICON, (WPARAM)hIcon, 0); }
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, "EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    ::SendMessageA(m_hWnd, EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll) ::SendMessageA(m_hWnd, EM_SCROLLCARET, 0, 0);
  }
  void GetSel(int& nStartChar, int& nEndChar) const {
    ::SendMessageA(m_hWnd, EM_GETSEL, (WPARAM)&nStartChar, (LPARAM)&nEndChar);
  }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    ::SendMessageA(m_hWnd, EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
  }
  void LimitText(int nChars = 0) { ::SendMessageA(m_hWnd, EM_LIMITTEXT, nChars, 0); }
  void SetLimitText(UINT nMax) { ::SendMessageA(m_hWnd, EM_SETLIMITTEXT, nMax, 0); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)::SendMessageA(m_hWnd, EM_SETREADONLY, bReadOnly, 0); }
  BOOL GetModify() const { return (BOOL)::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0); }
  void SetModify(BOOL bModified = TRUE) { ::SendMessageA(m_hWnd, EM_SETMODIFY, bModified, 0); }
  int GetLineCount() const { return (int)::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0); }
  void Clear() { ::SendMessageA(m_hWnd, WM_CLEAR, 0, 0); }
  void Copy() { ::SendMessageA(m_hWnd, WM_COPY, 0, 0); }
  void Cut() { ::SendMessageA(m_hWnd, WM_CUT, 0, 0); }
  void Paste() { ::SendMessageA(m_hWnd, WM_PASTE, 0, 0); }
};

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, "LISTBOX", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int AddString(LPCTSTR s) { return (int)::SendMessageA(m_hWnd, LB_ADDSTRING, 0, (LPARAM)s); }
  int InsertString(int nIndex, LPCTSTR s) { return (int)::SendMessageA(m_hWnd, LB_INSERTSTRING, nIndex, (LPARAM)s); }
  int DeleteString(UINT nIndex) { return (int)::SendMessageA(m_hWnd, LB_DELETESTRING, nIndex, 0); }
  void ResetContent() { ::SendMessageA(m_hWnd, LB_RESETCONTENT, 0, 0); }
  int GetCount() const { return (int)::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0); }
  int GetCurSel() const { return (int)::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0); }
  int SetCurSel(int nSelect) { return (int)::SendMessageA(m_hWnd, LB_SETCURSEL, nSelect, 0); }
  void GetText(int nIndex, CString& rString) const;
  DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)::SendMessageA(m_hWnd, LB_GETITEMDATA, nIndex, 0); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)::SendMessageA(m_hWnd, LB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
  int FindStringExact(int nIndexStart, LPCTSTR s) const { return (int)::SendMessageA(m_hWnd, LB_FINDSTRINGEXACT, nIndexStart, (LPARAM)s); }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, "COMBOBOX", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int AddString(LPCTSTR s) { return (int)::SendMessageA(m_hWnd, CB_ADDSTRING, 0, (LPARAM)s); }
  int InsertString(int nIndex, LPCTSTR s) { return (int)::SendMessageA(m_hWnd, CB_INSERTSTRING, nIndex, (LPARAM)s); }
  int DeleteString(UINT nIndex) { return (int)::SendMessageA(m_hWnd, CB_DELETESTRING, nIndex, 0); }
  void ResetContent() { ::SendMessageA(m_hWnd, CB_RESETCONTENT, 0, 0); }
  int GetCount() const { return (int)::SendMessageA(m_hWnd, CB_GETCOUNT, 0, 0); }
  int GetCurSel() const { return (int)::SendMessageA(m_hWnd, CB_GETCURSEL, 0, 0); }
  int SetCurSel(int nSelect) { return (int)::SendMessageA(m_hWnd, CB_SETCURSEL, nSelect, 0); }
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const { return (int)::SendMessageA(m_hWnd, CB_GETLBTEXTLEN, nIndex, 0); }
  int FindString(int nStartAfter, LPCTSTR s) const { return (int)::SendMessageA(m_hWnd, CB_FINDSTRING, nStartAfter, (LPARAM)s); }
  int FindStringExact(int nIndexStart, LPCTSTR s) const { return (int)::SendMessageA(m_hWnd, CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)s); }
  int SelectString(int nStartAfter, LPCTSTR s) { return (int)::SendMessageA(m_hWnd, CB_SELECTSTRING, nStartAfter, (LPARAM)s); }
  DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)::SendMessageA(m_hWnd, CB_GETITEMDATA, nIndex, 0); }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) { return (int)::SendMessageA(m_hWnd, CB_SETITEMDATA, nIndex, (LPARAM)dwItemData); }
  void ShowDropDown(BOOL bShowIt = TRUE) { ::SendMessageA(m_hWnd, CB_SHOWDROPDOWN, bShowIt, 0); }
  BOOL GetDroppedState() const { return (BOOL)::SendMessageA(m_hWnd, CB_GETDROPPEDSTATE, 0, 0); }
  void GetDroppedControlRect(LPRECT lprect) const { ::SendMessageA(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect); }
  int GetItemHeight(int nIndex) const { return (int)::SendMessageA(m_hWnd, CB_GETITEMHEIGHT, nIndex, 0); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) { return (int)::SendMessageA(m_hWnd, CB_SETITEMHEIGHT, nIndex, cyItemHeight); }
  BOOL LimitText(int nMaxChars) { return (BOOL)::SendMessageA(m_hWnd, CB_LIMITTEXT, nMaxChars, 0); }
  BOOL SetEditSel(int nStartChar, int nEndChar) { return (BOOL)::SendMessageA(m_hWnd, CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar)); }
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, "SCROLLBAR", nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
  void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const { ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos); }
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) { ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw); }
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
  }
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo) const { return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo); }
};

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, UPDOWN_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  CWnd* SetBuddy(CWnd* pWndBuddy) { return FromHandle((HWND)::SendMessageA(m_hWnd, UDM_SETBUDDY, (WPARAM)AfxGetSafeHwnd(pWndBuddy), 0)); }
  CWnd* GetBuddy() const { return FromHandle((HWND)::SendMessageA(m_hWnd, UDM_GETBUDDY, 0, 0)); }
  void SetRange(int nLower, int nUpper) { ::SendMessageA(m_hWnd, UDM_SETRANGE32, nLower, nUpper); }
  void SetRange32(int nLower, int nUpper) { SetRange(nLower, nUpper); }
  void GetRange32(int& lower, int& upper) const { ::SendMessageA(m_hWnd, UDM_GETRANGE32, (WPARAM)&lower, (LPARAM)&upper); }
  int SetPos(int nPos) { return (int)::SendMessageA(m_hWnd, UDM_SETPOS32, 0, nPos); }
  int GetPos() const { return (int)::SendMessageA(m_hWnd, UDM_GETPOS32, 0, 0); }
  int SetBase(int nBase) { return (int)::SendMessageA(m_hWnd, UDM_SETBASE, nBase, 0); }
  BOOL SetAccel(int nAccel, UDACCEL* pAccel) { return (BOOL)::SendMessageA(m_hWnd, UDM_SETACCEL, nAccel, (LPARAM)pAccel); }
};

class CSliderCtrl : public CWnd {
  DECLARE_DYNAMIC(CSliderCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, TRACKBAR_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
    ::SendMessageA(m_hWnd, TBM_SETRANGEMIN, FALSE, nMin);
    ::SendMessageA(m_hWnd, TBM_SETRANGEMAX, bRedraw, nMax);
  }
  int GetRangeMin() const { return (int)::SendMessageA(m_hWnd, TBM_GETRANGEMIN, 0, 0); }
  int GetRangeMax() const { return (int)::SendMessageA(m_hWnd, TBM_GETRANGEMAX, 0, 0); }
  int GetPos() const { return (int)::SendMessageA(m_hWnd, TBM_GETPOS, 0, 0); }
  void SetPos(int nPos) { ::SendMessageA(m_hWnd, TBM_SETPOS, TRUE, nPos); }
  void SetTicFreq(int nFreq) { ::SendMessageA(m_hWnd, TBM_SETTICFREQ, nFreq, 0); }
  int SetPageSize(int nSize) { return (int)::SendMessageA(m_hWnd, TBM_SETPAGESIZE, 0, nSize); }
  int SetLineSize(int nSize) { return (int)::SendMessageA(m_hWnd, TBM_SETLINESIZE, 0, nSize); }
};

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, PROGRESS_CLASSA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  void SetRange(short nLower, short nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
  void SetRange32(int nLower, int nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, nLower, nUpper); }
  int GetPos() const { return (int)::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0); }
  int SetPos(int nPos) { return (int)::SendMessageA(m_hWnd, PBM_SETPOS, nPos, 0); }
  int OffsetPos(int nPos) { return (int)::SendMessageA(m_hWnd, PBM_DELTAPOS, nPos, 0); }
  int SetStep(int nStep) { return (int)::SendMessageA(m_hWnd, PBM_SETSTEP, nStep, 0); }
  int StepIt() { return (int)::SendMessageA(m_hWnd, PBM_STEPIT, 0, 0); }
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // A tool for a control of the parent (its window is the tool), with its text or
  // LPSTR_TEXTCALLBACK.
  BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACKA, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
  void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void RelayEvent(LPMSG lpMsg) { ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
  void Activate(BOOL bActivate) { ::SendMessageA(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
  void SetDelayTime(UINT nDelay) { ::SendMessageA(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay); }
  int SetMaxTipWidth(int iWidth) { return (int)::SendMessageA(m_hWnd, TTM_SETMAXTIPWIDTH, 0, iWidth); }
  int GetToolCount() const { return (int)::SendMessageA(m_hWnd, TTM_GETTOOLCOUNT, 0, 0); }

 private:
  void FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};

class CImageList : public CObject {
  DECLARE_DYNCREATE(CImageList)
 public:
  CImageList() = default;
  ~CImageList() override { DeleteImageList(); }
  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();
  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  int Add(CBitmap* pbmImage, COLORREF crMask);
  int Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
  BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
    return ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
  }
  COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
};

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, WC_LISTVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
  BOOL DeleteColumn(int nCol) { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETECOLUMN, nCol, 0); }
  int InsertItem(int nItem, LPCTSTR lpszItem);
  int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  int InsertItem(const LVITEMA* pItem) { return (int)::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, (LPARAM)pItem); }
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
  CString GetItemText(int nItem, int nSubItem) const;
  BOOL DeleteItem(int nItem) { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETEITEM, nItem, 0); }
  BOOL DeleteAllItems() { return (BOOL)::SendMessageA(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }
  int GetItemCount() const { return (int)::SendMessageA(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }
  int GetNextItem(int nItem, int nFlags) const { return (int)::SendMessageA(m_hWnd, LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0)); }
  int GetSelectedCount() const { return (int)::SendMessageA(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0); }
  int GetSelectionMark() const { return (int)::SendMessageA(m_hWnd, LVM_GETSELECTIONMARK, 0, 0); }
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  UINT GetItemState(int nItem, UINT nMask) const { return (UINT)::SendMessageA(m_hWnd, LVM_GETITEMSTATE, nItem, nMask); }
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  DWORD_PTR GetItemData(int nItem) const;
  BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return (BOOL)::SendMessageA(m_hWnd, LVM_ENSUREVISIBLE, nItem, bPartialOK); }
  CImageList* SetImageList(CImageList* pImageList, int nImageListType);
  DWORD SetExtendedStyle(DWORD dwNewStyle) { return (DWORD)::SendMessageA(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle); }
  DWORD GetExtendedStyle() const { return (DWORD)::SendMessageA(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
  int HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  BOOL SetColumnWidth(int nCol, int cx) { return (BOOL)::SendMessageA(m_hWnd, LVM_SETCOLUMNWIDTH, nCol, cx); }
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
  BOOL RedrawItems(int nFirst, int nLast) { return (BOOL)::SendMessageA(m_hWnd, LVM_REDRAWITEMS, nFirst, nLast); }
};

class CTreeCtrl : public CWnd {
  DECLARE_DYNAMIC(CTreeCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::CreateEx(0, WC_TREEVIEWA, nullptr, dwStyle, rect, pParentWnd, nID);
  }
  HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
  HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST);
  BOOL DeleteItem(HTREEITEM hItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)hItem); }
  BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const { return (HTREEITEM)::SendMessageA(m_hWnd, TVM_GETNEXTITEM, nCode, (LPARAM)hItem); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  BOOL SelectItem(HTREEITEM hItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_SELECTITEM, TVGN_CARET, (LPARAM)hItem); }
  BOOL Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)::SendMessageA(m_hWnd, TVM_EXPAND, nCode, (LPARAM)hItem); }
  BOOL EnsureVisible(HTREEITEM hItem) { return (BOOL)::SendMessageA(m_hWnd, TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const {
    return (UINT)::SendMessageA(m_hWnd, TVM_GETITEMSTATE, (WPARAM)hItem, nStateMask);
  }
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  // Check boxes (TVS_CHECKBOXES): the state image 2 is checked, 1 unchecked.
  BOOL GetCheck(HTREEITEM hItem) const { return (GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) == 2; }
  BOOL SetCheck(HTREEITEM hItem, BOOL fCheck = TRUE) {
    return SetItemState(hItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), TVIS_STATEIMAGEMASK);
  }
  HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
  BOOL ItemHasChildren(HTREEITEM hItem) const { return GetChildItem(hItem) != nullptr; }
  UINT GetCount() const { return (UINT)::SendMessageA(m_hWnd, TVM_GETCOUNT, 0, 0); }
  CImageList* SetImageList(CImageList* pImageList, int nImageListType);
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
};
