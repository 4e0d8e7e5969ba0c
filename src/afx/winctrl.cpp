#include "afx/winctrl.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNCREATE(CImageList, CObject)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

// ---- owner drawing by reflection

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult) *pResult = TRUE;
  return TRUE;
}

BOOL CStatic::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (pResult) *pResult = TRUE;
  return TRUE;
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  } else if (message == WM_MEASUREITEM) {
    MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
  } else {
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  }
  if (pResult) *pResult = TRUE;
  return TRUE;
}

// ---- list texts

namespace {
CString TextFromMessage(HWND h, UINT lenMsg, UINT textMsg, WPARAM index) {
  CString s;
  int n = static_cast<int>(::SendMessageA(h, lenMsg, index, 0));
  if (n <= 0) return s;
  char* p = s.GetBuffer(n + 1);
  ::SendMessageA(h, textMsg, index, reinterpret_cast<LPARAM>(p));
  s.ReleaseBuffer();
  return s;
}
}  // namespace

void CListBox::GetText(int nIndex, CString& rString) const {
  rString = TextFromMessage(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, static_cast<WPARAM>(nIndex));
}

void CComboBox::GetLBText(int nIndex, CString& rString) const {
  rString = TextFromMessage(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<WPARAM>(nIndex));
}

// ---- CToolTipCtrl

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  return CWnd::CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, AfxGetSafeHwnd(pParentWnd), nullptr);
}

void CToolTipCtrl::FillInToolInfo(TTTOOLINFOA& ti, CWnd* pWnd, UINT_PTR nIDTool) const {
  ti = TTTOOLINFOA{};
  ti.cbSize = sizeof ti;
  if (nIDTool == 0) {
    ti.hwnd = ::GetParent(pWnd->m_hWnd);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
  } else {
    ti.hwnd = pWnd->m_hWnd;
    ti.uFlags = TTF_SUBCLASS;
    ti.uId = nIDTool;
  }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  if (!pWnd) return FALSE;
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  if (lpRectTool) ti.rect = *lpRectTool;
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ::SendMessageA(m_hWnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti;
  FillInToolInfo(ti, pWnd, nIDTool);
  ti.lpszText = const_cast<LPSTR>(lpszText);
  ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

// ---- CImageList

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Attach(ImageList_LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID), cx, nGrow, crMask,
                                     IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  if (!hImageList) return FALSE;
  DeleteImageList();
  m_hImageList = hImageList;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST h = m_hImageList;
  m_hImageList = nullptr;
  return h;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  return ImageList_Destroy(Detach());
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
  return ImageList_Add(m_hImageList, (HBITMAP)pbmImage->m_hObject, pbmMask ? (HBITMAP)pbmMask->m_hObject : nullptr);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->m_hObject, crMask);
}

// ---- CListCtrl

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT | LVCF_FMT;
  col.fmt = nFormat;
  col.pszText = const_cast<LPSTR>(lpszColumnHeading);
  if (nWidth != -1) {
    col.mask |= LVCF_WIDTH;
    col.cx = nWidth;
  }
  if (nSubItem != -1) {
    col.mask |= LVCF_SUBITEM;
    col.iSubItem = nSubItem;
  }
  return static_cast<int>(::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, nCol, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = nItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  return InsertItem(&item);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = nItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEMA item{};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  char text[1024] = {};
  LVITEMA item{};
  item.iSubItem = nSubItem;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ::SendMessageA(m_hWnd, LVM_GETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item));
  return CString(text);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEMA item{};
  item.state = nState;
  item.stateMask = nMask;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  item.lParam = static_cast<LPARAM>(dwData);
  return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  ::SendMessageA(m_hWnd, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return static_cast<DWORD_PTR>(item.lParam);
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  ::SendMessageA(m_hWnd, LVM_SETIMAGELIST, nImageListType,
                 reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr));
  return nullptr;
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  LVHITTESTINFO hit{};
  hit.pt = pt;
  int item = static_cast<int>(::SendMessageA(m_hWnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (pFlags) *pFlags = hit.flags;
  return item;
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
  lpRect->left = static_cast<LONG>(nCode);
  return static_cast<BOOL>(::SendMessageA(m_hWnd, LVM_GETITEMRECT, nItem, reinterpret_cast<LPARAM>(lpRect)));
}

// ---- CTreeCtrl

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  TVINSERTSTRUCTA tvis{};
  tvis.hParent = hParent;
  tvis.hInsertAfter = hInsertAfter;
  tvis.item.mask = TVIF_TEXT;
  tvis.item.pszText = const_cast<LPSTR>(lpszItem);
  return reinterpret_cast<HTREEITEM>(::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tvis)));
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter) {
  TVINSERTSTRUCTA tvis{};
  tvis.hParent = hParent;
  tvis.hInsertAfter = hInsertAfter;
  tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  tvis.item.pszText = const_cast<LPSTR>(lpszItem);
  tvis.item.iImage = nImage;
  tvis.item.iSelectedImage = nSelectedImage;
  return reinterpret_cast<HTREEITEM>(::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&tvis)));
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  char text[1024] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = hItem;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return CString(text);
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) {
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = hItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = hItem;
  ::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = hItem;
  item.lParam = static_cast<LPARAM>(dwData);
  return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
  TVITEMA item{};
  item.mask = TVIF_STATE;
  item.hItem = hItem;
  item.state = nState;
  item.stateMask = nStateMask;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO hit{};
  hit.pt = pt;
  auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(m_hWnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (pFlags) *pFlags = hit.flags;
  return item;
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType) {
  ::SendMessageA(m_hWnd, TVM_SETIMAGELIST, nImageListType,
                 reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr));
  return nullptr;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
  *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(lpRect)));
}
