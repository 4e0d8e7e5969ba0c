#include "view2d/topview.h"

#include "app/vedra.h"

IMPLEMENT_DYNCREATE(CTopView, CView)

void CTopView::OnDraw(CDC* pDC) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  HBRUSH brush = ::CreateSolidBrush(theApp.m_plan.background);
  ::FillRect(pDC->m_hDC, &client, brush);
  ::DeleteObject(brush);
}
