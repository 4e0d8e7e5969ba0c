// CGridInPlaceEdit: the bordered edit control that the grid lays over a cell while its text is
// edited. It ends on Enter, Tab, Escape (which restores the text), on the arrow and page keys
// when editing began by typing or Ctrl is held, and on losing the keyboard focus; then it sends
// its owner (else its parent) WM_NOTIFY with a GridEditNotify record (code LVN_ENDLABELEDIT,
// the text and, as user value, the key that ended it) and closes. The object deletes itself
// when its window goes; the creator keeps no pointer.
#pragma once
#include "afx/afxwin.h"

class CGridInPlaceEdit : public CEdit {
 public:
  // Creates the edit over rect (the parent's client coordinates); nFirstChar tells how editing
  // began: VK_LBUTTON a click, a navigation key the previous editor's end, else the typed key.
  // When the window cannot be made, m_hWnd stays null and the creator deletes the object.
  CGridInPlaceEdit(CWnd* pParent, const CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                   const CString& text, UINT nFirstChar);
  // Sends the result to the owner and closes the editor.
  void FinishEditing();
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void PostNcDestroy() override { delete this; }
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg UINT OnGetDlgCode() { return DLGC_WANTALLKEYS; }
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs) { return CEdit::OnCreate(lpcs); }
  DECLARE_MESSAGE_MAP()

 private:
  void Begin(UINT nFirstChar);
  void End(UINT nKey);
  void Widen();

  int m_nRow;
  int m_nCol;
  CString m_strInitText;
  UINT m_nLastChar = 0;
  BOOL m_bExitOnArrows;
  CRect m_rect;
  BOOL m_bFinished = FALSE;
};
