// CScrollTextStatic: a static control that scrolls lines of text upwards through a rectangle of
// its client area, one pixel a timer tick (timer 150), over an optional tiled background bitmap.
// A line ending in the heading marker is drawn larger, bold and in the heading colour. Drawing
// goes through an off-screen text bitmap scrolled with ScrollDC, so that each tick draws only the
// uncovered strip; with a background, the text bitmap's key colour (0xC0C0C0) lets it show.
#pragma once
#include <vector>

#include "afx/afxwin.h"

#define IDT_SCROLLTEXT 150

class CScrollTextStatic : public CStatic {
 public:
  CScrollTextStatic();

  // Splits text at each separator; an empty piece is an empty line.
  void SetText(LPCTSTR lpszText, char cSeparator);
  BOOL StartScrolling();
  BOOL SetBackground(LPCTSTR lpszResourceName);

  COLORREF m_crBackground = 0;
  COLORREF m_crHeading = 0;
  COLORREF m_crText = 0;
  int m_nHeadingHeight = 21;
  int m_nTextHeight = 15;
  char m_cHeadingMarker = '\t';
  CRect m_rcText;        // where the text scrolls, set by the owner (client coordinates)
  UINT m_nAlignment = 0;  // DrawText alignment

  int GetLineCount() const { return (int)m_lines.size(); }
  const CString& GetCurrentLine() const { return m_strCurrent; }
  int GetLineHeight() const { return m_nLineHeight; }
  int GetLineOffset() const { return m_nLineOffset; }
  BOOL IsFirstPass() const { return m_bFirstPass; }
  BOOL IsScrolling() const { return m_nTimer != 0; }
  int GetWidestLine() const { return m_nWidest; }
  // The colour that lets the background show (or the background colour without one).
  COLORREF KeyColor() const;

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  struct LineLook {
    CString text;     // without the heading marker
    BOOL heading;
  };
  LineLook LookOf(const CString& line) const;
  void MakeFont(CFont& font, BOOL heading, LPCTSTR face) const;
  // Makes the text bitmap when there is none, selected into mem; TRUE when it was made.
  BOOL SelectTextBitmap(CDC* pDC, CDC* mem);
  void NextLine(BOOL* pNewLine);
  void DrawStep(BOOL bNewLine);
  void LayOutAll(CDC* mem);
  void Compose(CDC* pDC);
  void ComposeOverBackground(CDC* pDC, CDC* text);
  CRect ClientRect() const;

  int m_nIntervals[3] = {20, 10, 1};
  int m_nSpeed = 2;
  std::vector<CString> m_lines;
  CString m_strCurrent;
  int m_nTick = 1;
  size_t m_nCursor = 0;
  int m_nLineOffset = 0;
  int m_nScrollStep = -1;
  int m_nLineHeight = 15;
  CBitmap m_bmpText;
  CPalette m_palBack;
  CBitmap m_bmpBack;
  CSize m_sizeBack;
  BOOL m_bFirstPass = TRUE;
  BOOL m_bTransparent = TRUE;
  int m_nWidest = 0;
  UINT_PTR m_nTimer = 0;
};
