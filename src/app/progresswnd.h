// The progress windows: CProgressWnd (picture, caption, count line and bar, shown while a model
// loads) and CSceneProgressWnd (a titled percentage and a bar, shown while the view is captured).
// Every operation does nothing once the window is gone.
#pragma once
#include "afx/afxwin.h"
#include "res/resource.h"

class CProgressWnd : public CWnd {
public:
  explicit CProgressWnd(CWnd* parent = nullptr, int unused = 0);
  ~CProgressWnd() override;
  BOOL Create(CWnd* parent, int unused);
  int Open(int unused);
  void SetRange(int lower, int upper, int step);
  int SetPos(int position);
  int StepIt();
  // printf-style; the text is cut (at a character boundary) to fit the caption buffer.
  void SetText(const char* format, ...);
  void Show();
  BOOL DestroyWindow() override;

  CString GetCountText() const;
  CString GetCaptionText() const;

protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

private:
  void PlaceControls(int width);

  CWnd* m_pParent = nullptr;
  int m_position = 0;
  int m_step = 1;
  int m_upper = 0;
  int m_lower = 0;
  const int m_unit = 4;
  CBitmap m_bitmap;
  CStatic m_picture;
  CStatic m_caption;
  CStatic m_count;
  CProgressCtrl m_bar;
  CFont m_font;
  int m_bitmapWidth = 0;
  int m_bitmapHeight = 0;
};

class CSceneProgressWnd : public CWnd {
public:
  CSceneProgressWnd(CWnd* parent, const char* title, int left, int top, int right, int bottom, BOOL smooth);
  ~CSceneProgressWnd() override;
  void SetRange(int lower, int upper, int step);
  int StepIt();
  int SetPos(int position);
  void Show();
  BOOL DestroyWindow() override;

  CString GetText() const;

protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()

private:
  int m_position = 0;
  int m_lastPercent = 0;
  int m_step = 1;
  int m_upper = 100;
  int m_lower = 0;
  CStatic m_text;
  CProgressCtrl m_bar;
  CString m_title = "Scene";
  CFont m_font;
};

// The percentage of a position in a range (0 for an empty or reversed range).
int ProgressPercent(int position, int lower, int upper);
// The text cut to at most maxBytes bytes without splitting a UTF-8 character.
CString CutAtCharacter(const CString& text, int maxBytes);
