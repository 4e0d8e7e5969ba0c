// The start-up picture in a borderless popup: at most one at a time; it goes after 5.5 seconds
// or on WM_APP+0x6A. Whether it may be shown at all is one process-wide flag.
#pragma once
#include "afx/afxwin.h"
#include "res/resource.h"

constexpr UINT WM_SPLASH_HIDE = WM_APP + 0x6A;

class CSplashWnd : public CWnd {
public:
  ~CSplashWnd() override;
  static void SetAllowed(BOOL allowed);
  static void ShowSplash(CWnd* parent);
  static void HideSplash();
  static BOOL FilterMessage(MSG* pMsg);
  // The one splash window, or null.
  static CSplashWnd* Current();

protected:
  CSplashWnd() = default;
  BOOL CreateSplash(CWnd* parent);
  void PostNcDestroy() override { delete this; }
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT_PTR id);
  DECLARE_MESSAGE_MAP()

private:
  CBitmap m_picture;
};
