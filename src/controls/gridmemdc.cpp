#include "controls/gridmemdc.h"

CGridMemDC::CGridMemDC(CDC* pDC) : m_pDC(pDC), m_bMemDC(!pDC->IsPrinting()) {
  if (!m_bMemDC) {
    m_bPrinting = pDC->m_bPrinting;
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
    return;
  }
  pDC->GetClipBox(&m_rect);
  CreateCompatibleDC(pDC);
  m_bitmap.Attach(::CreateCompatibleBitmap(pDC->m_hAttribDC, m_rect.Width(), m_rect.Height()));
  m_pOldBitmap = SelectObject(&m_bitmap);
  SetWindowOrg(m_rect.left, m_rect.top);
}

CGridMemDC::~CGridMemDC() {
  if (m_bMemDC) {
    m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_pOldBitmap);
  } else {
    m_hDC = m_hAttribDC = nullptr;
  }
  m_bitmap.DeleteObject();
}
