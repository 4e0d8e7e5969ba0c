#include "controls/gridedit.h"

#include "controls/gridctrl.h"

BEGIN_MESSAGE_MAP(CGridInPlaceEdit, CEdit)
  ON_WM_KILLFOCUS()
  ON_WM_CHAR()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {
bool IsArrowOrPage(UINT nChar) {
  return nChar == VK_PRIOR || nChar == VK_NEXT || nChar == VK_LEFT || nChar == VK_UP || nChar == VK_RIGHT ||
         nChar == VK_DOWN;
}
}  // namespace

CGridInPlaceEdit::CGridInPlaceEdit(CWnd* pParent, const CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                   const CString& text, UINT nFirstChar)
    : m_nRow(nRow), m_nCol(nCol), m_strInitText(text), m_bExitOnArrows(nFirstChar != VK_LBUTTON), m_rect(rect) {
  if (!Create(dwStyle | WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, rect, pParent, nID)) return;
  SendMessage(WM_SETFONT, (WPARAM)pParent->SendMessage(WM_GETFONT), TRUE);
  SetWindowText(text);
  SetFocus();
  Begin(nFirstChar);
}

// The caret or selection for the way editing began, and the typed key itself.
void CGridInPlaceEdit::Begin(UINT nFirstChar) {
  switch (nFirstChar) {
    case VK_LBUTTON:
    case VK_RETURN:
      SetSel(GetWindowTextLength(), -1);
      return;
    case VK_BACK:
      SetSel(GetWindowTextLength(), -1);
      SendMessage(WM_CHAR, VK_BACK);
      return;
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      SetSel(0, -1);
      return;
    default:
      SetSel(0, -1);
      SendMessage(WM_CHAR, nFirstChar);
      return;
  }
}

// Editing ends with this key: the focus goes back to the grid, which ends the editor.
void CGridInPlaceEdit::End(UINT nKey) {
  m_nLastChar = nKey;
  GetParent()->SetFocus();
}

void CGridInPlaceEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (IsArrowOrPage(nChar) && (m_bExitOnArrows || ::GetKeyState(VK_CONTROL) < 0)) {
    End(nChar);
    return;
  }
  CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGridInPlaceEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (nChar == VK_TAB || nChar == VK_RETURN) {
    End(nChar);
    return;
  }
  if (nChar == VK_ESCAPE) {
    SetWindowText(m_strInitText);
    End(nChar);
    return;
  }
  CEdit::OnChar(nChar, nRepCnt, nFlags);
  Widen();
}

// Grows to the right to fit the text and two blanks, never past the parent's client width.
void CGridInPlaceEdit::Widen() {
  CClientDC dc(this);
  CFont* old = dc.SelectObject(GetFont());
  const CSize size = dc.GetTextExtent(GetWindowText() + "  ");
  dc.SelectObject(old);
  if (size.cx <= m_rect.Width()) return;
  CRect parent;
  GetParent()->GetClientRect(&parent);
  m_rect.right = std::min<LONG>(m_rect.left + size.cx, parent.right);
  MoveWindow(&m_rect);
}

BOOL CGridInPlaceEdit::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_SYSCHAR) return TRUE;
  return CEdit::PreTranslateMessage(pMsg);
}

void CGridInPlaceEdit::OnKillFocus(CWnd* pNewWnd) {
  CEdit::OnKillFocus(pNewWnd);
  FinishEditing();
}

void CGridInPlaceEdit::FinishEditing() {
  if (m_bFinished) return;
  m_bFinished = TRUE;
  GridEditNotify notify{};
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = GetDlgCtrlID();
  notify.hdr.code = LVN_ENDLABELEDIT;
  notify.item.row = m_nRow;
  notify.item.col = m_nCol;
  notify.item.mask = GCI_TEXT | GCI_PARAM;
  notify.item.text = GetWindowText();
  notify.item.lParam = (LPARAM)m_nLastChar;
  CWnd* owner = GetOwner();
  if (owner && owner->IsWindow()) owner->SendMessage(WM_NOTIFY, notify.hdr.idFrom, (LPARAM)&notify);
  PostMessage(WM_CLOSE);
}
