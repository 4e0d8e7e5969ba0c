// The 3D simulator as far as the application shell needs it until the simulator itself exists:
// a hidden 3D frame with an empty view for each model, and the simulator that the document asks
// (doc/simulator.h), which hands the loaded scene back to the main window and otherwise finds
// nothing to do yet. The simulator proper replaces the stand-in behind the same interface.
#pragma once
#include <cstdint>

#include "afx/afxwin.h"
#include "toolkit/wt.h"

// The 3D frame cannot be shown yet: a switch to it keeps the plan frame.
constexpr bool kSimFrameShows = false;

class C3DFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(C3DFrame)
public:
  int m_avatarShown = 0;

protected:
  afx_msg int OnCreate(LPCREATESTRUCTA lpcs);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};

class C3DView : public CView {
  DECLARE_DYNCREATE(C3DView)
public:
  void OnDraw(CDC*) override {}
  void ClearSelection() {}
  WTnode* m_pAvatar = nullptr;
};

// Installs the stand-in as the document's simulator (start-up).
void InstallSimulator();
void RefreshSimView(int state);
void CreatePresetLights(C3DView* view);
