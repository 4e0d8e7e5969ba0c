// Resource ids and the application object of the UI controls' window tests.
#pragma once
#include "controls_res.h"

#define IDD_TESTCONTROLS 600
#define IDC_HOVER_TOGGLE 601
#define IDC_HOVER_PUSH 602
#define IDC_PICKER 603
#define IDC_PICKER_OFF 604
#define IDC_BEVEL0 605
#define IDC_BEVEL1 606
#define IDC_BEVELM1 607
#define IDC_BEVEL2 608
#define IDC_NUMEDIT 609
#define IDC_NUMSPIN 610
#define IDC_PLAINEDIT 611
#define IDC_PLAINSPIN 612
#define IDC_COMBO 613
#define IDC_COMBO_OWN 614
#define IDC_SCROLLER 615

#define IDD_TESTPICTUREBAR 700
#define IDC_BAR_STATIC 701
#define IDC_BAR_TRACK 702
#define IDC_BAR_BUTTON 703

#define IDD_TESTGRID 900
#define IDC_GRID_A 901
#define IDC_GRID_B 902

#define IDB_TILE 800
#define IDB_RED 801
#define IDB_GREEN 802
#define IDB_BLUE 803
#define IDM_TESTMENU 810
#define IDM_TESTMENU_OPEN 6001

#ifdef __cplusplus
#include "afx/afxwin.h"

class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("ControlsTest") {}
};
extern CTestApp theTestApp;
#endif
