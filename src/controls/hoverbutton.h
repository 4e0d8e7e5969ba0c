// CHoverButton: the flat owner-draw button of the control bars and most dialogs. It draws one of
// six state images over a flat face, reacts to the mouse passing over it (focus and capture), and
// works as a toggle button or as a push button that tells a window when it goes down, on every
// tick of its 1 ms timer while held, and when it comes up. TrackMenu pops up a submenu of a menu
// resource next to it; the command chosen goes to the main window.
#pragma once
#include "afx/afxwin.h"

// Push-button notifications: wParam the button's control id, lParam 0.
#define WM_HOVERBUTTON_DOWN (WM_APP + 0x65)
#define WM_HOVERBUTTON_UP (WM_APP + 0x66)
#define WM_HOVERBUTTON_REPEAT (WM_APP + 0x67)

class CHoverButton : public CButton {
 public:
  enum State { kNormal, kHover, kDisabled, kDown, kDownHover, kDownDisabled, kStates };

  CHoverButton();
  ~CHoverButton() override;

  void ResetState();
  void FreeBitmaps();
  BOOL LoadStateBitmaps(UINT nNormal, UINT nDown, UINT nHover, UINT nDownHover, UINT nDisabled, UINT nDownDisabled,
                        int width, int height, COLORREF crMap, BOOL bMap);
  // Images from .bmp files; width and height are taken modulo 256, 0 meaning the normal image's size.
  BOOL SetBitmaps(LPCTSTR lpszNormal, LPCTSTR lpszDown, int width, int height, LPCTSTR lpszHover = nullptr,
                  LPCTSTR lpszDownHover = nullptr, LPCTSTR lpszDisabled = nullptr, LPCTSTR lpszDownDisabled = nullptr);
  void SetAttributeC(HWND hWndNotify);
  void EnableHover(BOOL bToggle);
  void SetTooltipText(LPCTSTR lpszText);
  void SetTooltip(LPCTSTR lpszText, LPCTSTR, LPCTSTR);
  void ShowText(BOOL bShow);
  void SetHighlighted(BOOL bDown);
  void SetAttributeD(COLORREF crDown, BOOL bRepaint = TRUE);
  void SetDownTextColor(COLORREF cr, BOOL bRepaint = TRUE);
  void SetFaceColor(COLORREF cr, BOOL bRepaint = TRUE);
  void SetHoverColor(COLORREF cr, BOOL bRepaint = TRUE);
  void SetTextColor(COLORREF cr, BOOL bRepaint = TRUE);
  // The popup's command goes to the main window as WM_COMMAND; what the menu tracking returned.
  BOOL TrackMenu(UINT nMenuID, UINT, UINT, int popupHeight, int nSubMenu);

  // Where the popup of TrackMenu opens for a button at rcButton (screen coordinates).
  static CPoint MenuOrigin(const CRect& rcButton, int popupHeight);

  int GetCheckState() const { return m_nCheck; }
  BOOL IsDown() const { return m_bDown; }
  BOOL IsToggle() const { return m_bToggle; }
  BOOL IsMouseOver() const { return m_bMouseOver; }
  BOOL IsHoverImage() const { return m_bHoverImage; }
  CSize GetImageSize() const { return CSize(m_cxImage, m_cyImage); }
  HBITMAP GetStateBitmap(int state) const { return m_hImages[state]; }
  const CString& GetTooltipText() const { return m_strTip; }

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
  void PreSubclassWindow() override;

 protected:
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg BOOL OnNeedText(NMHDR* pNMHDR, LRESULT* pResult);
  DECLARE_MESSAGE_MAP()

 private:
  void Notify(UINT message);
  HBITMAP ImageFor(BOOL bDisabled) const;
  void DrawImage(CDC* pDC, const CRect& r, BOOL bDisabled);
  void DrawCaption(CDC* pDC, const CRect& r, BOOL bDisabled);
  void RedrawNow();

  int m_nCheck = 0;
  HWND m_hWndNotify = nullptr;
  BOOL m_bToggle = TRUE;
  CString m_strCaption;
  BOOL m_bShowText = FALSE;
  BOOL m_bDown = FALSE;
  BOOL m_bHoverImage = FALSE;
  BOOL m_bMouseOver = FALSE;
  COLORREF m_crFace = 0xC1C1C1;
  COLORREF m_crHover = 0xC1C1C1;
  COLORREF m_crDown = 0xC1C1C1;
  COLORREF m_crText = 0x000000;
  COLORREF m_crDownText = 0x009700;
  int m_cxImage = 0;
  int m_cyImage = 0;
  HBITMAP m_hImages[kStates] = {};
  CBitmap m_fileBitmaps[kStates];
  CString m_strTip;
};
