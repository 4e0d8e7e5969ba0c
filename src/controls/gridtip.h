// CGridTitleTip: a topmost tool window of class "ZTitleTip" that shows the whole text of a grid
// cell whose text is clipped, while the mouse stays over the cell. It holds the mouse while it
// shows and passes clicks, keys and the moves that leave the cell on to the windows below.
#pragma once
#include "afx/afxwin.h"

// Registers (once) a window class of the default window procedure with the arrow cursor and a
// system colour's brush; a resource exception when it cannot.
void RegisterDefaultProcClass(LPCTSTR lpszClassName, UINT nStyle, int nBackground);

class CGridTitleTip : public CWnd {
 public:
  CGridTitleTip();  // registers the window class once (a resource exception when it cannot)
  ~CGridTitleTip() override;
  virtual BOOL Create(CWnd* pParentWnd);
  // rectTitle: the text's rectangle in the parent's client coordinates; pHover: where the tip
  // stays, right and bottom outside (rectTitle when null); pFont: the text's font (the parent's
  // when null).
  void ShowTip(LPCRECT rectTitle, LPCTSTR lpszText, int xOffset = 0, LPCRECT pHover = nullptr,
               const LOGFONTA* pFont = nullptr);
  void HideTip();
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  void Place(const CRect& rectScreen, const CString& shown, const LOGFONTA* pFont, int xOffset);
  // Hands a mouse message at a screen point to the window below the tip; bPost posts it.
  void PassOn(UINT nClientMsg, UINT nNonClientMsg, WPARAM wParam, POINT ptScreen, bool bPost);

  CWnd* m_pParentWnd = nullptr;
  CRect m_rectTitle;
  CRect m_rectHover;  // screen coordinates
};
