#include "controls/griddrop.h"

#include "controls/gridctrl.h"

BOOL CGridDropTarget::Register(CGridCtrl* pGridCtrl) {
  if (m_bRegistered || !COleDropTarget::Register(pGridCtrl)) return FALSE;
  m_pGridCtrl = pGridCtrl;
  m_bRegistered = TRUE;
  return TRUE;
}

void CGridDropTarget::Revoke() {
  m_bRegistered = FALSE;
  COleDropTarget::Revoke();
}

bool CGridDropTarget::IsGrid(const CWnd* pWnd) const {
  return m_pGridCtrl && pWnd && pWnd->m_hWnd == m_pGridCtrl->m_hWnd;
}

DROPEFFECT CGridDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  return IsGrid(pWnd) ? m_pGridCtrl->DragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT CGridDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  return IsGrid(pWnd) ? m_pGridCtrl->DragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

BOOL CGridDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) {
  return IsGrid(pWnd) && m_pGridCtrl->Drop(pDataObject, dropEffect, point);
}

void CGridDropTarget::OnDragLeave(CWnd* pWnd) {
  if (IsGrid(pWnd)) m_pGridCtrl->DragLeave();
}

DROPEFFECT CGridDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint) {
  if (!IsGrid(pWnd)) return DROPEFFECT_NONE;
  return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}
