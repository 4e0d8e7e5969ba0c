// The main frame window.
#pragma once
#include "afx/winframe.h"

class CMainFrame : public CFrameWnd {
public:
  CMainFrame() = default;
};
