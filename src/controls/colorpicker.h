// The colour picker: CColorPickerButton, an owner-drawn button showing the current colour with a
// small arrow, opens CColorPickerPopup, a borderless modal popup (dialog 500) of 20 swatches and
// an "Other ........." button for the standard colour dialog. The popup keeps the mouse captured:
// a click outside closes it without a choice. The swatch colours and their order of recent use
// are one table shared by every picker of the process.
#pragma once
#include <initializer_list>

#include "afx/afxwin.h"

#include "res/controls_res.h"

// Sent to the button's notify window when the colour changed: wParam the button's control id.
#define WM_COLORPICKER_CHANGED (WM_APP + 0x68)

// The shared table: colour of swatch i and its rank (1 most recently used .. 20 least).
constexpr int kPickerColors = 20;
COLORREF ColorPickerColor(int index);
int ColorPickerRank(int index);
// Back to the table the program starts with.
void ResetColorPickerTable();

class CColorPickerButton;

class CColorPickerPopup : public CDialog {
 public:
  explicit CColorPickerPopup(CColorPickerButton* pOwner);
  void DoDataExchange(CDataExchange*) override {}
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  int GetSelected() const { return m_nSelected; }
  // Where a popup of size `popup` opens below (or above) a button at rcButton on a screen.
  static CPoint PopupOrigin(const CRect& rcButton, CSize popup, CSize screen);

 protected:
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS);
  afx_msg void OnOther();
  afx_msg LRESULT OnCancelMode(WPARAM, LPARAM);
  afx_msg void OnSwatch(UINT nID);
  DECLARE_MESSAGE_MAP()

 private:
  void End(int nResult);
  // Sends the child under a client point a button press, so that it takes the click.
  void PassToChild(CPoint point);
  void Choose(int index);

  CColorPickerButton* m_pOwner;
  int m_nSelected = 0;
};

class CColorPickerButton : public CButton {
 public:
  CColorPickerButton();
  ~CColorPickerButton() override;

  COLORREF m_crColor = 0xFFFFFF;
  HWND m_hWndNotify = nullptr;

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

 protected:
  afx_msg void OnClicked();
  DECLARE_MESSAGE_MAP()

 private:
  void DrawFrame(CDC* pDC, const CRect& r, BOOL bPressed);
  void DrawArrow(CDC* pDC, const CRect& r, BOOL bDisabled);
  void DrawFocus(CDC* pDC, const CRect& r);
  void Line(CDC* pDC, CPen* pPen, std::initializer_list<POINT> points);

  CPen* m_pOldPen = nullptr;
  CBrush* m_pOldBrush = nullptr;
  CPen m_penBlack;
  CPen m_penGrey;
  CPen m_penWhite;
  CBrush m_brushFace;
  CBrush m_brushNull;
  CPen m_penNull;
  CColorPickerPopup m_popup;
};
