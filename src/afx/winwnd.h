// Windows of the framework: CCmdTarget, CWnd and CFrameWnd over the Win32 window API.
#pragma once
#include "afx/afx.h"

#ifndef _WIN32
#error "afx/winwnd.h is part of the Windows configuration only"
#endif

// A CWnd is attached to its HWND from WM_NCCREATE until WM_NCDESTROY. Messages reach the
// object through WindowProc; classes override the On... handlers they care about.
class CWnd : public CCmdTarget {
public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The window class that every framework window is created with unless another is named.
  static const char* DefaultClassName();

  virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu);
  virtual BOOL DestroyWindow();
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  CString GetWindowText() const;
  BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::PostMessageA(m_hWnd, msg, wParam, lParam); }
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageA(m_hWnd, msg, wParam, lParam); }
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK) { return ::MessageBoxA(m_hWnd, text, caption, type); }

  // The object attached to a window handle, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);

protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) { return ::DefWindowProcA(m_hWnd, message, wParam, lParam); }

  virtual int OnCreate(LPCREATESTRUCTA) { return 0; }
  virtual void OnClose() { DestroyWindow(); }
  virtual void OnDestroy() {}
  // Last message a window gets; the object is detached after it.
  virtual void PostNcDestroy() {}

private:
  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// A top-level frame. A frame deletes itself when its window is gone; the application's main
// frame ends the message loop when it is destroyed.
class CFrameWnd : public CWnd {
public:
  BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT* rect = nullptr, CWnd* pParentWnd = nullptr);

protected:
  void PostNcDestroy() override { delete this; }
};
