// CGridDropTarget: the grid control's OLE drop target. It forwards drags over the grid's own
// window to the grid's drag operations; its scroll answer is never a scroll effect (the grid
// scrolls by its own timer).
#pragma once
#include "afx/afxwin.h"

class CGridCtrl;

class CGridDropTarget : public COleDropTarget {
 public:
  CGridCtrl* m_pGridCtrl = nullptr;
  BOOL m_bRegistered = FALSE;

  // Registers the target for the grid's window.
  BOOL Register(CGridCtrl* pGridCtrl);
  void Revoke() override;
  DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
  DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
  BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;
  void OnDragLeave(CWnd* pWnd) override;
  DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point) override;

 private:
  bool IsGrid(const CWnd* pWnd) const;
};
