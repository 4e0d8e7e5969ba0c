// The main frame window.
#pragma once
#include "afx/winwnd.h"

class CMainFrame : public CFrameWnd {
public:
  CMainFrame() = default;
};
