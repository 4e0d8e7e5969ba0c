// GDI wrappers: device contexts (CDC and its paint, client and window kinds) and drawing objects
// (CPen, CBrush, CFont, CBitmap, CPalette, CRgn).
//
// A CDC has an output DC (m_hDC) and an attribute DC (m_hAttribDC), normally the same handle;
// queries of the state (mapping mode, text metrics, conversions) go to the attribute DC, drawing
// to the output DC. Conversions: LPtoDP/DPtoLP between logical and device units of the current
// mapping mode, HIMETRIC (0.01 mm) to and from device units through the device's pixels per inch.
// FromHandle gives temporary objects (freed at idle time) for handles that have no object.
#pragma once
#include "afx/winwnd.h"

class CGdiObject : public CObject {
  DECLARE_DYNCREATE(CGdiObject)
 public:
  CGdiObject() = default;
  ~CGdiObject() override { DeleteObject(); }
  HGDIOBJ m_hObject = nullptr;
  operator HGDIOBJ() const { return m_hObject; }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
  BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }
};

class CPen : public CGdiObject {
  DECLARE_DYNAMIC(CPen)
 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor) { CreatePen(nPenStyle, nWidth, crColor); }
  operator HPEN() const { return (HPEN)m_hObject; }
  static CPen* FromHandle(HPEN hPen) { return static_cast<CPen*>(CGdiObject::FromHandle(hPen)); }
  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor) { return Attach(::CreatePen(nPenStyle, nWidth, crColor)); }
  BOOL CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
};

class CBrush : public CGdiObject {
  DECLARE_DYNAMIC(CBrush)
 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
  operator HBRUSH() const { return (HBRUSH)m_hObject; }
  static CBrush* FromHandle(HBRUSH hBrush) { return static_cast<CBrush*>(CGdiObject::FromHandle(hBrush)); }
  BOOL CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
  BOOL CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }
  BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
};

class CFont : public CGdiObject {
  DECLARE_DYNAMIC(CFont)
 public:
  operator HFONT() const { return (HFONT)m_hObject; }
  static CFont* FromHandle(HFONT hFont) { return static_cast<CFont*>(CGdiObject::FromHandle(hFont)); }
  BOOL CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                  BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                  BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename) {
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
  }
  // nPointSize in tenths of a point, for the device of pDC (the screen when null).
  BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
  BOOL CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC = nullptr);
  int GetLogFont(LOGFONTA* pLogFont) const { return GetObject(sizeof(LOGFONTA), pLogFont); }
};

class CBitmap : public CGdiObject {
  DECLARE_DYNAMIC(CBitmap)
 public:
  operator HBITMAP() const { return (HBITMAP)m_hObject; }
  static CBitmap* FromHandle(HBITMAP hBitmap) { return static_cast<CBitmap*>(CGdiObject::FromHandle(hBitmap)); }
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }
  BOOL LoadMappedBitmap(UINT nIDBitmap, UINT nFlags = 0, LPCOLORMAP lpColorMap = nullptr, int nMapSize = 0);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
  }
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) { return CreateCompatibleBitmap(pDC, nWidth, nHeight); }
  int GetBitmap(BITMAP* pBitMap) const { return GetObject(sizeof(BITMAP), pBitMap); }
  CSize GetBitmapDimension() const;
};

class CPalette : public CGdiObject {
  DECLARE_DYNAMIC(CPalette)
 public:
  operator HPALETTE() const { return (HPALETTE)m_hObject; }
  static CPalette* FromHandle(HPALETTE hPalette) { return static_cast<CPalette*>(CGdiObject::FromHandle(hPalette)); }
  BOOL CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
  BOOL CreateHalftonePalette(CDC* pDC);
  int GetEntryCount() const;
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const {
    return ::GetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
  }
  UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) {
    return ::SetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
  }
  UINT GetNearestPaletteIndex(COLORREF crColor) const { return ::GetNearestPaletteIndex((HPALETTE)m_hObject, crColor); }
};

class CRgn : public CGdiObject {
  DECLARE_DYNAMIC(CRgn)
 public:
  operator HRGN() const { return (HRGN)m_hObject; }
  BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
  BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
  BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
  }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
};

