#include "afx/wingdi.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "afx/winhandle.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace {
thread_local CHandleMap<CGdiObject, HGDIOBJ> t_gdi;
thread_local CHandleMap<CDC, HDC> t_dcs;

// nBytes of UTF-8 text (all of it up to its terminator when negative) as UTF-16.
std::wstring WideText(LPCSTR text, int nBytes) {
  if (!text) return std::wstring();
  if (nBytes < 0) nBytes = static_cast<int>(std::strlen(text));
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text, nBytes, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, text, nBytes, &wide[0], n);
  return wide;
}

void DeleteTempGdi() {
  t_gdi.DeleteTemp([](CGdiObject* p) { p->m_hObject = nullptr; });
  t_dcs.DeleteTemp([](CDC* p) { p->m_hDC = p->m_hAttribDC = nullptr; });
}

// The temporary object of a handle has the class of its kind, so that casts to CPen* and so
// on hold.
CGdiObject* MakeGdi(HGDIOBJ h) {
  CGdiObject* p;
  switch (::GetObjectType(h)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: p = new CPen; break;
    case OBJ_BRUSH: p = new CBrush; break;
    case OBJ_FONT: p = new CFont; break;
    case OBJ_BITMAP: p = new CBitmap; break;
    case OBJ_PAL: p = new CPalette; break;
    case OBJ_REGION: p = new CRgn; break;
    default: p = new CGdiObject; break;
  }
  p->m_hObject = h;
  return p;
}
}  // namespace

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
  AfxRegisterTempMapCleaner(DeleteTempGdi);
  return t_gdi.FromHandle(hObject, MakeGdi);
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (!hObject) return FALSE;
  DeleteObject();
  m_hObject = hObject;
  t_gdi.SetPermanent(hObject, this);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (h && t_gdi.LookupPermanent(h) == this) t_gdi.RemoveHandle(h);
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = nPointSize;
  lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC) {
  HDC hDC = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
  LOGFONTA lf = *lpLogFont;
  // Tenths of a point to logical units of the device.
  POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), lf.lfHeight, 720)};
  POINT org = {0, 0};
  ::DPtoLP(hDC, &pt, 1);
  ::DPtoLP(hDC, &org, 1);
  lf.lfHeight = -std::abs(pt.y - org.y);
  if (!pDC) ::ReleaseDC(nullptr, hDC);
  return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  return Attach(::LoadBitmapA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap, UINT nFlags, LPCOLORMAP lpColorMap, int nMapSize) {
  return Attach(::CreateMappedBitmap(AfxGetResourceHandle(), nIDBitmap, nFlags, lpColorMap, nMapSize));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}

CSize CBitmap::GetBitmapDimension() const {
  SIZE size = {0, 0};
  ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
  return CSize(size);
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC) { return Attach(::CreateHalftonePalette(pDC ? pDC->m_hDC : nullptr)); }

int CPalette::GetEntryCount() const {
  WORD n = 0;
  ::GetObjectA(m_hObject, sizeof n, &n);
  return n;
}

// ---- CDC

CDC::~CDC() {
  if (m_hDC && t_dcs.LookupPermanent(m_hDC) == this) ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC) {
  AfxRegisterTempMapCleaner(DeleteTempGdi);
  return t_dcs.FromHandle(hDC, [](HDC h) {
    auto* p = new CDC;
    p->m_hDC = p->m_hAttribDC = h;
    return p;
  });
}

