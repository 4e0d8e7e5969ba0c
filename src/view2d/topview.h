// The plan view: the document's plan, drawn in the plan frame. Until the plan editor exists it
// shows the plan window's background only.
#pragma once
#include "afx/afxwin.h"

class CTopView : public CView {
  DECLARE_DYNCREATE(CTopView)
public:
  void OnDraw(CDC* pDC) override;
};