class CDC : public CObject {
  DECLARE_DYNCREATE(CDC)
 public:
  CDC() = default;
  ~CDC() override;
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
  operator HDC() const { return m_hDC; }
  HDC GetSafeHdc() const { return m_hDC; }
  static CDC* FromHandle(HDC hDC);
  BOOL Attach(HDC hDC);
  HDC Detach();
  virtual void SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
  virtual void SetOutputDC(HDC hDC) { m_hDC = hDC; }
  void ReleaseAttribDC() { m_hAttribDC = nullptr; }
  void ReleaseOutputDC() { m_hDC = nullptr; }
  BOOL CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData) {
    return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
  }
  BOOL CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData) {
    return Attach(::CreateICA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
  }
  BOOL CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }
  BOOL DeleteDC();
  BOOL IsPrinting() const { return m_bPrinting; }
  BOOL m_bPrinting = FALSE;

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
  int GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }
  CWnd* GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

  // selection: the object that was selected before (a temporary object when it had none)
  CPen* SelectObject(CPen* pPen) { return (CPen*)SelectGdiObject(pPen ? pPen->m_hObject : nullptr); }
  CBrush* SelectObject(CBrush* pBrush) { return (CBrush*)SelectGdiObject(pBrush ? pBrush->m_hObject : nullptr); }
  CFont* SelectObject(CFont* pFont) { return (CFont*)SelectGdiObject(pFont ? pFont->m_hObject : nullptr); }
  CBitmap* SelectObject(CBitmap* pBitmap) { return (CBitmap*)SelectGdiObject(pBitmap ? pBitmap->m_hObject : nullptr); }
  CGdiObject* SelectObject(CGdiObject* pObject) { return SelectGdiObject(pObject ? pObject->m_hObject : nullptr); }
  HGDIOBJ SelectObject(HGDIOBJ hObject);
  CGdiObject* SelectStockObject(int nIndex) { return SelectGdiObject(::GetStockObject(nIndex)); }
  CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
  UINT RealizePalette() { return ::RealizePalette(m_hDC); }
  CFont* GetCurrentFont() const { return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT)); }

  // colours and modes
  COLORREF SetTextColor(COLORREF crColor);
  COLORREF SetBkColor(COLORREF crColor);
  COLORREF GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
  int SetBkMode(int nBkMode);
  int GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
  int SetROP2(int nDrawMode);
  int SetStretchBltMode(int nStretchMode);
  UINT SetTextAlign(UINT nFlags);
  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }

  // mapping
  int SetMapMode(int nMapMode);
  int GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
  CPoint GetWindowOrg() const;
  CSize SetWindowExt(int cx, int cy);
  CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
  CSize GetWindowExt() const;
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
  CPoint OffsetViewportOrg(int nWidth, int nHeight);
  CPoint GetViewportOrg() const;
  CSize SetViewportExt(int cx, int cy);
  CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
  CSize GetViewportExt() const;
  void LPtoDP(LPPOINT lpPoints, int nCount = 1) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }
  void LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hAttribDC, (LPPOINT)lpRect, 2); }
  void LPtoDP(LPSIZE lpSize) const;
  void DPtoLP(LPPOINT lpPoints, int nCount = 1) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
  void DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hAttribDC, (LPPOINT)lpRect, 2); }
  void DPtoLP(LPSIZE lpSize) const;
  void HIMETRICtoDP(LPSIZE lpSize) const;
  void DPtoHIMETRIC(LPSIZE lpSize) const;
  void HIMETRICtoLP(LPSIZE lpSize) const;
  void LPtoHIMETRIC(LPSIZE lpSize) const;

  // clipping
  int GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
  int IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
  int IntersectClipRect(LPCRECT r) { return IntersectClipRect(r->left, r->top, r->right, r->bottom); }
  int ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
  int SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : nullptr); }
  BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
  BOOL RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }

  // drawing
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
  CPoint GetCurrentPosition() const;
  BOOL Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
  BOOL Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
  BOOL PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount) {
    return ::PolyPolygon(m_hDC, lpPoints, lpPolyCounts, nCount);
  }
  BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
  BOOL Rectangle(LPCRECT r) { return Rectangle(r->left, r->top, r->right, r->bottom); }
  BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
  BOOL Ellipse(LPCRECT r) { return Ellipse(r->left, r->top, r->right, r->bottom); }
  BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
  }
  BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
  }
  BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) { return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3); }
  void FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  void FrameRect(LPCRECT lpRect, CBrush* pBrush) { ::FrameRect(m_hDC, lpRect, (HBRUSH)pBrush->m_hObject); }
  void InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
  void DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
  BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
  BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText = TRUE, int nTextLen = 0,
                 HBRUSH hBrush = nullptr);
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
  }
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                  int nSrcHeight, DWORD dwRop) {
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
  }
  BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) { return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop); }

  // text
  BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount) { return ::TextOutA(m_hDC, x, y, lpszString, nCount); }
  BOOL TextOut(int x, int y, const CString& str) { return TextOut(x, y, str, str.GetLength()); }
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, LPINT lpDxWidths) {
    return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
  }
  // The program's UTF-8 text is drawn as UTF-16: the A calls would read it in the code page of
  // the selected font's character set.
  int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat) { return DrawText(str, str.GetLength(), lpRect, nFormat); }
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const { return GetTextExtent(str, str.GetLength()); }
  BOOL GetTextMetrics(LPTEXTMETRICA lpMetrics) const { return ::GetTextMetricsA(m_hAttribDC, lpMetrics); }

  // printing
  int StartDoc(LPDOCINFOA lpDocInfo) { return ::StartDocA(m_hDC, lpDocInfo); }
  int StartPage() { return ::StartPage(m_hDC); }
  int EndPage() { return ::EndPage(m_hDC); }
  int EndDoc() { return ::EndDoc(m_hDC); }
  int AbortDoc() { return ::AbortDoc(m_hDC); }
  int Escape(int nEscape, int nCount, LPCSTR lpszInData, LPVOID lpOutData) {
    return ::Escape(m_hDC, nEscape, nCount, lpszInData, lpOutData);
  }

 protected:
  CGdiObject* SelectGdiObject(HGDIOBJ hObject);
};

// BeginPaint/EndPaint of a window, for WM_PAINT.
class CPaintDC : public CDC {
  DECLARE_DYNAMIC(CPaintDC)
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 protected:
  HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area (or of the screen for a null window).
class CClientDC : public CDC {
  DECLARE_DYNAMIC(CClientDC)
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd;
};

// GetWindowDC/ReleaseDC of a whole window.
class CWindowDC : public CDC {
  DECLARE_DYNAMIC(CWindowDC)
 public:
  explicit CWindowDC(CWnd* pWnd);
  ~CWindowDC() override;

 protected:
  HWND m_hWnd;
};