BOOL CDC::Attach(HDC hDC) {
  if (!hDC || m_hDC) return FALSE;
  m_hDC = m_hAttribDC = hDC;
  t_dcs.SetPermanent(hDC, this);
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  if (h && t_dcs.LookupPermanent(h) == this) t_dcs.RemoveHandle(h);
  m_hDC = m_hAttribDC = nullptr;
  return h;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectGdiObject(HGDIOBJ hObject) {
  if (!hObject) return nullptr;
  HGDIOBJ old = nullptr;
  if (m_hDC != m_hAttribDC) old = ::SelectObject(m_hDC, hObject);
  if (m_hAttribDC) old = ::SelectObject(m_hAttribDC, hObject);
  return old && old != HGDI_ERROR ? CGdiObject::FromHandle(old) : nullptr;
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
  HGDIOBJ old = nullptr;
  if (m_hDC != m_hAttribDC) old = ::SelectObject(m_hDC, hObject);
  if (m_hAttribDC) old = ::SelectObject(m_hAttribDC, hObject);
  return old;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
  HPALETTE old = ::SelectPalette(m_hDC, pPalette ? (HPALETTE)pPalette->m_hObject : nullptr, bForceBackground);
  return old ? CPalette::FromHandle(old) : nullptr;
}

// State setters apply to both DCs when they differ (a print preview draws on the screen with the
// printer's attributes).
#define AFX_BOTH_DCS(call_out, call_attr) \
  do {                                     \
    if (m_hDC != m_hAttribDC) call_out;    \
    if (m_hAttribDC) call_attr;            \
  } while (0)

COLORREF CDC::SetTextColor(COLORREF c) {
  COLORREF old = CLR_INVALID;
  AFX_BOTH_DCS(old = ::SetTextColor(m_hDC, c), old = ::SetTextColor(m_hAttribDC, c));
  return old;
}
COLORREF CDC::SetBkColor(COLORREF c) {
  COLORREF old = CLR_INVALID;
  AFX_BOTH_DCS(old = ::SetBkColor(m_hDC, c), old = ::SetBkColor(m_hAttribDC, c));
  return old;
}
int CDC::SetBkMode(int mode) {
  int old = 0;
  AFX_BOTH_DCS(old = ::SetBkMode(m_hDC, mode), old = ::SetBkMode(m_hAttribDC, mode));
  return old;
}
int CDC::SetROP2(int mode) {
  int old = 0;
  AFX_BOTH_DCS(old = ::SetROP2(m_hDC, mode), old = ::SetROP2(m_hAttribDC, mode));
  return old;
}
int CDC::SetStretchBltMode(int mode) {
  int old = 0;
  AFX_BOTH_DCS(old = ::SetStretchBltMode(m_hDC, mode), old = ::SetStretchBltMode(m_hAttribDC, mode));
  return old;
}
UINT CDC::SetTextAlign(UINT flags) {
  UINT old = 0;
  AFX_BOTH_DCS(old = ::SetTextAlign(m_hDC, flags), old = ::SetTextAlign(m_hAttribDC, flags));
  return old;
}
int CDC::SetMapMode(int mode) {
  int old = 0;
  AFX_BOTH_DCS(old = ::SetMapMode(m_hDC, mode), old = ::SetMapMode(m_hAttribDC, mode));
  return old;
}
CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old = {0, 0};
  AFX_BOTH_DCS(::SetWindowOrgEx(m_hDC, x, y, &old), ::SetWindowOrgEx(m_hAttribDC, x, y, &old));
  return CPoint(old);
}
CSize CDC::SetWindowExt(int cx, int cy) {
  SIZE old = {0, 0};
  AFX_BOTH_DCS(::SetWindowExtEx(m_hDC, cx, cy, &old), ::SetWindowExtEx(m_hAttribDC, cx, cy, &old));
  return CSize(old);
}
CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old = {0, 0};
  AFX_BOTH_DCS(::SetViewportOrgEx(m_hDC, x, y, &old), ::SetViewportOrgEx(m_hAttribDC, x, y, &old));
  return CPoint(old);
}
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
  POINT old = {0, 0};
  AFX_BOTH_DCS(::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old), ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &old));
  return CPoint(old);
}
CSize CDC::SetViewportExt(int cx, int cy) {
  SIZE old = {0, 0};
  AFX_BOTH_DCS(::SetViewportExtEx(m_hDC, cx, cy, &old), ::SetViewportExtEx(m_hAttribDC, cx, cy, &old));
  return CSize(old);
}
CPoint CDC::GetWindowOrg() const {
  POINT p = {0, 0};
  ::GetWindowOrgEx(m_hAttribDC, &p);
  return CPoint(p);
}
CSize CDC::GetWindowExt() const {
  SIZE s = {0, 0};
  ::GetWindowExtEx(m_hAttribDC, &s);
  return CSize(s);
}
CPoint CDC::GetViewportOrg() const {
  POINT p = {0, 0};
  ::GetViewportOrgEx(m_hAttribDC, &p);
  return CPoint(p);
}
CSize CDC::GetViewportExt() const {
  SIZE s = {0, 0};
  ::GetViewportExtEx(m_hAttribDC, &s);
  return CSize(s);
}

