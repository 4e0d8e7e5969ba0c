// Resource ids and the application object of the framework's window tests.
#pragma once
#define IDR_TESTMAIN 128
#define IDR_TESTTYPE 129
#define IDD_TESTBAR 400
#define IDD_TESTDATA 401
#define IDM_TESTPOPUP 402
#define IDD_TESTREFLECT 420
#define IDD_TESTTREE 430
#define IDD_TESTPAGE0 410

#define IDC_BAR_HANDLED 4001
#define IDC_BAR_UNHANDLED 4002
#define IDC_BAR_UPDATED 4003
#define IDC_BAR_AUTOCHECK 4004
#define IDC_BAR_COMBO 4005
#define IDC_BAR_GROUP 4006
#define IDC_BAR_BYBAR 4007

#define IDC_DATA_INT 4101
#define IDC_DATA_FLOAT 4102
#define IDC_DATA_TEXT 4103
#define IDC_DATA_DOUBLE 4104
#define IDC_DATA_CHECK 4105

#define IDM_CHECKED 5001
#define IDM_UNCHECKED 5002
#define IDM_NOHANDLER 5003

#define IDC_REFLECT_DRAWN 4201
#define IDC_REFLECT_PLAIN 4202
#define IDC_REFLECT_STATIC 4203
#define IDC_REFLECT_OTHER 4204
#define IDC_TREE 4301
#define IDC_PAGE_BUTTON 4400

#ifdef __cplusplus
#include "afx/afxwin.h"

// The application object of the test program: its name is the caption of framework boxes.
class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp("AfxTest") {}
  // Commands the application's route handles (the last stage).
  afx_msg void OnAppCommand();
  DECLARE_MESSAGE_MAP()
};
extern CTestApp theTestApp;
// Which stage of the route last handled a command ("view", "doc", ...).
extern const char* g_lastHandler;
#endif
