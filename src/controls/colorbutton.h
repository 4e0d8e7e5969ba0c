// CColorButton: an owner-drawn push button painted in a face colour, with its caption centred in
// a text colour and a grey bevel of a given depth (negative: pressed). The dialog template gives
// the button the owner-draw style.
#pragma once
#include "afx/afxwin.h"

class CColorButton : public CButton {
  DECLARE_DYNAMIC(CColorButton)
 public:
  // Face 0, the system's button text and grey text colours, the system edge width as depth.
  CColorButton();
  // The id and the parent are accepted and not used: the owner subclasses the control itself.
  BOOL SetColors(UINT nID, CWnd* pParent, COLORREF crFace, COLORREF crText, COLORREF crDisabledText, int nDepth);
  BOOL SetFaceColor(COLORREF crFace);
  COLORREF GetFaceColor() const { return m_crFace; }
  int GetDepth() const { return m_nDepth; }

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
  // The rings of a bevel of depth nDepth inside r (nothing for depth 0).
  static void DrawBevel(CDC* pDC, CRect r, int nDepth);

 private:
  void DrawCaption(CDC* pDC, CRect r, const char* text, COLORREF cr);

  COLORREF m_crText;
  COLORREF m_crFace;
  COLORREF m_crDisabledText;
  int m_nDepth;
};
