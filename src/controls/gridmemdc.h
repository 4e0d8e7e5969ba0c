// CGridMemDC: paints through an off-screen bitmap the size of the target's clip box, copied to
// the target in one BitBlt when the object goes, in the target's own coordinates. On a printing
// DC it draws straight to the printer instead.
#pragma once
#include "afx/afxwin.h"

class CGridMemDC : public CDC {
 public:
  explicit CGridMemDC(CDC* pDC);
  ~CGridMemDC() override;
  CGridMemDC(const CGridMemDC&) = delete;
  CGridMemDC& operator=(const CGridMemDC&) = delete;

 private:
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
  CDC* m_pDC;
  CRect m_rect;
  BOOL m_bMemDC;
};
