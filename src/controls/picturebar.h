// CPictureDialogBar: a dialog bar that paints a picture behind its controls (stretched, centred
// or tiled), lets buttons and static texts show it through them (trackbars keep their own
// background) and realises the picture's palette. Subclasses lay out their controls in OnInitBar,
// which CreateBar calls once the bar's window exists.
#pragma once
#include "afx/afxwin.h"
#include "controls/dibimage.h"

class CPictureDialogBar : public CDialogBar {
 public:
  enum Mode { kTile = 0, kStretch = 1, kCentre = 2 };

  CPictureDialogBar();
  ~CPictureDialogBar() override;

  void DoDataExchange(CDataExchange*) override {}
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // TRUE only when the bar was made and OnInitBar answered non-zero.
  BOOL CreateBar(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);
  virtual BOOL OnInitBar();
  // Loads bitmap resource nIDResource as the background, drawn in mode nMode (see Mode).
  BOOL SetBackground(UINT nIDResource, int nMode);

  const DibImage& GetBackground() const { return m_image; }
  int GetBackgroundMode() const { return m_nMode; }

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg BOOL OnQueryNewPalette();
  afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
  afx_msg LRESULT OnInitDialog(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

  DibImage m_image;
  int m_nMode = kTile;
  CBrush m_brushHollow;

 private:
  BOOL RealizeBackground(BOOL bBackground);
  // The erasing of a plain dialog bar.
  void FillDefault(CDC* pDC, const CRect& client);
  void DrawCentred(CDC* pDC, const CRect& client);
};
