// CPoint, CSize and CRect over the Windows POINT, SIZE and RECT records.
//
// Rectangles follow the Windows rules: right and bottom are outside the rectangle, a rectangle is
// empty when its width or height is 0 or less, and the intersection or union operations give the
// empty rectangle (0, 0, 0, 0) when their result is empty.
#ifndef VEDRA_AFX_AFXGEOM_H
#define VEDRA_AFX_AFXGEOM_H

#include "afx/afxtypes.h"

class CSize : public tagSIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int initCX, int initCY) {
    cx = initCX;
    cy = initCY;
  }
  CSize(SIZE initSize) { *(SIZE*)this = initSize; }
  explicit CSize(POINT initPt) {
    cx = initPt.x;
    cy = initPt.y;
  }

  bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
  bool operator!=(SIZE size) const { return !(*this == size); }
  void operator+=(SIZE size) {
    cx += size.cx;
    cy += size.cy;
  }
  void operator-=(SIZE size) {
    cx -= size.cx;
    cy -= size.cy;
  }
  CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
  CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public tagPOINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int initX, int initY) {
    x = initX;
    y = initY;
  }
  CPoint(POINT initPt) { *(POINT*)this = initPt; }
  explicit CPoint(SIZE initSize) {
    x = initSize.cx;
    y = initSize.cy;
  }

  void Offset(int xOffset, int yOffset) {
    x += xOffset;
    y += yOffset;
  }
  void Offset(POINT point) { Offset(point.x, point.y); }
  void Offset(SIZE size) { Offset(size.cx, size.cy); }

  bool operator==(POINT point) const { return x == point.x && y == point.y; }
  bool operator!=(POINT point) const { return !(*this == point); }
  void operator+=(SIZE size) { Offset(size); }
  void operator-=(SIZE size) { Offset(-size.cx, -size.cy); }
  void operator+=(POINT point) { Offset(point); }
  void operator-=(POINT point) { Offset(-point.x, -point.y); }
  CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
  CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
  CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
  CSize operator-(POINT point) const { return CSize(x - point.x, y - point.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public tagRECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
  CRect(const RECT& srcRect) { CopyRect(&srcRect); }
  CRect(LPCRECT lpSrcRect) { CopyRect(lpSrcRect); }
  CRect(POINT point, SIZE size) { SetRect(point.x, point.y, point.x + size.cx, point.y + size.cy); }
  CRect(POINT topLeft, POINT bottomRight) {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  BOOL IsRectEmpty() const { return left >= right || top >= bottom; }
  BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
  BOOL PtInRect(POINT point) const {
    return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
  }

  void SetRect(int x1, int y1, int x2, int y2) {
    left = x1;
    top = y1;
    right = x2;
    bottom = y2;
  }
  void SetRect(POINT topLeft, POINT bottomRight) {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
  }
  void SetRectEmpty() { SetRect(0, 0, 0, 0); }
  void CopyRect(LPCRECT lpSrcRect) { SetRect(lpSrcRect->left, lpSrcRect->top, lpSrcRect->right, lpSrcRect->bottom); }
  BOOL EqualRect(LPCRECT lpRect) const {
    return left == lpRect->left && top == lpRect->top && right == lpRect->right &&
           bottom == lpRect->bottom;
  }

  void InflateRect(int x, int y) { InflateRect(x, y, x, y); }
  void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
  void InflateRect(LPCRECT lpRect) { InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int x, int y) { InflateRect(-x, -y); }
  void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
  void DeflateRect(LPCRECT lpRect) { DeflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
  void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }

  void OffsetRect(int x, int y) {
    left += x;
    right += x;
    top += y;
    bottom += y;
  }
  void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
  void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }

  // Swaps the sides where needed so that left <= right and top <= bottom.
  void NormalizeRect();
  BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2);
  BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2);

  CRect& operator=(const RECT& srcRect) {
    CopyRect(&srcRect);
    return *this;
  }
  bool operator==(const RECT& rect) const { return EqualRect(&rect) != FALSE; }
  bool operator!=(const RECT& rect) const { return !EqualRect(&rect); }
  void operator+=(POINT point) { OffsetRect(point); }
  void operator+=(SIZE size) { OffsetRect(size); }
  void operator-=(POINT point) { OffsetRect(-point.x, -point.y); }
  void operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); }
  void operator&=(const RECT& rect) { IntersectRect(this, &rect); }
  void operator|=(const RECT& rect) { UnionRect(this, &rect); }
  CRect operator+(POINT point) const {
    CRect rect(*this);
    rect.OffsetRect(point);
    return rect;
  }
  CRect operator-(POINT point) const {
    CRect rect(*this);
    rect.OffsetRect(-point.x, -point.y);
    return rect;
  }
  CRect operator&(const RECT& rect2) const {
    CRect rect;
    rect.IntersectRect(this, &rect2);
    return rect;
  }
  CRect operator|(const RECT& rect2) const {
    CRect rect;
    rect.UnionRect(this, &rect2);
    return rect;
  }
};

#endif  // VEDRA_AFX_AFXGEOM_H
