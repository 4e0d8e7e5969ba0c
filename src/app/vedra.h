// The application object.
#pragma once
#include "afx/winapp.h"

class CVedraApp : public CWinApp {
public:
  CVedraApp();
  BOOL InitInstance() override;
  // The simulation runs whenever the message queue is empty: idle time is always asked for again.
  BOOL OnIdle(LONG lCount) override;
};

extern CVedraApp theApp;
