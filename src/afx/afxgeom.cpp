#include <algorithm>

#include "afx/afx.h"

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

BOOL CRect::IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) {
  CRect rect(std::max(lpRect1->left, lpRect2->left), std::max(lpRect1->top, lpRect2->top),
             std::min(lpRect1->right, lpRect2->right), std::min(lpRect1->bottom, lpRect2->bottom));
  if (rect.IsRectEmpty()) {
    SetRectEmpty();
    return FALSE;
  }
  CopyRect(&rect);
  return TRUE;
}

BOOL CRect::UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) {
  const CRect rect1(lpRect1), rect2(lpRect2);
  if (rect1.IsRectEmpty() && rect2.IsRectEmpty()) {
    SetRectEmpty();
    return FALSE;
  }
  if (rect1.IsRectEmpty()) {
    CopyRect(&rect2);
  } else if (rect2.IsRectEmpty()) {
    CopyRect(&rect1);
  } else {
    SetRect(std::min(rect1.left, rect2.left), std::min(rect1.top, rect2.top),
            std::max(rect1.right, rect2.right), std::max(rect1.bottom, rect2.bottom));
  }
  return TRUE;
}