// Sizes convert as distances: the difference of two converted points, so origins cancel.
void CDC::LPtoDP(LPSIZE lpSize) const {
  POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
  ::LPtoDP(m_hAttribDC, pts, 2);
  lpSize->cx = std::abs(pts[1].x - pts[0].x);
  lpSize->cy = std::abs(pts[1].y - pts[0].y);
}
void CDC::DPtoLP(LPSIZE lpSize) const {
  POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
  ::DPtoLP(m_hAttribDC, pts, 2);
  lpSize->cx = std::abs(pts[1].x - pts[0].x);
  lpSize->cy = std::abs(pts[1].y - pts[0].y);
}
// 2540 HIMETRIC units make an inch.
void CDC::HIMETRICtoDP(LPSIZE lpSize) const {
  lpSize->cx = ::MulDiv(lpSize->cx, ::GetDeviceCaps(m_hAttribDC, LOGPIXELSX), 2540);
  lpSize->cy = ::MulDiv(lpSize->cy, ::GetDeviceCaps(m_hAttribDC, LOGPIXELSY), 2540);
}
void CDC::DPtoHIMETRIC(LPSIZE lpSize) const {
  lpSize->cx = ::MulDiv(lpSize->cx, 2540, ::GetDeviceCaps(m_hAttribDC, LOGPIXELSX));
  lpSize->cy = ::MulDiv(lpSize->cy, 2540, ::GetDeviceCaps(m_hAttribDC, LOGPIXELSY));
}
void CDC::HIMETRICtoLP(LPSIZE lpSize) const {
  HIMETRICtoDP(lpSize);
  DPtoLP(lpSize);
}
void CDC::LPtoHIMETRIC(LPSIZE lpSize) const {
  LPtoDP(lpSize);
  DPtoHIMETRIC(lpSize);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old = {0, 0};
  AFX_BOTH_DCS(::MoveToEx(m_hDC, x, y, &old), ::MoveToEx(m_hAttribDC, x, y, &old));
  return CPoint(old);
}
BOOL CDC::LineTo(int x, int y) {
  if (m_hAttribDC && m_hAttribDC != m_hDC) ::MoveToEx(m_hAttribDC, x, y, nullptr);
  return ::LineTo(m_hDC, x, y);
}
CPoint CDC::GetCurrentPosition() const {
  POINT p = {0, 0};
  ::GetCurrentPositionEx(m_hAttribDC, &p);
  return CPoint(p);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  COLORREF old = ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}
void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT r = {x, y, x + cx, y + cy};
  FillSolidRect(&r, clr);
}
void CDC::Draw3dRect(LPCRECT r, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, clrTopLeft, clrBottomRight);
}
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
  FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, size.cx, size.cy,
                      nFlags | DST_BITMAP);
}
BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    HBRUSH hBrush) {
  const std::wstring text = WideText(lpszText, nTextLen > 0 ? nTextLen : -1);
  return ::DrawStateW(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(text.c_str()),
                      static_cast<WPARAM>(text.size()), pt.x, pt.y, size.cx, size.cy,
                      nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
  // A string the call may rewrite stays in its own bytes.
  if (nFormat & DT_MODIFYSTRING) return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
  std::wstring text = WideText(lpszString, nCount);
  return ::DrawTextW(m_hDC, &text[0], static_cast<int>(text.size()), lpRect, nFormat);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  SIZE s = {0, 0};
  ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &s);
  return CSize(s);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }
CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); Detach(); }

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(AfxGetSafeHwnd(pWnd)) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(AfxGetSafeHwnd(pWnd)) { Attach(::GetWindowDC(m_hWnd)); }
CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
